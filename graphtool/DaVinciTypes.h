// The daVinci vocabulary: every command the system can send to the graph tool
// and every answer it can read back, as typed values; their one-line text
// form; and the reader of answer lines.
//
// Every family is a closed sum type (std::variant over small structs, or a
// struct holding such a variant in `v` where the family is recursive), listed
// in the tag order the writer and the reader dispatch on.  Values are
// immutable once built and every type has structural equality (operator==):
// same alternative, fields equal pairwise in order.
//
// Naming: the alternatives keep daVinci's own words.  Where an alternative has
// the name of a type, C++ needs a way to tell them apart:
//  - the two alternatives of AttrChange are nested in it: AttrChange::Node and
//    AttrChange::Edge (the graph-term types are dv::Node and dv::Edge);
//  - the alternative MenuEntry of the family MenuEntry is MenuEntryItem, and
//    the alternative IconEntry of IconEntry is IconEntryItem.
// The small enumerations Orient, Direction and MenuMod are enum classes.
//
// Graph terms nest as deep as the flowchart is long (each node's out-edge
// holds the next node), so writing, comparing and destroying them never
// recurses per level: a million nested terms are fine on any stack.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

namespace jox::dv {

#define JOX_DV_EQ(T) bool operator==(const T&) const = default;

// ------------------------------------------------------ identifier wrappers
// Each wraps one text (8-bit bytes) and is written exactly like a String.
#define JOX_DV_WRAPPER(T)  \
    struct T {             \
        std::string value; \
        JOX_DV_EQ(T)       \
    };
JOX_DV_WRAPPER(NodeId)
JOX_DV_WRAPPER(EdgeId)
JOX_DV_WRAPPER(MenuId)
JOX_DV_WRAPPER(MenuLabel)
JOX_DV_WRAPPER(MenuMne)
JOX_DV_WRAPPER(MenuAcc)
JOX_DV_WRAPPER(IconId)
JOX_DV_WRAPPER(Type)
JOX_DV_WRAPPER(Filename)
JOX_DV_WRAPPER(ContextId)
JOX_DV_WRAPPER(WindowId)
#undef JOX_DV_WRAPPER

// ------------------------------------------------------ small enumerations
enum class Orient { TopDown, BottomUp, LeftRight, RightLeft };
enum class Direction { Up, Down, DVLeft, DVRight };
enum class MenuMod { Alternate, Shift, Control, Meta, None };

// --------------------------------------------------------------- menus
struct MenuEntry;

// The alternative called MenuEntry (C++ cannot give it the family's name).
struct MenuEntryItem {
    MenuId id;
    MenuLabel label;
    JOX_DV_EQ(MenuEntryItem)
};
struct MenuEntryMne {
    MenuId id;
    MenuLabel label;
    MenuMne mne;
    MenuMod mod;
    MenuAcc acc;
    JOX_DV_EQ(MenuEntryMne)
};
struct SubmenuEntry {
    MenuId id;
    MenuLabel label;
    std::vector<MenuEntry> entries;
    bool operator==(const SubmenuEntry&) const;
};
struct SubmenuEntryMne {
    MenuId id;
    MenuLabel label;
    std::vector<MenuEntry> entries;
    MenuMne mne;
    bool operator==(const SubmenuEntryMne&) const;
};
struct BlankMenuEntry {
    JOX_DV_EQ(BlankMenuEntry)
};
struct MenuEntryDisabled {
    MenuId id;
    MenuLabel label;
    JOX_DV_EQ(MenuEntryDisabled)
};
struct SubmenuEntryDisabled {
    MenuId id;
    MenuLabel label;
    std::vector<MenuEntry> entries;
    bool operator==(const SubmenuEntryDisabled&) const;
};
struct MenuEntry {
    std::variant<MenuEntryItem, MenuEntryMne, SubmenuEntry, SubmenuEntryMne, BlankMenuEntry,
                 MenuEntryDisabled, SubmenuEntryDisabled>
        v;
    JOX_DV_EQ(MenuEntry)
};
inline bool SubmenuEntry::operator==(const SubmenuEntry& o) const {
    return id == o.id && label == o.label && entries == o.entries;
}
inline bool SubmenuEntryMne::operator==(const SubmenuEntryMne& o) const {
    return id == o.id && label == o.label && entries == o.entries && mne == o.mne;
}
inline bool SubmenuEntryDisabled::operator==(const SubmenuEntryDisabled& o) const {
    return id == o.id && label == o.label && entries == o.entries;
}

// The alternative called IconEntry.
struct IconEntryItem {
    IconId id;
    Filename file;
    std::string description;
    JOX_DV_EQ(IconEntryItem)
};
struct BlankIconEntry {
    JOX_DV_EQ(BlankIconEntry)
};
using IconEntry = std::variant<IconEntryItem, BlankIconEntry>;

// ---------------------------------------------------------- attributes
struct A {  // key, value
    std::string key;
    std::string value;
    JOX_DV_EQ(A)
};
struct M {
    std::vector<MenuEntry> entries;
    JOX_DV_EQ(M)
};
using Attribute = std::variant<A, M>;

// ---------------------------------------------------------- graph terms
struct Node;

// The target of an edge: a shared, immutable Node.  Equality compares the
// nodes, not the pointers.  Destroying the last owner of a long chain of
// nodes takes it apart in a loop instead of one nested destructor per level
// (so a shared_ptr handed in must own a Node made non-const, as
// std::make_shared<Node> makes it).
class NodePtr {
public:
    NodePtr() = default;
    NodePtr(Node node);  // NOLINT: a node converts to its pointer implicitly
    NodePtr(std::shared_ptr<const Node> p) : p_(std::move(p)) {}  // NOLINT
    NodePtr(const NodePtr&) = default;
    NodePtr(NodePtr&&) noexcept = default;
    NodePtr& operator=(const NodePtr&) = default;
    NodePtr& operator=(NodePtr&&) noexcept = default;
    ~NodePtr();

    const Node& operator*() const { return *p_; }
    const Node* operator->() const { return p_.get(); }
    const Node* get() const { return p_.get(); }
    explicit operator bool() const { return p_ != nullptr; }
    bool operator==(const NodePtr& o) const;

private:
    std::shared_ptr<const Node> p_;
};

struct E {  // an edge: identifier, type, attributes, target (an N or an R)
    EdgeId id;
    Type type;
    std::vector<Attribute> attrs;
    NodePtr target;
    JOX_DV_EQ(E)
};
using Edge = std::variant<E>;

struct N {  // a node defined here, with its attributes and out-edges
    NodeId id;
    Type type;
    std::vector<Attribute> attrs;
    std::vector<Edge> edges;
    JOX_DV_EQ(N)
};
struct R {  // a reference to a node defined elsewhere in the same term
    NodeId id;
    JOX_DV_EQ(R)
};
struct Node {
    std::variant<N, R> v;
    // Iterative: nested edge targets are compared with an explicit stack.
    bool operator==(const Node&) const;
};

inline NodePtr::NodePtr(Node node) : p_(std::make_shared<Node>(std::move(node))) {}
inline bool NodePtr::operator==(const NodePtr& o) const {
    if (p_ == o.p_) return true;
    if (!p_ || !o.p_) return false;
    return *p_ == *o.p_;
}

// ---------------------------------------------------- incremental changes
struct DeleteNode {
    NodeId id;
    JOX_DV_EQ(DeleteNode)
};
struct NewNode {
    NodeId id;
    Type type;
    std::vector<Attribute> attrs;
    JOX_DV_EQ(NewNode)
};
using NodeUpdate = std::variant<DeleteNode, NewNode>;

struct DeleteEdge {
    EdgeId id;
    JOX_DV_EQ(DeleteEdge)
};
struct NewEdge {
    EdgeId id;
    Type type;
    std::vector<Attribute> attrs;
    NodeId from;
    NodeId to;
    JOX_DV_EQ(NewEdge)
};
struct NewEdgeBehind {
    EdgeId behind;
    EdgeId id;
    Type type;
    std::vector<Attribute> attrs;
    NodeId from;
    NodeId to;
    JOX_DV_EQ(NewEdgeBehind)
};
using EdgeUpdate = std::variant<DeleteEdge, NewEdge, NewEdgeBehind>;

struct NU {
    NodeUpdate update;
    JOX_DV_EQ(NU)
};
struct EU {
    EdgeUpdate update;
    JOX_DV_EQ(EU)
};
using MixedUpdate = std::variant<NU, EU>;

// The two alternatives are called Node and Edge, like the graph-term types;
// they are nested here to keep both names.
struct AttrChange {
    struct Node {
        NodeId id;
        std::vector<Attribute> attrs;
        JOX_DV_EQ(Node)
    };
    struct Edge {
        EdgeId id;
        std::vector<Attribute> attrs;
        JOX_DV_EQ(Edge)
    };
    std::variant<Node, Edge> v;
    JOX_DV_EQ(AttrChange)
};

struct NodeType {
    NodeId id;
    Type type;
    JOX_DV_EQ(NodeType)
};
struct EdgeType {
    EdgeId id;
    Type type;
    JOX_DV_EQ(EdgeType)
};
using TypeChange = std::variant<NodeType, EdgeType>;

// ---------------------------------------------------------- GraphCmd
struct New {
    std::vector<Node> nodes;
    JOX_DV_EQ(New)
};
struct NewPlaced {
    std::vector<Node> nodes;
    JOX_DV_EQ(NewPlaced)
};
struct Update {
    std::vector<NodeUpdate> nodes;
    std::vector<EdgeUpdate> edges;
    JOX_DV_EQ(Update)
};
struct ChangeAttr {
    std::vector<AttrChange> changes;
    JOX_DV_EQ(ChangeAttr)
};
struct UpdateAndChangeAttr {
    std::vector<NodeUpdate> nodes;
    std::vector<EdgeUpdate> edges;
    std::vector<AttrChange> changes;
    JOX_DV_EQ(UpdateAndChangeAttr)
};
struct UpdateMixed {
    std::vector<MixedUpdate> updates;
    JOX_DV_EQ(UpdateMixed)
};
struct UpdateAndChangeAttrMixed {
    std::vector<MixedUpdate> updates;
    std::vector<AttrChange> changes;
    JOX_DV_EQ(UpdateAndChangeAttrMixed)
};
struct ChangeType {
    std::vector<TypeChange> changes;
    JOX_DV_EQ(ChangeType)
};
using GraphCmd = std::variant<New, NewPlaced, Update, ChangeAttr, UpdateAndChangeAttr, UpdateMixed,
                              UpdateAndChangeAttrMixed, ChangeType>;

// ---------------------------------------------------------- MultiCmd
struct NewContext {
    JOX_DV_EQ(NewContext)
};
struct OpenContext {
    ContextId context;
    JOX_DV_EQ(OpenContext)
};
struct SetContext {
    ContextId context;
    JOX_DV_EQ(SetContext)
};
struct SetContextWindow {
    ContextId context;
    WindowId window;
    JOX_DV_EQ(SetContextWindow)
};
using MultiCmd = std::variant<NewContext, OpenContext, SetContext, SetContextWindow>;

// ---------------------------------------------------------- MenuCmd
struct ClearGraph {
    JOX_DV_EQ(ClearGraph)
};
struct OpenGraph {
    Filename file;
    JOX_DV_EQ(OpenGraph)
};
struct OpenGraphPlaced {
    Filename file;
    JOX_DV_EQ(OpenGraphPlaced)
};
struct OpenStatus {
    Filename file;
    JOX_DV_EQ(OpenStatus)
};
struct SaveGraph {
    Filename file;
    JOX_DV_EQ(SaveGraph)
};
struct SaveStatus {
    Filename file;
    JOX_DV_EQ(SaveStatus)
};
struct Print {
    std::optional<Filename> file;
    JOX_DV_EQ(Print)
};
struct Close {
    JOX_DV_EQ(Close)
};
struct Exit {
    JOX_DV_EQ(Exit)
};
using FileMenuCmd = std::variant<ClearGraph, OpenGraph, OpenGraphPlaced, OpenStatus, SaveGraph,
                                 SaveStatus, Print, Close, Exit>;

struct OpenNewView {
    JOX_DV_EQ(OpenNewView)
};
struct OpenSurveyView {
    JOX_DV_EQ(OpenSurveyView)
};
struct FullScale {
    JOX_DV_EQ(FullScale)
};
struct FitScaleToWindow {
    JOX_DV_EQ(FitScaleToWindow)
};
struct Scale {
    std::optional<std::int32_t> value;
    JOX_DV_EQ(Scale)
};
struct GraphInfo {
    JOX_DV_EQ(GraphInfo)
};
struct DaVinciInfo {
    JOX_DV_EQ(DaVinciInfo)
};
using ViewMenuCmd = std::variant<OpenNewView, OpenSurveyView, FullScale, FitScaleToWindow, Scale,
                                 GraphInfo, DaVinciInfo>;

struct SelectParents {
    std::vector<NodeId> nodes;
    JOX_DV_EQ(SelectParents)
};
struct SelectSiblings {
    std::vector<NodeId> nodes;
    JOX_DV_EQ(SelectSiblings)
};
struct SelectChilds {
    std::vector<NodeId> nodes;
    JOX_DV_EQ(SelectChilds)
};
struct SelectChildren {
    std::vector<NodeId> nodes;
    JOX_DV_EQ(SelectChildren)
};
struct Navigator {
    std::optional<std::tuple<NodeId, Direction, bool>> target;
    JOX_DV_EQ(Navigator)
};
struct Find {  // text, case sensitive, exact match
    std::optional<std::tuple<std::string, bool, bool>> query;
    JOX_DV_EQ(Find)
};
using NavigationMenuCmd =
    std::variant<SelectParents, SelectSiblings, SelectChilds, SelectChildren, Navigator, Find>;

struct HideSubgraph {
    std::vector<NodeId> nodes;
    JOX_DV_EQ(HideSubgraph)
};
struct ShowSubgraph {
    std::vector<NodeId> nodes;
    JOX_DV_EQ(ShowSubgraph)
};
struct RestoreAllSubgraphs {
    JOX_DV_EQ(RestoreAllSubgraphs)
};
struct HideEdges {
    std::vector<NodeId> nodes;
    JOX_DV_EQ(HideEdges)
};
struct ShowEdges {
    std::vector<NodeId> nodes;
    JOX_DV_EQ(ShowEdges)
};
struct RestoreAllEdges {
    JOX_DV_EQ(RestoreAllEdges)
};
using AbstractionMenuCmd = std::variant<HideSubgraph, ShowSubgraph, RestoreAllSubgraphs, HideEdges,
                                        ShowEdges, RestoreAllEdges>;

struct ImproveAll {
    JOX_DV_EQ(ImproveAll)
};
struct ImproveVisible {
    JOX_DV_EQ(ImproveVisible)
};
struct CompactAll {
    JOX_DV_EQ(CompactAll)
};
struct Orientation {
    Orient orient;
    JOX_DV_EQ(Orientation)
};
using LayoutMenuCmd = std::variant<ImproveAll, ImproveVisible, CompactAll, Orientation>;

struct File {
    FileMenuCmd cmd;
    JOX_DV_EQ(File)
};
struct View {
    ViewMenuCmd cmd;
    JOX_DV_EQ(View)
};
struct Navigation {
    NavigationMenuCmd cmd;
    JOX_DV_EQ(Navigation)
};
struct Abstraction {
    AbstractionMenuCmd cmd;
    JOX_DV_EQ(Abstraction)
};
struct Layout {
    LayoutMenuCmd cmd;
    JOX_DV_EQ(Layout)
};
using MenuCmd = std::variant<File, View, Navigation, Abstraction, Layout>;

// ---------------------------------------------------------- AppMenuCmd
struct CreateMenus {
    std::vector<MenuEntry> entries;
    JOX_DV_EQ(CreateMenus)
};
struct CreateIcons {
    std::vector<IconEntry> entries;
    JOX_DV_EQ(CreateIcons)
};
struct ActivateMenus {
    std::vector<MenuId> menus;
    JOX_DV_EQ(ActivateMenus)
};
struct ActivateIcons {
    std::vector<IconId> icons;
    JOX_DV_EQ(ActivateIcons)
};
struct ControlFileEvents {
    JOX_DV_EQ(ControlFileEvents)
};
using AppMenuCmd =
    std::variant<CreateMenus, CreateIcons, ActivateMenus, ActivateIcons, ControlFileEvents>;

// ---------------------------------------------------------- SetCmd
struct LayoutAccuracy {
    std::int32_t value;
    JOX_DV_EQ(LayoutAccuracy)
};
struct KeepNodesAtLevels {
    bool value;
    JOX_DV_EQ(KeepNodesAtLevels)
};
struct FontSize {
    std::int32_t value;
    JOX_DV_EQ(FontSize)
};
struct GapWidth {
    std::int32_t value;
    JOX_DV_EQ(GapWidth)
};
struct GapHeight {
    std::int32_t value;
    JOX_DV_EQ(GapHeight)
};
struct MultiEdgeGap {
    std::int32_t value;
    JOX_DV_EQ(MultiEdgeGap)
};
struct SelfEdgeRadius {
    std::int32_t value;
    JOX_DV_EQ(SelfEdgeRadius)
};
struct ScrollingOnSelection {
    bool value;
    JOX_DV_EQ(ScrollingOnSelection)
};
struct AnimationSpeed {
    std::int32_t value;
    JOX_DV_EQ(AnimationSpeed)
};
struct NoCache {
    bool value;
    JOX_DV_EQ(NoCache)
};
struct RulesFirst {
    bool value;
    JOX_DV_EQ(RulesFirst)
};
using SetCmd = std::variant<LayoutAccuracy, KeepNodesAtLevels, FontSize, GapWidth, GapHeight,
                            MultiEdgeGap, SelfEdgeRadius, ScrollingOnSelection, AnimationSpeed,
                            NoCache, RulesFirst>;

// ---------------------------------------------------------- WindowCmd
struct Bt {
    std::string first;
    std::string second;
    std::string third;
    JOX_DV_EQ(Bt)
};
using Btype = std::variant<Bt>;

struct Title {
    std::string text;
    JOX_DV_EQ(Title)
};
struct ShowMessage {
    std::string text;
    JOX_DV_EQ(ShowMessage)
};
struct ShowStatus {
    std::string text;
    JOX_DV_EQ(ShowStatus)
};
struct Position {
    std::int32_t x;
    std::int32_t y;
    JOX_DV_EQ(Position)
};
struct Size {
    std::int32_t width;
    std::int32_t height;
    JOX_DV_EQ(Size)
};
struct Raise {
    JOX_DV_EQ(Raise)
};
struct Iconify {
    JOX_DV_EQ(Iconify)
};
struct Deiconify {
    JOX_DV_EQ(Deiconify)
};
struct Activate {
    JOX_DV_EQ(Activate)
};
struct Deactivate {
    JOX_DV_EQ(Deactivate)
};
struct FileBrowser {
    bool open;
    std::string title;
    std::string button;
    std::string directory;
    std::string file;
    std::vector<Btype> types;
    bool showHidden;
    JOX_DV_EQ(FileBrowser)
};
using WindowCmd = std::variant<Title, ShowMessage, ShowStatus, Position, Size, Raise, Iconify,
                               Deiconify, Activate, Deactivate, FileBrowser>;

// ---------------------------------------------------------- TclCmd
struct DVEval {
    std::string script;
    JOX_DV_EQ(DVEval)
};
struct EvalFile {
    Filename file;
    JOX_DV_EQ(EvalFile)
};
using TclCmd = std::variant<DVEval, EvalFile>;

// ---------------------------------------------------------- SpecialCmd
struct SelectNodes {
    std::vector<NodeId> nodes;
    JOX_DV_EQ(SelectNodes)
};
struct SelectEdge {
    EdgeId edge;
    JOX_DV_EQ(SelectEdge)
};
struct FocusNode {
    NodeId node;
    JOX_DV_EQ(FocusNode)
};
struct FocusNodeAnimated {
    NodeId node;
    JOX_DV_EQ(FocusNodeAnimated)
};
struct ShowUrl {
    std::string url;
    JOX_DV_EQ(ShowUrl)
};
using SpecialCmd = std::variant<SelectNodes, SelectEdge, FocusNode, FocusNodeAnimated, ShowUrl>;

// ---------------------------------------------------------- VisualCmd
struct NR {
    Type type;
    std::vector<Attribute> attrs;
    JOX_DV_EQ(NR)
};
struct ER {
    Type type;
    std::vector<Attribute> attrs;
    JOX_DV_EQ(ER)
};
using VisualRule = std::variant<NR, ER>;

struct NewRules {
    std::vector<VisualRule> rules;
    JOX_DV_EQ(NewRules)
};
struct AddRules {
    std::vector<VisualRule> rules;
    JOX_DV_EQ(AddRules)
};
using VisualCmd = std::variant<NewRules, AddRules>;

// ---------------------------------------------------------- DragAndDropCmd
struct DraggingOn {
    JOX_DV_EQ(DraggingOn)
};
struct DragAndDropOn {
    JOX_DV_EQ(DragAndDropOn)
};
struct DraggingOff {
    JOX_DV_EQ(DraggingOff)
};
struct NewNodeAtCoord {
    NodeUpdate node;
    JOX_DV_EQ(NewNodeAtCoord)
};
struct NewEdgeAndNodeAtCoord {
    NodeUpdate node;
    EdgeUpdate edge;
    JOX_DV_EQ(NewEdgeAndNodeAtCoord)
};
using DragAndDropCmd =
    std::variant<DraggingOn, DragAndDropOn, DraggingOff, NewNodeAtCoord, NewEdgeAndNodeAtCoord>;

// ---------------------------------------------------------- DaVinciCmd
struct Graph {
    GraphCmd cmd;
    JOX_DV_EQ(Graph)
};
struct Multi {
    MultiCmd cmd;
    JOX_DV_EQ(Multi)
};
struct Menu {
    MenuCmd cmd;
    JOX_DV_EQ(Menu)
};
struct AppMenu {
    AppMenuCmd cmd;
    JOX_DV_EQ(AppMenu)
};
struct DVSet {
    SetCmd cmd;
    JOX_DV_EQ(DVSet)
};
struct Window {
    WindowCmd cmd;
    JOX_DV_EQ(Window)
};
struct Tcl {
    TclCmd cmd;
    JOX_DV_EQ(Tcl)
};
struct Special {
    SpecialCmd cmd;
    JOX_DV_EQ(Special)
};
struct DVNothing {
    JOX_DV_EQ(DVNothing)
};
struct Visual {
    VisualCmd cmd;
    JOX_DV_EQ(Visual)
};
struct DragAndDrop {
    DragAndDropCmd cmd;
    JOX_DV_EQ(DragAndDrop)
};
using DaVinciCmd = std::variant<Graph, Multi, Menu, AppMenu, DVSet, Window, Tcl, Special, DVNothing,
                                Visual, DragAndDrop>;

// ---------------------------------------------------------- DaVinciAnswer
struct Ok {
    JOX_DV_EQ(Ok)
};
struct CommunicationError {
    std::string message;
    JOX_DV_EQ(CommunicationError)
};
struct NodeSelectionsLabels {
    std::vector<NodeId> nodes;
    JOX_DV_EQ(NodeSelectionsLabels)
};
struct NodeDoubleClick {
    JOX_DV_EQ(NodeDoubleClick)
};
struct EdgeSelectionLabel {
    EdgeId edge;
    JOX_DV_EQ(EdgeSelectionLabel)
};
struct EdgeSelectionLabels {
    NodeId from;
    NodeId to;
    JOX_DV_EQ(EdgeSelectionLabels)
};
struct EdgeDoubleClick {
    JOX_DV_EQ(EdgeDoubleClick)
};
struct MenuSelection {
    MenuId menu;
    JOX_DV_EQ(MenuSelection)
};
struct IconSelection {
    IconId icon;
    JOX_DV_EQ(IconSelection)
};
struct Context {
    ContextId context;
    JOX_DV_EQ(Context)
};
struct TclAnswer {
    std::string text;
    JOX_DV_EQ(TclAnswer)
};
struct BrowserAnswer {
    std::string file;
    std::string type;
    JOX_DV_EQ(BrowserAnswer)
};
struct Disconnect {
    JOX_DV_EQ(Disconnect)
};
struct Closed {
    JOX_DV_EQ(Closed)
};
struct Quit {
    JOX_DV_EQ(Quit)
};
struct PopupSelectionNode {
    NodeId node;
    MenuId menu;
    JOX_DV_EQ(PopupSelectionNode)
};
struct PopupSelectionEdge {
    EdgeId edge;
    MenuId menu;
    JOX_DV_EQ(PopupSelectionEdge)
};
struct CreateNode {
    JOX_DV_EQ(CreateNode)
};
struct CreateNodeAndEdge {
    NodeId node;
    JOX_DV_EQ(CreateNodeAndEdge)
};
struct CreateEdge {
    NodeId from;
    NodeId to;
    JOX_DV_EQ(CreateEdge)
};
struct DropNode {
    ContextId context1;
    WindowId window1;
    NodeId node1;
    ContextId context2;
    WindowId window2;
    NodeId node2;
    JOX_DV_EQ(DropNode)
};
struct ContextWindow {
    ContextId context;
    WindowId window;
    JOX_DV_EQ(ContextWindow)
};
struct OpenWindow {
    JOX_DV_EQ(OpenWindow)
};
struct CloseWindow {
    WindowId window;
    JOX_DV_EQ(CloseWindow)
};
using DaVinciAnswer =
    std::variant<Ok, CommunicationError, NodeSelectionsLabels, NodeDoubleClick, EdgeSelectionLabel,
                 EdgeSelectionLabels, EdgeDoubleClick, MenuSelection, IconSelection, Context,
                 TclAnswer, BrowserAnswer, Disconnect, Closed, Quit, PopupSelectionNode,
                 PopupSelectionEdge, CreateNode, CreateNodeAndEdge, CreateEdge, DropNode,
                 ContextWindow, OpenWindow, CloseWindow>;

#undef JOX_DV_EQ

// ================================================================ text
// The one-line text of a value, the form daVinci reads.  Each showTo appends
// the text of its value to `out`; no blank or line break is ever written, and
// a value's text never depends on where it stands.

// The string-literal form: "..." with backslash escapes for '"', '\\', every
// control character and every byte above 126 (decimal codes, "\&" before a
// following digit; "\SO\&H").
void showString(std::string& out, std::string_view s);
std::string stringLiteral(std::string_view s);

void showTo(std::string& out, const NodeId& x);
void showTo(std::string& out, const EdgeId& x);
void showTo(std::string& out, const MenuId& x);
void showTo(std::string& out, const MenuLabel& x);
void showTo(std::string& out, const MenuMne& x);
void showTo(std::string& out, const MenuAcc& x);
void showTo(std::string& out, const IconId& x);
void showTo(std::string& out, const Type& x);
void showTo(std::string& out, const Filename& x);
void showTo(std::string& out, const ContextId& x);
void showTo(std::string& out, const WindowId& x);
void showTo(std::string& out, Orient x);
void showTo(std::string& out, Direction x);
void showTo(std::string& out, MenuMod x);
void showTo(std::string& out, const MenuEntry& x);
void showTo(std::string& out, const IconEntry& x);
void showTo(std::string& out, const Attribute& x);
void showTo(std::string& out, const Node& x);
void showTo(std::string& out, const Edge& x);
void showTo(std::string& out, const NodeUpdate& x);
void showTo(std::string& out, const EdgeUpdate& x);
void showTo(std::string& out, const MixedUpdate& x);
void showTo(std::string& out, const AttrChange& x);
void showTo(std::string& out, const TypeChange& x);
void showTo(std::string& out, const GraphCmd& x);
void showTo(std::string& out, const MultiCmd& x);
void showTo(std::string& out, const FileMenuCmd& x);
void showTo(std::string& out, const ViewMenuCmd& x);
void showTo(std::string& out, const NavigationMenuCmd& x);
void showTo(std::string& out, const AbstractionMenuCmd& x);
void showTo(std::string& out, const LayoutMenuCmd& x);
void showTo(std::string& out, const MenuCmd& x);
void showTo(std::string& out, const AppMenuCmd& x);
void showTo(std::string& out, const SetCmd& x);
void showTo(std::string& out, const Btype& x);
void showTo(std::string& out, const WindowCmd& x);
void showTo(std::string& out, const TclCmd& x);
void showTo(std::string& out, const SpecialCmd& x);
void showTo(std::string& out, const VisualRule& x);
void showTo(std::string& out, const VisualCmd& x);
void showTo(std::string& out, const DragAndDropCmd& x);
void showTo(std::string& out, const DaVinciCmd& x);
void showTo(std::string& out, const DaVinciAnswer& x);

// A list: "[" elements separated by "," "]".
template <class T>
void showTo(std::string& out, const std::vector<T>& xs) {
    out += '[';
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (i != 0) out += ',';
        showTo(out, xs[i]);
    }
    out += ']';
}

// The text of any vocabulary value (or list of values) as a string.
template <class T>
std::string show(const T& x) {
    std::string out;
    showTo(out, x);
    return out;
}

// The text of a command: the line the link writes (without its newline).
std::string showCmd(const DaVinciCmd& cmd);
// The text of an answer, as daVinci writes it and the link traces it.
std::string showAnswer(const DaVinciAnswer& answer);

// ================================================================ reading
// Every reading of `line` as one answer, each with the text left over after
// it (nothing after the answer's last token is skipped, not even blanks).
// Empty when the line does not begin with an answer.  The precedence is
// accepted for the reader's usual shape and ignored.  Never fails.
std::vector<std::pair<DaVinciAnswer, std::string>> readAnswer(int precedence,
                                                              std::string_view line);

// Every reading of `text` as a bracketed list of answers ("[" "]" or answers
// separated by "," inside "[" "]", optionally inside balanced parentheses),
// each with the text left over.
std::vector<std::pair<std::vector<DaVinciAnswer>, std::string>> readAnswerList(
    std::string_view text);

}  // namespace jox::dv
