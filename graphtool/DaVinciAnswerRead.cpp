// The reader of daVinci's answer lines.
//
// A line is read as tokens, blanks skipped before each token and never after
// the last one, so whatever follows an answer (a blank, a carriage return)
// stays in the left-over text for the caller to judge.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "graphtool/DaVinciTypes.h"
#include "graphtool/TextLex.h"

namespace jox::dv {

namespace {

using Strings = std::vector<std::string>;

// The single-character token `c` at the next token position.
bool punct(std::string_view s, std::size_t& pos, char c) {
    std::size_t p = lex::skipBlanks(s, pos);
    if (p < s.size() && s[p] == c) {
        pos = p + 1;
        return true;
    }
    return false;
}

// A string value: a string literal inside any number of balanced pairs of
// parentheses.
bool stringValue(std::string_view s, std::size_t& pos, std::string& out) {
    std::size_t p = pos;
    int parens = 0;
    while (punct(s, p, '(')) ++parens;
    p = lex::skipBlanks(s, p);
    if (p >= s.size() || s[p] != '"') return false;
    if (!lex::readStringLiteral(s, p, out)) return false;
    for (; parens > 0; --parens)
        if (!punct(s, p, ')')) return false;
    pos = p;
    return true;
}

// "(" value { "," value } ")": one string at least.
std::optional<Strings> argList(std::string_view s, std::size_t& pos) {
    std::size_t p = pos;
    if (!punct(s, p, '(')) return std::nullopt;
    Strings args(1);
    if (!stringValue(s, p, args.back())) return std::nullopt;
    while (true) {
        if (punct(s, p, ')')) break;
        if (!punct(s, p, ',')) return std::nullopt;
        args.emplace_back();
        if (!stringValue(s, p, args.back())) return std::nullopt;
    }
    pos = p;
    return args;
}

// A bracketed list whose elements `item` reads, optionally inside balanced
// parentheses.
bool bracketList(std::string_view s, std::size_t& pos,
                 const std::function<bool(std::size_t&)>& item) {
    std::size_t p = pos;
    int parens = 0;
    while (punct(s, p, '(')) ++parens;
    if (!punct(s, p, '[')) return false;
    if (!punct(s, p, ']')) {
        while (true) {
            if (!item(p)) return false;
            if (punct(s, p, ']')) break;
            if (!punct(s, p, ',')) return false;
        }
    }
    for (; parens > 0; --parens)
        if (!punct(s, p, ')')) return false;
    pos = p;
    return true;
}

// One answer word with the fields that follow it.
struct AnswerForm {
    const char* word;
    int args;  // -1: a list literal of node identifiers
    DaVinciAnswer (*build)(Strings&);
};

template <class W>
W w(Strings& a, int i) {
    return W{std::move(a[i])};
}

const AnswerForm kForms[] = {
    {"ok", 0, [](Strings&) -> DaVinciAnswer { return Ok{}; }},
    {"communication_error", 1,
     [](Strings& a) -> DaVinciAnswer { return CommunicationError{std::move(a[0])}; }},
    {"node_selections_labels", -1,
     [](Strings& a) -> DaVinciAnswer {
         NodeSelectionsLabels r;
         for (std::string& s : a) r.nodes.push_back(NodeId{std::move(s)});
         return r;
     }},
    {"node_double_click", 0, [](Strings&) -> DaVinciAnswer { return NodeDoubleClick{}; }},
    {"edge_selection_label", 1,
     [](Strings& a) -> DaVinciAnswer { return EdgeSelectionLabel{w<EdgeId>(a, 0)}; }},
    {"edge_selection_labels", 2,
     [](Strings& a) -> DaVinciAnswer {
         return EdgeSelectionLabels{w<NodeId>(a, 0), w<NodeId>(a, 1)};
     }},
    {"edge_double_click", 0, [](Strings&) -> DaVinciAnswer { return EdgeDoubleClick{}; }},
    {"menu_selection", 1,
     [](Strings& a) -> DaVinciAnswer { return MenuSelection{w<MenuId>(a, 0)}; }},
    {"icon_selection", 1,
     [](Strings& a) -> DaVinciAnswer { return IconSelection{w<IconId>(a, 0)}; }},
    {"context", 1, [](Strings& a) -> DaVinciAnswer { return Context{w<ContextId>(a, 0)}; }},
    {"tcl_answer", 1, [](Strings& a) -> DaVinciAnswer { return TclAnswer{std::move(a[0])}; }},
    {"browser_answer", 2,
     [](Strings& a) -> DaVinciAnswer { return BrowserAnswer{std::move(a[0]), std::move(a[1])}; }},
    {"disconnect", 0, [](Strings&) -> DaVinciAnswer { return Disconnect{}; }},
    {"closed", 0, [](Strings&) -> DaVinciAnswer { return Closed{}; }},
    {"quit", 0, [](Strings&) -> DaVinciAnswer { return Quit{}; }},
    {"popup_selection_node", 2,
     [](Strings& a) -> DaVinciAnswer {
         return PopupSelectionNode{w<NodeId>(a, 0), w<MenuId>(a, 1)};
     }},
    {"popup_selection_edge", 2,
     [](Strings& a) -> DaVinciAnswer {
         return PopupSelectionEdge{w<EdgeId>(a, 0), w<MenuId>(a, 1)};
     }},
    {"create_node", 0, [](Strings&) -> DaVinciAnswer { return CreateNode{}; }},
    {"create_node_and_edge", 1,
     [](Strings& a) -> DaVinciAnswer { return CreateNodeAndEdge{w<NodeId>(a, 0)}; }},
    {"create_edge", 2,
     [](Strings& a) -> DaVinciAnswer { return CreateEdge{w<NodeId>(a, 0), w<NodeId>(a, 1)}; }},
    {"drop_node", 6,
     [](Strings& a) -> DaVinciAnswer {
         return DropNode{w<ContextId>(a, 0), w<WindowId>(a, 1), w<NodeId>(a, 2),
                         w<ContextId>(a, 3), w<WindowId>(a, 4), w<NodeId>(a, 5)};
     }},
    {"context_window", 2,
     [](Strings& a) -> DaVinciAnswer { return ContextWindow{w<ContextId>(a, 0), w<WindowId>(a, 1)}; }},
    {"open_window", 0, [](Strings&) -> DaVinciAnswer { return OpenWindow{}; }},
    {"close_window", 1,
     [](Strings& a) -> DaVinciAnswer { return CloseWindow{w<WindowId>(a, 0)}; }},
};

// Reads one answer at `pos`; on success `pos` is just past its last token.
std::optional<DaVinciAnswer> answerAt(std::string_view s, std::size_t& pos) {
    std::size_t p = lex::skipBlanks(s, pos);
    std::size_t len = lex::wordLength(s, p);
    if (len == 0) return std::nullopt;
    std::string_view word = s.substr(p, len);
    p += len;
    for (const AnswerForm& form : kForms) {
        if (word != form.word) continue;
        Strings fields;
        if (form.args == -1) {
            bool ok = bracketList(s, p, [&](std::size_t& q) {
                fields.emplace_back();
                return stringValue(s, q, fields.back());
            });
            if (!ok) return std::nullopt;
        } else if (form.args > 0) {
            std::optional<Strings> args = argList(s, p);
            if (!args || args->size() != static_cast<std::size_t>(form.args)) return std::nullopt;
            fields = std::move(*args);
        }
        pos = p;
        return form.build(fields);
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::pair<DaVinciAnswer, std::string>> readAnswer(int /*precedence*/,
                                                              std::string_view line) {
    std::vector<std::pair<DaVinciAnswer, std::string>> readings;
    std::size_t pos = 0;
    if (std::optional<DaVinciAnswer> a = answerAt(line, pos))
        readings.emplace_back(std::move(*a), std::string(line.substr(pos)));
    return readings;
}

std::vector<std::pair<std::vector<DaVinciAnswer>, std::string>> readAnswerList(
    std::string_view text) {
    std::vector<std::pair<std::vector<DaVinciAnswer>, std::string>> readings;
    std::vector<DaVinciAnswer> answers;
    std::size_t pos = 0;
    bool ok = bracketList(text, pos, [&](std::size_t& q) {
        std::optional<DaVinciAnswer> a = answerAt(text, q);
        if (!a) return false;
        answers.push_back(std::move(*a));
        return true;
    });
    if (ok) readings.emplace_back(std::move(answers), std::string(text.substr(pos)));
    return readings;
}

}  // namespace jox::dv
