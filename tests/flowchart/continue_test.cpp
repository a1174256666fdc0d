// Finding the continue at the top level of a branch.
#include <gtest/gtest.h>

#include "ChartSupport.h"
#include "flowchart/AnimatedRun.h"

namespace jox {
namespace {

TEST(FindContinue, OnlyTheTopLevelCounts) {
    struct Case {
        const char* body;
        bool has;
        std::size_t prefix;  // length of the list up to its first continue
    } cases[] = {
        {"", false, 0},
        {"x <- 1; continue; x <- 2;", true, 2},
        {"continue; continue;", true, 1},
        // a continue inside a nested list is not at the top level
        {"se (x > 0) { continue; } x <- 2;", false, 2},
        {"enquanto (x > 0) { continue; } continue;", true, 2},
    };
    for (const Case& c : cases) {
        AnnCmdList cmds = test::annotate("int x;", c.body);
        EXPECT_EQ(hasContinue(cmds), c.has) << c.body;
        EXPECT_EQ(findContinue(cmds).size(), c.prefix) << c.body;
    }
}

}  // namespace
}  // namespace jox
