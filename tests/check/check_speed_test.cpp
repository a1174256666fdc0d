// A program of 200,000 commands over 1,000 declared names checks in well under
// a second: names are not looked up by walking the declarations.
#include <gtest/gtest.h>

#include <chrono>

#include "check/CheckProgram.h"
#include "tests/check/TreeBuild.h"

namespace jox {
namespace {

using namespace build;

TEST(CheckSpeed, ManyCommandsOverManyNames) {
    constexpr int kNames = 1000, kCmds = 200000;
    std::vector<Variable> ints;
    for (int i = 0; i < kNames; ++i) ints.push_back(simple("v" + std::to_string(i)));
    Program program{simple("p"), {VarInt{ints}}, {}};
    // The names declared last, which a walk from the front meets last.
    for (int i = 0; i < kCmds; ++i) {
        Text target = "v" + std::to_string(kNames - 1 - i % 50);
        Text source = "v" + std::to_string(kNames - 1 - (i * 7) % 50);
        program.cmds.push_back(mkCmd(Atrib{simple(target), bin<E_Mais>(var(source), num(1))}));
    }
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(checkProgram(program).size(), 1u);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    // About 20 ms in an optimised build; walking the declarations takes seconds.
    EXPECT_LT(took.count(), 2.0);
}

}  // namespace
}  // namespace jox
