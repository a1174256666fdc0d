#include <gtest/gtest.h>

#include "check/CheckProgram.h"
#include "tests/check/TreeBuild.h"

namespace jox {
namespace {

using namespace build;

TEST(TextForm, OperatorsFunctionsAndLiterals) {
    ExpPtr a = var("a"), b = var("b"), c = var("c"), s = var("s"), t = var("t"), x = var("x");
    auto par = [](ExpPtr e) { return mkFactorExp(E_Par{std::move(e)}); };
    auto neg = [](const ExpPtr& e) { return mkFactorExp(E_Neg{fac(e)}); };
    auto pos = [](const ExpPtr& e) { return mkFactorExp(E_Pos{fac(e)}); };
    struct Case {
        ExpPtr exp;
        const char* text;
    } cases[] = {
        {bin<E_Mais>(a, bin<E_Prod>(b, c)), "a+b*c"},
        {bin<E_Prod>(par(bin<E_Mais>(a, b)), c), "(a+b)*c"},
        {mkExp(E_Nao{par(bin<E_E>(a, b))}), "!(a&&b)"},
        {bin<E_E>(mkExp(E_Nao{a}), b), "!a&&b"},
        {bin<E_Ou>(a, b), "a||b"},
        {bin<E_Igual>(x, num(1)), "x=1"},
        {bin<E_Dif>(x, num(1)), "x<>1"},
        {bin<E_Maiorig>(x, num(1)), "x>=1"},
        {bin<E_Menorig>(x, num(1)), "x<=1"},
        {bin<E_Maior>(bin<E_Menos>(a, b), bin<E_Div>(b, c)), "a-b>b/c"},
        {neg(num(1)), "1"},
        {bin<E_Prod>(num(2), neg(var("y"))), "2*y"},
        {pos(var("z")), "z"},
        {elem("v", bin<E_Mais>(var("i"), num(1))), "v[i+1]"},
        {elem("v", elem("w", num(0))), "v[w[0]]"},
        {num(7), "7"},
        {mkFactorExp(E_Int{Integer("-123456789012345678901")}), "-123456789012345678901"},
        {real(2.5), "2.5"},
        {real(0.05), "5.0e-2"},
        {real(0.0), "0.0"},
        {real(1e7), "1.0e7"},
        {real(10000000.5), "1.00000005e7"},
        {boolean(true), "True"},
        {boolean(false), "False"},
        {str("ab"), "ab"},
        {bin<E_Mais>(str(""), str("a\nb")), "+a\nb"},
        {call<E_StrCompara>(s, t), "strcompara(s,t)"},
        {call<E_StrComp>(s), "strtam(s)"},
        {call<E_StrCalda>(s), "strresto(s)"},
        {bin<E_Mais>(call<E_StrNResto>(s, num(2)), num(1)), "strnresto(s,2) +1"},
        {call<E_StrConcat>(s, call<E_StrUlt>(t)), "strconcat(s,strult(t))"},
        {call<E_StrNPrim>(s, num(1)), "strnprim(s,1)"},
        {call<E_StrElem>(call<E_StrPrim>(s), call<E_StrCopia>(t)),
         "strelem(strprim(s),strcopia(t))"},
        {mkFactorExp(E_Formatar{bin<E_Prod>(x, num(2)), fac(num(3))}), "formatar(x*2,3)"},
        {bin<E_IDiv>(a, b), "adivb"},
        {binF<E_IPot>(a, num(2)), "a^2"},
        {binF<E_Resto>(x, num(2)), "x%2"},
        {binF<E_Pot>(x, real(0.5)), "x**0.5"},
        {mkFactorExp(E_Pi{}), "pi"},
        {callE<E_RaizQuad>(mkFactorExp(E_Pi{})), "raiz(pi)"},
        {callE<E_Seno>(callE<E_Coseno>(callE<E_Tangente>(x))), "sen(cos(tan(x)))"},
        {callE<E_Exp>(callE<E_Log>(callE<E_Abs>(x))), "exp(log(abs(x)))"},
        {callE<E_RealInt>(callE<E_IntReal>(x)), "realint(intreal(x))"},
    };
    for (const Case& c : cases) EXPECT_EQ(fromExpExp(*c.exp), c.text) << c.text;
    EXPECT_EQ(fromFactor(*fac(call<E_StrNResto>(s, num(2)))), "strnresto(s,2) ");
}

}  // namespace
}  // namespace jox
