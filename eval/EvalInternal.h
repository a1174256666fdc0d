// Internal to the evaluator: the fast paths that evaluate without copying
// values out of the memory, the messages several files share, and the size
// guards of values too large to build.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>
#include <new>
#include <type_traits>
#include <variant>

#include "eval/EvalExp.h"
#include "syntax/JoxTypes.h"

namespace jox::detail {

// The position of alternative T in the variant type V, for switches over
// index() that stay right if a family's order changes.
template <class T, class V>
struct AltIndex;
template <class T, class... Ts>
struct AltIndex<T, std::variant<Ts...>> {
    static constexpr std::size_t value = [] {
        std::size_t i = 0;
        bool found = false;
        ((found = found || std::is_same_v<T, Ts>, i += found ? 0 : 1), ...);
        return i;
    }();
};
template <class T, class Family>
inline constexpr std::size_t alt = AltIndex<T, decltype(Family::v)>::value;

// The alternative T of a node or value (anything with a variant `v`), or
// null.  The same as std::get_if on `x.v`, minus its test for a null
// argument, which the compiler keeps on every hop through the tree.  The
// match is marked likely: the fast paths test for the alternative they
// expect, and the compiler then keeps the accessor inline there.
template <class T, class Family>
[[gnu::always_inline]] inline const T* as(const Family& x) noexcept {
    constexpr std::size_t i = alt<T, Family>;
    if (x.v.index() == i) [[likely]]
        return &std::get<i>(x.v);
    return nullptr;
}
template <class T, class Family>
[[gnu::always_inline]] inline T* as(Family& x) noexcept {
    constexpr std::size_t i = alt<T, Family>;
    if (x.v.index() == i) [[likely]]
        return &std::get<i>(x.v);
    return nullptr;
}

// Positions of the alternatives of MemValue.
inline constexpr std::size_t kInt = alt<M_Int, MemValue>;
inline constexpr std::size_t kBool = alt<M_Boolean, MemValue>;
inline constexpr std::size_t kVar = alt<M_Var, MemValue>;
inline constexpr std::size_t kVec = alt<M_Vector, MemValue>;
inline constexpr std::size_t kFloat = alt<M_Float, MemValue>;
inline constexpr std::size_t kStr = alt<M_Str, MemValue>;
inline constexpr std::size_t kGarbage = alt<M_Garbage, MemValue>;

inline const Integer& intOf(const MemValue& v) { return as<M_Int>(v)->value; }
inline double floatOf(const MemValue& v) { return as<M_Float>(v)->value; }
inline const Text& strOf(const MemValue& v) { return as<M_Str>(v)->value; }
inline bool boolOf(const MemValue& v) { return as<M_Boolean>(v)->value; }

// The value of `exp`: a reference into the memory for a variable or an
// element, else to `out`, which receives the computed value.  `out` may hold
// an older value whose storage the result reuses (an integer's limbs, a
// text's buffer); it may even be the memory cell that the value will be
// stored into, since it is written only after every operand has been read.
// The operands of a node are computed into the scratch values of `depth`,
// and its children evaluated at depth + 1, so no temporary is allocated once
// the scratch values have grown to the sizes a program needs.
const MemValue& evalInto(const Expression& exp, const Memory& memory, MemValue& out, unsigned depth);
const MemValue& factorInto(const Factor& factor, const Memory& memory, MemValue& out, unsigned depth);

// Scratch value `which` (0 or 1) of nesting depth `depth`.  Callers at the
// top of a command use scratch(0, k) and evaluate at depth 1.  The values
// live in chunks that never move, so a reference stays valid while deeper
// levels grow the pool.
// The first chunk is part of the pool itself: the values of the shallow
// levels, which every command uses, are found without an indirection.
class ScratchPool {
public:
    MemValue& at(std::size_t i) {
        if (i < kChunk) return first_[i];
        if (i >= size_) grow(i);
        return chunks_[i / kChunk][i % kChunk];
    }

private:
    static constexpr std::size_t kChunk = 256;
    void grow(std::size_t i);
    std::array<MemValue, kChunk> first_ = makeFirst();
    std::vector<std::unique_ptr<MemValue[]>> chunks_;  // chunk 0 stays empty
    std::size_t size_ = kChunk;
    static std::array<MemValue, kChunk> makeFirst() {
        std::array<MemValue, kChunk> values;
        for (MemValue& v : values) v.v.emplace<M_Garbage>();
        return values;
    }
};
extern ScratchPool scratchPool;
inline MemValue& scratch(unsigned depth, unsigned which) {
    return scratchPool.at(2 * std::size_t{depth} + which);
}

// Setting `out` to a value of one kind, reusing its storage when it already
// holds that kind.  A scratch value that holds an integer one time and a real
// the next would otherwise give its limbs back and allocate them again every
// time: an integer that makes room for another kind is kept aside, and the
// next integer takes it over, limbs included.
class SpareIntegers {
public:
    void keep(MemValue& v) {
        if (v.v.index() == kInt && list_.size() < kMax)
            list_.push_back(std::move(as<M_Int>(v)->value));
    }
    void becomeInt(MemValue& v) {
        if (list_.empty()) {
            v.v.emplace<M_Int>();
            return;
        }
        v.v.emplace<M_Int>(M_Int{std::move(list_.back())});
        list_.pop_back();
    }

private:
    static constexpr std::size_t kMax = 64;
    std::vector<Integer> list_;
};
extern SpareIntegers spareIntegers;

[[gnu::always_inline]] inline mpz_ptr intCell(MemValue& out) {
    if (out.v.index() != kInt) spareIntegers.becomeInt(out);
    return as<M_Int>(out)->value.get_mpz_t();
}
[[gnu::always_inline]] inline void setFloat(MemValue& out, double d) {
    if (auto* f = as<M_Float>(out)) {
        f->value = d;
        return;
    }
    spareIntegers.keep(out);
    out.v.emplace<M_Float>(M_Float{d});
}
[[gnu::always_inline]] inline void setBool(MemValue& out, bool b) {
    if (auto* f = as<M_Boolean>(out)) {
        f->value = b;
        return;
    }
    spareIntegers.keep(out);
    out.v.emplace<M_Boolean>(M_Boolean{b});
}
[[gnu::always_inline]] inline Text& strCell(MemValue& out) {
    if (out.v.index() != kStr) {
        spareIntegers.keep(out);
        out.v.emplace<M_Str>();
    }
    return as<M_Str>(out)->value;
}

// ---------------------------------------------------------- small integers
// Most integers a program computes fit one machine word.  They stay in their
// Integer, but the hot operations read and write its single limb directly
// instead of calling GMP: an integer is "small" when its magnitude is below
// 2^63, and a result is written back directly when the word arithmetic did
// not overflow.  Every other case (big operands, an overflow) takes GMP's
// general path, so the results are the same to the last digit.
static_assert(GMP_LIMB_BITS == 64 && GMP_NAIL_BITS == 0, "one 64-bit limb per word");

// (Every integer has a readable first limb, even one of no limbs: GNU MP
// points those at a limb of its own; its word is ignored for size 0.)
[[gnu::always_inline]] inline bool smallOf(mpz_srcptr z, std::int64_t& v) {
    int size = z->_mp_size;
    if (static_cast<unsigned>(size + 1) > 2u) return false;  // not -1, 0 or 1
    auto limb = static_cast<std::int64_t>(z->_mp_d[0]);
    if (size == 0) {
        v = 0;
        return true;
    }
    if (limb < 0) return false;  // 2^63 or more
    v = limb * size;
    return true;
}

[[gnu::always_inline]] inline bool wordOf(const MemValue& v, std::int64_t& w) {
    return v.v.index() == kInt && smallOf(as<M_Int>(v)->value.get_mpz_t(), w);
}

// z <- v, for any 64-bit v (an integer that has no limb yet gets one).
[[gnu::always_inline]] inline void setSmall(mpz_ptr z, std::int64_t v) {
    if (z->_mp_alloc < 1) _mpz_realloc(z, 1);
    auto magnitude = static_cast<mp_limb_t>(v);
    if (v < 0) magnitude = mp_limb_t{0} - magnitude;
    z->_mp_d[0] = magnitude;
    z->_mp_size = (v > 0) - (v < 0);
}

// Both operands small integers: their words.
[[gnu::always_inline]] inline bool smallPair(const MemValue& a, const MemValue& b, std::int64_t& x, std::int64_t& y) {
    return a.v.index() == kInt && b.v.index() == kInt &&
           smallOf(as<M_Int>(a)->value.get_mpz_t(), x) &&
           smallOf(as<M_Int>(b)->value.get_mpz_t(), y);
}

[[gnu::always_inline]] inline void setInt(MemValue& out, std::int64_t v) { setSmall(intCell(out), v); }

// out <- the integer n.
[[gnu::always_inline]] inline void setInt(MemValue& out, const Integer& n) {
    std::int64_t v;
    if (smallOf(n.get_mpz_t(), v)) return setInt(out, v);
    mpz_set(intCell(out), n.get_mpz_t());
}

// out <- a copy of `from` (a different value), reusing out's storage.
inline void copyValue(const MemValue& from, MemValue& out) {
    switch (from.v.index()) {
        case kInt: return setInt(out, as<M_Int>(from)->value);
        case kFloat: return setFloat(out, as<M_Float>(from)->value);
        case kBool: return setBool(out, as<M_Boolean>(from)->value);
        case kStr: strCell(out) = as<M_Str>(from)->value; return;
        default: out = from;
    }
}

// ------------------------------------------------------------- operations
// The comparisons, as a truth value.
enum class Rel { Eq, Neq, Gt, Lt, Geq, Leq };
bool relateSlow(Rel rel, const MemValue& a, const MemValue& b);

template <class T>
[[gnu::always_inline]] inline bool holdsRel(Rel rel, T x, T y) {
    switch (rel) {
        case Rel::Eq: return x == y;
        case Rel::Neq: return x != y;
        case Rel::Gt: return x > y;
        case Rel::Lt: return x < y;
        case Rel::Geq: return x >= y;
        case Rel::Leq: return x <= y;
    }
    return false;
}

[[gnu::always_inline]] inline bool relate(Rel rel, const MemValue& a, const MemValue& b) {
    std::int64_t x, y;
    if (smallPair(a, b, x, y)) return holdsRel(rel, x, y);
    if (a.v.index() == kFloat && b.v.index() == kFloat) return holdsRel(rel, floatOf(a), floatOf(b));
    return relateSlow(rel, a, b);
}

// The integer operators on two small words: the result, or false when it is
// not exact in a word (an overflow) or the divisor is zero, and the general
// path decides.  div and % round the quotient towards minus infinity; small
// operands never overflow there (both magnitudes are below 2^63).
struct WordAdd {
    static bool apply(std::int64_t x, std::int64_t y, std::int64_t& r) { return !__builtin_add_overflow(x, y, &r); }
};
struct WordSub {
    static bool apply(std::int64_t x, std::int64_t y, std::int64_t& r) { return !__builtin_sub_overflow(x, y, &r); }
};
struct WordMul {
    static bool apply(std::int64_t x, std::int64_t y, std::int64_t& r) { return !__builtin_mul_overflow(x, y, &r); }
};
struct WordIDiv {
    static bool apply(std::int64_t x, std::int64_t y, std::int64_t& r) {
        if (y == 0) return false;
        r = x / y;
        if (x % y != 0 && (x < 0) != (y < 0)) --r;
        return true;
    }
};
struct WordResto {
    static bool apply(std::int64_t x, std::int64_t y, std::int64_t& r) {
        if (y == 0) return false;
        r = x % y;
        if (r != 0 && (r < 0) != (y < 0)) r += y;
        return true;
    }
};

// The operations, writing the result into `out` (which may alias an operand).
// The inline ones handle small integers (and pairs of reals) themselves and
// hand everything else to the general case.
using OpInto = void (*)(const MemValue&, const MemValue&, MemValue&);
void plusSlow(const MemValue& a, const MemValue& b, MemValue& out);
void minusSlow(const MemValue& a, const MemValue& b, MemValue& out);
void timesSlow(const MemValue& a, const MemValue& b, MemValue& out);
void divSlow(const MemValue& a, const MemValue& b, MemValue& out);
void idivSlow(const MemValue& a, const MemValue& b, MemValue& out);
void restoSlow(const MemValue& a, const MemValue& b, MemValue& out);
void potInto(const MemValue& a, const MemValue& b, MemValue& out);
void ipotInto(const MemValue& a, const MemValue& b, MemValue& out);
void andInto(const MemValue& a, const MemValue& b, MemValue& out);
void orInto(const MemValue& a, const MemValue& b, MemValue& out);

inline void plusInto(const MemValue& a, const MemValue& b, MemValue& out) {
    std::int64_t x, y, r;
    if (smallPair(a, b, x, y) && WordAdd::apply(x, y, r)) return setInt(out, r);
    if (a.v.index() == kFloat && b.v.index() == kFloat) return setFloat(out, floatOf(a) + floatOf(b));
    plusSlow(a, b, out);
}

inline void minusInto(const MemValue& a, const MemValue& b, MemValue& out) {
    std::int64_t x, y, r;
    if (smallPair(a, b, x, y) && WordSub::apply(x, y, r)) return setInt(out, r);
    if (a.v.index() == kFloat && b.v.index() == kFloat) return setFloat(out, floatOf(a) - floatOf(b));
    minusSlow(a, b, out);
}

inline void timesInto(const MemValue& a, const MemValue& b, MemValue& out) {
    std::int64_t x, y, r;
    if (smallPair(a, b, x, y) && WordMul::apply(x, y, r)) return setInt(out, r);
    if (a.v.index() == kFloat && b.v.index() == kFloat) return setFloat(out, floatOf(a) * floatOf(b));
    timesSlow(a, b, out);
}

inline void divInto(const MemValue& a, const MemValue& b, MemValue& out) {
    if (a.v.index() == kFloat && b.v.index() == kFloat) return setFloat(out, floatOf(a) / floatOf(b));
    divSlow(a, b, out);
}

inline void idivInto(const MemValue& a, const MemValue& b, MemValue& out) {
    std::int64_t x, y, r;
    if (smallPair(a, b, x, y) && WordIDiv::apply(x, y, r)) return setInt(out, r);
    idivSlow(a, b, out);
}

inline void restoInto(const MemValue& a, const MemValue& b, MemValue& out) {
    std::int64_t x, y, r;
    if (smallPair(a, b, x, y) && WordResto::apply(x, y, r)) return setInt(out, r);
    restoSlow(a, b, out);
}

inline void eqInto(const MemValue& a, const MemValue& b, MemValue& out) { setBool(out, relate(Rel::Eq, a, b)); }
inline void neqInto(const MemValue& a, const MemValue& b, MemValue& out) { setBool(out, relate(Rel::Neq, a, b)); }
inline void gtInto(const MemValue& a, const MemValue& b, MemValue& out) { setBool(out, relate(Rel::Gt, a, b)); }
inline void ltInto(const MemValue& a, const MemValue& b, MemValue& out) { setBool(out, relate(Rel::Lt, a, b)); }
inline void geqInto(const MemValue& a, const MemValue& b, MemValue& out) { setBool(out, relate(Rel::Geq, a, b)); }
inline void leqInto(const MemValue& a, const MemValue& b, MemValue& out) { setBool(out, relate(Rel::Leq, a, b)); }

[[noreturn]] void failUnset(const Text& name);
[[noreturn]] void failNoVariable();  // "Erro Interno No. 101." + contact line

// seekVarValue / seekVectorValue for names held by the tree: the node's hint
// remembers where the name was found.
[[gnu::always_inline]] inline const MemValue& varRef(const Memory& memory, const Text& name, const PlaceHint& hint) {
    const MemValue* v = memory.findPlace(name, hint);
    if (v == nullptr) failNoVariable();
    if (v->v.index() == kGarbage) failUnset(name);
    return *v;
}
template <class Node>
[[gnu::always_inline]] inline const MemValue& varRef(const Memory& memory, const Node& node) {
    return varRef(memory, node.name, node.hint);
}
// The element's value is a reference into the memory, or, for a vector held
// as words, written into `out`.
const MemValue& elemRef(const Memory& memory, const Text& name, const PlaceHint& hint, const Integer& index,
                        MemValue& out);

// ------------------------------------------------------- vectors of words
// Vectors of at least kWordsFrom elements start out as words (see M_Vector);
// smaller ones cost little either way.
constexpr std::size_t kWordsFrom = 256;
constexpr std::int64_t kUnsetWord = INT64_MIN;
inline bool heldAsWords(const M_Vector& v) { return !v.words.empty(); }
inline std::size_t elemCount(const M_Vector& v) { return heldAsWords(v) ? v.words.size() : v.elems.size(); }
// (wordOf, above, gives the word that holds a value in a vector of words, or
// false when the value is not an integer that fits one: INT64_MIN marks the
// unset elements.)
// A vector of words turned into its elements, for good.
void unpackWords(M_Vector& v);

// evalInto, reading a variable where it is stored without going through the
// dispatch.
// An integer literal is copied into `out` at once.
[[gnu::always_inline]] inline const MemValue& evalTo(const Expression& e, const Memory& m, MemValue& out, unsigned d) {
    if (const auto* f = as<E_Factor>(e)) {
        const Factor& x = *f->factor;
        if (const auto* v = as<E_Var>(x)) return varRef(m, *v);
        if (const auto* n = as<E_Int>(x)) {
            setInt(out, n->value);
            return out;
        }
    }
    return evalInto(e, m, out, d);
}

// ------------------------------------------------------------ quick words
// Most operands in the loops of a program are small integers held by a
// variable, an element of a vector of words or a literal, combined by + - *
// div %.  quickWord / quickValue compute such a value as a machine word
// straight from the tree and the memory, without scratch values or GNU MP.
// They only read, never fail, never call out and never change anything:
// when an operand is anything else (unset, not an integer, too large, a
// division by zero, an overflow, a name whose place the node does not
// remember yet) they give up (false), and the caller evaluates the node the
// general way, which yields the same value or reports the same failure (and
// remembers the place for the next time).  A quick word is exactly the
// integer the general path computes, and always small (see smallOf).

// A variable or a small literal.
[[gnu::always_inline]] inline bool quickName(const Factor& f, const Memory& m, std::int64_t& w) {
    if (const auto* x = as<E_Var>(f)) {
        const MemValue* v = m.hintedPlace(x->hint);
        return v != nullptr && wordOf(*v, w);
    }
    if (const auto* n = as<E_Int>(f)) return smallOf(n->value.get_mpz_t(), w);
    return false;
}

// The vector a node names, when its hint remembers one.
[[gnu::always_inline]] inline const M_Vector* hintedVector(const Memory& m, const PlaceHint& hint) {
    const MemValue* place = m.hintedPlace(hint);
    return place == nullptr ? nullptr : as<M_Vector>(*place);
}

// A variable, a small literal, or an element v[k] of a vector of words whose
// index k is a variable or a literal.
[[gnu::always_inline]] inline bool quickWord(const Factor& f, const Memory& m, std::int64_t& w) {
    if (quickName(f, m, w)) return true;
    const auto* x = as<E_Vector>(f);
    if (x == nullptr) return false;
    const auto* ie = as<E_Factor>(*x->index);
    std::int64_t k;
    if (ie == nullptr || !quickName(*ie->factor, m, k)) return false;
    const M_Vector* vec = hintedVector(m, x->hint);
    if (vec == nullptr || k < 0 || static_cast<std::uint64_t>(k) >= vec->words.size()) return false;
    w = vec->words[static_cast<std::size_t>(k)];  // (a vector of elements has no words)
    return w != kUnsetWord;
}

// An expression: a quick factor, or + - * div % over quick operands, two
// operators deep at most (3 * m + 1).
bool quickArith(const Expression& e, const Memory& m, std::int64_t& w);
[[gnu::always_inline]] inline bool quickValue(const Expression& e, const Memory& m, std::int64_t& w) {
    if (const auto* f = as<E_Factor>(e)) return quickWord(*f->factor, m, w);
    return quickArith(e, m, w);
}
// quickValue with a sum of two factors (s + i, the step of most loops)
// computed in place, for the value of an assignment.
[[gnu::always_inline]] inline bool quickSum(const Expression& e, const Memory& m, std::int64_t& w) {
    if (const auto* n = as<E_Mais>(e)) {
        const auto* a = as<E_Factor>(*n->left);
        const auto* b = as<E_Factor>(*n->right);
        if (a != nullptr && b != nullptr) {  // (quickValue would not do better)
            std::int64_t x, y, r;
            if (!quickWord(*a->factor, m, x) || !quickWord(*b->factor, m, y) || !WordAdd::apply(x, y, r) ||
                r == INT64_MIN)
                return false;
            w = r;
            return true;
        }
    }
    return quickValue(e, m, w);
}

// The operands and the relation of a comparison node, or false for any
// other node.  (The comparisons share one shape, so the cases differ in the
// relation only and compile to a table.)
struct Comparison {
    const Expression* left;
    const Expression* right;
    Rel rel;
};
template <class Node>
[[gnu::always_inline]] inline Comparison comparisonOf(const Expression& e, Rel rel) {
    const Node& x = *as<Node>(e);
    return {x.left.get(), x.right.get(), rel};
}
[[gnu::always_inline]] inline bool asComparison(const Expression& e, Comparison& c) {
    switch (e.v.index()) {
        case alt<E_Igual, Expression>: c = comparisonOf<E_Igual>(e, Rel::Eq); return true;
        case alt<E_Dif, Expression>: c = comparisonOf<E_Dif>(e, Rel::Neq); return true;
        case alt<E_Maior, Expression>: c = comparisonOf<E_Maior>(e, Rel::Gt); return true;
        case alt<E_Menor, Expression>: c = comparisonOf<E_Menor>(e, Rel::Lt); return true;
        case alt<E_Maiorig, Expression>: c = comparisonOf<E_Maiorig>(e, Rel::Geq); return true;
        case alt<E_Menorig, Expression>: c = comparisonOf<E_Menorig>(e, Rel::Leq); return true;
        default: return false;
    }
}

// Whether x rel y holds for two words, without a branch on the relation: the
// relation's mask has one bit for each of x < y, x == y, x > y.
[[gnu::always_inline]] inline bool holdsWords(Rel rel, std::int64_t x, std::int64_t y) {
    static constexpr unsigned char kMask[] = {
        0b010,  // Eq
        0b101,  // Neq
        0b100,  // Gt
        0b001,  // Lt
        0b110,  // Geq
        0b011,  // Leq
    };
    int order = (x > y) - (x < y) + 1;
    return (kMask[static_cast<int>(rel)] >> order) & 1;
}

// evalCondition for a comparison of two quick values (see quickValue), or
// false.  Inlined into the loop runners.
[[gnu::always_inline]] inline bool quickCondition(const Expression& cond, const Memory& m, bool& holds) {
    Comparison c;
    std::int64_t wa, wb;
    if (!asComparison(cond, c) || !quickValue(*c.left, m, wa) || !quickValue(*c.right, m, wb)) return false;
    holds = holdsWords(c.rel, wa, wb);
    return true;
}
// evalCondition without the quick test.
bool conditionSlow(const Expression& cond, const Memory& memory);

// The integer inside an evaluated vector index (an internal error, No. 141,
// when the index is not an integer: the check makes that unreachable).
[[noreturn]] void failNotIndex();
[[gnu::always_inline]] inline const Integer& indexOf(const MemValue& index) {
    if (index.v.index() != kInt) failNotIndex();
    return intOf(index);
}

// The 0-based position of `index` in a vector or text of `count` elements,
// or false when the index is outside 0 .. count-1.
[[gnu::always_inline]] inline bool position(const Integer& index, std::size_t count, std::size_t& out) {
    const mpz_srcptr z = index.get_mpz_t();
    std::int64_t small;
    if (smallOf(z, small)) {
        if (small < 0 || static_cast<std::uint64_t>(small) >= count) return false;
        out = static_cast<std::size_t>(small);
        return true;
    }
    if (mpz_sgn(z) < 0 || !mpz_fits_ulong_p(z)) return false;
    unsigned long i = mpz_get_ui(z);
    if (i >= count) return false;
    out = i;
    return true;
}

// The element `index` of the vector at `slot` for a store, after the bounds
// check ("Vetor NAME[INDEX] indexado fora dos limites.").
MemValue& elemForStore(Memory& memory, std::size_t slot, const Text& name, const Integer& index);

// The slot of the vector `name` for a store: the first vector entry of that
// name, or "Erro Interno N0. 103." + contact line.
std::size_t vectorSlotForStore(const Memory& memory, const Text& name);
// The value of the first vector entry called `name`, or null.
const MemValue* vectorPlace(const Memory& memory, const Text& name, const PlaceHint& hint);

[[noreturn]] void failUnsetElem(const Text& name, const Integer& index);
[[noreturn]] void failOutOfBounds(const Text& name, const Integer& index);
// An operand pair outside the operation tables.
[[noreturn]] void failOperands();

// "Erro Interno No. N." etc. followed by the contact line.
std::string withContactLine(const std::string& first);

// Values too large to build are memory exhaustion: std::bad_alloc, thrown
// before anything is allocated.  Texts and vectors hold at most 2^31 - 1
// elements (their positions are 32-bit in the language) and at most half the
// machine's memory; integers at most 2^35 bits.
constexpr std::size_t kMaxElements = 0x7fffffff;
constexpr std::size_t kMaxIntBits = std::size_t{1} << 35;
void checkAffordable(std::size_t count, std::size_t elementBytes);

}  // namespace jox::detail
