// The text writer of the daVinci vocabulary: one line per command, no blanks.
#include <string>
#include <type_traits>
#include <vector>

#include "graphtool/DaVinciTypes.h"
#include "syntax/Failure.h"
#include "syntax/JoxTypes.h"

namespace jox::dv {

// ------------------------------------------------------------ strings

namespace {

// Names of the control characters written by name: codes 0..31, where 7..13
// are written as letter escapes instead.
const char* const kControlNames[32] = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "a",   "b",   "t",   "n",
    "v",   "f",   "r",   "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void showString(std::string& out, std::string_view s) {
    out += '"';
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        bool hasNext = i + 1 < s.size();
        if (c == '"') {
            out += "\\\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c >= 32 && c <= 126) {
            out += static_cast<char>(c);
        } else if (c == 127) {
            out += "\\DEL";
        } else if (c >= 128) {
            out += '\\';
            out += std::to_string(c);
            // A digit after a decimal escape would read as part of it.
            if (hasNext && isDigit(s[i + 1])) out += "\\&";
        } else {
            out += '\\';
            out += kControlNames[c];
            // "\SOH" would read as one escape.
            if (c == 14 && hasNext && s[i + 1] == 'H') out += "\\&";
        }
    }
    out += '"';
}

std::string stringLiteral(std::string_view s) {
    std::string out;
    showString(out, s);
    return out;
}

// ------------------------------------------------------------ helpers

namespace {

// The text of one argument, by its field type.
void arg(std::string& out, const std::string& s) { showString(out, s); }
void arg(std::string& out, std::int32_t n) { out += std::to_string(n); }
void arg(std::string& out, bool b) { out += b ? "True" : "False"; }
template <class T>
void arg(std::string& out, const T& x) {
    showTo(out, x);
}

// word(arg1,arg2,...)
template <class... Args>
void call(std::string& out, const char* word, const Args&... args) {
    out += word;
    out += '(';
    bool first = true;
    auto one = [&](const auto& a) {
        if (!first) out += ',';
        first = false;
        arg(out, a);
    };
    (one(args), ...);
    out += ')';
}

void lowerBool(std::string& out, const char* word, bool b) {
    out += word;
    out += b ? "(true)" : "(false)";
}

}  // namespace

// ------------------------------------------------------------ wrappers

void showTo(std::string& out, const NodeId& x) { showString(out, x.value); }
void showTo(std::string& out, const EdgeId& x) { showString(out, x.value); }
void showTo(std::string& out, const MenuId& x) { showString(out, x.value); }
void showTo(std::string& out, const MenuLabel& x) { showString(out, x.value); }
void showTo(std::string& out, const MenuMne& x) { showString(out, x.value); }
void showTo(std::string& out, const MenuAcc& x) { showString(out, x.value); }
void showTo(std::string& out, const IconId& x) { showString(out, x.value); }
void showTo(std::string& out, const Type& x) { showString(out, x.value); }
void showTo(std::string& out, const Filename& x) { showString(out, x.value); }
void showTo(std::string& out, const ContextId& x) { showString(out, x.value); }
void showTo(std::string& out, const WindowId& x) { showString(out, x.value); }

// ------------------------------------------------------------ enumerations

void showTo(std::string& out, Orient x) {
    static const char* const words[] = {"top_down", "bottom_up", "left_right", "right_left"};
    out += words[static_cast<int>(x)];
}
void showTo(std::string& out, Direction x) {
    static const char* const words[] = {"up", "down", "left", "right"};
    out += words[static_cast<int>(x)];
}
void showTo(std::string& out, MenuMod x) {
    static const char* const words[] = {"alt", "shift", "control", "meta", "none"};
    out += words[static_cast<int>(x)];
}

// ------------------------------------------------------------ menus, icons

void showTo(std::string& out, const MenuEntry& x) {
    // Submenus nest by recursion; menus are shallow, but stay guarded.
    checkStack();
    std::visit(overloaded{
                   [&](const MenuEntryItem& e) { call(out, "menu_entry", e.id, e.label); },
                   [&](const MenuEntryMne& e) {
                       call(out, "menu_entry_mne", e.id, e.label, e.mne, e.mod, e.acc);
                   },
                   [&](const SubmenuEntry& e) { call(out, "submenu_entry", e.id, e.label, e.entries); },
                   [&](const SubmenuEntryMne& e) {
                       call(out, "submenu_entry_mne", e.id, e.label, e.entries, e.mne);
                   },
                   [&](const BlankMenuEntry&) { out += "blank"; },
                   [&](const MenuEntryDisabled& e) { call(out, "menu_entry_disabled", e.id, e.label); },
                   [&](const SubmenuEntryDisabled& e) {
                       call(out, "submenu_entry_disabled", e.id, e.label, e.entries);
                   },
               },
               x.v);
}

void showTo(std::string& out, const IconEntry& x) {
    std::visit(overloaded{
                   [&](const IconEntryItem& e) { call(out, "icon_entry", e.id, e.file, e.description); },
                   [&](const BlankIconEntry&) { out += "blank"; },
               },
               x);
}

void showTo(std::string& out, const Attribute& x) {
    std::visit(overloaded{
                   [&](const A& a) { call(out, "a", a.key, a.value); },
                   [&](const M& m) { call(out, "m", m.entries); },
               },
               x);
}

// ------------------------------------------------------------ graph terms
//
// A flowchart nests one level per command in sequence, so the terms are
// written with an explicit stack of pending pieces: a node or an edge to
// write, or a fixed closing text.

namespace {

struct Piece {
    const char* text;  // fixed text, when node and edge are null
    const Node* node;
    const E* edge;
};

void showTerms(std::string& out, Piece root) {
    std::vector<Piece> pending{root};
    while (!pending.empty()) {
        Piece p = pending.back();
        pending.pop_back();
        if (p.edge != nullptr) {
            const E& e = *p.edge;
            out += "l(";
            showTo(out, e.id);
            out += ",e(";
            showTo(out, e.type);
            out += ',';
            showTo(out, e.attrs);
            out += ',';
            pending.push_back({"))", nullptr, nullptr});
            if (e.target) {
                pending.push_back({nullptr, e.target.get(), nullptr});
            } else {
                pending.push_back({"r(\"\")", nullptr, nullptr});  // no target: never built
            }
        } else if (p.node != nullptr) {
            if (const R* r = std::get_if<R>(&p.node->v)) {
                out += "r(";
                showTo(out, r->id);
                out += ')';
                continue;
            }
            const N& n = std::get<N>(p.node->v);
            out += "l(";
            showTo(out, n.id);
            out += ",n(";
            showTo(out, n.type);
            out += ',';
            showTo(out, n.attrs);
            out += ",[";
            pending.push_back({"]))", nullptr, nullptr});
            for (std::size_t i = n.edges.size(); i-- > 0;) {
                pending.push_back({nullptr, nullptr, &std::get<E>(n.edges[i])});
                if (i != 0) pending.push_back({",", nullptr, nullptr});
            }
        } else {
            out += p.text;
        }
    }
}

}  // namespace

void showTo(std::string& out, const Node& x) { showTerms(out, {nullptr, &x, nullptr}); }
void showTo(std::string& out, const Edge& x) { showTerms(out, {nullptr, nullptr, &std::get<E>(x)}); }

// Node equality, without recursion per level of nesting.
bool Node::operator==(const Node& other) const {
    std::vector<std::pair<const Node*, const Node*>> pending{{this, &other}};
    while (!pending.empty()) {
        auto [a, b] = pending.back();
        pending.pop_back();
        if (a == b) continue;
        if (a->v.index() != b->v.index()) return false;
        if (const R* ra = std::get_if<R>(&a->v)) {
            if (!(*ra == std::get<R>(b->v))) return false;
            continue;
        }
        const N& na = std::get<N>(a->v);
        const N& nb = std::get<N>(b->v);
        if (!(na.id == nb.id) || !(na.type == nb.type) || na.attrs != nb.attrs ||
            na.edges.size() != nb.edges.size())
            return false;
        for (std::size_t i = 0; i < na.edges.size(); ++i) {
            const E& ea = std::get<E>(na.edges[i]);
            const E& eb = std::get<E>(nb.edges[i]);
            if (!(ea.id == eb.id) || !(ea.type == eb.type) || ea.attrs != eb.attrs) return false;
            const Node* ta = ea.target.get();
            const Node* tb = eb.target.get();
            if (ta == tb) continue;
            if (ta == nullptr || tb == nullptr) return false;
            pending.emplace_back(ta, tb);
        }
    }
    return true;
}

// Releasing the last owner of a chain of nodes: each node whose last owner
// this is gives up its edges' targets to the loop before it is destroyed, so
// no destructor runs nested more than one level deep.
NodePtr::~NodePtr() {
    if (!p_ || p_.use_count() != 1) return;
    std::vector<std::shared_ptr<const Node>> pending;
    pending.push_back(std::move(p_));
    while (!pending.empty()) {
        std::shared_ptr<const Node> cur = std::move(pending.back());
        pending.pop_back();
        if (cur.use_count() != 1) continue;
        if (const N* n = std::get_if<N>(&cur->v)) {
            // Sole owner: nobody else can see this node any more.
            for (const Edge& edge : n->edges) {
                E& e = const_cast<E&>(std::get<E>(edge));
                if (e.target.p_) pending.push_back(std::move(e.target.p_));
            }
        }
    }
}

// ------------------------------------------------------------ changes

void showTo(std::string& out, const NodeUpdate& x) {
    std::visit(overloaded{
                   [&](const DeleteNode& u) { call(out, "delete_node", u.id); },
                   [&](const NewNode& u) { call(out, "new_node", u.id, u.type, u.attrs); },
               },
               x);
}

void showTo(std::string& out, const EdgeUpdate& x) {
    std::visit(overloaded{
                   [&](const DeleteEdge& u) { call(out, "delete_edge", u.id); },
                   [&](const NewEdge& u) {
                       call(out, "new_edge", u.id, u.type, u.attrs, u.from, u.to);
                   },
                   [&](const NewEdgeBehind& u) {
                       call(out, "new_edge_behind", u.behind, u.id, u.type, u.attrs, u.from, u.to);
                   },
               },
               x);
}

void showTo(std::string& out, const MixedUpdate& x) {
    std::visit(overloaded{
                   [&](const NU& u) { showTo(out, u.update); },
                   [&](const EU& u) { showTo(out, u.update); },
               },
               x);
}

void showTo(std::string& out, const AttrChange& x) {
    std::visit(overloaded{
                   [&](const AttrChange::Node& c) { call(out, "node", c.id, c.attrs); },
                   [&](const AttrChange::Edge& c) { call(out, "edge", c.id, c.attrs); },
               },
               x.v);
}

void showTo(std::string& out, const TypeChange& x) {
    std::visit(overloaded{
                   [&](const NodeType& c) { call(out, "node", c.id, c.type); },
                   [&](const EdgeType& c) { call(out, "edge", c.id, c.type); },
               },
               x);
}

void showTo(std::string& out, const GraphCmd& x) {
    std::visit(overloaded{
                   [&](const New& c) { call(out, "new", c.nodes); },
                   [&](const NewPlaced& c) { call(out, "new_placed", c.nodes); },
                   [&](const Update& c) { call(out, "update", c.nodes, c.edges); },
                   [&](const ChangeAttr& c) { call(out, "change_attr", c.changes); },
                   [&](const UpdateAndChangeAttr& c) {
                       call(out, "update_and_change_attr", c.nodes, c.edges, c.changes);
                   },
                   [&](const UpdateMixed& c) { call(out, "update", c.updates); },
                   [&](const UpdateAndChangeAttrMixed& c) {
                       call(out, "update_and_change_attr", c.updates, c.changes);
                   },
                   [&](const ChangeType& c) { call(out, "change_type", c.changes); },
               },
               x);
}

// ------------------------------------------------------------ the rest

void showTo(std::string& out, const MultiCmd& x) {
    std::visit(overloaded{
                   [&](const NewContext&) { out += "new_context"; },
                   [&](const OpenContext& c) { call(out, "open_context", c.context); },
                   [&](const SetContext& c) { call(out, "set_context", c.context); },
                   [&](const SetContextWindow& c) { call(out, "set_context", c.context, c.window); },
               },
               x);
}

void showTo(std::string& out, const FileMenuCmd& x) {
    std::visit(overloaded{
                   [&](const ClearGraph&) { out += "new"; },
                   [&](const OpenGraph& c) { call(out, "open_graph", c.file); },
                   [&](const OpenGraphPlaced& c) { call(out, "open_graph_placed", c.file); },
                   [&](const OpenStatus& c) { call(out, "open_status", c.file); },
                   [&](const SaveGraph& c) { call(out, "save_graph", c.file); },
                   [&](const SaveStatus& c) { call(out, "save_status", c.file); },
                   [&](const Print& c) {
                       if (c.file) call(out, "print", *c.file);
                       else out += "print";
                   },
                   [&](const Close&) { out += "close"; },
                   [&](const Exit&) { out += "exit"; },
               },
               x);
}

void showTo(std::string& out, const ViewMenuCmd& x) {
    std::visit(overloaded{
                   [&](const OpenNewView&) { out += "open_new_view"; },
                   [&](const OpenSurveyView&) { out += "open_survey_view"; },
                   [&](const FullScale&) { out += "full_scale"; },
                   [&](const FitScaleToWindow&) { out += "fit_scale_to_window"; },
                   [&](const Scale& c) {
                       if (c.value) call(out, "scale", *c.value);
                       else out += "scale";
                   },
                   [&](const GraphInfo&) { out += "graph_info"; },
                   [&](const DaVinciInfo&) { out += "daVinci_info"; },
               },
               x);
}

void showTo(std::string& out, const NavigationMenuCmd& x) {
    std::visit(overloaded{
                   [&](const SelectParents& c) { call(out, "select_parents", c.nodes); },
                   [&](const SelectSiblings& c) { call(out, "select_siblings", c.nodes); },
                   [&](const SelectChilds& c) { call(out, "select_childs", c.nodes); },
                   [&](const SelectChildren& c) { call(out, "select_childs", c.nodes); },
                   [&](const Navigator& c) {
                       if (!c.target) {
                           out += "navigator";
                           return;
                       }
                       const auto& [node, dir, b] = *c.target;
                       call(out, "navigator", node, dir, b);
                   },
                   [&](const Find& c) {
                       if (!c.query) {
                           out += "find";
                           return;
                       }
                       const auto& [text, b1, b2] = *c.query;
                       call(out, "find", text, b1, b2);
                   },
               },
               x);
}

void showTo(std::string& out, const AbstractionMenuCmd& x) {
    std::visit(overloaded{
                   [&](const HideSubgraph& c) { call(out, "hide_subgraph", c.nodes); },
                   [&](const ShowSubgraph& c) { call(out, "show_subgraph", c.nodes); },
                   [&](const RestoreAllSubgraphs&) { out += "restore_all_subgraphs"; },
                   [&](const HideEdges& c) { call(out, "hide_edges", c.nodes); },
                   [&](const ShowEdges& c) { call(out, "show_edges", c.nodes); },
                   [&](const RestoreAllEdges&) { out += "restore_all_edges"; },
               },
               x);
}

void showTo(std::string& out, const LayoutMenuCmd& x) {
    std::visit(overloaded{
                   [&](const ImproveAll&) { out += "improve_all"; },
                   [&](const ImproveVisible&) { out += "improve_visible"; },
                   [&](const CompactAll&) { out += "compact_all"; },
                   [&](const Orientation& c) { call(out, "orientation", c.orient); },
               },
               x);
}

void showTo(std::string& out, const MenuCmd& x) {
    std::visit(overloaded{
                   [&](const File& c) { call(out, "file", c.cmd); },
                   [&](const View& c) { call(out, "view", c.cmd); },
                   [&](const Navigation& c) { call(out, "navigation", c.cmd); },
                   [&](const Abstraction& c) { call(out, "abstraction", c.cmd); },
                   [&](const Layout& c) { call(out, "layout", c.cmd); },
               },
               x);
}

void showTo(std::string& out, const AppMenuCmd& x) {
    std::visit(overloaded{
                   [&](const CreateMenus& c) { call(out, "create_menus", c.entries); },
                   [&](const CreateIcons& c) { call(out, "create_icons", c.entries); },
                   [&](const ActivateMenus& c) { call(out, "activate_menus", c.menus); },
                   [&](const ActivateIcons& c) { call(out, "activate_icons", c.icons); },
                   [&](const ControlFileEvents&) { out += "control_file_events"; },
               },
               x);
}

void showTo(std::string& out, const SetCmd& x) {
    std::visit(overloaded{
                   [&](const LayoutAccuracy& c) { call(out, "layout_accuracy", c.value); },
                   [&](const KeepNodesAtLevels& c) { lowerBool(out, "keep_nodes_at_levels", c.value); },
                   [&](const FontSize& c) { call(out, "font_size", c.value); },
                   [&](const GapWidth& c) { call(out, "gap_width", c.value); },
                   [&](const GapHeight& c) { call(out, "gap_height", c.value); },
                   [&](const MultiEdgeGap& c) { call(out, "multi_edge_gap", c.value); },
                   [&](const SelfEdgeRadius& c) { call(out, "self_edge_radius", c.value); },
                   [&](const ScrollingOnSelection& c) {
                       lowerBool(out, "scrolling_on_selection", c.value);
                   },
                   [&](const AnimationSpeed& c) { call(out, "animation_speed", c.value); },
                   [&](const NoCache& c) { lowerBool(out, "no_cache", c.value); },
                   [&](const RulesFirst& c) { lowerBool(out, "rules_first", c.value); },
               },
               x);
}

void showTo(std::string& out, const Btype& x) {
    const Bt& b = std::get<Bt>(x);
    call(out, "bt", b.first, b.second, b.third);
}

void showTo(std::string& out, const WindowCmd& x) {
    std::visit(overloaded{
                   [&](const Title& c) { call(out, "title", c.text); },
                   [&](const ShowMessage& c) { call(out, "show_message", c.text); },
                   [&](const ShowStatus& c) { call(out, "show_status", c.text); },
                   [&](const Position& c) { call(out, "position", c.x, c.y); },
                   [&](const Size& c) { call(out, "size", c.width, c.height); },
                   [&](const Raise&) { out += "raise"; },
                   [&](const Iconify&) { out += "iconify"; },
                   [&](const Deiconify&) { out += "deiconify"; },
                   [&](const Activate&) { out += "activate"; },
                   [&](const Deactivate&) { out += "deactivate"; },
                   [&](const FileBrowser& c) {
                       call(out, "file_browser", c.open, c.title, c.button, c.directory, c.file,
                            c.types, c.showHidden);
                   },
               },
               x);
}

void showTo(std::string& out, const TclCmd& x) {
    std::visit(overloaded{
                   [&](const DVEval& c) { call(out, "eval", c.script); },
                   [&](const EvalFile& c) { call(out, "eval_file", c.file); },
               },
               x);
}

void showTo(std::string& out, const SpecialCmd& x) {
    std::visit(overloaded{
                   [&](const SelectNodes& c) { call(out, "select_nodes", c.nodes); },
                   [&](const SelectEdge& c) { call(out, "select_edges", c.edge); },
                   [&](const FocusNode& c) { call(out, "focus_node", c.node); },
                   [&](const FocusNodeAnimated& c) { call(out, "focus_node_animated", c.node); },
                   [&](const ShowUrl& c) { call(out, "show_url", c.url); },
               },
               x);
}

void showTo(std::string& out, const VisualRule& x) {
    std::visit(overloaded{
                   [&](const NR& r) { call(out, "nr", r.type, r.attrs); },
                   [&](const ER& r) { call(out, "er", r.type, r.attrs); },
               },
               x);
}

void showTo(std::string& out, const VisualCmd& x) {
    std::visit(overloaded{
                   [&](const NewRules& c) { call(out, "new_rules", c.rules); },
                   [&](const AddRules& c) { call(out, "add_rules", c.rules); },
               },
               x);
}

void showTo(std::string& out, const DragAndDropCmd& x) {
    std::visit(overloaded{
                   [&](const DraggingOn&) { out += "dragging_on"; },
                   [&](const DragAndDropOn&) { out += "drag_and_drop_on"; },
                   [&](const DraggingOff&) { out += "dragging_off"; },
                   [&](const NewNodeAtCoord& c) { call(out, "new_node_at_coord", c.node); },
                   [&](const NewEdgeAndNodeAtCoord& c) {
                       call(out, "new_edge_and_node_at_coord", c.node, c.edge);
                   },
               },
               x);
}

void showTo(std::string& out, const DaVinciCmd& x) {
    std::visit(overloaded{
                   [&](const Graph& c) { call(out, "graph", c.cmd); },
                   [&](const Multi& c) { call(out, "multi", c.cmd); },
                   [&](const Menu& c) { call(out, "menu", c.cmd); },
                   [&](const AppMenu& c) { call(out, "app_menu", c.cmd); },
                   [&](const DVSet& c) { call(out, "set", c.cmd); },
                   [&](const Window& c) { call(out, "window", c.cmd); },
                   [&](const Tcl& c) { call(out, "tcl", c.cmd); },
                   [&](const Special& c) { call(out, "special", c.cmd); },
                   [&](const DVNothing&) { out += "nothing"; },
                   [&](const Visual& c) { call(out, "visual", c.cmd); },
                   // daVinci reads both families under the one word.
                   [&](const DragAndDrop& c) { call(out, "visual", c.cmd); },
               },
               x);
}

std::string showCmd(const DaVinciCmd& cmd) { return show(cmd); }

// ------------------------------------------------------------ answers

void showTo(std::string& out, const DaVinciAnswer& x) {
    std::visit(overloaded{
                   [&](const Ok&) { out += "ok"; },
                   [&](const CommunicationError& a) { call(out, "communication_error", a.message); },
                   [&](const NodeSelectionsLabels& a) { call(out, "node_selections_labels", a.nodes); },
                   [&](const NodeDoubleClick&) { out += "node_double_click"; },
                   [&](const EdgeSelectionLabel& a) { call(out, "edge_selection_label", a.edge); },
                   [&](const EdgeSelectionLabels& a) {
                       call(out, "edge_selection_labels", a.from, a.to);
                   },
                   [&](const EdgeDoubleClick&) { out += "edge_double_click"; },
                   [&](const MenuSelection& a) { call(out, "menu_selection", a.menu); },
                   [&](const IconSelection& a) { call(out, "icon_selection", a.icon); },
                   [&](const Context& a) { call(out, "context", a.context); },
                   [&](const TclAnswer& a) { call(out, "tcl_answer", a.text); },
                   [&](const BrowserAnswer& a) { call(out, "browser_answer", a.file, a.type); },
                   [&](const Disconnect&) { out += "disconnect"; },
                   [&](const Closed&) { out += "closed"; },
                   [&](const Quit&) { out += "quit"; },
                   [&](const PopupSelectionNode& a) {
                       call(out, "popup_selection_node", a.node, a.menu);
                   },
                   [&](const PopupSelectionEdge& a) {
                       call(out, "popup_selection_edge", a.edge, a.menu);
                   },
                   [&](const CreateNode&) { out += "create_node"; },
                   [&](const CreateNodeAndEdge& a) { call(out, "create_node_and_edge", a.node); },
                   [&](const CreateEdge& a) { call(out, "create_edge", a.from, a.to); },
                   [&](const DropNode& a) {
                       call(out, "drop_node", a.context1, a.window1, a.node1, a.context2,
                            a.window2, a.node2);
                   },
                   [&](const ContextWindow& a) { call(out, "context_window", a.context, a.window); },
                   [&](const OpenWindow&) { out += "open_window"; },
                   [&](const CloseWindow& a) { call(out, "close_window", a.window); },
               },
               x);
}

std::string showAnswer(const DaVinciAnswer& answer) { return show(answer); }

}  // namespace jox::dv
