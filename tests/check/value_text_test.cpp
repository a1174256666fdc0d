#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "check/ValueText.h"

namespace jox {
namespace {

TEST(RealText, PlainAndScientificForms) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {1.0, "1.0"},
        {100.0, "100.0"},
        {0.5, "0.5"},
        {0.1, "0.1"},
        {1.0 / 3, "0.3333333333333333"},
        {2.5, "2.5"},
        {-42.25, "-42.25"},
        {9999999.9, "9999999.9"},
        {std::nextafter(1e7, 0.0), "9999999.999999998"},
        {1e7, "1.0e7"},
        {10000000.5, "1.00000005e7"},
        {0.05, "5.0e-2"},
        {0.01, "1.0e-2"},
        {0.09999999999999999, "9.999999999999999e-2"},
        {-0.05, "-5.0e-2"},
        {1.5e300, "1.5e300"},
        {5e-324, "5.0e-324"},
        {1e22, "1.0e22"},
        {inf, "Infinity"},
        {-inf, "-Infinity"},
        {std::nan(""), "NaN"},
    };
    for (const Case& c : cases) EXPECT_EQ(realText(c.value), c.text) << c.text;
}

TEST(IntText, EveryDigitAndTheSign) {
    EXPECT_EQ(intText(Integer(0)), "0");
    EXPECT_EQ(intText(Integer(-42)), "-42");
    EXPECT_EQ(intText(Integer("123456789012345678901234567890")), "123456789012345678901234567890");
    EXPECT_EQ(intText(Integer("-98765432109876543210")), "-98765432109876543210");
}

}  // namespace
}  // namespace jox
