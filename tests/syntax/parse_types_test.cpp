#include <gtest/gtest.h>

#include "syntax/ParseTypes.h"

namespace jox {
namespace {

TEST(ParseTypes, ReturnPIgnoresInputAndLine) {
    auto r = returnP(5)("", Integer(1));
    ASSERT_EQ(r.index(), 0u);
    EXPECT_EQ(std::get<0>(r).value, 5);
}

TEST(ParseTypes, ThenPHandsTheSameInputAndLineToTheContinuation) {
    ParseInput seenInput;
    Integer seenLine;
    auto action = thenP(returnP(1), [&](int a) {
        return [&, a](ParseInput in, const Integer& line) -> ParseResult<int> {
            seenInput = in;
            seenLine = line;
            return ParseOk<int>{a + 1};
        };
    });
    auto r = action("abc", Integer(7));
    EXPECT_EQ(std::get<0>(r).value, 2);
    EXPECT_EQ(seenInput, "abc");
    EXPECT_EQ(seenLine, 7);
}

TEST(ParseTypes, ThenPPassesAFailureOnWithoutRunningTheContinuation) {
    bool ran = false;
    auto failing = [](ParseInput, const Integer&) -> ParseResult<int> { return ParseFail{"e"}; };
    auto action = thenP(failing, [&](int) {
        ran = true;
        return returnP(0);
    });
    auto r = action("x", Integer(1));
    ASSERT_EQ(r.index(), 1u);
    EXPECT_EQ(std::get<ParseFail>(r).error, "e");
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace jox
