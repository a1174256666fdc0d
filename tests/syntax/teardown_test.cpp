// Dropping deeply nested trees, whole or as the partial trees of a failed
// parse, on a small stack: they are taken apart in a loop, so the depth of a
// tree costs no stack.  (Taken apart by nested destructors, any of these
// trees would overflow the stack by far.)
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "syntax/Failure.h"
#include "syntax/Grammar.h"
#include "tests/support/OnStack.h"

namespace jox {
namespace {

constexpr std::size_t kSmallStack = std::size_t{256} << 10;
constexpr int kDepth = 100000;

ExpPtr one() { return mkFactorExp(E_Int{Integer(1)}); }
FactorPtr oneFactor() { return mkFactor(E_Int{Integer(1)}); }
ExpPtr var(const char* name) { return mkFactorExp(E_Var{name}); }

// kDepth levels of `wrap` around `inner`.
template <class T>
T nest(T inner, const std::function<T(T)>& wrap) {
    for (int i = 0; i < kDepth; ++i) inner = wrap(std::move(inner));
    return inner;
}

struct DeepTree {
    const char* name;
    std::function<std::shared_ptr<const void>()> build;
};

TEST(Teardown, DeepTreesAreDroppedOnASmallStack) {
    using E = ExpPtr;
    using F = FactorPtr;
    using C = CmdList;
    const DeepTree trees[] = {
        {"sum grouped to the left",
         [] { return nest<E>(one(), [](E e) {
                  return mkExp(E_Mais{e, one()});
              }); }},
        {"and grouped to the right",
         [] { return nest<E>(one(), [](E e) {
                  return mkExp(E_E{var("b"), e});
              }); }},
        {"not", [] { return nest<E>(var("b"), [](E e) { return mkExp(E_Nao{e}); }); }},
        {"power", [] { return nest<E>(one(), [](E e) {
                           return mkExp(E_IPot{e, oneFactor()});
                       }); }},
        {"parentheses", [] { return nest<E>(one(), [](E e) { return mkFactorExp(E_Par{e}); }); }},
        {"signs", [] { return nest<F>(oneFactor(), [](F f) { return mkFactor(E_Neg{f}); }); }},
        {"vector index", [] { return nest<E>(one(), [](E e) {
                                  return mkFactorExp(E_Vector{"v", e});
                              }); }},
        {"string functions",
         [] { return nest<F>(oneFactor(), [](F f) {
                  return mkFactor(E_StrConcat{oneFactor(), f});
              }); }},
        {"formatar",
         [] { return nest<E>(one(), [](E e) {
                  return mkFactorExp(E_Formatar{e, oneFactor()});
              }); }},
        {"se",
         [] {
             return mkCmd(E_Se{one(), nest<C>({}, [](C c) { return C{mkCmd(E_Se{var("b"), c})}; })});
         }},
        {"senao, in its else branch",
         [] {
             return mkCmd(E_Senao{one(), {}, nest<C>({}, [](C c) {
                                      return C{mkCmd(E_Senao{var("b"), {}, c})};
                                  })});
         }},
        {"para",
         [] {
             CmdPtr step = mkCmd(E_Incr{Simple{"i"}});
             return mkCmd(E_Enquanto{one(), nest<C>({}, [&](C c) {
                                         return C{mkCmd(E_Para{step, var("b"), step, c})};
                                     })});
         }},
        {"an assignment's target index",
         [] {
             return mkCmd(
                 Atrib{Vector{"v", nest<E>(one(), [](E e) { return mkFactorExp(E_Par{e}); })}, one()});
         }},
        {"annotated se",
         [] {
             AnnCmdList body;
             for (int i = 0; i < kDepth; ++i)
                 body = {AnnotatedCommand{"eif", "if", mkCmd(Ann_Se{var("b"), body})}};
             return mkCmd(Ann_Enquanto{one(), body});
         }},
    };
    for (const DeepTree& tree : trees) {
        std::shared_ptr<const void> root = tree.build();
        EXPECT_EQ(test::onStack(kSmallStack, [&] { root.reset(); }), "") << tree.name;
    }
}

TEST(Teardown, ASubtreeHeldElsewhereOutlivesTheTreeDropped) {
    ExpPtr kept = mkFactorExp(E_Int{Integer(7)});
    for (int i = 0; i < 100; ++i) kept = mkFactorExp(E_Par{kept});
    ExpPtr dropped = nest<ExpPtr>(kept, [](ExpPtr e) { return mkExp(E_Mais{one(), e}); });
    EXPECT_EQ(test::onStack(kSmallStack, [&] { dropped.reset(); }), "");

    ASSERT_EQ(kept.use_count(), 1);
    const Expression* e = kept.get();
    for (int i = 0; i < 100; ++i) {
        const auto* par = std::get_if<E_Par>(&std::get<E_Factor>(e->v).factor->v);
        ASSERT_NE(par, nullptr) << "level " << i;
        e = par->arg.get();
    }
    EXPECT_EQ(std::get<E_Int>(std::get<E_Factor>(e->v).factor->v).value, 7);
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// A syntax or lexical error after deep nesting ends the parse as it ends a
// shallow one: the partial trees left on the parser's stack are dropped on
// the way out.
TEST(Teardown, AFailedParseDropsItsPartialTreesOnASmallStack) {
    const std::string syntax = "Erro sintatico na linha 3\n";
    const std::string lexical = "Utilizacao impropria do caracter \"$\"";
    const struct {
        std::string commands;
        std::string message;
    } cases[] = {
        {"x <- " + repeat("1+(", kDepth) + "1" + repeat(")", kDepth) + ");", syntax},
        {"x <- " + repeat("1+(", kDepth) + "1" + repeat(")", kDepth) + "$;", lexical},
        {"x <- " + repeat("-(", kDepth) + "1" + repeat(")", kDepth) + ");", syntax},
        {"x <- " + repeat("-(", kDepth) + "1" + repeat(")", kDepth) + "$;", lexical},
        {"x <- 1" + repeat("+1", kDepth) + " +;", syntax},
        {"imprima " + repeat("strtam(", kDepth) + "s" + repeat(")", kDepth) + ");", syntax},
        {repeat("se (b) { } senao { ", kDepth) + repeat("} ", kDepth) + "}", syntax},
    };
    for (const auto& c : cases) {
        const std::string source = "prog p\nint x;\n" + c.commands + "\nfimprog\n";
        EXPECT_EQ(test::onStack(kSmallStack, [&] { grammar(source, Integer(1)); }), c.message)
            << c.commands.substr(0, 30);
    }
}

}  // namespace
}  // namespace jox
