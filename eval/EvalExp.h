// The run-time memory of a JOX program and the evaluation of its expressions.
//
// Memory holds one entry (name, value) per declared variable, in declaration
// order; a vector is one entry holding M_Vector.  Stores change the memory in
// place: nobody ever reads an older memory, so a store never copies the
// memory or a vector, and an element store is O(1).  A name is resolved to
// its entry by a hash, and the evaluator remembers the entry of each name it
// meets in the tree, so a variable access does not scan the names.
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

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "syntax/JoxTypes.h"

namespace jox {

// -------------------------------------------------------------- run limits
// For tools that run untrusted programs under a budget (the fuzz targets).
// `onCommandList`, when set, is called as every command list starts to run,
// so at least once per loop pass, and may throw to stop the run.
// `valueBytes`, when not zero, is the most bytes one text, vector or integer
// may take before it counts as exhausted memory (std::bad_alloc, thrown
// before anything is allocated).  joxrun and joxflow leave both unset: no
// hook, and values may take up to half the machine's memory.
struct RunLimits {
    void (*onCommandList)() = nullptr;
    std::size_t valueBytes = 0;
};
extern RunLimits runLimits;

// ------------------------------------------------------------------ Memory
class Memory {
public:
    struct Entry {
        Text name;
        MemValue value;
    };
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    Memory() = default;
    // A memory is never copied (a copy would duplicate every vector); it is
    // moved or handed on by reference.  A move hands the entries over where
    // they are, with the places remembered for them; the memory moved from
    // starts a new generation.
    Memory(const Memory&) = delete;
    Memory& operator=(const Memory&) = delete;
    Memory(Memory&& other) noexcept;
    Memory& operator=(Memory&& other) noexcept;

    // The entries, in declaration order.
    std::size_t size() const { return entries_.size(); }
    const Entry& entry(std::size_t slot) const { return entries_[slot]; }
    MemValue& valueAt(std::size_t slot) { return entries_[slot].value; }
    const MemValue& valueAt(std::size_t slot) const { return entries_[slot].value; }

    // The slot of the first entry called `name`, or npos.
    std::size_t find(const Text& name) const;
    // The same, for a name that lives in the (immutable) syntax tree: the slot
    // found for that tree node is remembered, so the next lookup of the same
    // node costs one comparison of names.  Any Text is safe to pass; a
    // remembered slot is used only when its name still matches.
    [[gnu::always_inline]] std::size_t findNode(const Text& name) const {
        const Hint& h = hints_[hintOf(&name)];
        if (h.key == &name && (stableNames_ || entries_[h.slot].name == name)) return h.slot;
        return findNodeSlow(name);
    }

    // The value of the first entry called `name`, or null, for a name held
    // by a tree node together with its hint: the place found is remembered in
    // the hint, so the next lookup through it costs one comparison.  The
    // generation of a memory changes whenever an entry is added (places may
    // move then), and no two memories share one, so a hint is used only while
    // its place is right.
    [[gnu::always_inline]] const MemValue* findPlace(const Text& name, const PlaceHint& hint) const {
        if (hint.generation == generation_) return hint.place;
        return findPlaceSlow(name, hint);
    }
    [[gnu::always_inline]] MemValue* findPlace(const Text& name, const PlaceHint& hint) {
        return const_cast<MemValue*>(static_cast<const Memory*>(this)->findPlace(name, hint));
    }
    // The place a hint remembers, or null when it is not known yet (or no
    // longer right): no lookup, for paths that have a slower way to go.
    [[gnu::always_inline]] const MemValue* hintedPlace(const PlaceHint& hint) const {
        return hint.generation == generation_ ? hint.place : nullptr;
    }

    // While a whole program runs (execProg), every name looked up lives in its
    // syntax tree, which outlives the run: the remembered slot of a node is
    // then used without comparing the names again.
    void setStableNames(bool stable) {
        hints_ = {};
        stableNames_ = stable;
    }

    // Appends an entry at the end (even when the name is already there: the
    // first entry of a name is the one every lookup finds).
    void append(Text name, MemValue value);

private:
    struct Hint {
        const Text* key = nullptr;
        std::size_t slot = 0;
    };
    static constexpr std::size_t kHints = 1024;
    static std::size_t hintOf(const Text* key) {
        auto bits = reinterpret_cast<std::uintptr_t>(key);
        return static_cast<std::size_t>((bits >> 3) * 0x9E3779B97F4A7C15ull >> 54);
    }
    std::size_t findNodeSlow(const Text& name) const;
    const MemValue* findPlaceSlow(const Text& name, const PlaceHint& hint) const;
    static std::uint64_t newGeneration();

    std::vector<Entry> entries_;
    std::uint64_t generation_ = newGeneration();
    std::unordered_map<Text, std::size_t> index_;  // first slot of each name
    mutable std::array<Hint, kHints> hints_{};
    bool stableNames_ = false;
};

// --------------------------------------------------------- memory operations
// The initial memory: `memory` (both programs pass an empty one) followed by
// one entry per variable of `vars`, in order: (name, M_Garbage) for a simple
// variable, (name, M_Vector of n M_Garbage) for a vector declared with size
// n.  The size is evaluated with evalExp against an empty memory.  Call as
//   Memory mem = fillGarbage(removeVar(program.decls), Memory{});
Memory fillGarbage(const std::vector<Variable>& vars, Memory memory);

// The value of the simple variable `name`.  Unset: "Vari\xE1vel NAME n\xE3o
// inicializada."; absent: "Erro Interno No. 101." + contact line.  The
// reference stays valid until the next store into `memory`.
const MemValue& seekVarValue(const Memory& memory, const Text& name);

// The element `index` (0-based) of the vector `name`.  Out of bounds:
// "Vetor NAME[INDEX] indexado fora dos limites."; unset: "Vari\xE1vel
// NAME[INDEX] n\xE3o inicializada."; no such vector: "Erro Interno No. 102."
// + contact line.  The reference stays valid until the next store.
const MemValue& seekVectorValue(const Memory& memory, const Text& name, const Integer& index);

// Stores `value` as the whole value of the entry `name`, in place; a name not
// in the memory is appended at the end.  Never fails.
void evalUpdate(Memory& memory, const Text& name, MemValue value);

// Stores `value` as element `index` of the vector `name` (note: the value
// comes before the index).  Out of bounds: "Vetor NAME[INDEX] indexado fora
// dos limites."; no such vector: "Erro Interno N0. 103." + contact line.
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

// ---------------------------------------------------------- number helpers
// The power on doubles of ** and of ^ with a real operand: 0 for x = 0 and
// y > 0; for a whole y that fits 64 bits, repeated squaring of x (or of 1/x
// for a negative y); otherwise 2^(y*log2 x).  Intermediates in long double,
// one rounding to double at the end; infinite or NaN operands as powl.
double powReal(double x, double y);

// real(i): the double nearest to the integer (ties to even); beyond the range
// of doubles, the infinity of its sign.
double intToReal(const Integer& value);

// round(x): the nearest integer, ties to even.  Infinite or NaN: "Valor real
// sem inteiro correspondente.".
Integer roundReal(double value);

// ---------------------------------------------------------------- value text
// The display text of a value: integers in decimal, reals as realText gives
// them, texts as they are, truth values "verdadeiro" / "falso", a vector as
// "[" + its element texts run together + "]".  M_Garbage has no text: an
// internal error (No. 143).
Text fromMem(const MemValue& value);

}  // namespace jox
