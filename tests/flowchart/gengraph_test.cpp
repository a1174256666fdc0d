// The drawn flowchart: where every command hangs, the settled shapes of the
// loops and joins, the attributes of every kind of node, and the integrity of
// the ids (each defined once, every reference and every id the run recolours
// defined).
#include <gtest/gtest.h>

#include "ChartSupport.h"
#include "flowchart/GenGraph.h"

namespace jox {
namespace {

using test::annotate;

const char* kDecls = "int x, i, v[3];\nstring s;";

struct ShapeCase {
    const char* body;
    const char* shape;
};

// Every program of the structural tables below, for the integrity test.
const ShapeCase kShapes[] = {
    {"", "edFim>Fimprog"},
    {"x <- 1; x++;", "eat0>at0(eic1>ic1(edFim>Fimprog))"},
    {"se (x > 0) { x <- 1; } x--;",
     "eif0>if0(erif0>@ncif0 etif0>ntif0(eat1>at1(ecif0>ncif0(edc3>dc3(edFim>Fimprog)))))"},
    {"se (x > 0) { } senao { }",
     "eel0>el0(etel0>ntel0(erel0>@ncel0) eeel0>neel0(ecel0>ncel0(edFim>Fimprog)))"},
    {"se (x > 0) { x <- 1; } senao { x <- 2; } x--;",
     "eel0>el0(etel0>ntel0(eat1>at1(erel0>@ncel0)) "
     "eeel0>neel0(eat3>at3(ecel0>ncel0(edc5>dc5(edFim>Fimprog)))))"},
    // loops: the back edge into the close node, the body under "no", the rest
    // as the loop's exit (below the head for enquanto and para, below the
    // closing rhombus for faca)
    {"enquanto (x < 3) { x++; } x--;",
     "ewh0>wh0(~erwh0>@ncwh0 edwh0>nowh0(eic1>ic1(ecwh0>ncwh0)) edc3>dc3(edFim>Fimprog))"},
    {"faca { x++; } enquanto (x < 3) x--;",
     "efa0>fa0(~erfa0>@ncfa0 edfa0>nofa0(eic1>ic1(ecfa0>ncfa0(edc3>dc3(edFim>Fimprog)))))"},
    {"para (i <- 0; i < 3; i++) { x++; }",
     "eat0>at0(efr2>fr2(~erfr2>@ncfr2 edfr2>nofr2(eic3>ic3(eic4>ic4(ecfr2>ncfr2))) edFim>Fimprog))"},
    {"enquanto (x < 3) { }", "ewh0>wh0(~erwh0>@ncwh0 edwh0>nowh0(ecwh0>ncwh0) edFim>Fimprog)"},
    // joins inside loops and loops inside branches
    {"enquanto (x < 3) { se (x == 1) { pare; } senao { continue; } } saia;",
     "ewh0>wh0(~erwh0>@ncwh0 edwh0>nowh0(eel1>el1(etel1>ntel1(epa2>pa2(erel1>@ncel1)) "
     "eeel1>neel1(eco4>co4(ecel1>ncel1(ecwh0>ncwh0))))) esa7>sa7(edFim>Fimprog))"},
    {"faca { se (x > 0) { x <- 1; } } enquanto (x < 3)",
     "efa0>fa0(~erfa0>@ncfa0 edfa0>nofa0(eif1>if1(erif1>@ncif1 etif1>ntif1(eat2>at2(ecif1>ncif1("
     "ecfa0>ncfa0(edFim>Fimprog)))))))"},
    {"se (x > 0) { faca { x++; } enquanto (x < 3) } senao { enquanto (x > 0) { x--; } } imprima x;",
     "eel0>el0(etel0>ntel0(efa1>fa1(~erfa1>@ncfa1 edfa1>nofa1(eic2>ic2(ecfa1>ncfa1(erel0>@ncel0))))) "
     "eeel0>neel0(ewh5>wh5(~erwh5>@ncwh5 edwh5>nowh5(edc6>dc6(ecwh5>ncwh5)) ecel0>ncel0(ept9>pt9(edFim>Fimprog)))))"},
    {"para (i <- 0; i < 3; i++) { para (x <- 0; x < 2; x++) { continue; } }",
     "eat0>at0(efr2>fr2(~erfr2>@ncfr2 edfr2>nofr2(eat3>at3(efr5>fr5(~erfr5>@ncfr5 "
     "edfr5>nofr5(eco6>co6(eic7>ic7(ecfr5>ncfr5))) eic9>ic9(ecfr2>ncfr2)))) edFim>Fimprog))"},
};

TEST(GenGraph, WhereEveryCommandHangs) {
    for (const ShapeCase& c : kShapes) EXPECT_EQ(test::idShape(genGraph(annotate(kDecls, c.body))), c.shape) << c.body;
}

TEST(GenGraph, EveryIdDefinedOnceAndEveryReferenceResolves) {
    const char* more[] = {
        "se (x > 0) { se (x > 1) { se (x > 2) { } senao { } } } senao { se (x > 3) { } }",
        "enquanto (x < 1) { faca { para (i <- 0; i < 1; i++) { se (x > 0) { continue; } } } enquanto (x < 0) }",
        "faca { faca { } enquanto (x < 1) } enquanto (x < 1) x++;",
    };
    std::vector<const char*> bodies;
    for (const ShapeCase& c : kShapes) bodies.push_back(c.body);
    bodies.insert(bodies.end(), std::begin(more), std::end(more));
    for (const char* body : bodies) {
        AnnCmdList cmds = annotate(kDecls, body);
        auto census = test::idCensus(genGraph(cmds));
        for (const auto& [id, count] : census) {
            if (id.rfind("R:", 0) == 0)
                EXPECT_EQ(census.count("N:" + id.substr(2)), 1u) << body << ": reference " << id;
            else
                EXPECT_EQ(count, 1) << body << ": " << id;
        }
        for (const std::string& id : test::recolouredIds(cmds))
            EXPECT_EQ(census.count(id), 1u) << body << ": recoloured " << id << " not drawn";
    }
}

TEST(GenGraph, NodeAttributes) {
    struct Case {
        const char* body;
        const char* id;
        const char* attrs;
    } cases[] = {
        {"x <- 1;", "at0", R"([a("COLOR","#96fef8"),a("OBJECT","x<-1")])"},
        // index cut at 4, right-hand side at 8
        {"v[i + 1000] <- x + 123456789;", "at0", R"([a("COLOR","#96fef8"),a("OBJECT","v[i+10...] <-x+123456...")])"},
        {"x++;", "ic0", R"([a("COLOR","#ffe0da"),a("OBJECT","x++")])"},
        {"v[i]++;", "ic0", R"([a("COLOR","#ffe0da"),a("OBJECT","v[i] ++")])"},
        {"x--;", "dc0", R"([a("COLOR","#add0ff"),a("OBJECT","x--")])"},
        {"v[12345]--;", "dc0", R"([a("COLOR","#add0ff"),a("OBJECT","v[1234...] --")])"},
        {"para (i <- 0; i < 3; i--) { }", "at0", R"([a("COLOR","#7af0ca"),a("OBJECT","i<-0")])"},
        {"para (i <- 0; i < 3; i--) { }", "dc3", R"([a("COLOR","#7af0ca"),a("OBJECT","i--")])"},
        {"para (i++; i < 3; i++) { }", "ic3", R"([a("COLOR","#7af0ca"),a("OBJECT","i++")])"},
        {"pare;", "pa0", R"([a("COLOR","blue"),a("OBJECT","Pare"),a("_GO","circle")])"},
        {"continue;", "co0", R"([a("COLOR","green"),a("OBJECT","Cont"),a("_GO","circle")])"},
        {"saia;", "sa0", R"([a("COLOR","red"),a("OBJECT","Saia"),a("_GO","circle")])"},
        {"leia x;", "rd0",
         R"([a("ICONFILE","/usr/local/jox/image/read.xbm"),a("COLOR","#c3c3c2"),a("OBJECT","x"),a("_GO","icon")])"},
        {"leia v[x + 10];", "rd0",
         R"([a("ICONFILE","/usr/local/jox/image/read.xbm"),a("COLOR","#c3c3c2"),a("OBJECT","v[x+10]"),a("_GO","icon")])"},
        // the texts of the list run together, cut at 15
        {"imprima \"total: \", x, 2.5, s;", "pt0",
         R"([a("ICONFILE","/usr/local/jox/image/print.xbm"),a("COLOR","#d4c18a"),a("OBJECT","total: x2.5s"),a("_GO","icon")])"},
        {"imprima \"abcdefghij\", x + 1234;", "pt0",
         R"([a("ICONFILE","/usr/local/jox/image/print.xbm"),a("COLOR","#d4c18a"),a("OBJECT","abcdefghijx+123..."),a("_GO","icon")])"},
        // conditions cut at 6
        {"se (x >= 10) { }", "if0", R"([a("_GO","rhombus"),a("OBJECT","x>=10"),a("COLOR","#fec2a0")])"},
        {"se (x == 1000) { }", "if0", R"([a("_GO","rhombus"),a("OBJECT","x=1000"),a("COLOR","#fec2a0")])"},
        {"se (x <> 10000) { } senao { }", "el0", R"([a("_GO","rhombus"),a("OBJECT","x<>100..."),a("COLOR","#fec2a0")])"},
        {"se (x > 0) { }", "ntif0", R"([a("_GO","text"),a("OBJECT","entao")])"},
        {"se (x > 0) { }", "ncif0", R"([a("_GO","circle"),a("COLOR","#fec2a0")])"},
        {"se (x > 0) { } senao { }", "neel0", R"([a("_GO","text"),a("OBJECT","senao")])"},
        {"enquanto (x < 3) { }", "wh0", R"([a("COLOR","#e194ad"),a("_GO","rhombus"),a("OBJECT","x<3")])"},
        {"enquanto (x < 3) { }", "nowh0", R"([a("_GO","text"),a("OBJECT","faca")])"},
        {"enquanto (x < 3) { }", "ncwh0", R"([a("_GO","circle"),a("COLOR","#e194ad")])"},
        {"para (i <- 0; i < 3; i++) { }", "fr2", R"([a("COLOR","#7af0ca"),a("_GO","rhombus"),a("OBJECT","i<3")])"},
        {"para (i <- 0; i < 3; i++) { }", "ncfr2", R"([a("_GO","circle"),a("COLOR","#7af0ca")])"},
        {"faca { } enquanto (x < 3)", "fa0", R"([a("COLOR","#e8ffbc"),a("_GO","circle")])"},
        {"faca { } enquanto (x < 3)", "nofa0", R"([a("_GO","text"),a("OBJECT","faca")])"},
        {"faca { } enquanto (x <= 3000)", "ncfa0", R"([a("COLOR","#e8ffbc"),a("_GO","rhombus"),a("OBJECT","x<=300...")])"},
        {"", "Fimprog", R"([a("COLOR","#ffffe3"),a("OBJECT","Fimprog"),a("_GO","ellipse")])"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(test::nodeAttrs(genGraph(annotate(kDecls, c.body)), c.id), c.attrs) << c.body << " " << c.id;
}

TEST(GenGraph, OnlyLoopBackEdgesHaveAttributes) {
    const char* back = R"([a("EDGEPATTERN","dashed"),a("_DIR","inverse")])";
    auto top = genGraph(annotate(kDecls,
                                 "enquanto (x < 1) { } faca { } enquanto (x < 1) para (i <- 0; i < 1; i++) { }"
                                 "se (x > 0) { } senao { }"));
    for (const char* id : {"erwh0", "erfa2", "erfr6"}) EXPECT_EQ(test::edgeAttrs(top, id), back) << id;
    for (const char* id : {"ewh0", "edwh0", "ecwh0", "ecfa2", "efr6", "erel9", "eeel9", "edFim"})
        EXPECT_EQ(test::edgeAttrs(top, id), "[]") << id;
}

TEST(GenGraph, LongProgramBuildsInALoop) {
    std::string body;
    for (int k = 0; k < 200000; ++k) body += "x <- 1;\n";
    AnnCmdList cmds = annotate(kDecls, body);
    dv::Edge top = genGraph(cmds);
    std::string text = dv::show(top);
    EXPECT_NE(text.find("l(\"at199999\""), std::string::npos);
}

}  // namespace
}  // namespace jox
