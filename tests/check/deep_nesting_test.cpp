// Programs nested 100,000 deep are checked on a large stack and end with
// StackExhausted, never a crash, on a small one.
#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <string>

#include "tests/support/OnStack.h"
#include "check/CheckProgram.h"
#include "syntax/Failure.h"
#include "tests/check/TreeBuild.h"

namespace jox {
namespace {

using namespace build;

using test::onStack;

// The message checkProgram ends with, or "" when it passes.
std::string checkFailure(const Program& program) {
    try {
        checkProgram(program);
    } catch (const JoxError& e) {
        return e.what();
    }
    return "";
}

constexpr std::size_t kLarge = std::size_t{1} << 30;
constexpr std::size_t kSmall = std::size_t{1} << 20;
constexpr int kDepth = 100000;

TEST(DeepNesting, WorksOnALargeStackAndStopsCleanlyOnASmallOne) {
    // Everything, the trees' destruction included, runs on the large stack.
    std::string outer = onStack(kLarge, [] {
        // se (b) { se (b) { ... y++; ... } }
        CmdList inner = {mkCmd(E_Incr{simple("y")})};
        for (int i = 0; i < kDepth; ++i) inner = {mkCmd(E_Se{var("b"), inner})};
        Program nestedIfs{simple("p"), {VarBool{{simple("b")}}}, inner};

        // r <- ((((...1...)))) with r real: typed through every level, then
        // written whole into the message.
        ExpPtr parens = num(1);
        for (int i = 0; i < kDepth; ++i) parens = mkFactorExp(E_Par{parens});
        Program deepValue{
            simple("p"), {VarReal{{simple("r")}}}, {mkCmd(Atrib{simple("r"), parens})}};

        // 1 + 1 + ... + 1, grouped to the left as the parser groups it.
        ExpPtr sum = num(1);
        for (int i = 0; i < kDepth; ++i) sum = bin<E_Mais>(sum, num(1));

        EXPECT_EQ(checkFailure(nestedIfs), "Vari\xE1vel y n\xE3o declarada!");
        std::string expected = "Tipo incorreto em atribui\xE7\xE3o: r <- " +
                               std::string(kDepth, '(') + "1" + std::string(kDepth, ')') + ".";
        EXPECT_EQ(checkFailure(deepValue), expected);
        EXPECT_EQ(checkExpType(*sum, {}), T_INT);
        EXPECT_EQ(fromExpExp(*sum).size(), 2u * kDepth + 1);

        EXPECT_EQ(onStack(kSmall, [&] { checkProgram(nestedIfs); }), "stack");
        EXPECT_EQ(onStack(kSmall, [&] { checkProgram(deepValue); }), "stack");
        EXPECT_EQ(onStack(kSmall, [&] { checkExpType(*sum, {}); }), "stack");
        EXPECT_EQ(onStack(kSmall, [&] { fromExpExp(*sum); }), "stack");
    });
    EXPECT_EQ(outer, "");
}

}  // namespace
}  // namespace jox
