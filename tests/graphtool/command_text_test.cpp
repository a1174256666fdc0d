// The text of commands: every family's words and argument forms, the string
// escapes, equality, and deeply nested graph terms.  Every table row is also
// read back by the command reader the stand-in daVinci uses.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <type_traits>

#include "graphtool/CmdReader.h"
#include "graphtool/DaVinciTypes.h"
#include "tests/support/OnStack.h"

namespace jox::dv {
namespace {

std::vector<Attribute> startAttrs(const std::string& label) {
    return {A{"COLOR", "#ffffe3"}, A{"OBJECT", label}, A{"_GO", "ellipse"}};
}

struct CmdCase {
    const char* name;
    DaVinciCmd cmd;
    const char* text;
    bool readsBack = true;  // false where two variants share one text
};

Node leaf(const char* id) { return Node{N{NodeId{id}, Type{""}, {}, {}}}; }

const std::vector<CmdCase>& cmdCases() {
    static const std::vector<CmdCase> cases = {
        // The flowchart's own commands.
        {"worked_example",
         Graph{New{{Node{N{NodeId{"Inicio"}, Type{""}, startAttrs("Inicio"),
                           {Edge{E{EdgeId{"edFim"}, Type{""}, {},
                                   Node{N{NodeId{"Fimprog"}, Type{""}, startAttrs("Fimprog"), {}}}}}}}}}}},
         "graph(new([l(\"Inicio\",n(\"\",[a(\"COLOR\",\"#ffffe3\"),a(\"OBJECT\",\"Inicio\"),"
         "a(\"_GO\",\"ellipse\")],[l(\"edFim\",e(\"\",[],l(\"Fimprog\",n(\"\",[a(\"COLOR\","
         "\"#ffffe3\"),a(\"OBJECT\",\"Fimprog\"),a(\"_GO\",\"ellipse\")],[]))))]))]))"},
        {"change_node_latin1",
         Graph{ChangeAttr{{AttrChange{AttrChange::Node{
             NodeId{"at3"}, {A{"OBJECT", "x<-n\xe3o"}, A{"COLOR", "yellow"}}}}}}},
         "graph(change_attr([node(\"at3\",[a(\"OBJECT\",\"x<-n\\227o\"),a(\"COLOR\",\"yellow\")])]))"},
        {"change_edge",
         Graph{ChangeAttr{{AttrChange{AttrChange::Edge{EdgeId{"eat3"}, {A{"EDGECOLOR", "yellow"}}}}}}},
         "graph(change_attr([edge(\"eat3\",[a(\"EDGECOLOR\",\"yellow\")])]))"},
        {"change_node_no_attrs", Graph{ChangeAttr{{AttrChange{AttrChange::Node{NodeId{"n"}, {}}}}}},
         "graph(change_attr([node(\"n\",[])]))"},
        {"edge_to_reference",
         Graph{New{{Node{N{NodeId{"a"}, Type{"t"}, {},
                           {Edge{E{EdgeId{"e"}, Type{""}, {}, Node{R{NodeId{"a"}}}}},
                            Edge{E{EdgeId{"f"}, Type{""}, {A{"k", "v"}}, leaf("b")}}}}}}}},
         "graph(new([l(\"a\",n(\"t\",[],[l(\"e\",e(\"\",[],r(\"a\"))),"
         "l(\"f\",e(\"\",[a(\"k\",\"v\")],l(\"b\",n(\"\",[],[]))))]))]))"},
        {"new_empty", Graph{New{{}}}, "graph(new([]))"},
        {"menu_attribute",
         Graph{New{{Node{N{NodeId{"a"}, Type{""}, {M{{MenuEntry{BlankMenuEntry{}}}}}, {}}}}}},
         "graph(new([l(\"a\",n(\"\",[m([blank])],[]))]))"},
        {"font_size", DVSet{FontSize{10}}, "set(font_size(10))"},
        {"gap_width", DVSet{GapWidth{4}}, "set(gap_width(4))"},
        {"gap_height", DVSet{GapHeight{40}}, "set(gap_height(40))"},
        {"position", Window{Position{30, 0}}, "window(position(30,0))"},
        {"size", Window{Size{500, -1}}, "window(size(500,-1))"},
        {"title", Window{Title{"JOX: prog"}}, "window(title(\"JOX: prog\"))"},
        {"show_status", Window{ShowStatus{"say \"hi\"\n"}}, "window(show_status(\"say \\\"hi\\\"\\n\"))"},
        {"improve_all", Menu{Layout{ImproveAll{}}}, "menu(layout(improve_all))"},

        // GraphCmd.
        {"new_placed", Graph{NewPlaced{{leaf("x")}}}, "graph(new_placed([l(\"x\",n(\"\",[],[]))]))"},
        {"update",
         Graph{Update{{DeleteNode{NodeId{"a"}}, NewNode{NodeId{"b"}, Type{"t"}, {A{"k", "v"}}}},
                      {DeleteEdge{EdgeId{"e"}},
                       NewEdge{EdgeId{"f"}, Type{""}, {}, NodeId{"a"}, NodeId{"b"}},
                       NewEdgeBehind{EdgeId{"f"}, EdgeId{"g"}, Type{""}, {}, NodeId{"b"}, NodeId{"a"}}}}},
         "graph(update([delete_node(\"a\"),new_node(\"b\",\"t\",[a(\"k\",\"v\")])],[delete_edge(\"e\"),"
         "new_edge(\"f\",\"\",[],\"a\",\"b\"),new_edge_behind(\"f\",\"g\",\"\",[],\"b\",\"a\")]))"},
        {"update_empty_lists", Graph{Update{{}, {}}}, "graph(update([],[]))"},
        {"update_and_change_attr",
         Graph{UpdateAndChangeAttr{{NewNode{NodeId{"b"}, Type{""}, {}}},
                                   {},
                                   {AttrChange{AttrChange::Node{NodeId{"b"}, {}}}}}},
         "graph(update_and_change_attr([new_node(\"b\",\"\",[])],[],[node(\"b\",[])]))"},
        {"update_mixed", Graph{UpdateMixed{{NU{DeleteNode{NodeId{"Fimprog"}}}}}},
         "graph(update([delete_node(\"Fimprog\")]))"},
        {"update_mixed_edge", Graph{UpdateMixed{{EU{DeleteEdge{EdgeId{"e"}}}, NU{DeleteNode{NodeId{"n"}}}}}},
         "graph(update([delete_edge(\"e\"),delete_node(\"n\")]))"},
        {"update_and_change_attr_mixed",
         Graph{UpdateAndChangeAttrMixed{{EU{DeleteEdge{EdgeId{"e"}}}},
                                        {AttrChange{AttrChange::Edge{EdgeId{"e"}, {}}}}}},
         "graph(update_and_change_attr([delete_edge(\"e\")],[edge(\"e\",[])]))"},
        {"update_and_change_attr_mixed_empty", Graph{UpdateAndChangeAttrMixed{{}, {}}},
         "graph(update_and_change_attr([],[]))"},
        {"change_type", Graph{ChangeType{{NodeType{NodeId{"n"}, Type{"t"}}, EdgeType{EdgeId{"e"}, Type{"u"}}}}},
         "graph(change_type([node(\"n\",\"t\"),edge(\"e\",\"u\")]))"},

        // MultiCmd.
        {"new_context", Multi{NewContext{}}, "multi(new_context)"},
        {"open_context", Multi{OpenContext{ContextId{"c"}}}, "multi(open_context(\"c\"))"},
        {"set_context", Multi{SetContext{ContextId{"c"}}}, "multi(set_context(\"c\"))"},
        {"set_context_window", Multi{SetContextWindow{ContextId{"c"}, WindowId{"w"}}},
         "multi(set_context(\"c\",\"w\"))"},

        // MenuCmd and its five families.
        {"clear_graph", Menu{File{ClearGraph{}}}, "menu(file(new))"},
        {"open_graph", Menu{File{OpenGraph{Filename{"g.daVinci"}}}}, "menu(file(open_graph(\"g.daVinci\")))"},
        {"open_graph_placed", Menu{File{OpenGraphPlaced{Filename{"g"}}}}, "menu(file(open_graph_placed(\"g\")))"},
        {"open_status", Menu{File{OpenStatus{Filename{"s"}}}}, "menu(file(open_status(\"s\")))"},
        {"save_graph", Menu{File{SaveGraph{Filename{"g"}}}}, "menu(file(save_graph(\"g\")))"},
        {"save_status", Menu{File{SaveStatus{Filename{"s"}}}}, "menu(file(save_status(\"s\")))"},
        {"print_empty", Menu{File{Print{}}}, "menu(file(print))"},
        {"print_file", Menu{File{Print{Filename{"p.ps"}}}}, "menu(file(print(\"p.ps\")))"},
        {"close", Menu{File{Close{}}}, "menu(file(close))"},
        {"exit", Menu{File{Exit{}}}, "menu(file(exit))"},
        {"open_new_view", Menu{View{OpenNewView{}}}, "menu(view(open_new_view))"},
        {"open_survey_view", Menu{View{OpenSurveyView{}}}, "menu(view(open_survey_view))"},
        {"full_scale", Menu{View{FullScale{}}}, "menu(view(full_scale))"},
        {"fit_scale_to_window", Menu{View{FitScaleToWindow{}}}, "menu(view(fit_scale_to_window))"},
        {"scale_empty", Menu{View{Scale{}}}, "menu(view(scale))"},
        {"scale_negative", Menu{View{Scale{-50}}}, "menu(view(scale(-50)))"},
        {"graph_info", Menu{View{GraphInfo{}}}, "menu(view(graph_info))"},
        {"davinci_info", Menu{View{DaVinciInfo{}}}, "menu(view(daVinci_info))"},
        {"select_parents", Menu{Navigation{SelectParents{{NodeId{"a"}, NodeId{"b"}}}}},
         "menu(navigation(select_parents([\"a\",\"b\"])))"},
        {"select_siblings", Menu{Navigation{SelectSiblings{{}}}}, "menu(navigation(select_siblings([])))"},
        {"select_childs", Menu{Navigation{SelectChilds{{NodeId{"a"}}}}}, "menu(navigation(select_childs([\"a\"])))"},
        {"select_children", Menu{Navigation{SelectChildren{{NodeId{"a"}}}}},
         "menu(navigation(select_childs([\"a\"])))", false},
        {"navigator_empty", Menu{Navigation{Navigator{}}}, "menu(navigation(navigator))"},
        {"navigator", Menu{Navigation{Navigator{std::make_tuple(NodeId{"Inicio"}, Direction::Up, true)}}},
         "menu(navigation(navigator(\"Inicio\",up,True)))"},
        {"navigator_left", Menu{Navigation{Navigator{std::make_tuple(NodeId{""}, Direction::DVLeft, false)}}},
         "menu(navigation(navigator(\"\",left,False)))"},
        {"navigator_down_right_words",
         Menu{Navigation{Navigator{std::make_tuple(NodeId{"x"}, Direction::DVRight, false)}}},
         "menu(navigation(navigator(\"x\",right,False)))"},
        {"find_empty", Menu{Navigation{Find{}}}, "menu(navigation(find))"},
        {"find", Menu{Navigation{Find{std::make_tuple(std::string("x"), true, false)}}},
         "menu(navigation(find(\"x\",True,False)))"},
        {"hide_subgraph", Menu{Abstraction{HideSubgraph{{NodeId{"a"}}}}}, "menu(abstraction(hide_subgraph([\"a\"])))"},
        {"show_subgraph", Menu{Abstraction{ShowSubgraph{{}}}}, "menu(abstraction(show_subgraph([])))"},
        {"restore_all_subgraphs", Menu{Abstraction{RestoreAllSubgraphs{}}},
         "menu(abstraction(restore_all_subgraphs))"},
        {"hide_edges", Menu{Abstraction{HideEdges{{NodeId{"a"}}}}}, "menu(abstraction(hide_edges([\"a\"])))"},
        {"show_edges", Menu{Abstraction{ShowEdges{{NodeId{"a"}}}}}, "menu(abstraction(show_edges([\"a\"])))"},
        {"restore_all_edges", Menu{Abstraction{RestoreAllEdges{}}}, "menu(abstraction(restore_all_edges))"},
        {"improve_visible", Menu{Layout{ImproveVisible{}}}, "menu(layout(improve_visible))"},
        {"compact_all", Menu{Layout{CompactAll{}}}, "menu(layout(compact_all))"},
        {"orientation_top_down", Menu{Layout{Orientation{Orient::TopDown}}}, "menu(layout(orientation(top_down)))"},
        {"orientation_bottom_up", Menu{Layout{Orientation{Orient::BottomUp}}},
         "menu(layout(orientation(bottom_up)))"},
        {"orientation_left_right", Menu{Layout{Orientation{Orient::LeftRight}}},
         "menu(layout(orientation(left_right)))"},
        {"orientation_right_left", Menu{Layout{Orientation{Orient::RightLeft}}},
         "menu(layout(orientation(right_left)))"},

        // AppMenuCmd, menu and icon entries.
        {"create_menus_empty", AppMenu{CreateMenus{{}}}, "app_menu(create_menus([]))"},
        {"create_menus",
         AppMenu{CreateMenus{{
             MenuEntry{MenuEntryItem{MenuId{"m1"}, MenuLabel{"One"}}},
             MenuEntry{MenuEntryMne{MenuId{"m2"}, MenuLabel{"Two"}, MenuMne{"T"}, MenuMod::Alternate, MenuAcc{"t"}}},
             MenuEntry{SubmenuEntry{MenuId{"s"}, MenuLabel{"Sub"},
                                    {MenuEntry{BlankMenuEntry{}},
                                     MenuEntry{MenuEntryDisabled{MenuId{"d"}, MenuLabel{"D"}}}}}},
             MenuEntry{SubmenuEntryMne{MenuId{"s2"}, MenuLabel{"S2"}, {}, MenuMne{"S"}}},
             MenuEntry{SubmenuEntryDisabled{MenuId{"s3"}, MenuLabel{"S3"}, {}}},
         }}},
         "app_menu(create_menus([menu_entry(\"m1\",\"One\"),menu_entry_mne(\"m2\",\"Two\",\"T\",alt,\"t\"),"
         "submenu_entry(\"s\",\"Sub\",[blank,menu_entry_disabled(\"d\",\"D\")]),"
         "submenu_entry_mne(\"s2\",\"S2\",[],\"S\"),submenu_entry_disabled(\"s3\",\"S3\",[])]))"},
        {"menu_mods",
         AppMenu{CreateMenus{{
             MenuEntry{MenuEntryMne{MenuId{"a"}, MenuLabel{""}, MenuMne{""}, MenuMod::Shift, MenuAcc{""}}},
             MenuEntry{MenuEntryMne{MenuId{"b"}, MenuLabel{""}, MenuMne{""}, MenuMod::Control, MenuAcc{""}}},
             MenuEntry{MenuEntryMne{MenuId{"c"}, MenuLabel{""}, MenuMne{""}, MenuMod::Meta, MenuAcc{""}}},
             MenuEntry{MenuEntryMne{MenuId{"d"}, MenuLabel{""}, MenuMne{""}, MenuMod::None, MenuAcc{""}}},
         }}},
         "app_menu(create_menus([menu_entry_mne(\"a\",\"\",\"\",shift,\"\"),"
         "menu_entry_mne(\"b\",\"\",\"\",control,\"\"),menu_entry_mne(\"c\",\"\",\"\",meta,\"\"),"
         "menu_entry_mne(\"d\",\"\",\"\",none,\"\")]))"},
        {"create_icons",
         AppMenu{CreateIcons{{IconEntryItem{IconId{"i"}, Filename{"i.xbm"}, "Icon"}, BlankIconEntry{}}}},
         "app_menu(create_icons([icon_entry(\"i\",\"i.xbm\",\"Icon\"),blank]))"},
        {"activate_menus", AppMenu{ActivateMenus{{MenuId{"m1"}, MenuId{"m2"}}}},
         "app_menu(activate_menus([\"m1\",\"m2\"]))"},
        {"activate_icons", AppMenu{ActivateIcons{{}}}, "app_menu(activate_icons([]))"},
        {"control_file_events", AppMenu{ControlFileEvents{}}, "app_menu(control_file_events)"},

        // SetCmd: lower-case truth values here only.
        {"layout_accuracy", DVSet{LayoutAccuracy{3}}, "set(layout_accuracy(3))"},
        {"keep_nodes_at_levels", DVSet{KeepNodesAtLevels{true}}, "set(keep_nodes_at_levels(true))"},
        {"font_size_negative", DVSet{FontSize{-3}}, "set(font_size(-3))"},
        {"font_size_min", DVSet{FontSize{INT32_MIN}}, "set(font_size(-2147483648))"},
        {"multi_edge_gap", DVSet{MultiEdgeGap{0}}, "set(multi_edge_gap(0))"},
        {"self_edge_radius", DVSet{SelfEdgeRadius{2147483647}}, "set(self_edge_radius(2147483647))"},
        {"scrolling_on_selection", DVSet{ScrollingOnSelection{false}}, "set(scrolling_on_selection(false))"},
        {"animation_speed", DVSet{AnimationSpeed{7}}, "set(animation_speed(7))"},
        {"no_cache", DVSet{NoCache{true}}, "set(no_cache(true))"},
        {"rules_first", DVSet{RulesFirst{false}}, "set(rules_first(false))"},

        // WindowCmd.
        {"show_message", Window{ShowMessage{""}}, "window(show_message(\"\"))"},
        {"raise", Window{Raise{}}, "window(raise)"},
        {"iconify", Window{Iconify{}}, "window(iconify)"},
        {"deiconify", Window{Deiconify{}}, "window(deiconify)"},
        {"activate", Window{Activate{}}, "window(activate)"},
        {"deactivate", Window{Deactivate{}}, "window(deactivate)"},
        {"file_browser",
         Window{FileBrowser{true, "Open", "OK", "/tmp", "a.jox", {Bt{"JOX", "*.jox", "jox"}}, false}},
         "window(file_browser(True,\"Open\",\"OK\",\"/tmp\",\"a.jox\",[bt(\"JOX\",\"*.jox\",\"jox\")],False))"},

        // TclCmd, SpecialCmd.
        {"tcl_eval", Tcl{DVEval{"puts \\x"}}, "tcl(eval(\"puts \\\\x\"))"},
        {"tcl_eval_file", Tcl{EvalFile{Filename{"f.tcl"}}}, "tcl(eval_file(\"f.tcl\"))"},
        {"select_nodes", Special{SelectNodes{{NodeId{"a"}}}}, "special(select_nodes([\"a\"]))"},
        {"select_edge_single_literal", Special{SelectEdge{EdgeId{"edFim"}}}, "special(select_edges(\"edFim\"))"},
        {"focus_node", Special{FocusNode{NodeId{"a"}}}, "special(focus_node(\"a\"))"},
        {"focus_node_animated", Special{FocusNodeAnimated{NodeId{"a"}}}, "special(focus_node_animated(\"a\"))"},
        {"show_url", Special{ShowUrl{"http://x/"}}, "special(show_url(\"http://x/\"))"},

        // DVNothing, VisualCmd, DragAndDropCmd (written under "visual").
        {"nothing", DVNothing{}, "nothing"},
        {"new_rules", Visual{NewRules{{NR{Type{"t"}, {A{"COLOR", "red"}}}, ER{Type{"u"}, {}}}}},
         "visual(new_rules([nr(\"t\",[a(\"COLOR\",\"red\")]),er(\"u\",[])]))"},
        {"add_rules", Visual{AddRules{{}}}, "visual(add_rules([]))"},
        {"dragging_on", DragAndDrop{DraggingOn{}}, "visual(dragging_on)"},
        {"drag_and_drop_on", DragAndDrop{DragAndDropOn{}}, "visual(drag_and_drop_on)"},
        {"dragging_off", DragAndDrop{DraggingOff{}}, "visual(dragging_off)"},
        {"new_node_at_coord", DragAndDrop{NewNodeAtCoord{NewNode{NodeId{"n"}, Type{""}, {}}}},
         "visual(new_node_at_coord(new_node(\"n\",\"\",[])))"},
        {"new_edge_and_node_at_coord",
         DragAndDrop{NewEdgeAndNodeAtCoord{DeleteNode{NodeId{"n"}},
                                           NewEdge{EdgeId{"e"}, Type{""}, {}, NodeId{"a"}, NodeId{"n"}}}},
         "visual(new_edge_and_node_at_coord(delete_node(\"n\"),new_edge(\"e\",\"\",[],\"a\",\"n\")))"},
    };
    return cases;
}

TEST(CommandText, EveryFamilyAndWord) {
    for (const CmdCase& c : cmdCases()) {
        EXPECT_EQ(showCmd(c.cmd), c.text) << c.name;
        if (!c.readsBack) continue;
        std::string error;
        std::optional<DaVinciCmd> back = readCmd(c.text, error);
        ASSERT_TRUE(back.has_value()) << c.name << ": " << error;
        EXPECT_TRUE(*back == c.cmd) << c.name;
    }
}

TEST(CommandText, WorkedExampleIs202Characters) {
    EXPECT_EQ(showCmd(cmdCases().front().cmd).size(), 202u);
}

TEST(CommandText, StandAloneValuesUseTheSameRules) {
    EXPECT_EQ(show(NodeId{""}), "\"\"");
    EXPECT_EQ(show(SetCmd{FontSize{-3}}), "font_size(-3)");
    EXPECT_EQ(show(Node{R{NodeId{"a"}}}), "r(\"a\")");
    EXPECT_EQ(show(Edge{E{EdgeId{"e"}, Type{""}, {}, Node{R{NodeId{"a"}}}}}), "l(\"e\",e(\"\",[],r(\"a\")))");
    EXPECT_EQ(show(std::vector<NodeId>{}), "[]");
    EXPECT_EQ(show(Direction::Down), "down");
}

struct EscapeCase {
    std::string text;
    std::string literal;
};

TEST(CommandText, StringLiteralEscapes) {
    const EscapeCase cases[] = {
        {"", "\"\""},
        {"plain 'text' ~", "\"plain 'text' ~\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line\nbreak", "\"line\\nbreak\""},
        {std::string("\a\b\t\n\v\f\r", 7), "\"\\a\\b\\t\\n\\v\\f\\r\""},
        {std::string("\0", 1), "\"\\NUL\""},
        {"\x01\x02\x03\x04\x05\x06", "\"\\SOH\\STX\\ETX\\EOT\\ENQ\\ACK\""},
        {"\x0f\x10\x11\x12\x13\x14\x15\x16\x17", "\"\\SI\\DLE\\DC1\\DC2\\DC3\\DC4\\NAK\\SYN\\ETB\""},
        {"\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f", "\"\\CAN\\EM\\SUB\\ESC\\FS\\GS\\RS\\US\""},
        {"\x7f", "\"\\DEL\""},
        {"\x7f" "1", "\"\\DEL1\""},
        {"n\xe3o", "\"n\\227o\""},
        {"\xe3" "1", "\"\\227\\&1\""},
        {"\xe3\xe9", "\"\\227\\233\""},
        {"\xe3\"", "\"\\227\\\"\""},
        {"\xe3", "\"\\227\""},
        {"\x80\xff" "0", "\"\\128\\255\\&0\""},
        {"\x0eH", "\"\\SO\\&H\""},
        {"\x0e" "h\x0e", "\"\\SOh\\SO\""},
        {"\x01" "2", "\"\\SOH2\""},
    };
    for (const EscapeCase& c : cases) {
        EXPECT_EQ(stringLiteral(c.text), c.literal) << c.literal;
        // Every literal reads back to its text through an answer.
        auto readings = readAnswer(0, "tcl_answer(" + c.literal + ")");
        ASSERT_EQ(readings.size(), 1u) << c.literal;
        EXPECT_EQ(std::get<TclAnswer>(readings[0].first).text, c.text) << c.literal;
    }
}

TEST(CommandText, EveryByteHasOneLineForm) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    std::string line = showCmd(Window{Title{all}});
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(line.find('\r'), std::string::npos);
    std::string error;
    std::optional<DaVinciCmd> back = readCmd(line, error);
    ASSERT_TRUE(back.has_value()) << error;
    EXPECT_EQ(std::get<Title>(std::get<Window>(*back).cmd).text, all);
}

TEST(Vocabulary, StructuralEquality) {
    Node n1{N{NodeId{"n"}, Type{""}, {A{"a", "1"}, A{"b", "2"}}, {}}};
    Node n2{N{NodeId{"n"}, Type{""}, {A{"b", "2"}, A{"a", "1"}}, {}}};
    EXPECT_FALSE(n1 == n2);  // attribute order matters
    EXPECT_TRUE((n1 == Node{N{NodeId{"n"}, Type{""}, {A{"a", "1"}, A{"b", "2"}}, {}}}));

    AttrChange empty{AttrChange::Node{NodeId{"n"}, {}}};
    AttrChange one{AttrChange::Node{NodeId{"n"}, {A{"COLOR", "yellow"}}}};
    EXPECT_FALSE(empty == one);
    EXPECT_FALSE((AttrChange{AttrChange::Node{NodeId{"x"}, {}}} == AttrChange{AttrChange::Edge{EdgeId{"x"}, {}}}));

    DropNode d{ContextId{"c1"}, WindowId{"w1"}, NodeId{"n1"}, ContextId{"c2"}, WindowId{"w2"}, NodeId{"n2"}};
    DropNode swapped{ContextId{"c2"}, WindowId{"w2"}, NodeId{"n2"}, ContextId{"c1"}, WindowId{"w1"}, NodeId{"n1"}};
    EXPECT_FALSE(DaVinciAnswer{d} == DaVinciAnswer{swapped});

    // Edges compare their targets' contents, not their addresses.
    Edge e1{E{EdgeId{"e"}, Type{""}, {}, leaf("t")}};
    Edge e2{E{EdgeId{"e"}, Type{""}, {}, leaf("t")}};
    Edge e3{E{EdgeId{"e"}, Type{""}, {}, Node{R{NodeId{"t"}}}}};
    EXPECT_TRUE(e1 == e2);
    EXPECT_FALSE(e1 == e3);

    // Same words, different variants.
    EXPECT_FALSE(DaVinciCmd{Visual{AddRules{}}} == DaVinciCmd{DragAndDrop{DraggingOn{}}});
    EXPECT_FALSE(MenuCmd{Navigation{SelectChilds{}}} == MenuCmd{Navigation{SelectChildren{}}});
    EXPECT_FALSE(ViewMenuCmd{Scale{}} == ViewMenuCmd{Scale{0}});

    // The identifier wrappers are distinct types.
    static_assert(!std::is_convertible_v<NodeId, EdgeId>);
    static_assert(!std::is_convertible_v<EdgeId, NodeId>);
    static_assert(!std::is_convertible_v<std::string, NodeId>);
    static_assert(!std::is_same_v<ContextId, WindowId>);
}

// A chain of `depth` nodes, each the target of the previous node's only edge.
Node chain(int depth) {
    Node node = leaf("last");
    for (int i = depth; i-- > 0;)
        node = Node{N{NodeId{"n" + std::to_string(i)}, Type{""}, {A{"OBJECT", "x"}},
                      {Edge{E{EdgeId{"e" + std::to_string(i)}, Type{""}, {}, std::move(node)}}}}};
    return node;
}

TEST(CommandText, MillionNestedTermsNeedNoDeepStack) {
    const int depth = 1000000;
    DaVinciCmd cmd = Graph{New{{chain(depth)}}};
    auto start = std::chrono::steady_clock::now();
    std::string text = showCmd(cmd);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("writing %d nested terms (%zu characters): %lld ms\n", depth, text.size(),
                static_cast<long long>(ms.count()));
    EXPECT_EQ(text.rfind("graph(new([l(\"n0\",n(\"\",[a(\"OBJECT\",\"x\")],[l(\"e0\",e(\"\",[],l(\"n1\",", 0), 0u);
    EXPECT_NE(text.find("l(\"last\",n(\"\",[],[]))))]))"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 12), ")]))))]))]))");
    // Destroying the term (at the end of this test) runs on this thread's
    // ordinary stack too.
}

TEST(Vocabulary, DeepTermsCompareWithoutDeepStack) {
    // Deep enough to overflow this thread's stack if compared recursively.
    const int depth = 200000;
    Node a = chain(depth);
    EXPECT_TRUE(a == chain(depth));
    EXPECT_FALSE(a == chain(depth - 1));
}

TEST(CommandReader, NestedTermsReadBack) {
    DaVinciCmd cmd = Graph{New{{chain(2000)}}};
    std::string error;
    std::optional<DaVinciCmd> back = readCmd(showCmd(cmd), error);
    ASSERT_TRUE(back.has_value()) << error;
    EXPECT_TRUE(*back == cmd);
}

// A flowchart nests one level per command.  Each level here has two edges:
// the chain goes on through the first edge at even levels and through the
// second at odd ones, beside a reference to the top node.
Node branchingChain(int depth) {
    Node node = leaf("last");
    for (int i = depth; i-- > 0;) {
        Edge next{E{EdgeId{"e" + std::to_string(i)}, Type{""}, {A{"EDGECOLOR", "black"}}, std::move(node)}};
        Edge back{E{EdgeId{"b" + std::to_string(i)}, Type{""}, {}, Node{R{NodeId{"n0"}}}}};
        std::vector<Edge> edges;
        if (i % 2 == 0)
            edges = {std::move(next), std::move(back)};
        else
            edges = {std::move(back), std::move(next)};
        node = Node{N{NodeId{"n" + std::to_string(i)}, Type{""}, {A{"OBJECT", "x"}}, std::move(edges)}};
    }
    return node;
}

// Read back on a small stack, however deep; a fault deep inside is placed
// exactly.
TEST(CommandReader, TermsOfAnyDepthReadBackOnASmallStack) {
    const int depth = 200000;
    const std::size_t smallStack = std::size_t{256} << 10;
    DaVinciCmd cmd = Graph{New{{branchingChain(depth), leaf("alone")}}};
    std::string text = showCmd(cmd);
    std::string error;
    std::optional<DaVinciCmd> back;
    EXPECT_EQ(test::onStack(smallStack, [&] { back = readCmd(text, error); }), "");
    ASSERT_TRUE(back.has_value()) << error;
    EXPECT_TRUE(*back == cmd);

    std::size_t at = text.find("l(\"last\",n(") + 9;
    text[at] = 'q';
    EXPECT_EQ(test::onStack(smallStack, [&] { back = readCmd(text, error); }), "");
    EXPECT_FALSE(back.has_value());
    EXPECT_EQ(error, "expected n(...) at character " + std::to_string(at + 1));
}

TEST(CommandReader, RejectsWhatDaVinciCannotRead) {
    struct Bad {
        const char* line;
        const char* error;
    };
    const Bad cases[] = {
        {"", "expected a word at character 1"},
        {"bogus(1)", "unknown command 'bogus' at character 1"},
        {"set(font_size(x))", "expected an integer at character 15"},
        {"set(font_size(1)", "expected ')' at character 17"},
        {"set(font_size(2147483648))", "integer out of range at character 15"},
        {"set(keep_nodes_at_levels(True))", "expected true or false at character 26"},
        {"window(title(\"open))", "bad string literal at character 14"},
        {"graph(new([l(\"a\",n(\"\",[],[]))])) x", "text after the command at character 34"},
        {"graph(update([delete_edge(\"e\")],[]))", "edge update in the list of node updates at character 14"},
        {"special(select_edges([\"e\"]))", "expected a string at character 22"},
    };
    for (const Bad& c : cases) {
        std::string error;
        EXPECT_FALSE(readCmd(c.line, error).has_value()) << c.line;
        EXPECT_EQ(error, c.error) << c.line;
    }
}

}  // namespace
}  // namespace jox::dv
