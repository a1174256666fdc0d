// The operations on evaluated operands, the power on doubles, the
// conversions between integers and reals, and the value text.
#include <cmath>
#include <cstdint>
#include <limits>

#include "check/ValueText.h"
#include "eval/EvalExp.h"
#include "eval/EvalInternal.h"
#include "syntax/Failure.h"

namespace jox {

using namespace detail;

namespace {

// A numeric operand as a double (real(i) for an integer); any other value is
// outside the tables.
double realOperand(const MemValue& v) {
    switch (v.v.index()) {
        case kInt: return intToReal(intOf(v));
        case kFloat: return floatOf(v);
        default: failOperands();
    }
}

bool bothInt(const MemValue& a, const MemValue& b) {
    return a.v.index() == kInt && b.v.index() == kInt;
}

mpz_srcptr z(const MemValue& v) { return intOf(v).get_mpz_t(); }

[[noreturn]] void failDivByZero() { fail("Divis\xE3o por zero."); }

bool holds(Rel rel, int c) {
    switch (rel) {
        case Rel::Eq: return c == 0;
        case Rel::Neq: return c != 0;
        case Rel::Gt: return c > 0;
        case Rel::Lt: return c < 0;
        case Rel::Geq: return c >= 0;
        case Rel::Leq: return c <= 0;
    }
    return false;
}

}  // namespace

bool detail::relateSlow(Rel rel, const MemValue& a, const MemValue& b) {
    std::size_t ia = a.v.index();
    if (ia != b.v.index()) failOperands();
    switch (ia) {
        case kInt: return holds(rel, mpz_cmp(z(a), z(b)));
        case kStr: return holds(rel, strOf(a).compare(strOf(b)));
        case kFloat: return holdsRel(rel, floatOf(a), floatOf(b));
        case kBool:
            if (rel == Rel::Eq) return boolOf(a) == boolOf(b);
            if (rel == Rel::Neq) return boolOf(a) != boolOf(b);
            break;
        default: break;
    }
    failOperands();
}

namespace {

// An integer result too large to build is memory exhaustion.
void checkBits(std::size_t bits) {
    if (bits > kMaxIntBits) throw std::bad_alloc();
    if (runLimits.valueBytes != 0 && bits / 8 > runLimits.valueBytes) throw std::bad_alloc();
}

MemValue fresh(OpInto op, const MemValue& a, const MemValue& b) {
    MemValue out{M_Garbage{}};
    op(a, b, out);
    return out;
}

}  // namespace

// ----------------------------------------------------------- conversions
double intToReal(const Integer& value) {
    mpz_srcptr z = value.get_mpz_t();
    // One conversion from a word rounds to nearest, ties to even, as below.
    std::int64_t small;
    if (smallOf(z, small)) return static_cast<double>(small);
    std::size_t bits = mpz_sizeinbase(z, 2);
    if (bits <= 53) return mpz_get_d(z);  // exact
    int sign = mpz_sgn(z);
    if (bits > 1100) return sign > 0 ? HUGE_VAL : -HUGE_VAL;
    if (bits <= 64) {  // one conversion from 64 bits rounds to nearest
        mpz_t a;
        mpz_init(a);
        mpz_abs(a, z);
        double d = static_cast<double>(static_cast<std::uint64_t>(mpz_get_ui(a)));
        mpz_clear(a);
        return sign < 0 ? -d : d;
    }
    // The top 64 bits, with a sticky bit for everything below them, round to
    // the nearest double in one conversion.
    std::size_t shift = bits - 64;
    mpz_t top;
    mpz_init(top);
    mpz_tdiv_q_2exp(top, z, shift);
    mpz_abs(top, top);
    std::uint64_t t = mpz_get_ui(top);
    mpz_clear(top);
    if (mpz_scan1(z, 0) < shift) t |= 1;
    double d = std::ldexp(static_cast<double>(t), static_cast<int>(shift));
    return sign < 0 ? -d : d;
}

Integer roundReal(double value) {
    if (!std::isfinite(value)) fail("Valor real sem inteiro correspondente.");
    return Integer(std::nearbyint(value));
}

double powReal(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return static_cast<double>(powl(x, y));
    if (x == 0.0 && y > 0.0) return 0.0;
    constexpr double two63 = 9223372036854775808.0;
    if (y == std::trunc(y) && y >= -two63 && y < two63) {
        auto n = static_cast<std::int64_t>(y);
        if (n == 0) return 1.0;
        long double base = n > 0 ? static_cast<long double>(x) : 1.0L / static_cast<long double>(x);
        std::uint64_t k = n > 0 ? static_cast<std::uint64_t>(n) : std::uint64_t{0} - static_cast<std::uint64_t>(n);
        long double result = 1.0L;
        for (;;) {
            if (k & 1) result *= base;
            k >>= 1;
            if (k == 0) break;
            base *= base;
        }
        return static_cast<double>(result);
    }
    return static_cast<double>(exp2l(static_cast<long double>(y) * log2l(static_cast<long double>(x))));
}

// ------------------------------------------------------------ arithmetic
namespace detail {

void plusSlow(const MemValue& a, const MemValue& b, MemValue& out) {
    if (bothInt(a, b)) return mpz_add(intCell(out), z(a), z(b));
    double x = realOperand(a), y = realOperand(b);
    setFloat(out, x + y);
}

void minusSlow(const MemValue& a, const MemValue& b, MemValue& out) {
    if (bothInt(a, b)) return mpz_sub(intCell(out), z(a), z(b));
    double x = realOperand(a), y = realOperand(b);
    setFloat(out, x - y);
}

void timesSlow(const MemValue& a, const MemValue& b, MemValue& out) {
    if (bothInt(a, b)) {
        checkBits((mpz_size(z(a)) + mpz_size(z(b))) * 64);
        return mpz_mul(intCell(out), z(a), z(b));
    }
    double x = realOperand(a), y = realOperand(b);
    setFloat(out, x * y);
}

void divSlow(const MemValue& a, const MemValue& b, MemValue& out) {
    double x = realOperand(a), y = realOperand(b);
    setFloat(out, x / y);
}

void idivSlow(const MemValue& a, const MemValue& b, MemValue& out) {
    if (bothInt(a, b)) {
        if (mpz_sgn(z(b)) == 0) failDivByZero();
        return mpz_fdiv_q(intCell(out), z(a), z(b));
    }
    double x = realOperand(a), y = realOperand(b);
    Integer r = roundReal(x / y);
    mpz_swap(intCell(out), r.get_mpz_t());
}

void restoSlow(const MemValue& a, const MemValue& b, MemValue& out) {
    if (!bothInt(a, b)) failOperands();
    if (mpz_sgn(z(b)) == 0) failDivByZero();
    mpz_fdiv_r(intCell(out), z(a), z(b));
}

void potInto(const MemValue& a, const MemValue& b, MemValue& out) {
    double x = realOperand(a), y = realOperand(b);
    setFloat(out, powReal(x, y));
}

void ipotInto(const MemValue& a, const MemValue& b, MemValue& out) {
    if (bothInt(a, b)) {
        mpz_srcptr x = z(a);
        mpz_srcptr n = z(b);
        if (mpz_sgn(n) < 0) fail("Expoente negativo na potencia\xE7\xE3o.");
        if (mpz_sgn(n) == 0) return mpz_set_ui(intCell(out), 1);
        // 0, 1 and -1 keep their size whatever the exponent.
        if (mpz_cmpabs_ui(x, 1) <= 0) {
            int sign = mpz_sgn(x) < 0 && mpz_odd_p(n) ? -1 : mpz_sgn(x) == 0 ? 0 : 1;
            return mpz_set_si(intCell(out), sign);
        }
        if (!mpz_fits_ulong_p(n)) throw std::bad_alloc();
        unsigned long e = mpz_get_ui(n);
        std::size_t bits = mpz_sizeinbase(x, 2);
        if (e > kMaxIntBits / bits) throw std::bad_alloc();
        if (runLimits.valueBytes != 0 && e > runLimits.valueBytes * 8 / bits) throw std::bad_alloc();
        return mpz_pow_ui(intCell(out), x, e);
    }
    double x = realOperand(a), y = realOperand(b);
    Integer r = roundReal(powReal(x, y));
    mpz_swap(intCell(out), r.get_mpz_t());
}

void andInto(const MemValue& a, const MemValue& b, MemValue& out) {
    if (a.v.index() != kBool || b.v.index() != kBool) failOperands();
    setBool(out, boolOf(a) && boolOf(b));
}

void orInto(const MemValue& a, const MemValue& b, MemValue& out) {
    if (a.v.index() != kBool || b.v.index() != kBool) failOperands();
    setBool(out, boolOf(a) || boolOf(b));
}

}  // namespace detail

MemValue evalPlus(const MemValue& a, const MemValue& b) { return fresh(plusInto, a, b); }
MemValue evalMinus(const MemValue& a, const MemValue& b) { return fresh(minusInto, a, b); }
MemValue evalTimes(const MemValue& a, const MemValue& b) { return fresh(timesInto, a, b); }
MemValue evalDiv(const MemValue& a, const MemValue& b) { return fresh(divInto, a, b); }
MemValue evalIDiv(const MemValue& a, const MemValue& b) { return fresh(idivInto, a, b); }
MemValue evalResto(const MemValue& a, const MemValue& b) { return fresh(restoInto, a, b); }
MemValue evalPot(const MemValue& a, const MemValue& b) { return fresh(potInto, a, b); }
MemValue evalIPot(const MemValue& a, const MemValue& b) { return fresh(ipotInto, a, b); }
MemValue evalEq(const MemValue& a, const MemValue& b) { return fresh(eqInto, a, b); }
MemValue evalNeq(const MemValue& a, const MemValue& b) { return fresh(neqInto, a, b); }
MemValue evalGt(const MemValue& a, const MemValue& b) { return fresh(gtInto, a, b); }
MemValue evalLt(const MemValue& a, const MemValue& b) { return fresh(ltInto, a, b); }
MemValue evalGeq(const MemValue& a, const MemValue& b) { return fresh(geqInto, a, b); }
MemValue evalLeq(const MemValue& a, const MemValue& b) { return fresh(leqInto, a, b); }
MemValue evalAnd(const MemValue& a, const MemValue& b) { return fresh(andInto, a, b); }
MemValue evalOr(const MemValue& a, const MemValue& b) { return fresh(orInto, a, b); }

MemValue evalNot(const MemValue& a) {
    if (a.v.index() != kBool) failOperands();
    return MemValue{M_Boolean{!boolOf(a)}};
}

// -------------------------------------------------------------- value text
namespace {

void appendText(Text& out, const MemValue& value) {
    std::visit(overloaded{
                   [&](const M_Int& x) { out += intText(x.value); },
                   [&](const M_Boolean& x) { out += x.value ? "verdadeiro" : "falso"; },
                   [&](const M_Var& x) { out += x.value; },
                   [&](const M_Vector& x) {
                       out += '[';
                       for (const MemValue& e : x.elems) appendText(out, e);
                       for (std::int64_t w : x.words) {
                           if (w == kUnsetWord) fail(internalError(143));
                           out += intText(Integer(static_cast<long>(w)));
                       }
                       out += ']';
                   },
                   [&](const M_Float& x) { out += realText(x.value); },
                   [&](const M_Str& x) { out += x.value; },
                   [&](const M_Garbage&) { fail(internalError(143)); },
               },
               value.v);
}

}  // namespace

Text fromMem(const MemValue& value) {
    Text out;
    appendText(out, value);
    return out;
}

}  // namespace jox
