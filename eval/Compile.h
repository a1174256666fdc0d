// Compiling expressions and commands against a memory (see Nodes.h).
//
// Compiling resolves every name once: a variable becomes the store of its
// slot, and the slot's type is the type of the variable's values.  It never
// fails: what would end the run when an expression is evaluated (a name the
// memory lacks, operands outside the tables of an operator, a wrong form of
// argument) becomes a node that ends it there, after the operands that are
// evaluated before, so the run fails at the same point with the same message.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "eval/EvalProgram.h"
#include "eval/Memory.h"
#include "eval/Nodes.h"
#include "eval/Operations.h"
#include "syntax/JoxTypes.h"

namespace jox {

// A compiled expression: the type of its value, and how it is read: by its
// node, or, for a simple variable or a literal, straight from the slot or
// the literal by whoever uses it.
struct Code {
    enum class Form : std::uint8_t { Computed, Variable, Literal };
    Kind kind = Kind::None;
    Form form = Form::Computed;
    Node* node = nullptr;         // Computed
    const Slot* slot = nullptr;   // Variable: element 0 of this slot
    std::int64_t word = 0;        // Literal, by kind
    double real = 0;
    bool truth = false;
    const Text* text = nullptr;
};

template <Kind K>
using Operand = std::variant<Eval<K>, Var<K>, Lit<K>>;

class ExpCompiler {
public:
    ExpCompiler(const Memory& memory, Arena& arena) : memory_(memory), arena_(arena) {}

    Code expression(const Expression& exp);
    Code factor(const Factor& factor);

    // A node for any code (one is made for a variable or a literal).
    Node* node(const Code& code);
    // The same, typed, for a code of kind K.
    template <Kind K>
    NodeOf<K>* nodeOf(const Code& code);
    // How a node reads a code of kind K.
    template <Kind K>
    Operand<K> operand(const Code& code);

    // The code of the operator Op over two compiled operands.
    template <class Op>
    Code binary(const Code& left, const Code& right);
    // An integer literal.
    static Code intLiteral(std::int64_t word);
    // A code that evaluates `first`, in order, and then ends the run with
    // `message` (or sooner, when one of them ends it).
    Code failing(const std::vector<Code>& first, const std::string& message);
    // The element `index` of the vector `name` (the index evaluated first).
    Code element(const Text& name, const Code& index);
    // The simple variable `name`.
    Code variable(const Text& name);
    // An argument of a text function: a text literal, or a variable or
    // element holding a text.
    Code textArgument(const Factor& arg);

    Arena& arena() { return arena_; }

private:
    Code computed(Kind kind, Node* node);
    // A node computing `operand`.
    template <Kind K, class Operand>
    Code fromOperand(Operand operand) {
        return computed(K, arena_.make<OperandNode<K, Operand>>(std::move(operand)));
    }
    template <Kind K>
    Code guarded(NodeOf<K>* node);
    template <class Op, class N>
    Code operation(const N& node);
    template <class Op>
    Code apply(Rule rule, const Code& left, const Code& right);
    Code negation(const Code& value);
    Code sign(const Factor& operand, bool negative);
    Code signedValue(const Code& value, const Text& name, bool negative);
    Code countArgument(const Factor& arg);
    Code toReal(const Code& code);
    Code builtin(const Factor& factor);
    Code realArgument(const Code& arg);
    Code textFunction(const Factor& factor);

    const Memory& memory_;
    Arena& arena_;
    unsigned depth_ = 0;  // nesting of the expression being compiled
};

// ------------------------------------------------------------- commands
class CmdCompiler {
public:
    // Gives the declared variables their types first (declareTypes).
    CmdCompiler(Memory& memory, const DeclList& decls, Arena& arena);

    // A command list inside `depth` loops.
    Block* list(const CmdList& cmds, long depth);
    Action* command(const Command& cmd, long depth);
    // A condition: a truth value, or a node that ends the run.
    BoolNode* condition(const Expression& cond);

private:
    Action* assign(const Variable& target, const Expression& value);
    Action* step(const Variable& target, bool up);
    Action* leia(const Expression& target);
    Action* imprima(const ExpList& items);
    Action* store(const Variable& target, const Code& value, const Code* index);
    Action* evaluating(Node* node);
    Action* failing(std::string message);
    std::optional<IntStep> intStep(const Variable& target, bool up);
    std::variant<ActionStep, IntStep> loopStep(const Command& step, long depth);

    Memory& memory_;
    const DeclList& decls_;
    ExpCompiler exps_;
    unsigned nesting_ = 0;  // lists inside lists being compiled
};

}  // namespace jox
