// The compiled form of a program: what the evaluator runs.
//
// Each expression is compiled once, against the memory it reads, into a tree
// of nodes.  A node knows where its variables are stored and which type every
// value has, so evaluating it neither looks up a name nor asks a value for its
// type: an integer node yields an IntVal, a real node a double, a truth-value
// node a bool, a text node a text.  Operands that are a variable or a literal
// are read inside the node that uses them (Var, Lit) instead of by a node of
// their own (Eval).  A node whose evaluation always ends the run (the
// failures that the form of an expression decides, such as a sign before a
// parenthesis) has the type Kind::None.
//
// Each command is compiled into an Action whose run() yields how its list
// goes on (Flow).  Nodes and commands live in an Arena, which the compiled
// program owns; they hold the scratch values their results are built in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "eval/EvalProgram.h"
#include "eval/Memory.h"
#include "eval/Messages.h"
#include "eval/Numbers.h"
#include "syntax/Failure.h"

namespace jox {

// Everything an Arena holds.  (The arena links what it holds through
// `older`, to destroy it all at the end.)
struct Piece {
    virtual ~Piece() = default;
    Piece* older = nullptr;
};

// ---------------------------------------------------------------- commands
// How a list goes on after one of its commands: with its next command, or
// the list ends (Stop: in the normal mode; Break, Continue, Exit: with that
// jump).
enum class Flow : std::uint8_t { Next, Stop, Break, Continue, Exit };

// A compiled command.
struct Action : Piece {
    virtual Flow run() = 0;
};

// ------------------------------------------------------------------ Arena
// Holds the nodes and commands of one compiled program, all destroyed with
// it.  A small program fits in the arena itself; a larger one takes chunks
// that grow with it (see allocateChunk).
class Arena {
public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    ~Arena() {
        for (Piece* p = newest_; p != nullptr;) {
            Piece* older = p->older;
            p->~Piece();
            p = older;
        }
        for (void* c : chunks_) std::free(c);
    }

    template <class T, class... Args>
    T* make(Args&&... args) {
        static_assert(alignof(T) <= alignof(std::max_align_t));
        T* t = new (allocate(sizeof(T))) T(std::forward<Args>(args)...);
        t->older = newest_;
        newest_ = t;
        return t;
    }

private:
    void* allocate(std::size_t bytes) {
        bytes = (bytes + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
        if (static_cast<std::size_t>(end_ - next_) < bytes) {
            chunkBytes_ = nextChunkSize(chunkBytes_);
            std::size_t size = bytes > chunkBytes_ ? bytes : chunkBytes_;
            chunks_.push_back(allocateChunk(size));
            next_ = static_cast<std::byte*>(chunks_.back());
            end_ = next_ + size;
        }
        void* p = next_;
        next_ += bytes;
        return p;
    }

    alignas(std::max_align_t) std::byte local_[1024];
    std::byte* next_ = local_;
    std::byte* end_ = local_ + sizeof local_;
    std::vector<void*> chunks_;  // (see allocateChunk)
    std::size_t chunkBytes_ = 0;
    Piece* newest_ = nullptr;
};

// ------------------------------------------------------------ expressions
struct Node : Piece {
    // Evaluates the node and drops its value.
    virtual void evaluate() = 0;
};

// ------------------------------------------------------------- command lists
// A command list: its commands in order.
struct Block : Piece {
    std::vector<Action*> actions;
    // Runs the commands; yields the mode the list ends in.
    Mode run() {
        if (runLimits.onCommandList != nullptr) runLimits.onCommandList();
        for (Action* a : actions) {
            Flow f = a->run();
            if (f != Flow::Next) [[unlikely]]
                return modeAfter(f);
        }
        return Mode::Normal;
    }
    static Mode modeAfter(Flow f) {
        switch (f) {
            case Flow::Break: return Mode::Break;
            case Flow::Continue: return Mode::Continue;
            case Flow::Exit: return Mode::Exit;
            default: return Mode::Normal;
        }
    }
};

// The step of a loop after each pass: an action (para; none for enquanto and
// faca), or x++ / x-- of a variable of integers (the usual para), run in
// place.
struct ActionStep {
    Action* action = nullptr;
    void operator()() {
        if (action != nullptr) action->run();
    }
};
struct IntStep {
    IntStore* store;
    std::int64_t delta;
    const Text* name;
    IntRegister out = {};
    [[gnu::always_inline]] void operator()() {
        IntVal v;
        if (!store->get(0, v)) [[unlikely]]
            failUnset(*name);
        store->set(0, intAdd(v, {delta}, out.value), out.value);
    }
};

// The parts of a loop but its condition (see ValueNode::makeLoop).
struct LoopParts {
    Action* init = nullptr;   // para: the initial command
    bool bodyFirst = false;   // faca: the body runs once before the first test
    std::variant<ActionStep, IntStep> step;
    Block* body = nullptr;
};

struct LoopAction : Action {
    // The passes of the loop, from the mode the one before ended in (Normal
    // before the first): while the condition holds, the body (and after it
    // the step, unless the body ended with saia).  Yields Normal when the
    // loop ends by its condition or by pare, Exit after saia.
    virtual Mode passes(Mode mode) = 0;
};

// A node that yields a value of kind K.
template <Kind K>
struct ValueNode : Node {
    using Value = typename KindOf<K>::Value;
    virtual Value eval() = 0;
    void evaluate() final { eval(); }
    // The actions that use this node's value: storing it into a simple
    // variable, and (for a truth value) a loop or conditional testing it.
    // Nodes that read their operands in place make actions that read them in
    // place too (see OperandNode).
    virtual Action* assignTo(Arena& arena, StoreFor<K>& store);
    virtual LoopAction* makeLoop(Arena& arena, LoopParts parts);
    virtual Action* makeIf(Arena& arena, Block* then, Block* otherwise);
};
using IntNode = ValueNode<Kind::Int>;
using RealNode = ValueNode<Kind::Real>;
using BoolNode = ValueNode<Kind::Bool>;
using TextNode = ValueNode<Kind::Text>;
template <Kind K>
using NodeOf = ValueNode<K>;

// ---------------------------------------------------------------- operands
// An operand computed by a node.
template <Kind K>
struct Eval {
    NodeOf<K>* node;
    [[gnu::always_inline]] decltype(auto) operator()() const { return node->eval(); }
};

// A simple variable, read where it is stored.
template <Kind K>
struct Var {
    const typename StoreFor<K>::Code* cell;
    const Text* name;
    [[gnu::always_inline]] typename KindOf<K>::Value operator()() const {
        typename KindOf<K>::Value v;
        if (!StoreFor<K>::decode(*cell, v)) [[unlikely]]
            failUnset(*name);
        return v;
    }
};
template <>
struct Var<Kind::Int> {
    const IntStore* store;
    const std::uint64_t* cell;
    const Text* name;
    [[gnu::always_inline]] IntVal operator()() const {
        IntVal v;
        if (!store->decode(*cell, v)) [[unlikely]]
            failUnset(*name);
        return v;
    }
};
template <>
struct Var<Kind::Text> {
    const TextStore* store;
    const Text* name;
    [[gnu::always_inline]] const Text& operator()() const {
        const Text* t = store->get(0);
        if (t == nullptr) [[unlikely]]
            failUnset(*name);
        return *t;
    }
};

// A literal (an integer one that fits a word; a text one lives in the tree).
template <Kind K>
struct Lit;
template <>
struct Lit<Kind::Int> {
    std::int64_t word;
    [[gnu::always_inline]] IntVal operator()() const { return {word}; }
};
template <>
struct Lit<Kind::Real> {
    double value;
    [[gnu::always_inline]] double operator()() const { return value; }
};
template <>
struct Lit<Kind::Bool> {
    bool value;
    [[gnu::always_inline]] bool operator()() const { return value; }
};
template <>
struct Lit<Kind::Text> {
    const Text* text;
    [[gnu::always_inline]] const Text& operator()() const { return *text; }
};

// The position of `index` among `count` elements, or false.
[[gnu::always_inline]] inline bool inBounds(IntVal index, std::size_t count, std::size_t& at) {
    at = static_cast<std::size_t>(index.word);
    return index.isWord() && index.word >= 0 && at < count;
}

// The element `index` of a vector: the bounds first ("Vetor NAME[INDEX]
// indexado fora dos limites."), then whether it is set ("Vari\xE1vel
// NAME[INDEX] n\xE3o inicializada.").
template <Kind K>
decltype(auto) readElement(const StoreFor<K>& store, IntVal index, const Text& name) {
    std::size_t at;
    if (!inBounds(index, store.size(), at)) [[unlikely]]
        failOutOfBounds(name, index);
    if constexpr (K == Kind::Text) {
        const Text* t = store.get(at);
        if (t == nullptr) [[unlikely]]
            failUnsetElement(name, index);
        return *t;
    } else {
        std::remove_cvref_t<typename KindOf<K>::Value> v;
        if (!store.get(at, v)) [[unlikely]]
            failUnsetElement(name, index);
        return v;
    }
}

// ------------------------------------------------------------- operations
// The operators (see Operations.h) as operands: an operation computes its
// operands L and R, the left one completely first, then applies its kernel.
template <class Op, class L, class R>
struct IntOp {
    L left;
    R right;
    IntRegister out = {};
    [[gnu::always_inline]] IntVal operator()() {
        IntVal a = left();
        IntVal b = right();
        return Op::ints(a, b, out.value);
    }
};

template <class Op, class L, class R>
struct RealOp {
    L left;
    R right;
    [[gnu::always_inline]] double operator()() {
        double a = left();
        double b = right();
        return Op::reals(a, b);
    }
};

// div and ^ with a real operand: the real result, rounded.
template <class Op, class L, class R>
struct RoundedOp {
    L left;
    R right;
    IntRegister out = {};
    [[gnu::always_inline]] IntVal operator()() {
        double a = left();
        double b = right();
        return Op::roundedReals(a, b, out.value);
    }
};

// Comparisons and the logical operators: the truth value of two operands of
// kind K.
template <class Op, Kind K, class L, class R>
struct TruthOp {
    L left;
    R right;
    [[gnu::always_inline]] bool operator()() {
        decltype(auto) a = left();
        decltype(auto) b = right();
        if constexpr (K == Kind::Int) return Op::ints(a, b);
        if constexpr (K == Kind::Real) return Op::reals(a, b);
        if constexpr (K == Kind::Text) return Op::texts(a, b);
        if constexpr (K == Kind::Bool) return Op::bools(a, b);
    }
};

// real(i) of an integer operand.
template <class Operand>
struct RealOf {
    Operand operand;
    [[gnu::always_inline]] double operator()() { return intToReal(operand()); }
};

// ----------------------------------------------------------- assignments
// Stores a value of `operand` as element `at`.  A text is copied; an
// integer that an operation computed into its result register is moved.
template <Kind K, class Operand, class V>
[[gnu::always_inline]] inline void put(StoreFor<K>& store, std::size_t at, Operand& operand, V&& value) {
    if constexpr (K == Kind::Text)
        store.give(at) = value;
    else if constexpr (K == Kind::Int && requires { operand.out.value; })
        store.set(at, value, operand.out.value);
    else
        store.set(at, value);
}

// value -> a simple variable.
template <Kind K, class Value>
struct AssignVariable final : Action {
    AssignVariable(StoreFor<K>* s, Value v) : store(s), value(std::move(v)) {}
    Flow run() override {
        decltype(auto) v = value();
        put<K>(*store, 0, value, v);
        return Flow::Next;
    }
    StoreFor<K>* store;
    Value value;
};

// ------------------------------------------------------------- control
// A loop testing `cond` before each pass.
template <class Cond, class Step>
struct Loop final : LoopAction {
    Loop(Cond c, LoopParts p, Step s) : cond(std::move(c)), init(p.init), bodyFirst(p.bodyFirst), step(std::move(s)), body(p.body) {}
    Flow run() override {
        Mode mode = Mode::Normal;
        if (init != nullptr) mode = Block::modeAfter(init->run());
        if (bodyFirst) mode = body->run();
        return passes(mode) == Mode::Exit ? Flow::Exit : Flow::Next;
    }
    Mode passes(Mode mode) override {
        for (;;) {
            if (mode == Mode::Exit) return Mode::Exit;
            if (mode == Mode::Break) return Mode::Normal;
            if (!cond()) return Mode::Normal;
            mode = body->run();
            if (mode != Mode::Exit) step();
        }
    }
    Cond cond;
    Action* init;
    bool bodyFirst;
    Step step;
    Block* body;
};

template <class Cond>
LoopAction* loopOf(Arena& arena, Cond cond, LoopParts parts) {
    return std::visit(
        [&](auto step) -> LoopAction* { return arena.make<Loop<Cond, decltype(step)>>(cond, parts, std::move(step)); },
        parts.step);
}

// After a conditional's branch: pare leaves the enclosing list too, continue
// leaves it in the normal mode, the rest carry on.
inline Flow afterBranch(Mode m) {
    switch (m) {
        case Mode::Break: return Flow::Break;
        case Mode::Continue: return Flow::Stop;
        case Mode::Exit: return Flow::Exit;
        default: return Flow::Next;
    }
}

// se and se ... senao (no else branch: `otherwise` is null).
template <class Cond>
struct If final : Action {
    If(Cond c, Block* t, Block* o) : cond(std::move(c)), then(t), otherwise(o) {}
    Flow run() override {
        if (cond()) return afterBranch(then->run());
        return otherwise == nullptr ? Flow::Next : afterBranch(otherwise->run());
    }
    Cond cond;
    Block* then;
    Block* otherwise;
};

template <Kind K>
Action* ValueNode<K>::assignTo(Arena& arena, StoreFor<K>& store) {
    return arena.make<AssignVariable<K, Eval<K>>>(&store, Eval<K>{this});
}
template <Kind K>
LoopAction* ValueNode<K>::makeLoop(Arena& arena, LoopParts parts) {
    if constexpr (K == Kind::Bool) return loopOf(arena, Eval<K>{this}, std::move(parts));
    return nullptr;
}
template <Kind K>
Action* ValueNode<K>::makeIf(Arena& arena, Block* then, Block* otherwise) {
    if constexpr (K == Kind::Bool) return arena.make<If<Eval<K>>>(Eval<K>{this}, then, otherwise);
    return nullptr;
}

// ------------------------------------------------------- generic nodes
// A node that computes one operand: a variable or literal standing where a
// node is needed, or an operation.
template <Kind K, class Operand>
struct OperandNode final : NodeOf<K> {
    explicit OperandNode(Operand o) : operand(std::move(o)) {}
    typename KindOf<K>::Value eval() override { return operand(); }
    Action* assignTo(Arena& arena, StoreFor<K>& store) override {
        return arena.make<AssignVariable<K, Operand>>(&store, operand);
    }
    LoopAction* makeLoop(Arena& arena, LoopParts parts) override {
        if constexpr (K == Kind::Bool) return loopOf(arena, operand, std::move(parts));
        return nullptr;
    }
    Action* makeIf(Arena& arena, Block* then, Block* otherwise) override {
        if constexpr (K == Kind::Bool) return arena.make<If<Operand>>(operand, then, otherwise);
        return nullptr;
    }
    Operand operand;
};

// The element `index` of a vector.
template <Kind K, class Index>
struct ElementNode final : NodeOf<K> {
    ElementNode(const StoreFor<K>* s, Index i, const Text* n) : store(s), index(i), name(n) {}
    typename KindOf<K>::Value eval() override { return readElement<K>(*store, index(), *name); }
    const StoreFor<K>* store;
    Index index;
    const Text* name;
};

// An integer that does not fit a word.
struct BigLiteral final : IntNode {
    explicit BigLiteral(Integer v) : value(std::move(v)) {}
    IntVal eval() override { return {0, &value}; }
    Integer value;
};

// Nodes whose evaluation ends the run: first the operands listed (whose
// evaluation may end it before), then the message.
struct Failing final : Node {
    Failing(std::vector<Node*> f, std::string m) : first(std::move(f)), message(std::move(m)) {}
    void evaluate() override {
        for (Node* n : first) n->evaluate();
        fail(message);
    }
    std::vector<Node*> first;
    std::string message;
};

// A node of kind K standing for one that never yields a value: evaluating
// it ends the run.
template <Kind K>
struct Ends final : NodeOf<K> {
    explicit Ends(Node* n) : inner(n) {}
    typename KindOf<K>::Value eval() override {
        inner->evaluate();
        failInternal(kOperands);  // (not reached: the inner node ends the run)
    }
    Node* inner;
};

// Checks the stack before its operand: nested expressions pass through one
// of these every few levels, so that a deep nesting ends the run as
// exhausted stack instead of overflowing it.
template <Kind K>
struct StackGuard final : NodeOf<K> {
    explicit StackGuard(NodeOf<K>* n) : inner(n) {}
    typename KindOf<K>::Value eval() override {
        checkStack();
        return inner->eval();
    }
    NodeOf<K>* inner;
};
struct FailingGuard final : Node {
    explicit FailingGuard(Node* n) : inner(n) {}
    void evaluate() override {
        checkStack();
        inner->evaluate();
    }
    Node* inner;
};

}  // namespace jox
