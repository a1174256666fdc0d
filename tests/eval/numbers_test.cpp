// The power on doubles, the conversions between integers and reals, and the
// value text of every kind of value.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "eval/EvalExp.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

TEST(PowReal, Table) {
    struct Case {
        double x, y, expected;
    } cases[] = {
        {2, 3, 8},
        {2, 0.5, 1.4142135623730951},
        {4, 0.5, 2},
        {0, 0, 1},
        {0, 2, 0},
        {0, 0.5, 0},
        {0, -1, inf},
        {0, -0.5, inf},
        {-2, 3, -8},
        {-2, 2, 4},
        {-2, -1, -0.5},
        {2, -1, 0.5},
        {10, -2, 0.01},
        {1, 1e300, 1},
        {2, 2000, inf},
        // Whole exponents: repeated squaring with a 64-bit significand and one
        // rounding at the end gives the correctly rounded power where double
        // intermediates would not (3^75 in doubles is 6.082667877133577e35).
        {3, 75, 6.0826678771335774e+35},
        {3, 100, 5.153775207320113e+47},
        {3, 132, 9.550049507968253e+62},
        // Infinite operands as powl.
        {inf, 2, inf},
        {inf, -1, 0},
        {2, inf, inf},
        {0.5, inf, 0},
        {-1, inf, 1},
        {nan, 0, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(powReal(c.x, c.y), c.expected) << c.x << " ** " << c.y;
    EXPECT_TRUE(std::isnan(powReal(-2, 0.5)));
    EXPECT_TRUE(std::isnan(powReal(-8, 1.0 / 3)));
    EXPECT_TRUE(std::isnan(powReal(nan, 1)));
    EXPECT_TRUE(std::isnan(powReal(2, nan)));
    // A zero base with a positive exponent is 0, of either sign of zero.
    EXPECT_FALSE(std::signbit(powReal(-0.0, 3)));
}

TEST(RoundReal, TiesToEvenAndNoIntegerForNonFinite) {
    struct Case {
        double x;
        const char* expected;
    } cases[] = {
        {2.5, "2"},   {3.5, "4"},   {-2.5, "-2"}, {-3.5, "-4"},
        {0.5, "0"},   {-0.5, "0"},  {2.4, "2"},   {-2.6, "-3"},
        {1e20, "100000000000000000000"},
    };
    for (const Case& c : cases) EXPECT_EQ(roundReal(c.x).get_str(), c.expected) << c.x;
    for (double x : {inf, -inf, nan}) {
        try {
            roundReal(x);
            ADD_FAILURE() << x;
        } catch (const JoxError& e) {
            EXPECT_STREQ(e.what(), "Valor real sem inteiro correspondente.");
        }
    }
}

TEST(IntToReal, NearestDoubleTiesToEven) {
    const Integer two53 = Integer(1) << 53;
    const Integer two64 = Integer(1) << 64;
    const Integer two1024 = Integer(1) << 1024;
    const Integer two970 = Integer(1) << 970;
    struct Case {
        Integer value;
        double expected;
    } cases[] = {
        {Integer(0), 0.0},
        {Integer(-7), -7.0},
        {two53 + 1, 9007199254740992.0},     // tie, to even
        {two53 + 3, 9007199254740996.0},     // tie, to even (upwards)
        {-(two53 + 3), -9007199254740996.0},
        {two64 + 2049, 18446744073709555712.0},  // just above a half ulp: up
        {two1024 - two970 - 1, std::numeric_limits<double>::max()},
        {two1024 - two970, inf},              // the tie above the largest double
        {two1024, inf},
        {-(Integer(1) << 5000), -inf},
    };
    for (const Case& c : cases) EXPECT_EQ(intToReal(c.value), c.expected) << c.value.get_str();
}

TEST(FromMem, EveryKindOfValue) {
    auto vec = [](std::vector<MemValue> elems) { return MemValue{M_Vector{std::move(elems)}}; };
    struct Case {
        MemValue value;
        const char* text;
    } cases[] = {
        {MemValue{M_Int{0}}, "0"},
        {MemValue{M_Int{-42}}, "-42"},
        {MemValue{M_Int{Integer("12345678901234567890")}}, "12345678901234567890"},
        {MemValue{M_Float{0.0}}, "0.0"},
        {MemValue{M_Float{-0.0}}, "-0.0"},
        {MemValue{M_Float{0.1}}, "0.1"},
        {MemValue{M_Float{1e7}}, "1.0e7"},
        {MemValue{M_Float{0.05}}, "5.0e-2"},
        {MemValue{M_Float{-inf}}, "-Infinity"},
        {MemValue{M_Str{""}}, ""},
        {MemValue{M_Str{"a \"b\"\n"}}, "a \"b\"\n"},
        {MemValue{M_Boolean{true}}, "verdadeiro"},
        {MemValue{M_Boolean{false}}, "falso"},
        {MemValue{M_Var{"x"}}, "x"},
        {vec({MemValue{M_Int{1}}, MemValue{M_Int{2}}, MemValue{M_Int{3}}}), "[123]"},
        {vec({MemValue{M_Float{1.5}}, MemValue{M_Float{2.0}}}), "[1.52.0]"},
        {vec({MemValue{M_Str{"a"}}, MemValue{M_Str{""}}, MemValue{M_Str{"b"}}}), "[ab]"},
    };
    for (const Case& c : cases) EXPECT_EQ(fromMem(c.value), c.text) << c.text;

    // An unset value has no text: an orderly internal failure, alone or inside
    // a vector.
    const std::string unset = internalError(143);
    for (const MemValue& v : {MemValue{M_Garbage{}}, vec({MemValue{M_Int{1}}, MemValue{M_Garbage{}}})}) {
        try {
            fromMem(v);
            ADD_FAILURE();
        } catch (const JoxError& e) {
            EXPECT_EQ(e.what(), unset);
        }
    }
}

}  // namespace
}  // namespace jox
