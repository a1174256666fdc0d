// Label texts: cutting to a width, and the printed text of imprima values.
#include <gtest/gtest.h>

#include "flowchart/Labels.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

TEST(CutLabel, Widths) {
    struct Case {
        const char* text;
        long width;
        const char* want;
    } cases[] = {
        {"", 4, ""},
        {"", 0, ""},
        {"abcd", 4, "abcd"},
        {"abcde", 4, "abcd..."},
        {"x", 0, "..."},
        // the second line is counted from 15, whatever the width
        {"abcd\nef", 7, "abcd\nef"},
        {"abcd\n0123456789abcdefg", 7, "abcd\n0123456789abcde..."},
        // runs of line breaks collapse; a width-15 label drops a leading one
        {"a\n\nb", 6, "a\nb"},
        {"\nab", 15, "ab"},
        {"\nab", 6, "\nab"},
        // a tab counts two
        {"a\tb", 3, "a  ..."},
        {"ab\tcdef", 3, "ab  cdef"},
        {"ab\tcdef\nghijklmnopqrstuvw", 3, "ab  cdef\nghijklmnopqrstu..."},
        // a label cut on its first line loses every later line
        {"abcdefgh\nxy", 4, "abcd..."},
        // bytes above 127 count one each
        {"\xE1\xE9\xED\xF3\xFA", 4, "\xE1\xE9\xED\xF3..."},
    };
    for (const Case& c : cases) EXPECT_EQ(cutLabel(c.text, c.width), c.want) << c.text << " @" << c.width;
}

TEST(PrintText, ValuesRunTogether) {
    Memory empty;
    ExpList items{mkFactorExp(E_Int{Integer(1)}), mkFactorExp(E_Float{2.5}), mkFactorExp(E_Str{"ab"}),
                  mkFactorExp(E_Int{Integer(-7)}), mkFactorExp(E_Float{0.01})};
    EXPECT_EQ(printText(items, empty), "12.5ab-71.0e-2");
    EXPECT_EQ(printText({}, empty), "");
}

TEST(PrintText, FirstValueOfWrongTypeStopsTheRun) {
    Memory empty;
    // the unset variable after the truth value is never evaluated
    ExpList items{mkFactorExp(E_Int{Integer(1)}), mkFactorExp(E_Boolean{true}), mkFactorExp(E_Var{"y"})};
    try {
        printText(items, empty);
        FAIL() << "no failure";
    } catch (const JoxError& e) {
        EXPECT_STREQ(e.what(), "Tipo n\xE3o permitido em impress\xE3o: True.");
    }
}

}  // namespace
}  // namespace jox
