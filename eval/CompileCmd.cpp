// Compiling commands: assignments, ++ and --, leia and imprima, the
// conditionals, the loops and the jumps.
#include <optional>

#include "check/CheckProgram.h"
#include "check/ValueText.h"
#include "eval/Compile.h"
#include "eval/Output.h"

namespace jox {

namespace {

// Every this many levels of nested command lists, a command checks the stack.
constexpr unsigned kGuardEvery = 16;

// ------------------------------------------------------------ assignments
// The index first, then the value, then the bounds.
template <Kind K, class Index, class Value>
struct AssignElement final : Action {
    AssignElement(StoreFor<K>* s, Index i, Value v, const Text* n) : store(s), index(i), value(v), name(n) {}
    Flow run() override {
        IntVal i = index();
        decltype(auto) v = value();
        std::size_t at;
        if (!inBounds(i, store->size(), at)) [[unlikely]]
            failOutOfBounds(*name, i);
        put<K>(*store, at, value, v);
        return Flow::Next;
    }
    StoreFor<K>* store;
    Index index;
    Value value;
    const Text* name;
};

// s <- strconcat(s, t): t is appended to s where it is.
struct AppendText final : Action {
    AppendText(TextStore* s, TextNode* t, const Text* n) : store(s), tail(t), name(n) {}
    Flow run() override {
        const Text* head = store->get(0);
        if (head == nullptr) failUnset(*name);
        const Text& t = tail->eval();
        checkAffordable(head->size() + t.size(), 1);
        store->give(0).append(t);
        return Flow::Next;
    }
    TextStore* store;
    TextNode* tail;
    const Text* name;
};

// x++ and x-- of an integer variable.
struct StepVariable final : Action {
    explicit StepVariable(IntStep s) : step(std::move(s)) {}
    Flow run() override {
        step();
        return Flow::Next;
    }
    IntStep step;
};

// v[i]++ and v[i]--: the element is read, changed and stored at the index
// evaluated once.
template <class Op, Kind K, class Index>
struct StepElement final : Action {
    StepElement(StoreFor<K>* s, Index i, const Text* n) : store(s), index(i), name(n) {}
    Flow run() override {
        IntVal i = index();
        auto v = readElement<K>(*store, i, *name);
        std::size_t at = static_cast<std::size_t>(i.word);  // (in bounds: it was just read)
        if constexpr (K == Kind::Int)
            store->set(at, Op::ints(v, {1}, out), out);
        else
            store->set(at, Op::reals(v, 1.0));
        return Flow::Next;
    }
    StoreFor<K>* store;
    Index index;
    const Text* name;
    Integer out;
};

// --------------------------------------------------------- leia, imprima
// Converts a line read for a variable of declared type `type` (a vector
// type for an element, whose index expression `index` names it in the
// message).
MemValue convertLine(Text line, TypeCheck type, const Text& name, const Expression* index) {
    switch (type) {
        case T_INT: return getReadInt(line, name);
        case T_REAL: return getReadFloat(line, name);
        case T_INTVECTOR: return getReadIntVector(line, name, *index);
        case T_REALVECTOR: return getReadFloatVector(line, name, *index);
        default: return MemValue{M_Str{std::move(line)}};  // T_STRING, T_STRINGVECTOR
    }
}

// leia of a simple variable: the line is read first; `failure`, when not
// empty, is the message that ends the run then (a target of no type leia
// reads).
struct ReadVariable final : Action {
    ReadVariable(Slot* s, TypeCheck t, std::string f) : slot(s), type(t), failure(std::move(f)) {}
    Flow run() override {
        Text line = readInputLine();
        if (!failure.empty()) fail(failure);
        storeElement(*slot, 0, convertLine(std::move(line), type, slot->name, nullptr));
        return Flow::Next;
    }
    Slot* slot;
    TypeCheck type;
    std::string failure;
};

// leia of an element: the line, then the index, then the conversion, then
// the store with its bounds.
struct ReadElement final : Action {
    ReadElement(Slot* s, const Text* n, IntNode* i, const Expression* e, TypeCheck t, std::string f)
        : slot(s), name(n), index(i), indexExp(e), type(t), failure(std::move(f)) {}
    Flow run() override {
        Text line = readInputLine();
        IntVal i = index->eval();
        if (!failure.empty()) fail(failure);
        MemValue value = convertLine(std::move(line), type, *name, indexExp);
        if (slot == nullptr) failInternal(kNoVectorToStore);
        std::size_t at;
        if (!inBounds(i, slot->count, at)) failOutOfBounds(*name, i);
        storeElement(*slot, at, std::move(value));
        return Flow::Next;
    }
    Slot* slot;
    const Text* name;
    IntNode* index;
    const Expression* indexExp;
    TypeCheck type;
    std::string failure;
};

// One value of an imprima, written as soon as it is computed.
template <Kind K>
struct Print final : Action {
    explicit Print(NodeOf<K>* n) : value(n) {}
    Flow run() override {
        if constexpr (K == Kind::Int) {
            writeOutput(intValText(value->eval()));
        } else if constexpr (K == Kind::Real) {
            writeOutput(realText(value->eval()));
        } else {
            writeOutput(value->eval());
        }
        return Flow::Next;
    }
    NodeOf<K>* value;
};

// ------------------------------------------------------------- control
struct Evaluating final : Action {
    explicit Evaluating(Node* n) : node(n) {}
    Flow run() override {
        node->evaluate();
        return Flow::Next;
    }
    Node* node;
};

struct Failure final : Action {
    explicit Failure(std::string m) : message(std::move(m)) {}
    Flow run() override { fail(message); }
    std::string message;
};

// The values of one imprima, in order.
struct Printing final : Action {
    explicit Printing(std::vector<Action*> v) : values(std::move(v)) {}
    Flow run() override {
        for (Action* a : values) a->run();
        return Flow::Next;
    }
    std::vector<Action*> values;
};

struct Jump final : Action {
    explicit Jump(Flow f) : flow(f) {}
    Flow run() override { return flow; }
    Flow flow;
};

struct CommandGuard final : Action {
    explicit CommandGuard(Action* c) : inner(c) {}
    Flow run() override {
        checkStack();
        return inner->run();
    }
    Action* inner;
};

}  // namespace

// ---------------------------------------------------------------- compiler
namespace {

// Gives every declared variable its declared type; a declared variable that
// the memory lacks is appended, unset.  A slot that holds values of another
// type than its declaration is an internal error (No. 148).
void declareTypes(Memory& memory, const DeclList& decls) {
    for (const Declaration& decl : decls) {
        Kind kind = std::visit(overloaded{[](const VarInt&) { return Kind::Int; },
                                          [](const VarReal&) { return Kind::Real; },
                                          [](const VarBool&) { return Kind::Bool; },
                                          [](const VarString&) { return Kind::Text; }},
                               decl);
        std::visit(
            [&](const auto& d) {
                for (const Variable& var : d.vars) {
                    std::size_t i = memory.find(varName(var));
                    if (i == Memory::npos) {
                        memory = fillGarbage({var}, std::move(memory));
                        i = memory.size() - 1;
                    }
                    Slot& slot = memory.slot(i);
                    slot.becomeKind(kind);
                    if (slot.kind() != kind) failInternal(kWrongType);
                }
            },
            decl);
    }
}

}  // namespace

CmdCompiler::CmdCompiler(Memory& memory, const DeclList& decls, Arena& arena)
    : memory_(memory), decls_(decls), exps_(memory, arena) {
    declareTypes(memory, decls);
}

Block* CmdCompiler::list(const CmdList& cmds, long depth) {
    checkStack();
    ++nesting_;
    Block* block = exps_.arena().make<Block>();
    for (const CmdPtr& c : cmds) block->actions.push_back(command(*c, depth));
    --nesting_;
    return block;
}

Action* CmdCompiler::command(const Command& cmd, long depth) {
    checkStack();
    Arena& arena = exps_.arena();
    // A command that holds lists checks the stack every few levels of them.
    auto compound = [&](Action* c) -> Action* {
        if (nesting_ % kGuardEvery != 0) return c;
        return arena.make<CommandGuard>(c);
    };
    return std::visit(
        overloaded{
            [&](const Atrib& x) { return assign(x.target, *x.value); },
            [&](const E_Incr& x) { return step(x.target, true); },
            [&](const E_Decr& x) { return step(x.target, false); },
            [&](const E_Se& x) -> Action* {
                BoolNode* cond = condition(*x.cond);
                return compound(cond->makeIf(arena, list(x.then, depth), nullptr));
            },
            [&](const E_Senao& x) -> Action* {
                BoolNode* cond = condition(*x.cond);
                Block* then = list(x.then, depth);
                return compound(cond->makeIf(arena, then, list(x.otherwise, depth)));
            },
            [&](const E_Enquanto& x) -> Action* {
                BoolNode* cond = condition(*x.cond);
                return compound(cond->makeLoop(arena, LoopParts{nullptr, false, ActionStep{}, list(x.body, depth + 1)}));
            },
            [&](const E_Faca& x) -> Action* {
                Block* body = list(x.body, depth + 1);
                return compound(condition(*x.cond)->makeLoop(arena, LoopParts{nullptr, true, ActionStep{}, body}));
            },
            [&](const E_Para& x) -> Action* {
                Action* init = command(*x.init, depth);
                BoolNode* cond = condition(*x.cond);
                return compound(cond->makeLoop(arena, LoopParts{init, false, loopStep(*x.step, depth), list(x.body, depth + 1)}));
            },
            [&](const E_Leia& x) { return leia(*x.target); },
            [&](const E_Imprima& x) { return imprima(x.items); },
            [&](const E_Saia&) -> Action* { return arena.make<Jump>(Flow::Exit); },
            [&](const E_Continue&) -> Action* {
                if (depth == 0) return failing("Comando continue utilizado em local improprio.");
                return arena.make<Jump>(Flow::Continue);
            },
            [&](const E_Pare&) -> Action* {
                if (depth == 0) return failing("Comando pare utilizado em local improprio.");
                return arena.make<Jump>(Flow::Break);
            },
            // The para forms of the flowchart and the annotated commands are
            // run by the flowchart run only.
            [&](const auto&) { return failing(internalMessage(kCommandKind)); },
        },
        cmd.v);
}

BoolNode* CmdCompiler::condition(const Expression& cond) {
    Code c = exps_.expression(cond);
    if (c.kind != Kind::Bool && c.kind != Kind::None) c = exps_.failing({c}, internalMessage(kOperands));
    return exps_.nodeOf<Kind::Bool>(c);
}

Action* CmdCompiler::evaluating(Node* node) { return exps_.arena().make<Evaluating>(node); }

Action* CmdCompiler::failing(std::string message) { return exps_.arena().make<Failure>(std::move(message)); }

// ------------------------------------------------------------ assignments
namespace {

// s <- strconcat(s, t) for a simple variable s: the text t to append.
const Factor* appendedText(const Variable& target, const Expression& value) {
    const auto* s = std::get_if<Simple>(&target);
    const auto* f = std::get_if<E_Factor>(&value.v);
    const auto* concat = f ? std::get_if<E_StrConcat>(&f->factor->v) : nullptr;
    const auto* first = concat ? std::get_if<E_Var>(&concat->first->v) : nullptr;
    if (s == nullptr || first == nullptr || first->name != s->name) return nullptr;
    return concat->second.get();
}

}  // namespace

Action* CmdCompiler::assign(const Variable& target, const Expression& valueExp) {
    if (const Factor* tail = appendedText(target, valueExp)) {
        std::size_t i = memory_.find(varName(target));
        Code head = exps_.variable(varName(target));
        if (head.kind == Kind::Text && !memory_.slot(i).vector) {
            Code t = exps_.textArgument(*tail);
            if (t.kind == Kind::Text) {
                Slot& slot = memory_.slot(i);
                return exps_.arena().make<AppendText>(&slot.as<Kind::Text>(), exps_.nodeOf<Kind::Text>(t), &slot.name);
            }
        }
    }
    if (std::holds_alternative<Simple>(target)) return store(target, exps_.expression(valueExp), nullptr);
    Code index = exps_.expression(*std::get<Vector>(target).index);
    return store(target, exps_.expression(valueExp), &index);
}

// The value `value`, stored into the target; for an element, `index` is
// evaluated before the value, and the bounds are checked after it.
Action* CmdCompiler::store(const Variable& target, const Code& value, const Code* index) {
    Arena& arena = exps_.arena();
    const Text& name = varName(target);
    if (index == nullptr) {
        if (value.kind == Kind::None) return evaluating(value.node);
        std::size_t i = memory_.find(name);
        if (i == Memory::npos) return evaluating(exps_.failing({value}, internalMessage(kNoSuchVariable)).node);
        Slot& slot = memory_.slot(i);
        if (!slot.vector) slot.becomeKind(value.kind);
        if (slot.vector || slot.kind() != value.kind)
            return evaluating(exps_.failing({value}, internalMessage(kWrongType)).node);
        switch (value.kind) {
            case Kind::Int: return exps_.nodeOf<Kind::Int>(value)->assignTo(arena, slot.as<Kind::Int>());
            case Kind::Real: return exps_.nodeOf<Kind::Real>(value)->assignTo(arena, slot.as<Kind::Real>());
            case Kind::Bool: return exps_.nodeOf<Kind::Bool>(value)->assignTo(arena, slot.as<Kind::Bool>());
            default: return exps_.nodeOf<Kind::Text>(value)->assignTo(arena, slot.as<Kind::Text>());
        }
    }
    if (index->kind == Kind::None) return evaluating(index->node);
    if (index->kind != Kind::Int) return evaluating(exps_.failing({*index}, internalMessage(kIndexNotInteger)).node);
    if (value.kind == Kind::None) return evaluating(exps_.failing({*index, value}, internalMessage(kOperands)).node);
    std::size_t i = memory_.findVector(name);
    if (i == Memory::npos) return evaluating(exps_.failing({*index, value}, internalMessage(kNoVectorToStore)).node);
    Slot& slot = memory_.slot(i);
    slot.becomeKind(value.kind);
    if (slot.kind() != value.kind) return evaluating(exps_.failing({*index, value}, internalMessage(kWrongType)).node);
    auto make = [&]<Kind K>() -> Action* {
        auto* s = &slot.as<K>();
        if constexpr (K == Kind::Int || K == Kind::Real)
            return std::visit(
                [&](auto i, auto v) -> Action* {
                    return arena.make<AssignElement<K, decltype(i), decltype(v)>>(s, i, v, &slot.name);
                },
                exps_.operand<Kind::Int>(*index), exps_.operand<K>(value));
        else
            return std::visit(
                [&](auto i) -> Action* {
                    return arena.make<AssignElement<K, decltype(i), Eval<K>>>(s, i, Eval<K>{exps_.nodeOf<K>(value)},
                                                                             &slot.name);
                },
                exps_.operand<Kind::Int>(*index));
    };
    switch (value.kind) {
        case Kind::Int: return make.template operator()<Kind::Int>();
        case Kind::Real: return make.template operator()<Kind::Real>();
        case Kind::Bool: return make.template operator()<Kind::Bool>();
        default: return make.template operator()<Kind::Text>();
    }
}

// x++ and x-- of a simple variable of integers, or nothing.
std::optional<IntStep> CmdCompiler::intStep(const Variable& target, bool up) {
    const auto* s = std::get_if<Simple>(&target);
    if (s == nullptr) return std::nullopt;
    Code read = exps_.variable(s->name);
    if (read.kind != Kind::Int) return std::nullopt;
    Slot& slot = memory_.slot(memory_.find(s->name));
    return IntStep{&slot.as<Kind::Int>(), up ? 1 : -1, &slot.name};
}

// The step of a para.
std::variant<ActionStep, IntStep> CmdCompiler::loopStep(const Command& step, long depth) {
    std::optional<IntStep> s;
    if (const auto* x = std::get_if<E_Incr>(&step.v)) s = intStep(x->target, true);
    if (const auto* x = std::get_if<E_Decr>(&step.v)) s = intStep(x->target, false);
    if (s) return std::move(*s);
    return ActionStep{command(step, depth)};
}

// x++ is x <- x + 1, x-- is x <- x - 1; an element's index is evaluated once.
Action* CmdCompiler::step(const Variable& target, bool up) {
    Arena& arena = exps_.arena();
    const Text& name = varName(target);
    if (std::holds_alternative<Simple>(target)) {
        if (std::optional<IntStep> s = intStep(target, up)) return arena.make<StepVariable>(std::move(*s));
        Code read = exps_.variable(name);
        Code one = ExpCompiler::intLiteral(1);
        return store(target, up ? exps_.binary<Add>(read, one) : exps_.binary<Sub>(read, one), nullptr);
    }
    Code index = exps_.expression(*std::get<Vector>(target).index);
    Code read = exps_.element(name, index);
    if (read.kind == Kind::None) return evaluating(read.node);
    Slot& slot = memory_.slot(memory_.findVector(name));
    auto make = [&]<Kind K>() -> Action* {
        return std::visit(
            [&](auto i) -> Action* {
                if (up) return arena.make<StepElement<Add, K, decltype(i)>>(&slot.as<K>(), i, &slot.name);
                return arena.make<StepElement<Sub, K, decltype(i)>>(&slot.as<K>(), i, &slot.name);
            },
            exps_.operand<Kind::Int>(index));
    };
    if (read.kind == Kind::Int) return make.template operator()<Kind::Int>();
    if (read.kind == Kind::Real) return make.template operator()<Kind::Real>();
    return evaluating(exps_.failing({read}, internalMessage(kOperands)).node);
}

// ---------------------------------------------------------- leia, imprima
namespace {

// The declared type of a leia target, or the message of the failure that
// ends the run instead once the line is read.
TypeCheck readType(const Text& name, const DeclList& decls, bool element, std::string& failure) {
    TypeCheck t = T_WRONG;
    try {
        t = getVarType(name, decls);
    } catch (const JoxError& e) {
        failure = e.message();
        return t;
    }
    bool readable = element ? t == T_INTVECTOR || t == T_REALVECTOR || t == T_STRINGVECTOR
                            : t == T_INT || t == T_REAL || t == T_STRING;
    if (!readable) failure = internalError(element ? 109 : 104);
    return t;
}

}  // namespace

Action* CmdCompiler::leia(const Expression& target) {
    Arena& arena = exps_.arena();
    const auto* f = std::get_if<E_Factor>(&target.v);
    const Factor* factor = f ? f->factor.get() : nullptr;
    if (const auto* x = factor ? std::get_if<E_Var>(&factor->v) : nullptr) {
        std::string failure;
        TypeCheck t = readType(x->name, decls_, false, failure);
        std::size_t i = memory_.find(x->name);
        if (failure.empty() && i == Memory::npos) failure = internalMessage(kNoSuchVariable);
        Slot* slot = i == Memory::npos ? nullptr : &memory_.slot(i);
        return arena.make<ReadVariable>(slot, t, std::move(failure));
    }
    if (const auto* x = factor ? std::get_if<E_Vector>(&factor->v) : nullptr) {
        Code index = exps_.expression(*x->index);
        if (index.kind != Kind::Int && index.kind != Kind::None)
            index = exps_.failing({index}, internalMessage(kIndexNotInteger));
        std::string failure;
        TypeCheck t = readType(x->name, decls_, true, failure);
        std::size_t i = memory_.findVector(x->name);
        Slot* slot = i == Memory::npos ? nullptr : &memory_.slot(i);
        return arena.make<ReadElement>(slot, &x->name, exps_.nodeOf<Kind::Int>(index), x->index.get(), t,
                                       std::move(failure));
    }
    return failing(internalMessage(kLeiaTarget));  // a target that is no variable: refused by the parser
}

// Each value is written as soon as it is computed: a later failing
// expression leaves the earlier values written.
Action* CmdCompiler::imprima(const ExpList& items) {
    Arena& arena = exps_.arena();
    std::vector<Action*> values;
    for (const ExpPtr& e : items) {
        Code c = exps_.expression(*e);
        Action* print;
        switch (c.kind) {
            case Kind::Int: print = arena.make<Print<Kind::Int>>(exps_.nodeOf<Kind::Int>(c)); break;
            case Kind::Real: print = arena.make<Print<Kind::Real>>(exps_.nodeOf<Kind::Real>(c)); break;
            case Kind::Text: print = arena.make<Print<Kind::Text>>(exps_.nodeOf<Kind::Text>(c)); break;
            case Kind::None: print = evaluating(c.node); break;
            default:
                print = evaluating(
                    exps_.failing({c}, "Tipo n\xE3o permitido em impress\xE3o: " + fromExpExp(*e) + ".").node);
        }
        values.push_back(print);
    }
    return arena.make<Printing>(std::move(values));
}

}  // namespace jox
