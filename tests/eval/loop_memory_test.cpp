// A loop's cost in memory does not grow with its number of passes.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <string>

#include "RunSupport.h"

namespace jox {
namespace {

long peakKilobytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

std::string loop(long passes) {
    return "prog laco\nint i, s, v[4];\nreal x;\nstring t;\n"
           "i <- 0; s <- 0; x <- 0.0; t <- \"\"; v[0] <- 0;\n"
           "enquanto (i < " + std::to_string(passes) + ") {\n"
           "  s <- s + i % 7 * (2 ^ 70);\n"
           "  x <- x + 0.5;\n"
           "  t <- strnprim(t, 3);\n"
           "  t <- strconcat(t, \"ab\");\n"
           "  v[i % 4] <- v[0] + 1;\n"
           "  se (i % 2 == 0) { i++; continue; }\n"
           "  i++;\n"
           "}\n"
           "imprima i, \" \", t;\nfimprog\n";
}

TEST(LoopMemory, ConstantInThePassCount) {
    test::RunResult warm = test::runProgram(loop(50000));
    ASSERT_EQ(warm.out, "50000 abaab");
    long before = peakKilobytes();
    test::RunResult run = test::runProgram(loop(500000));
    ASSERT_EQ(run.out, "500000 abaab");
    EXPECT_LT(peakKilobytes() - before, 2048) << "kilobytes grown over 450,000 more passes";
}

}  // namespace
}  // namespace jox
