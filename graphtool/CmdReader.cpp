#include "graphtool/CmdReader.h"

#include <cstdint>
#include <functional>
#include <map>

#include "graphtool/TextLex.h"
#include "syntax/Failure.h"

namespace jox::dv {

namespace {

// Thrown inside the reader on the first token that does not fit.
struct Mismatch {
    std::size_t pos;
    std::string what;
};

class Reader {
public:
    explicit Reader(std::string_view s) : s_(s) {}

    [[noreturn]] void mismatch(const std::string& what) { throw Mismatch{at(), what}; }

    std::size_t at() { return pos_ = lex::skipBlanks(s_, pos_); }
    bool atEnd() { return at() >= s_.size(); }

    bool peek(char c) { return at() < s_.size() && s_[pos_] == c; }
    bool accept(char c) {
        if (!peek(c)) return false;
        ++pos_;
        return true;
    }
    void expect(char c) {
        if (!accept(c)) mismatch(std::string("expected '") + c + "'");
    }

    // The word at the next token position, not consumed ("" if none).
    std::string peekWord() {
        std::size_t len = lex::wordLength(s_, at());
        return std::string(s_.substr(pos_, len));
    }

    std::string word() {
        std::size_t len = lex::wordLength(s_, at());
        if (len == 0) mismatch("expected a word");
        std::string w(s_.substr(pos_, len));
        pos_ += len;
        return w;
    }

    std::string str() {
        if (!peek('"')) mismatch("expected a string");
        std::string out;
        std::size_t p = pos_;
        if (!lex::readStringLiteral(s_, p, out)) mismatch("bad string literal");
        pos_ = p;
        return out;
    }

    std::int32_t integer() {
        at();
        std::size_t p = pos_;
        bool negative = p < s_.size() && s_[p] == '-';
        if (negative) ++p;
        std::size_t start = p;
        std::int64_t value = 0;
        while (p < s_.size() && s_[p] >= '0' && s_[p] <= '9') {
            value = value * 10 + (s_[p] - '0');
            if (value > (std::int64_t{1} << 31)) mismatch("integer out of range");
            ++p;
        }
        if (p == start) mismatch("expected an integer");
        if (negative) value = -value;
        if (value > INT32_MAX) mismatch("integer out of range");
        pos_ = p;
        return static_cast<std::int32_t>(value);
    }

    // "True"/"False", or "true"/"false" where `lower`.
    bool boolean(bool lower) {
        std::size_t save = at();
        std::string w = word();
        if (w == (lower ? "true" : "True")) return true;
        if (w == (lower ? "false" : "False")) return false;
        pos_ = save;
        mismatch(lower ? "expected true or false" : "expected True or False");
    }

    template <class F>
    auto list(F item) -> std::vector<decltype(item())> {
        std::vector<decltype(item())> xs;
        expect('[');
        if (accept(']')) return xs;
        do xs.push_back(item());
        while (accept(','));
        expect(']');
        return xs;
    }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
};

// A family read by its word: each word maps to the reader of what follows
// it (the parentheses included).
template <class T>
using Forms = std::map<std::string, std::function<T(Reader&)>>;

template <class T>
T byWord(Reader& r, const Forms<T>& forms, const char* family) {
    std::size_t save = r.at();
    std::string w = r.word();
    auto it = forms.find(w);
    if (it == forms.end()) {
        throw Mismatch{save, std::string("unknown ") + family + " '" + w + "'"};
    }
    return it->second(r);
}

// word(x) with one argument read by f.
template <class F>
auto one(Reader& r, F f) {
    r.expect('(');
    auto x = f();
    r.expect(')');
    return x;
}

// A reader of one identifier wrapper.
#define WRAP(T) \
    [&r] { return T{r.str()}; }

// ------------------------------------------------------------ pieces

// One of a fixed set of words, mapped to its value.
template <class T>
T wordIn(Reader& r, const std::map<std::string, T>& words, const char* what) {
    std::size_t save = r.at();
    auto it = words.find(r.word());
    if (it == words.end()) throw Mismatch{save, what};
    return it->second;
}

MenuMod menuMod(Reader& r) {
    static const std::map<std::string, MenuMod> words = {{"alt", MenuMod::Alternate},
                                                         {"shift", MenuMod::Shift},
                                                         {"control", MenuMod::Control},
                                                         {"meta", MenuMod::Meta},
                                                         {"none", MenuMod::None}};
    return wordIn(r, words, "unknown menu modifier");
}

Orient orient(Reader& r) {
    static const std::map<std::string, Orient> words = {{"top_down", Orient::TopDown},
                                                        {"bottom_up", Orient::BottomUp},
                                                        {"left_right", Orient::LeftRight},
                                                        {"right_left", Orient::RightLeft}};
    return wordIn(r, words, "unknown orientation");
}

Direction direction(Reader& r) {
    static const std::map<std::string, Direction> words = {{"up", Direction::Up},
                                                           {"down", Direction::Down},
                                                           {"left", Direction::DVLeft},
                                                           {"right", Direction::DVRight}};
    return wordIn(r, words, "unknown direction");
}

MenuEntry menuEntry(Reader& r) {
    checkStack();
    auto entries = [&r] { return r.list([&r] { return menuEntry(r); }); };
    std::size_t save = r.at();
    std::string w = r.word();
    MenuEntry e;
    if (w == "blank") return MenuEntry{BlankMenuEntry{}};
    r.expect('(');
    MenuId id{r.str()};
    r.expect(',');
    MenuLabel label{r.str()};
    if (w == "menu_entry") {
        e = MenuEntry{MenuEntryItem{id, label}};
    } else if (w == "menu_entry_disabled") {
        e = MenuEntry{MenuEntryDisabled{id, label}};
    } else if (w == "menu_entry_mne") {
        r.expect(',');
        MenuMne mne{r.str()};
        r.expect(',');
        MenuMod mod = menuMod(r);
        r.expect(',');
        MenuAcc acc{r.str()};
        e = MenuEntry{MenuEntryMne{id, label, mne, mod, acc}};
    } else if (w == "submenu_entry" || w == "submenu_entry_disabled" || w == "submenu_entry_mne") {
        r.expect(',');
        std::vector<MenuEntry> xs = entries();
        if (w == "submenu_entry") {
            e = MenuEntry{SubmenuEntry{id, label, std::move(xs)}};
        } else if (w == "submenu_entry_disabled") {
            e = MenuEntry{SubmenuEntryDisabled{id, label, std::move(xs)}};
        } else {
            r.expect(',');
            MenuMne mne{r.str()};
            e = MenuEntry{SubmenuEntryMne{id, label, std::move(xs), mne}};
        }
    } else {
        throw Mismatch{save, "unknown menu entry '" + w + "'"};
    }
    r.expect(')');
    return e;
}

IconEntry iconEntry(Reader& r) {
    std::size_t save = r.at();
    std::string w = r.word();
    if (w == "blank") return BlankIconEntry{};
    if (w != "icon_entry") throw Mismatch{save, "unknown icon entry '" + w + "'"};
    r.expect('(');
    IconId id{r.str()};
    r.expect(',');
    Filename file{r.str()};
    r.expect(',');
    std::string text = r.str();
    r.expect(')');
    return IconEntryItem{id, file, text};
}

Attribute attribute(Reader& r) {
    std::size_t save = r.at();
    std::string w = r.word();
    r.expect('(');
    Attribute a;
    if (w == "a") {
        std::string key = r.str();
        r.expect(',');
        a = A{key, r.str()};
    } else if (w == "m") {
        a = M{r.list([&r] { return menuEntry(r); })};
    } else {
        throw Mismatch{save, "unknown attribute '" + w + "'"};
    }
    r.expect(')');
    return a;
}

std::vector<Attribute> attributes(Reader& r) {
    return r.list([&r] { return attribute(r); });
}

// Graph terms nest one level per command of a flowchart, so they are read in
// a loop, with a stack of the levels open: a node whose edge list is being
// read, with the edge of it whose target comes next.
struct OpenNode {
    N node;
    E edge;
};

// The start of a node: r("id") whole, into `ref` (false); or
// l("id",n("type",[attributes], and the "[" of its edge list, into `def`.
bool nodeStart(Reader& r, N& def, R& ref) {
    std::size_t save = r.at();
    std::string w = r.word();
    r.expect('(');
    if (w == "r") {
        ref.id = NodeId{r.str()};
        r.expect(')');
        return false;
    }
    if (w != "l") throw Mismatch{save, "expected a node l(...) or r(...)"};
    def.id = NodeId{r.str()};
    r.expect(',');
    save = r.at();
    if (r.word() != "n") throw Mismatch{save, "expected n(...)"};
    r.expect('(');
    def.type = Type{r.str()};
    r.expect(',');
    def.attrs = attributes(r);
    r.expect(',');
    r.expect('[');
    return true;
}

// The start of an edge, up to its target: l("id",e("type",[attributes],
E edgeStart(Reader& r) {
    std::size_t save = r.at();
    if (r.word() != "l") throw Mismatch{save, "expected an edge l(...)"};
    r.expect('(');
    E edge;
    edge.id = EdgeId{r.str()};
    r.expect(',');
    save = r.at();
    if (r.word() != "e") throw Mismatch{save, "expected e(...)"};
    r.expect('(');
    edge.type = Type{r.str()};
    r.expect(',');
    edge.attrs = attributes(r);
    r.expect(',');
    return edge;
}

Node node(Reader& r) {
    std::vector<OpenNode> open;
    for (;;) {
        // A node starts: a reference, or a definition without edges, is
        // whole at once; a definition with edges opens a level, and the
        // target of its first edge is read next.
        N def;
        R ref;
        Node done;
        if (!nodeStart(r, def, ref)) {
            done = Node{std::move(ref)};
        } else if (r.accept(']')) {
            r.expect(')');
            r.expect(')');
            done = Node{std::move(def)};
        } else {
            open.push_back(OpenNode{std::move(def), edgeStart(r)});
            continue;
        }
        // The node ends the edge of the level above it, which reads the
        // target of its next edge, or ends in turn.
        for (;;) {
            if (open.empty()) return done;
            OpenNode& level = open.back();
            r.expect(')');
            r.expect(')');
            level.edge.target = NodePtr(std::move(done));
            level.node.edges.push_back(std::move(level.edge));
            if (r.accept(',')) {
                level.edge = edgeStart(r);
                break;
            }
            r.expect(']');
            r.expect(')');
            r.expect(')');
            done = Node{std::move(level.node)};
            open.pop_back();
        }
    }
}

std::vector<Node> nodes(Reader& r) {
    return r.list([&r] { return node(r); });
}

NodeUpdate nodeUpdate(Reader& r) {
    static const Forms<NodeUpdate> forms = {
        {"delete_node", [](Reader& r) -> NodeUpdate { return DeleteNode{one(r, WRAP(NodeId))}; }},
        {"new_node",
         [](Reader& r) -> NodeUpdate {
             r.expect('(');
             NodeId id{r.str()};
             r.expect(',');
             Type type{r.str()};
             r.expect(',');
             std::vector<Attribute> attrs = attributes(r);
             r.expect(')');
             return NewNode{id, type, std::move(attrs)};
         }},
    };
    return byWord(r, forms, "node update");
}

EdgeUpdate edgeUpdate(Reader& r) {
    static const Forms<EdgeUpdate> forms = {
        {"delete_edge", [](Reader& r) -> EdgeUpdate { return DeleteEdge{one(r, WRAP(EdgeId))}; }},
        {"new_edge",
         [](Reader& r) -> EdgeUpdate {
             r.expect('(');
             EdgeId id{r.str()};
             r.expect(',');
             Type type{r.str()};
             r.expect(',');
             std::vector<Attribute> attrs = attributes(r);
             r.expect(',');
             NodeId from{r.str()};
             r.expect(',');
             NodeId to{r.str()};
             r.expect(')');
             return NewEdge{id, type, std::move(attrs), from, to};
         }},
        {"new_edge_behind",
         [](Reader& r) -> EdgeUpdate {
             r.expect('(');
             EdgeId behind{r.str()};
             r.expect(',');
             EdgeId id{r.str()};
             r.expect(',');
             Type type{r.str()};
             r.expect(',');
             std::vector<Attribute> attrs = attributes(r);
             r.expect(',');
             NodeId from{r.str()};
             r.expect(',');
             NodeId to{r.str()};
             r.expect(')');
             return NewEdgeBehind{behind, id, type, std::move(attrs), from, to};
         }},
    };
    return byWord(r, forms, "edge update");
}

AttrChange attrChange(Reader& r) {
    std::size_t save = r.at();
    std::string w = r.word();
    r.expect('(');
    std::string id = r.str();
    r.expect(',');
    std::vector<Attribute> attrs = attributes(r);
    r.expect(')');
    if (w == "node") return AttrChange{AttrChange::Node{NodeId{id}, std::move(attrs)}};
    if (w == "edge") return AttrChange{AttrChange::Edge{EdgeId{id}, std::move(attrs)}};
    throw Mismatch{save, "unknown attribute change '" + w + "'"};
}

TypeChange typeChange(Reader& r) {
    std::size_t save = r.at();
    std::string w = r.word();
    r.expect('(');
    std::string id = r.str();
    r.expect(',');
    Type type{r.str()};
    r.expect(')');
    if (w == "node") return NodeType{NodeId{id}, type};
    if (w == "edge") return EdgeType{EdgeId{id}, type};
    throw Mismatch{save, "unknown type change '" + w + "'"};
}

// A mixed update is a node or an edge update without a word of its own.
MixedUpdate mixedUpdate(Reader& r) {
    std::string w = r.peekWord();
    if (w == "delete_node" || w == "new_node") return NU{nodeUpdate(r)};
    return EU{edgeUpdate(r)};
}

bool isAttrChangeWord(const std::string& w) { return w == "node" || w == "edge"; }

// The node updates of a list read as mixed updates; all must be NU.
std::vector<NodeUpdate> onlyNodeUpdates(std::size_t at, const std::vector<MixedUpdate>& xs) {
    std::vector<NodeUpdate> out;
    for (const MixedUpdate& x : xs) {
        const NU* nu = std::get_if<NU>(&x);
        if (nu == nullptr) throw Mismatch{at, "edge update in the list of node updates"};
        out.push_back(nu->update);
    }
    return out;
}

// update(mixed) | update(nodes,edges) | update_and_change_attr(mixed,changes)
// | update_and_change_attr(nodes,edges,changes): told apart by the number of
// lists and the words inside them.
GraphCmd updateForm(Reader& r, bool withChanges) {
    r.expect('(');
    std::size_t firstAt = r.at();
    std::vector<MixedUpdate> first = r.list([&r] { return mixedUpdate(r); });
    if (!withChanges) {
        if (r.accept(')')) return UpdateMixed{std::move(first)};
        r.expect(',');
        std::vector<EdgeUpdate> edges = r.list([&r] { return edgeUpdate(r); });
        r.expect(')');
        return Update{onlyNodeUpdates(firstAt, first), std::move(edges)};
    }
    r.expect(',');
    // The second list holds attribute changes (two lists) or edge updates
    // (three lists); an empty one is told by what follows it.
    using Item = std::variant<EdgeUpdate, AttrChange>;
    std::vector<Item> second = r.list([&r]() -> Item {
        if (isAttrChangeWord(r.peekWord())) return attrChange(r);
        return edgeUpdate(r);
    });
    if (r.accept(')')) {
        std::vector<AttrChange> changes;
        for (Item& x : second) {
            if (!std::holds_alternative<AttrChange>(x)) r.mismatch("edge update among attribute changes");
            changes.push_back(std::get<AttrChange>(std::move(x)));
        }
        return UpdateAndChangeAttrMixed{std::move(first), std::move(changes)};
    }
    r.expect(',');
    std::vector<EdgeUpdate> edges;
    for (Item& x : second) {
        if (!std::holds_alternative<EdgeUpdate>(x)) r.mismatch("attribute change among edge updates");
        edges.push_back(std::get<EdgeUpdate>(std::move(x)));
    }
    std::vector<AttrChange> changes = r.list([&r] { return attrChange(r); });
    r.expect(')');
    return UpdateAndChangeAttr{onlyNodeUpdates(firstAt, first), std::move(edges),
                               std::move(changes)};
}

GraphCmd graphCmd(Reader& r) {
    static const Forms<GraphCmd> forms = {
        {"new", [](Reader& r) -> GraphCmd { return New{one(r, [&r] { return nodes(r); })}; }},
        {"new_placed",
         [](Reader& r) -> GraphCmd { return NewPlaced{one(r, [&r] { return nodes(r); })}; }},
        {"update", [](Reader& r) { return updateForm(r, false); }},
        {"change_attr",
         [](Reader& r) -> GraphCmd {
             return ChangeAttr{one(r, [&r] { return r.list([&r] { return attrChange(r); }); })};
         }},
        {"update_and_change_attr", [](Reader& r) { return updateForm(r, true); }},
        {"change_type",
         [](Reader& r) -> GraphCmd {
             return ChangeType{one(r, [&r] { return r.list([&r] { return typeChange(r); }); })};
         }},
    };
    return byWord(r, forms, "graph command");
}

MultiCmd multiCmd(Reader& r) {
    static const Forms<MultiCmd> forms = {
        {"new_context", [](Reader&) -> MultiCmd { return NewContext{}; }},
        {"open_context",
         [](Reader& r) -> MultiCmd { return OpenContext{one(r, WRAP(ContextId))}; }},
        {"set_context",
         [](Reader& r) -> MultiCmd {
             r.expect('(');
             ContextId c{r.str()};
             if (r.accept(')')) return SetContext{c};
             r.expect(',');
             WindowId w{r.str()};
             r.expect(')');
             return SetContextWindow{c, w};
         }},
    };
    return byWord(r, forms, "multi command");
}

template <class T>
auto fileForm() {
    return [](Reader& r) -> FileMenuCmd { return T{one(r, WRAP(Filename))}; };
}

FileMenuCmd fileMenuCmd(Reader& r) {
    static const Forms<FileMenuCmd> forms = {
        {"new", [](Reader&) -> FileMenuCmd { return ClearGraph{}; }},
        {"open_graph", fileForm<OpenGraph>()},
        {"open_graph_placed", fileForm<OpenGraphPlaced>()},
        {"open_status", fileForm<OpenStatus>()},
        {"save_graph", fileForm<SaveGraph>()},
        {"save_status", fileForm<SaveStatus>()},
        {"print",
         [](Reader& r) -> FileMenuCmd {
             if (!r.peek('(')) return Print{};
             return Print{one(r, WRAP(Filename))};
         }},
        {"close", [](Reader&) -> FileMenuCmd { return Close{}; }},
        {"exit", [](Reader&) -> FileMenuCmd { return Exit{}; }},
    };
    return byWord(r, forms, "file menu command");
}

ViewMenuCmd viewMenuCmd(Reader& r) {
    static const Forms<ViewMenuCmd> forms = {
        {"open_new_view", [](Reader&) -> ViewMenuCmd { return OpenNewView{}; }},
        {"open_survey_view", [](Reader&) -> ViewMenuCmd { return OpenSurveyView{}; }},
        {"full_scale", [](Reader&) -> ViewMenuCmd { return FullScale{}; }},
        {"fit_scale_to_window", [](Reader&) -> ViewMenuCmd { return FitScaleToWindow{}; }},
        {"scale",
         [](Reader& r) -> ViewMenuCmd {
             if (!r.peek('(')) return Scale{};
             return Scale{one(r, [&r] { return r.integer(); })};
         }},
        {"graph_info", [](Reader&) -> ViewMenuCmd { return GraphInfo{}; }},
        {"daVinci_info", [](Reader&) -> ViewMenuCmd { return DaVinciInfo{}; }},
    };
    return byWord(r, forms, "view menu command");
}

std::vector<NodeId> nodeIds(Reader& r) {
    return one(r, [&r] { return r.list(WRAP(NodeId)); });
}

NavigationMenuCmd navigationMenuCmd(Reader& r) {
    static const Forms<NavigationMenuCmd> forms = {
        {"select_parents", [](Reader& r) -> NavigationMenuCmd { return SelectParents{nodeIds(r)}; }},
        {"select_siblings",
         [](Reader& r) -> NavigationMenuCmd { return SelectSiblings{nodeIds(r)}; }},
        {"select_childs", [](Reader& r) -> NavigationMenuCmd { return SelectChilds{nodeIds(r)}; }},
        {"navigator",
         [](Reader& r) -> NavigationMenuCmd {
             if (!r.accept('(')) return Navigator{};
             NodeId id{r.str()};
             r.expect(',');
             Direction d = direction(r);
             r.expect(',');
             bool b = r.boolean(false);
             r.expect(')');
             return Navigator{std::make_tuple(id, d, b)};
         }},
        {"find",
         [](Reader& r) -> NavigationMenuCmd {
             if (!r.accept('(')) return Find{};
             std::string text = r.str();
             r.expect(',');
             bool b1 = r.boolean(false);
             r.expect(',');
             bool b2 = r.boolean(false);
             r.expect(')');
             return Find{std::make_tuple(text, b1, b2)};
         }},
    };
    return byWord(r, forms, "navigation menu command");
}

AbstractionMenuCmd abstractionMenuCmd(Reader& r) {
    static const Forms<AbstractionMenuCmd> forms = {
        {"hide_subgraph",
         [](Reader& r) -> AbstractionMenuCmd { return HideSubgraph{nodeIds(r)}; }},
        {"show_subgraph",
         [](Reader& r) -> AbstractionMenuCmd { return ShowSubgraph{nodeIds(r)}; }},
        {"restore_all_subgraphs",
         [](Reader&) -> AbstractionMenuCmd { return RestoreAllSubgraphs{}; }},
        {"hide_edges", [](Reader& r) -> AbstractionMenuCmd { return HideEdges{nodeIds(r)}; }},
        {"show_edges", [](Reader& r) -> AbstractionMenuCmd { return ShowEdges{nodeIds(r)}; }},
        {"restore_all_edges", [](Reader&) -> AbstractionMenuCmd { return RestoreAllEdges{}; }},
    };
    return byWord(r, forms, "abstraction menu command");
}

LayoutMenuCmd layoutMenuCmd(Reader& r) {
    static const Forms<LayoutMenuCmd> forms = {
        {"improve_all", [](Reader&) -> LayoutMenuCmd { return ImproveAll{}; }},
        {"improve_visible", [](Reader&) -> LayoutMenuCmd { return ImproveVisible{}; }},
        {"compact_all", [](Reader&) -> LayoutMenuCmd { return CompactAll{}; }},
        {"orientation",
         [](Reader& r) -> LayoutMenuCmd { return Orientation{one(r, [&r] { return orient(r); })}; }},
    };
    return byWord(r, forms, "layout menu command");
}

MenuCmd menuCmd(Reader& r) {
    static const Forms<MenuCmd> forms = {
        {"file", [](Reader& r) -> MenuCmd { return File{one(r, [&r] { return fileMenuCmd(r); })}; }},
        {"view", [](Reader& r) -> MenuCmd { return View{one(r, [&r] { return viewMenuCmd(r); })}; }},
        {"navigation",
         [](Reader& r) -> MenuCmd {
             return Navigation{one(r, [&r] { return navigationMenuCmd(r); })};
         }},
        {"abstraction",
         [](Reader& r) -> MenuCmd {
             return Abstraction{one(r, [&r] { return abstractionMenuCmd(r); })};
         }},
        {"layout",
         [](Reader& r) -> MenuCmd { return Layout{one(r, [&r] { return layoutMenuCmd(r); })}; }},
    };
    return byWord(r, forms, "menu command");
}

AppMenuCmd appMenuCmd(Reader& r) {
    static const Forms<AppMenuCmd> forms = {
        {"create_menus",
         [](Reader& r) -> AppMenuCmd {
             return CreateMenus{one(r, [&r] { return r.list([&r] { return menuEntry(r); }); })};
         }},
        {"create_icons",
         [](Reader& r) -> AppMenuCmd {
             return CreateIcons{one(r, [&r] { return r.list([&r] { return iconEntry(r); }); })};
         }},
        {"activate_menus",
         [](Reader& r) -> AppMenuCmd {
             return ActivateMenus{one(r, [&r] { return r.list(WRAP(MenuId)); })};
         }},
        {"activate_icons",
         [](Reader& r) -> AppMenuCmd {
             return ActivateIcons{one(r, [&r] { return r.list(WRAP(IconId)); })};
         }},
        {"control_file_events", [](Reader&) -> AppMenuCmd { return ControlFileEvents{}; }},
    };
    return byWord(r, forms, "application menu command");
}

template <class T>
auto intSet() {
    return [](Reader& r) -> SetCmd { return T{one(r, [&r] { return r.integer(); })}; };
}
template <class T>
auto boolSet() {
    return [](Reader& r) -> SetCmd { return T{one(r, [&r] { return r.boolean(true); })}; };
}

SetCmd setCmd(Reader& r) {
    static const Forms<SetCmd> forms = {
        {"layout_accuracy", intSet<LayoutAccuracy>()},
        {"keep_nodes_at_levels", boolSet<KeepNodesAtLevels>()},
        {"font_size", intSet<FontSize>()},
        {"gap_width", intSet<GapWidth>()},
        {"gap_height", intSet<GapHeight>()},
        {"multi_edge_gap", intSet<MultiEdgeGap>()},
        {"self_edge_radius", intSet<SelfEdgeRadius>()},
        {"scrolling_on_selection", boolSet<ScrollingOnSelection>()},
        {"animation_speed", intSet<AnimationSpeed>()},
        {"no_cache", boolSet<NoCache>()},
        {"rules_first", boolSet<RulesFirst>()},
    };
    return byWord(r, forms, "setting");
}

Btype btype(Reader& r) {
    std::size_t save = r.at();
    if (r.word() != "bt") throw Mismatch{save, "expected bt(...)"};
    r.expect('(');
    std::string a = r.str();
    r.expect(',');
    std::string b = r.str();
    r.expect(',');
    std::string c = r.str();
    r.expect(')');
    return Bt{a, b, c};
}

template <class T>
auto textWindow() {
    return [](Reader& r) -> WindowCmd { return T{one(r, [&r] { return r.str(); })}; };
}
template <class T>
auto pairWindow() {
    return [](Reader& r) -> WindowCmd {
        r.expect('(');
        std::int32_t a = r.integer();
        r.expect(',');
        std::int32_t b = r.integer();
        r.expect(')');
        return T{a, b};
    };
}
template <class T>
auto bareWindow() {
    return [](Reader&) -> WindowCmd { return T{}; };
}

WindowCmd windowCmd(Reader& r) {
    static const Forms<WindowCmd> forms = {
        {"title", textWindow<Title>()},
        {"show_message", textWindow<ShowMessage>()},
        {"show_status", textWindow<ShowStatus>()},
        {"position", pairWindow<Position>()},
        {"size", pairWindow<Size>()},
        {"raise", bareWindow<Raise>()},
        {"iconify", bareWindow<Iconify>()},
        {"deiconify", bareWindow<Deiconify>()},
        {"activate", bareWindow<Activate>()},
        {"deactivate", bareWindow<Deactivate>()},
        {"file_browser",
         [](Reader& r) -> WindowCmd {
             FileBrowser f;
             r.expect('(');
             f.open = r.boolean(false);
             r.expect(',');
             f.title = r.str();
             r.expect(',');
             f.button = r.str();
             r.expect(',');
             f.directory = r.str();
             r.expect(',');
             f.file = r.str();
             r.expect(',');
             f.types = r.list([&r] { return btype(r); });
             r.expect(',');
             f.showHidden = r.boolean(false);
             r.expect(')');
             return f;
         }},
    };
    return byWord(r, forms, "window command");
}

TclCmd tclCmd(Reader& r) {
    static const Forms<TclCmd> forms = {
        {"eval", [](Reader& r) -> TclCmd { return DVEval{one(r, [&r] { return r.str(); })}; }},
        {"eval_file", [](Reader& r) -> TclCmd { return EvalFile{one(r, WRAP(Filename))}; }},
    };
    return byWord(r, forms, "tcl command");
}

SpecialCmd specialCmd(Reader& r) {
    static const Forms<SpecialCmd> forms = {
        {"select_nodes", [](Reader& r) -> SpecialCmd { return SelectNodes{nodeIds(r)}; }},
        {"select_edges", [](Reader& r) -> SpecialCmd { return SelectEdge{one(r, WRAP(EdgeId))}; }},
        {"focus_node", [](Reader& r) -> SpecialCmd { return FocusNode{one(r, WRAP(NodeId))}; }},
        {"focus_node_animated",
         [](Reader& r) -> SpecialCmd { return FocusNodeAnimated{one(r, WRAP(NodeId))}; }},
        {"show_url", [](Reader& r) -> SpecialCmd { return ShowUrl{one(r, [&r] { return r.str(); })}; }},
    };
    return byWord(r, forms, "special command");
}

VisualRule visualRule(Reader& r) {
    std::size_t save = r.at();
    std::string w = r.word();
    if (w != "nr" && w != "er") throw Mismatch{save, "unknown visual rule '" + w + "'"};
    r.expect('(');
    Type type{r.str()};
    r.expect(',');
    std::vector<Attribute> attrs = attributes(r);
    r.expect(')');
    if (w == "nr") return NR{type, std::move(attrs)};
    return ER{type, std::move(attrs)};
}

// "visual" holds either family; the inner word tells which.
DaVinciCmd visualOrDragAndDrop(Reader& r) {
    static const Forms<DaVinciCmd> forms = {
        {"new_rules",
         [](Reader& r) -> DaVinciCmd {
             return Visual{NewRules{one(r, [&r] { return r.list([&r] { return visualRule(r); }); })}};
         }},
        {"add_rules",
         [](Reader& r) -> DaVinciCmd {
             return Visual{AddRules{one(r, [&r] { return r.list([&r] { return visualRule(r); }); })}};
         }},
        {"dragging_on", [](Reader&) -> DaVinciCmd { return DragAndDrop{DraggingOn{}}; }},
        {"drag_and_drop_on", [](Reader&) -> DaVinciCmd { return DragAndDrop{DragAndDropOn{}}; }},
        {"dragging_off", [](Reader&) -> DaVinciCmd { return DragAndDrop{DraggingOff{}}; }},
        {"new_node_at_coord",
         [](Reader& r) -> DaVinciCmd {
             return DragAndDrop{NewNodeAtCoord{one(r, [&r] { return nodeUpdate(r); })}};
         }},
        {"new_edge_and_node_at_coord",
         [](Reader& r) -> DaVinciCmd {
             r.expect('(');
             NodeUpdate n = nodeUpdate(r);
             r.expect(',');
             EdgeUpdate e = edgeUpdate(r);
             r.expect(')');
             return DragAndDrop{NewEdgeAndNodeAtCoord{n, e}};
         }},
    };
    return byWord(r, forms, "visual command");
}

DaVinciCmd command(Reader& r) {
    static const Forms<DaVinciCmd> forms = {
        {"graph", [](Reader& r) -> DaVinciCmd { return Graph{one(r, [&r] { return graphCmd(r); })}; }},
        {"multi", [](Reader& r) -> DaVinciCmd { return Multi{one(r, [&r] { return multiCmd(r); })}; }},
        {"menu", [](Reader& r) -> DaVinciCmd { return Menu{one(r, [&r] { return menuCmd(r); })}; }},
        {"app_menu",
         [](Reader& r) -> DaVinciCmd { return AppMenu{one(r, [&r] { return appMenuCmd(r); })}; }},
        {"set", [](Reader& r) -> DaVinciCmd { return DVSet{one(r, [&r] { return setCmd(r); })}; }},
        {"window",
         [](Reader& r) -> DaVinciCmd { return Window{one(r, [&r] { return windowCmd(r); })}; }},
        {"tcl", [](Reader& r) -> DaVinciCmd { return Tcl{one(r, [&r] { return tclCmd(r); })}; }},
        {"special",
         [](Reader& r) -> DaVinciCmd { return Special{one(r, [&r] { return specialCmd(r); })}; }},
        {"nothing", [](Reader&) -> DaVinciCmd { return DVNothing{}; }},
        {"visual",
         [](Reader& r) -> DaVinciCmd { return one(r, [&r] { return visualOrDragAndDrop(r); }); }},
    };
    return byWord(r, forms, "command");
}

}  // namespace

std::optional<DaVinciCmd> readCmd(std::string_view line, std::string& error) {
    Reader r(line);
    try {
        DaVinciCmd cmd = command(r);
        if (!r.atEnd()) r.mismatch("text after the command");
        return cmd;
    } catch (const Mismatch& m) {
        error = m.what + " at character " + std::to_string(m.pos + 1);
        return std::nullopt;
    }
}

}  // namespace jox::dv
