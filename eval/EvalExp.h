// The run-time memory of a JOX program and the evaluation of its expressions,
// on run-time values (MemValue): what the animated run of joxflow and the
// tests use.  The console run compiles whole programs instead (Compile.h);
// both evaluate through the same compiled expressions.
//
// Memory holds one slot per declared variable, in declaration order (see
// Memory.h).  Stores change the memory in place: nobody ever reads an older
// memory, so a store never copies the memory or a vector.
//
// Every operation either yields its result or ends the run by throwing
// JoxError (fail()) with the Portuguese message; nothing is changed by an
// operation that fails.
//
// Vector indices and the counts of the text built-ins are the unbounded
// integers the program computed: a bounds check compares the true value, and
// messages write it in full ("Vetor v[-1] indexado fora dos limites.",
// "Vetor v[99999999999999999999] indexado fora dos limites.").  Plain C++
// integers convert to Integer implicitly, so `seekVectorValue(m, "v", 2)`
// works as well.
#pragma once

#include <vector>

#include "eval/Memory.h"
#include "eval/Numbers.h"
#include "syntax/JoxTypes.h"

namespace jox {

// --------------------------------------------------------- memory operations
// The initial memory: `memory` (both programs pass an empty one) followed by
// one slot per variable of `vars`, in order, all unset: a simple variable, or
// a vector of the declared size.  The size is evaluated with evalExp against
// an empty memory.  Call as
//   Memory mem = fillGarbage(removeVar(program.decls), Memory{});
Memory fillGarbage(const std::vector<Variable>& vars, Memory memory);

// The value of the simple variable `name`.  Unset: "Vari\xE1vel NAME n\xE3o
// inicializada."; absent: "Erro Interno No. 101." + contact line.
MemValue seekVarValue(const Memory& memory, const Text& name);

// The element `index` (0-based) of the vector `name`.  Out of bounds:
// "Vetor NAME[INDEX] indexado fora dos limites."; unset: "Vari\xE1vel
// NAME[INDEX] n\xE3o inicializada."; no such vector: "Erro Interno No. 102."
// + contact line.
MemValue seekVectorValue(const Memory& memory, const Text& name, const Integer& index);

// Stores `value` as the whole value of the variable `name`, in place; a name
// not in the memory is appended at the end.  Never fails.
void evalUpdate(Memory& memory, const Text& name, MemValue value);

// Stores `value` as element `index` of the vector `name` (note: the value
// comes before the index).  Out of bounds: "Vetor NAME[INDEX] indexado fora
// dos limites."; no such vector: "Erro Interno N0. 103." + contact line; a
// value of another type than the vector's elements, which no checked program
// stores: internal error No. 148.
void evalVectorUpdate(Memory& memory, const Text& name, MemValue value, const Integer& index);

// The value of a simple variable plus / minus the integer 1 (the name comes
// first, then the memory).  Nothing is stored: the caller stores the result
// with evalUpdate.  Failures: those of seekVarValue.
MemValue evalIncrVar(const Text& name, const Memory& memory);
MemValue evalDecrVar(const Text& name, const Memory& memory);

// The same for the element `index` of a vector (name, memory, index); the
// caller stores the result with evalVectorUpdate.  Failures: those of
// seekVectorValue.
MemValue evalIncrVector(const Text& name, const Memory& memory, const Integer& index);
MemValue evalDecrVector(const Text& name, const Memory& memory, const Integer& index);

// -------------------------------------------------------------- evaluation
// The value of an expression under `memory` (only read).  Operands are
// evaluated left first and always both (no short circuit); the first failure
// met ends the run.  Yields M_Int, M_Float, M_Boolean or M_Str.
MemValue evalExp(const Expression& exp, const Memory& memory);
inline MemValue evalExp(const ExpPtr& exp, const Memory& memory) { return evalExp(*exp, memory); }

// The value of one factor: literals, variables, vector elements, (e), the
// signs, pi and the built-in functions.
MemValue evalFactor(const Factor& factor, const Memory& memory);

// The condition test of the conditionals and loops: the value of `cond`
// compared with M_Boolean true by evalEq.
bool evalCondition(const Expression& cond, const Memory& memory);

// The operations on evaluated operands (left, right).  Integer arithmetic is
// exact; one real operand makes +, -, * real; / and ** are always real; div
// and ^ always integer (a real quotient or power is rounded to the nearest
// integer, ties to even).  Integer div and % by zero: "Divis\xE3o por zero.";
// integer ^ with a negative exponent: "Expoente negativo na potencia\xE7\xE3o.";
// a real without an integer (infinite or NaN) to round: "Valor real sem
// inteiro correspondente.".  A pair of operands outside the tables of the
// language (unreachable after the check) is an internal error (No. 140).
MemValue evalPlus(const MemValue& left, const MemValue& right);
MemValue evalMinus(const MemValue& left, const MemValue& right);
MemValue evalTimes(const MemValue& left, const MemValue& right);
MemValue evalDiv(const MemValue& left, const MemValue& right);
MemValue evalIDiv(const MemValue& left, const MemValue& right);
MemValue evalResto(const MemValue& left, const MemValue& right);
MemValue evalPot(const MemValue& left, const MemValue& right);
MemValue evalIPot(const MemValue& left, const MemValue& right);
// Comparisons yield M_Boolean.  evalEq / evalNeq take two integers, reals,
// texts or truth values; the orderings two integers, reals or texts (texts
// by Latin-1 code, a proper prefix being smaller).  NaN equals nothing, and
// every ordering with a NaN is false.
MemValue evalEq(const MemValue& left, const MemValue& right);
MemValue evalNeq(const MemValue& left, const MemValue& right);
MemValue evalGt(const MemValue& left, const MemValue& right);
MemValue evalLt(const MemValue& left, const MemValue& right);
MemValue evalGeq(const MemValue& left, const MemValue& right);
MemValue evalLeq(const MemValue& left, const MemValue& right);
MemValue evalAnd(const MemValue& left, const MemValue& right);
MemValue evalOr(const MemValue& left, const MemValue& right);
MemValue evalNot(const MemValue& value);

// ---------------------------------------------------------------- value text
// The display text of a value: integers in decimal, reals as realText gives
// them, texts as they are, truth values "verdadeiro" / "falso", a vector as
// "[" + its element texts run together + "]".  M_Garbage has no text: an
// internal error (No. 143).
Text fromMem(const MemValue& value);

}  // namespace jox
