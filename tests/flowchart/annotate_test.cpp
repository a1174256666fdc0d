// Numbering and annotation: identifiers, skipped numbers, the para rewrite.
#include <gtest/gtest.h>

#include "flowchart/Annotate.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

// ---- small builders for parsed commands
ExpPtr num(long v) { return mkFactorExp(E_Int{Integer(v)}); }
Variable var(const char* n) { return Simple{n}; }
CmdPtr set(const char* n, long v) { return mkCmd(Atrib{var(n), num(v)}); }
CmdPtr inc(const char* n) { return mkCmd(E_Incr{var(n)}); }
CmdPtr dec(const char* n) { return mkCmd(E_Decr{var(n)}); }
CmdPtr se(CmdList then) { return mkCmd(E_Se{num(1), std::move(then)}); }
CmdPtr senao(CmdList a, CmdList b) { return mkCmd(E_Senao{num(1), std::move(a), std::move(b)}); }
CmdPtr enquanto(CmdList body) { return mkCmd(E_Enquanto{num(1), std::move(body)}); }
CmdPtr faca(CmdList body) { return mkCmd(E_Faca{std::move(body), num(1)}); }
CmdPtr para(CmdPtr init, CmdPtr step, CmdList body) {
    return mkCmd(E_Para{std::move(init), num(1), std::move(step), std::move(body)});
}
CmdPtr leia() { return mkCmd(E_Leia{mkFactorExp(E_Var{"x"})}); }
CmdPtr imprima() { return mkCmd(E_Imprima{{num(1)}}); }

// ---- the annotated tree as text: node ids in order, nested lists in
// brackets, the init of a para in parentheses, "'" after a para-loop form,
// "!" after a triple whose edge id is not "e" + node id.
std::string shape(const AnnCmdList& list);

std::string one(const AnnotatedCommand& a) {
    std::string s = a.node;
    if (a.edge != "e" + a.node) s += "!";
    std::visit(overloaded{
                   [&](const Ann_Se& c) { s += "[" + shape(c.then) + "]"; },
                   [&](const Ann_Senao& c) { s += "[" + shape(c.then) + "][" + shape(c.otherwise) + "]"; },
                   [&](const Ann_Enquanto& c) { s += "[" + shape(c.body) + "]"; },
                   [&](const Ann_Faca& c) { s += "[" + shape(c.body) + "]"; },
                   [&](const Ann_Para& c) {
                       s += "(" + shape(c.init) + ")[" + shape(c.body) + "]";
                       // the plain step must be the one annotated last in the body
                       bool plain = std::holds_alternative<E_AtribFor>(c.step->v) ||
                                    std::holds_alternative<E_IncrFor>(c.step->v) ||
                                    std::holds_alternative<E_DecrFor>(c.step->v);
                       if (!plain) s += "?step";
                   },
                   [&](const Ann_AtribFor&) { s += "'"; },
                   [&](const Ann_IncrFor&) { s += "'"; },
                   [&](const Ann_DecrFor&) { s += "'"; },
                   [&](const auto&) {},
               },
               a.cmd->v);
    return s;
}

std::string shape(const AnnCmdList& list) {
    std::string s;
    for (const auto& a : list) s += (s.empty() ? "" : " ") + one(a);
    return s;
}

struct Case {
    const char* what;
    CmdList cmds;
    const char* shape;
    long counter;
};

TEST(Annotate, NumbersAndIdentifiers) {
    const Case cases[] = {
        {"no commands", {}, "", 0},
        {"simple commands are consecutive",
         {set("x", 1), leia(), imprima(), inc("x"), dec("x"), mkCmd(E_Saia{})},
         "at0 rd1 pt2 ic3 dc4 sa5", 6},
        // x <- 1; se (..) { y <- 2; y++; } para (i <- 0; ..; i++) { imprima i; } x--;
        {"worked example",
         {set("x", 1), se({set("y", 2), inc("y")}), para(set("i", 0), inc("i"), {imprima()}), dec("x")},
         "at0 if1[at2 ic3] at5' fr7(at5')[pt8 ic9'] dc11", 12},
        {"empty se body skips one number", {se({}), set("x", 1)}, "if0[] at2", 3},
        {"senao skips between and after its branches",
         {senao({set("x", 1)}, {set("x", 2)}), set("x", 3)}, "el0[at1][at3] at5", 6},
        {"para with empty body and decrements",
         {para(dec("i"), dec("i"), {}), set("x", 1)}, "dc0' fr2(dc0')[dc3'] at5", 6},
        {"para step as assignment", {para(inc("i"), set("i", 5), {})}, "ic0' fr2(ic0')[at3']", 5},
        {"nested loops, every prefix, numbers past 9",
         {enquanto({faca({set("a", 1), imprima(), leia(), mkCmd(E_Saia{}), mkCmd(E_Continue{}),
                          mkCmd(E_Pare{}), inc("a"), dec("a")}),
                    set("b", 1)}),
          set("c", 1)},
         "wh0[fa1[at2 pt3 rd4 sa5 co6 pa7 ic8 dc9] at11] at13", 14},
    };
    for (const Case& c : cases) {
        auto [counter, list] = annProg(Program{Simple{"p"}, {}, c.cmds});
        EXPECT_EQ(shape(list), c.shape) << c.what;
        EXPECT_EQ(counter, c.counter) << c.what;
    }
}

TEST(Annotate, ParaKeepsItsPartsInPlace) {
    CmdPtr step = inc("i");
    CmdList cmds{para(set("i", 0), step, {imprima()})};
    auto [counter, list] = annProg(Program{Simple{"p"}, {}, cmds});
    ASSERT_EQ(list.size(), 2u);
    const auto& loop = std::get<Ann_Para>(list[1].cmd->v);
    // the initial command's triple stands in the enclosing list and in the loop
    EXPECT_EQ(loop.init.at(0).node, list[0].node);
    // the step is kept as the plain para-loop form of the parsed step
    const auto& plain = std::get<E_IncrFor>(loop.step->v);
    EXPECT_EQ(varName(plain.target), "i");
    EXPECT_TRUE(std::holds_alternative<Ann_IncrFor>(loop.body.back().cmd->v));
}

TEST(Annotate, RenForAndWrongKinds) {
    EXPECT_TRUE(std::holds_alternative<E_AtribFor>(renFor(*set("i", 0))->v));
    EXPECT_TRUE(std::holds_alternative<E_IncrFor>(renFor(*inc("i"))->v));
    EXPECT_TRUE(std::holds_alternative<E_DecrFor>(renFor(*dec("i"))->v));
    EXPECT_THROW(renFor(*leia()), JoxError);
    EXPECT_THROW(annCmd(Counter(0), Command{Ann_Saia{}}), JoxError);
}

}  // namespace
}  // namespace jox
