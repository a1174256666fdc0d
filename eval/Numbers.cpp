// Integer arithmetic beyond a machine word, the conversions between integers
// and reals, the power on doubles, and the size guards of large values.
#include "eval/Numbers.h"

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <new>

#include "syntax/Failure.h"

namespace jox {

RunLimits runLimits;

namespace {

const std::size_t physicalBytes = [] {
    long pages = sysconf(_SC_PHYS_PAGES);
    long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::size_t{1} << 34;
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
}();

// A GNU MP operand for an IntVal, without allocating: a word is viewed as a
// read-only integer of one limb.
class Operand {
public:
    explicit Operand(IntVal v) {
        if (!v.isWord()) {
            z_ = v.big->get_mpz_t();
            return;
        }
        limb_ = v.word < 0 ? mp_limb_t{0} - static_cast<mp_limb_t>(v.word) : static_cast<mp_limb_t>(v.word);
        mpz_roinit_n(&view_, &limb_, (v.word > 0) - (v.word < 0));
        z_ = &view_;
    }
    Operand(const Operand&) = delete;
    Operand& operator=(const Operand&) = delete;
    mpz_srcptr get() const { return z_; }

private:
    mp_limb_t limb_ = 0;
    __mpz_struct view_{};
    mpz_srcptr z_;
};

static_assert(GMP_LIMB_BITS == 64 && GMP_NAIL_BITS == 0, "one 64-bit limb per word");

// The result in `out`, as a word when it fits one.
IntVal result(const Integer& out) {
    mpz_srcptr z = out.get_mpz_t();
    if (mpz_fits_slong_p(z)) return {mpz_get_si(z)};
    return {0, &out};
}

// An integer of `bits` bits is too large to build.
void checkBits(std::size_t bits) {
    if (bits > kMaxIntBits) throw std::bad_alloc();
    if (runLimits.valueBytes != 0 && bits / 8 > runLimits.valueBytes) throw std::bad_alloc();
}

}  // namespace

// ------------------------------------------------------------------ IntVal
IntVal intValOf(const Integer& z) { return result(z); }

Integer integerOf(IntVal v) {
    if (!v.isWord()) return *v.big;
    Integer z;
    mpz_set_si(z.get_mpz_t(), v.word);
    return z;
}

Text intValText(IntVal v) {
    if (!v.isWord()) return v.big->get_str(10);
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, v.word).ptr;
    return Text(digits, end);
}

// ------------------------------------------------------- beyond a word
namespace detail {

void failDivisionByZero() { fail("Divis\xE3o por zero."); }

IntVal addBig(IntVal a, IntVal b, Integer& out) {
    mpz_add(out.get_mpz_t(), Operand(a).get(), Operand(b).get());
    return result(out);
}

IntVal subBig(IntVal a, IntVal b, Integer& out) {
    mpz_sub(out.get_mpz_t(), Operand(a).get(), Operand(b).get());
    return result(out);
}

IntVal mulBig(IntVal a, IntVal b, Integer& out) {
    Operand x(a), y(b);
    checkBits((mpz_size(x.get()) + mpz_size(y.get())) * GMP_LIMB_BITS);
    mpz_mul(out.get_mpz_t(), x.get(), y.get());
    return result(out);
}

IntVal floorDivBig(IntVal a, IntVal b, Integer& out) {
    Operand x(a), y(b);
    if (mpz_sgn(y.get()) == 0) failDivisionByZero();
    mpz_fdiv_q(out.get_mpz_t(), x.get(), y.get());
    return result(out);
}

IntVal floorModBig(IntVal a, IntVal b, Integer& out) {
    Operand x(a), y(b);
    if (mpz_sgn(y.get()) == 0) failDivisionByZero();
    mpz_fdiv_r(out.get_mpz_t(), x.get(), y.get());
    return result(out);
}

IntVal negBig(IntVal a, Integer& out) {
    mpz_neg(out.get_mpz_t(), Operand(a).get());
    return result(out);
}

}  // namespace detail

IntVal intPow(IntVal base, IntVal exponent, Integer& out) {
    Operand x(base), n(exponent);
    if (mpz_sgn(n.get()) < 0) fail("Expoente negativo na potencia\xE7\xE3o.");
    if (mpz_sgn(n.get()) == 0) return {1};
    // 0, 1 and -1 keep their size whatever the exponent.
    if (mpz_cmpabs_ui(x.get(), 1) <= 0) {
        if (mpz_sgn(x.get()) < 0 && mpz_odd_p(n.get())) return {-1};
        return {mpz_sgn(x.get()) == 0 ? 0 : 1};
    }
    if (!mpz_fits_ulong_p(n.get())) throw std::bad_alloc();
    unsigned long e = mpz_get_ui(n.get());
    std::size_t bits = mpz_sizeinbase(x.get(), 2);
    if (e > kMaxIntBits / bits) throw std::bad_alloc();
    checkBits(e * bits);
    // Powers of words by repeated multiplication while they stay words.
    if (base.isWord()) {
        std::int64_t r = 1;
        unsigned long k = 0;
        while (k < e && !__builtin_mul_overflow(r, base.word, &r)) ++k;
        if (k == e) return {r};
    }
    mpz_pow_ui(out.get_mpz_t(), x.get(), e);
    return result(out);
}

// ------------------------------------------------------------ conversions
double intToReal(const Integer& value) {
    mpz_srcptr z = value.get_mpz_t();
    if (mpz_fits_slong_p(z)) return static_cast<double>(mpz_get_si(z));
    std::size_t bits = mpz_sizeinbase(z, 2);
    int sign = mpz_sgn(z);
    if (bits > 1100) return sign > 0 ? HUGE_VAL : -HUGE_VAL;
    // The top 64 bits, with a sticky bit for everything below them, round to
    // the nearest double in one conversion.
    std::size_t shift = bits > 64 ? bits - 64 : 0;
    mpz_t top;
    mpz_init(top);
    mpz_tdiv_q_2exp(top, z, shift);
    mpz_abs(top, top);
    std::uint64_t t = mpz_get_ui(top);
    mpz_clear(top);
    if (shift > 0 && mpz_scan1(z, 0) < shift) t |= 1;
    double d = std::ldexp(static_cast<double>(t), static_cast<int>(shift));
    return sign < 0 ? -d : d;
}

IntVal roundReal(double value, Integer& out) {
    if (!std::isfinite(value)) fail("Valor real sem inteiro correspondente.");
    double r = std::nearbyint(value);
    constexpr double two63 = 9223372036854775808.0;
    if (r >= -two63 && r < two63) return {static_cast<std::int64_t>(r)};
    mpz_set_d(out.get_mpz_t(), r);
    return {0, &out};
}

Integer roundReal(double value) {
    Integer out;
    return integerOf(roundReal(value, out));
}

// --------------------------------------------------------------- reals
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

// ------------------------------------------------------------- size guards
void checkAffordable(std::size_t count, std::size_t elementBytes) {
    if (count > kMaxElements || count * elementBytes > physicalBytes / 2) throw std::bad_alloc();
    if (runLimits.valueBytes != 0 && count * elementBytes > runLimits.valueBytes) throw std::bad_alloc();
}

}  // namespace jox
