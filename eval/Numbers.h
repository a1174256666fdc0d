// The numbers of the language as the evaluator computes with them.
//
// Integers are unbounded.  An integer is held as a machine word while its
// value fits one, and as a GNU MP Integer only when it does not: IntVal is
// one such value.  Every operation on integers is written once, for both
// forms: the word arithmetic checks for overflow, and a result that does not
// fit a word is computed by GNU MP instead, exactly (never wrapped).  A GNU MP
// result that fits a word again comes back as a word.
//
// Reals are IEEE 754 doubles.  Conversions between the two: real(i) rounds to
// the nearest double (ties to even); round(x) is the nearest integer (ties to
// even) and refuses infinities and NaN.
#pragma once

#include <cstddef>
#include <cstdint>

#include "syntax/JoxTypes.h"

namespace jox {

// ------------------------------------------------------------------ IntVal
// An integer: `word` when `big` is null, else *big, which never fits a word.
// A value refers to an Integer held by whoever produced it (a memory cell, a
// literal, the result register of an operation); it is used before that
// holder changes again, as the operands of one operation are.
struct IntVal {
    std::int64_t word = 0;
    const Integer* big = nullptr;

    bool isWord() const { return big == nullptr; }
};

// Where an operation keeps a result that does not fit a word.  A copy of an
// operation gets a register of its own: what a register holds is never part
// of the operation.
struct IntRegister {
    Integer value;
    IntRegister() = default;
    IntRegister(const IntRegister&) {}
    IntRegister& operator=(const IntRegister&) { return *this; }
};

// The value of `z` (a reference to it when it does not fit a word).
IntVal intValOf(const Integer& z);
// The value of `v` as an Integer of its own.
Integer integerOf(IntVal v);
// The decimal text of `v` ("-" in front when negative).
Text intValText(IntVal v);

// Integers too large to build are memory exhaustion: std::bad_alloc, thrown
// before anything is allocated.  An integer holds at most 2^35 bits.
constexpr std::size_t kMaxIntBits = std::size_t{1} << 35;

// ---------------------------------------------------- integer arithmetic
// Each operation writes a result that does not fit a word into `out` and
// returns a reference to it.  div and % round the quotient towards minus
// infinity (the remainder has the sign of the divisor); by zero they fail
// with "Divis\xE3o por zero.".  A negative exponent of ^ fails with
// "Expoente negativo na potencia\xE7\xE3o.".
namespace detail {
IntVal addBig(IntVal a, IntVal b, Integer& out);
IntVal subBig(IntVal a, IntVal b, Integer& out);
IntVal mulBig(IntVal a, IntVal b, Integer& out);
IntVal floorDivBig(IntVal a, IntVal b, Integer& out);
IntVal floorModBig(IntVal a, IntVal b, Integer& out);
IntVal negBig(IntVal a, Integer& out);
[[noreturn]] void failDivisionByZero();
}  // namespace detail

inline IntVal intAdd(IntVal a, IntVal b, Integer& out) {
    std::int64_t r;
    if (a.isWord() && b.isWord() && !__builtin_add_overflow(a.word, b.word, &r)) [[likely]]
        return {r};
    return detail::addBig(a, b, out);
}

inline IntVal intSub(IntVal a, IntVal b, Integer& out) {
    std::int64_t r;
    if (a.isWord() && b.isWord() && !__builtin_sub_overflow(a.word, b.word, &r)) [[likely]]
        return {r};
    return detail::subBig(a, b, out);
}

inline IntVal intMul(IntVal a, IntVal b, Integer& out) {
    std::int64_t r;
    if (a.isWord() && b.isWord() && !__builtin_mul_overflow(a.word, b.word, &r)) [[likely]]
        return {r};
    return detail::mulBig(a, b, out);
}

// (INT64_MIN div -1 is the one quotient of words that is no word.)
inline IntVal intFloorDiv(IntVal a, IntVal b, Integer& out) {
    if (a.isWord() && b.isWord() && b.word != 0 && (b.word != -1 || a.word != INT64_MIN)) [[likely]] {
        std::int64_t q = a.word / b.word;
        if (a.word % b.word != 0 && (a.word < 0) != (b.word < 0)) --q;
        return {q};
    }
    return detail::floorDivBig(a, b, out);
}

inline IntVal intFloorMod(IntVal a, IntVal b, Integer& out) {
    if (a.isWord() && b.isWord() && b.word != 0) [[likely]] {
        if (b.word == -1) return {0};  // (INT64_MIN % -1 would trap)
        std::int64_t r = a.word % b.word;
        if (r != 0 && (r < 0) != (b.word < 0)) r += b.word;
        return {r};
    }
    return detail::floorModBig(a, b, out);
}

inline IntVal intNeg(IntVal a, Integer& out) {
    if (a.isWord() && a.word != INT64_MIN) [[likely]]
        return {-a.word};
    return detail::negBig(a, out);
}

inline IntVal intAbs(IntVal a, Integer& out) {
    bool negative = a.isWord() ? a.word < 0 : mpz_sgn(a.big->get_mpz_t()) < 0;
    return negative ? intNeg(a, out) : a;
}

// The exact power (^ of two integers).
IntVal intPow(IntVal base, IntVal exponent, Integer& out);

// <0, 0 or >0 as a is below, equal to or above b.
inline int intCompare(IntVal a, IntVal b) {
    if (a.isWord() && b.isWord()) [[likely]]
        return (a.word > b.word) - (a.word < b.word);
    if (a.isWord()) return -mpz_sgn(b.big->get_mpz_t());  // b is beyond every word
    if (b.isWord()) return mpz_sgn(a.big->get_mpz_t());
    return mpz_cmp(a.big->get_mpz_t(), b.big->get_mpz_t());
}

// ------------------------------------------------------------ conversions
// real(i): the double nearest to the integer (ties to even); beyond the range
// of doubles, the infinity of its sign.
double intToReal(const Integer& value);
inline double intToReal(IntVal v) {
    if (v.isWord()) [[likely]]
        return static_cast<double>(v.word);  // one rounding, to nearest even
    return intToReal(*v.big);
}

// round(x): the nearest integer, ties to even.  Infinite or NaN: "Valor real
// sem inteiro correspondente.".
IntVal roundReal(double value, Integer& out);
Integer roundReal(double value);

// --------------------------------------------------------------- reals
// The power on doubles of ** and of ^ with a real operand: 0 for x = 0 and
// y > 0; for a whole y that fits 64 bits, repeated squaring of x (or of 1/x
// for a negative y); otherwise 2^(y*log2 x).  Intermediates in long double,
// one rounding to double at the end; infinite or NaN operands as powl.
double powReal(double x, double y);

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

// Texts and vectors hold at most 2^31 - 1 elements (their positions are
// 32-bit in the language) and at most half the machine's memory.  Larger
// ones are memory exhaustion: std::bad_alloc.
constexpr std::size_t kMaxElements = 0x7fffffff;
void checkAffordable(std::size_t count, std::size_t elementBytes);

}  // namespace jox
