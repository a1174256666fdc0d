// The text of answers and the reader of answer lines.
#include <gtest/gtest.h>

#include <optional>

#include "graphtool/DaVinciTypes.h"

namespace jox::dv {
namespace {

struct AnswerCase {
    DaVinciAnswer answer;
    const char* text;
};

TEST(AnswerText, EveryAnswerWritesAndReadsBack) {
    const AnswerCase cases[] = {
        {Ok{}, "ok"},
        {CommunicationError{"say \"no\"\nnow"}, "communication_error(\"say \\\"no\\\"\\nnow\")"},
        {NodeSelectionsLabels{{}}, "node_selections_labels([])"},
        {NodeSelectionsLabels{{NodeId{"n1"}, NodeId{"n2"}}}, "node_selections_labels([\"n1\",\"n2\"])"},
        {NodeDoubleClick{}, "node_double_click"},
        {EdgeSelectionLabel{EdgeId{"e"}}, "edge_selection_label(\"e\")"},
        {EdgeSelectionLabels{NodeId{"n1"}, NodeId{"n2"}}, "edge_selection_labels(\"n1\",\"n2\")"},
        {EdgeDoubleClick{}, "edge_double_click"},
        {MenuSelection{MenuId{"m1"}}, "menu_selection(\"m1\")"},
        {IconSelection{IconId{"i"}}, "icon_selection(\"i\")"},
        {Context{ContextId{"c"}}, "context(\"c\")"},
        {TclAnswer{"t\xe9"}, "tcl_answer(\"t\\233\")"},
        {BrowserAnswer{"f", "t"}, "browser_answer(\"f\",\"t\")"},
        {Disconnect{}, "disconnect"},
        {Closed{}, "closed"},
        {Quit{}, "quit"},
        {PopupSelectionNode{NodeId{"n"}, MenuId{"m"}}, "popup_selection_node(\"n\",\"m\")"},
        {PopupSelectionEdge{EdgeId{"e"}, MenuId{"m"}}, "popup_selection_edge(\"e\",\"m\")"},
        {CreateNode{}, "create_node"},
        {CreateNodeAndEdge{NodeId{"n"}}, "create_node_and_edge(\"n\")"},
        {CreateEdge{NodeId{"a"}, NodeId{"b"}}, "create_edge(\"a\",\"b\")"},
        {CreateEdge{NodeId{"b"}, NodeId{"a"}}, "create_edge(\"b\",\"a\")"},
        {DropNode{ContextId{"c1"}, WindowId{"w1"}, NodeId{"n1"}, ContextId{"c2"}, WindowId{"w2"}, NodeId{"n2"}},
         "drop_node(\"c1\",\"w1\",\"n1\",\"c2\",\"w2\",\"n2\")"},
        {ContextWindow{ContextId{"c"}, WindowId{"w"}}, "context_window(\"c\",\"w\")"},
        {OpenWindow{}, "open_window"},
        {CloseWindow{WindowId{"w"}}, "close_window(\"w\")"},
    };
    for (const AnswerCase& c : cases) {
        EXPECT_EQ(showAnswer(c.answer), c.text);
        auto readings = readAnswer(0, c.text);
        ASSERT_EQ(readings.size(), 1u) << c.text;
        EXPECT_TRUE(readings[0].first == c.answer) << c.text;
        EXPECT_EQ(readings[0].second, "") << c.text;
    }
}

// One line and its reading: the answer and the rest, or no reading at all.
struct ReadCase {
    std::string line;
    std::optional<DaVinciAnswer> answer;
    std::string rest;
};

TEST(AnswerReader, Lines) {
    const ReadCase cases[] = {
        // Blanks are skipped before tokens, never after the last one.
        {"ok", Ok{}, ""},
        {"   ok", Ok{}, ""},
        {"\t\xa0ok", Ok{}, ""},
        {"ok ", Ok{}, " "},
        {"ok\r", Ok{}, "\r"},
        {"ok(", Ok{}, "("},
        {"ok,x", Ok{}, ",x"},
        // Whole words only.
        {"okay", std::nullopt, ""},
        {"OK", std::nullopt, ""},
        {"ok_x", std::nullopt, ""},
        {"ok1", std::nullopt, ""},
        {"ok'", std::nullopt, ""},
        {"ok\xe9", std::nullopt, ""},
        {"quit", Quit{}, ""},
        {"quitting", std::nullopt, ""},
        {"(ok)", std::nullopt, ""},
        {"", std::nullopt, ""},
        {"   ", std::nullopt, ""},
        // Argument lists: exact counts, optional parentheses around strings.
        {"communication_error(\"lost\")", CommunicationError{"lost"}, ""},
        {"communication_error ( \"lost\" )", CommunicationError{"lost"}, ""},
        {"communication_error((\"lost\"))", CommunicationError{"lost"}, ""},
        {"communication_error(((\"a\")))x", CommunicationError{"a"}, "x"},
        {"communication_error((\"a\")", std::nullopt, ""},
        {"communication_error()", std::nullopt, ""},
        {"communication_error", std::nullopt, ""},
        {"communication_error(\"a\",\"b\")", std::nullopt, ""},
        {"communication_error(\"a\",)", std::nullopt, ""},
        {"communication_error(lost)", std::nullopt, ""},
        {"communication_error(\"open)", std::nullopt, ""},
        {"menu_selection(\"m1\")", MenuSelection{MenuId{"m1"}}, ""},
        {"edge_selection_labels(\"n1\",\"n2\")", EdgeSelectionLabels{NodeId{"n1"}, NodeId{"n2"}}, ""},
        {"edge_selection_labels(\"n1\")", std::nullopt, ""},
        {"edge_selection_label(\"e\") ", EdgeSelectionLabel{EdgeId{"e"}}, " "},
        {"drop_node(\"c1\",\"w1\",\"n1\",\"c2\",\"w2\",\"n2\")",
         DropNode{ContextId{"c1"}, WindowId{"w1"}, NodeId{"n1"}, ContextId{"c2"}, WindowId{"w2"}, NodeId{"n2"}}, ""},
        {"drop_node(\"c1\",\"w1\",\"n1\",\"c2\",\"w2\")", std::nullopt, ""},
        {"node_double_click", NodeDoubleClick{}, ""},
        {"node_double_click(\"n1\")", NodeDoubleClick{}, "(\"n1\")"},
        // The list of node_selections_labels: with or without parentheses.
        {"node_selections_labels([])", NodeSelectionsLabels{{}}, ""},
        {"node_selections_labels[]", NodeSelectionsLabels{{}}, ""},
        {"node_selections_labels([\"n1\",\"n2\"])", NodeSelectionsLabels{{NodeId{"n1"}, NodeId{"n2"}}}, ""},
        {"node_selections_labels[\"n1\",\"n2\"]", NodeSelectionsLabels{{NodeId{"n1"}, NodeId{"n2"}}}, ""},
        {"node_selections_labels(([ (\"n1\") ]))", NodeSelectionsLabels{{NodeId{"n1"}}}, ""},
        {"node_selections_labels([\"n1\",])", std::nullopt, ""},
        {"node_selections_labels([\"n1\"", std::nullopt, ""},
        {"node_selections_labels(\"n1\")", std::nullopt, ""},
        {"node_selections_labels", std::nullopt, ""},
        // String escapes.
        {"tcl_answer(\"a\\\"b\")", TclAnswer{"a\"b"}, ""},
        {"tcl_answer(\"x\\65y\")", TclAnswer{"xAy"}, ""},
        {"tcl_answer(\"\\1\\&2\")", TclAnswer{"\x01" "2"}, ""},
        {"tcl_answer(\"\\12\")", TclAnswer{"\x0c"}, ""},
        {"tcl_answer(\"\\255\")", TclAnswer{"\xff"}, ""},
        {"tcl_answer(\"\\256\")", std::nullopt, ""},
        {"tcl_answer(\"\\o101\\x41\\x6a\\XA\")", std::nullopt, ""},
        {"tcl_answer(\"\\o101\\x41\\x6a\")", TclAnswer{"AAj"}, ""},
        {"tcl_answer(\"\\o\")", std::nullopt, ""},
        {"tcl_answer(\"\\x\")", std::nullopt, ""},
        {"tcl_answer(\"\\a\\b\\f\\n\\r\\t\\v\\\\\\'\")", TclAnswer{"\a\b\f\n\r\t\v\\'"}, ""},
        {"tcl_answer(\"\\^@\\^A\\^_\")", TclAnswer{std::string("\0\x01\x1f", 3)}, ""},
        {"tcl_answer(\"\\^a\")", std::nullopt, ""},
        {"tcl_answer(\"\\SOH\\SO\\&H\\SOx\")", TclAnswer{"\x01\x0eH\x0ex"}, ""},
        {"tcl_answer(\"\\NUL\\BEL\\BS\\HT\\LF\\VT\\FF\\CR\\SP\\DEL\\ESC\\US\")",
         TclAnswer{std::string("\0\a\b\t\n\v\f\r \x7f\x1b\x1f", 12)}, ""},
        {"tcl_answer(\"a\\   \\b\")", TclAnswer{"ab"}, ""},
        {"tcl_answer(\"a\\   b\")", std::nullopt, ""},
        {"tcl_answer(\"\\q\")", std::nullopt, ""},
        {"tcl_answer(\"\\", std::nullopt, ""},
        {"tcl_answer(\"raw \xe3\t\")", TclAnswer{"raw \xe3\t"}, ""},
        {"browser_answer(\"f\",(\"t\"))", BrowserAnswer{"f", "t"}, ""},
        {"close_window(\"w\")\r", CloseWindow{WindowId{"w"}}, "\r"},
    };
    for (const ReadCase& c : cases) {
        auto readings = readAnswer(0, c.line);
        if (!c.answer) {
            EXPECT_TRUE(readings.empty()) << c.line << " gave " << showAnswer(readings[0].first);
            continue;
        }
        ASSERT_EQ(readings.size(), 1u) << c.line;
        EXPECT_TRUE(readings[0].first == *c.answer) << c.line << " gave " << showAnswer(readings[0].first);
        EXPECT_EQ(readings[0].second, c.rest) << c.line;
    }
}

TEST(AnswerReader, PrecedenceIsIgnored) {
    EXPECT_EQ(readAnswer(11, "quit"), readAnswer(0, "quit"));
}

TEST(AnswerReader, ListOfAnswers) {
    auto one = [](const std::string& text) { return readAnswerList(text); };
    auto r = one("[ok, quit,menu_selection(\"m\")] x");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].first, (std::vector<DaVinciAnswer>{Ok{}, Quit{}, MenuSelection{MenuId{"m"}}}));
    EXPECT_EQ(r[0].second, " x");
    r = one("([])");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_TRUE(r[0].first.empty());
    EXPECT_EQ(r[0].second, "");
    EXPECT_TRUE(one("[ok,]").empty());
    EXPECT_TRUE(one("[okay]").empty());
    EXPECT_TRUE(one("ok").empty());
    EXPECT_TRUE(one("([ok]").empty());
}

}  // namespace
}  // namespace jox::dv
