#include <gtest/gtest.h>

#include "check/CheckProgram.h"
#include "syntax/Failure.h"
#include "tests/check/TreeBuild.h"

namespace jox {
namespace {

using namespace build;

std::string failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const JoxError& e) {
        return e.what();
    }
    return "(no failure)";
}

TEST(TypeTags, EqualTypeRefusesFormsAndUnsetValues) {
    EXPECT_TRUE(equalType(T_WRONG, T_WRONG));
    EXPECT_TRUE(equalType(T_STRINGVECTOR, T_STRINGVECTOR));
    for (TypeCheck t : {T_SIMPLE, T_VECTOR, T_GARBAGE}) {
        EXPECT_FALSE(equalType(t, t));
        EXPECT_FALSE(equalType(T_INT, t));
    }
    EXPECT_FALSE(equalType(T_INT, T_REAL));
    EXPECT_FALSE(equalType(T_INT, T_INTVECTOR));
    EXPECT_TRUE(isVector(T_VECTOR) && !isVector(T_INTVECTOR));
    EXPECT_TRUE(isSimple(T_SIMPLE) && !isSimple(T_INT));
    EXPECT_EQ(conv(T_BOOLVECTOR), T_BOOL);
    EXPECT_EQ(failureOf([] { conv(T_INT); }), internalError(121));
    EXPECT_EQ(typeMinus(T_INT, T_INT), T_INT);
    EXPECT_EQ(typeMinus(T_INT, T_REAL), T_REAL);
    EXPECT_EQ(typeMinus(T_STRING, T_INT), T_WRONG);
}

TEST(TypeTags, ValuesAndTheirLiterals) {
    EXPECT_EQ(checkMemType(MemValue{M_Garbage{}}), T_GARBAGE);
    EXPECT_EQ(checkMemType(MemValue{M_Float{0.0}}), T_REAL);
    EXPECT_EQ(checkMemType(MemValue{M_Boolean{false}}), T_BOOL);
    EXPECT_EQ(failureOf([] { checkMemType(MemValue{M_Vector{}}); }), internalError(124));

    Integer big("-1234567890123456789012345678901234567890");
    EXPECT_EQ(std::get<E_Int>(fromMtoT(MemValue{M_Int{big}})->v).value, big);
    EXPECT_EQ(std::get<E_Str>(fromMtoT(MemValue{M_Str{""}})->v).value, "");
    EXPECT_EQ(std::get<E_Float>(fromMtoT(MemValue{M_Float{-0.5}})->v).value, -0.5);
    EXPECT_TRUE(std::get<E_Boolean>(fromMtoT(MemValue{M_Boolean{true}})->v).value);
    EXPECT_EQ(failureOf([] { fromMtoT(MemValue{M_Garbage{}}); }), internalError(125));
}

TEST(Lookups, FirstDeclarationDecides) {
    // int a, v[3]; real b; int x; real x; int w[2]; int w; string A;
    DeclList decls = {VarInt{{simple("a"), vec("v", 3)}},
                      VarReal{{simple("b")}},
                      VarInt{{simple("x")}},
                      VarReal{{simple("x")}},
                      VarInt{{vec("w", 2)}},
                      VarInt{{simple("w")}},
                      VarString{{simple("A")}},
                      VarBool{{vec("f", 1), simple("f")}}};
    std::vector<Variable> all = removeVar(decls);
    ASSERT_EQ(all.size(), 10u);
    EXPECT_EQ(varName(all[1]), "v");
    EXPECT_TRUE(std::holds_alternative<Vector>(all[1]));
    EXPECT_EQ(varName(all[2]), "b");
    EXPECT_TRUE(removeVar({}).empty());

    struct Case {
        const char* name;
        TypeCheck type;
    } cases[] = {{"a", T_INT},       {"v", T_INTVECTOR}, {"b", T_REAL},      {"x", T_INT},
                 {"w", T_INTVECTOR}, {"A", T_STRING},    {"f", T_BOOLVECTOR}};
    for (const Case& c : cases) EXPECT_EQ(getVarType(c.name, decls), c.type) << c.name;
    EXPECT_EQ(failureOf([&] { getVarType("a2", decls); }), "Vari\xE1vel a2 n\xE3o declarada!");
    EXPECT_EQ(failureOf([&] { getVarType("B", decls); }), "Vari\xE1vel B n\xE3o declarada!");

    EXPECT_EQ(getType("v", all), T_VECTOR);
    EXPECT_EQ(getType("x", all), T_SIMPLE);
    EXPECT_EQ(
        failureOf([&] { getType("q", all); }),
        "Erro interno No. 100. Por favor, entre em contato com os desenvolvedores do sistema.");

    EXPECT_TRUE(elemVar(simple("v"), all));
    EXPECT_TRUE(elemVar(vec("a", 5), all));
    EXPECT_FALSE(elemVar(simple("q"), all));
    EXPECT_FALSE(elemVar(simple("a"), {}));
}

}  // namespace
}  // namespace jox
