#include "flowchart/GenGraph.h"

#include <memory>
#include <utility>
#include <vector>

#include "check/CheckProgram.h"
#include "flowchart/Labels.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

using dv::A;
using Attrs = std::vector<dv::Attribute>;
using Edges = std::vector<dv::Edge>;

// The commands of a list from `pos` on.
struct Suffix {
    const AnnCmdList* list;
    std::size_t pos;
    bool done() const { return pos >= list->size(); }
};

// The stacks of the open compound commands, innermost first, shared between
// the walks that branch off from one point.
//  - the continuation stack: for a se or the else-branch of a senao, the
//    commands after it; for a loop, the loop command and the commands after
//    it (a faca needs its condition and its rest at the end of its body);
//  - the open stack: id and kind of every open nested list: '1' the
//    then-branch of se and the else-branch of senao, '2' the then-branch of
//    senao, '0' an enquanto body, '3' a faca body, '4' a para body.
struct ContCell;
using Conts = std::shared_ptr<const ContCell>;
struct ContCell {
    Suffix rest;
    Conts next;
};
struct OpenCell;
using Opens = std::shared_ptr<const OpenCell>;
struct OpenCell {
    Text id;
    char kind;
    Opens next;
};

Conts push(Conts stack, Suffix rest) { return std::make_shared<const ContCell>(ContCell{rest, std::move(stack)}); }
Opens push(Opens stack, Text id, char kind) {
    return std::make_shared<const OpenCell>(OpenCell{std::move(id), kind, std::move(stack)});
}

// One walk still to be drawn: the commands `list`, hung into `hole` (the
// out-edge list of the node above them).  A walk ends when its hole is taken
// by a term that has nothing below it.
struct Walk {
    Edges* hole;
    Suffix list;
    Conts conts;
    Opens opens;
};

// Appends the edge `edgeId` into a new node `nodeId` to `hole`; returns the
// new node's out-edge list, where what hangs below it goes.  The node is
// owned by the term from here on; it is filled in through the list returned.
Edges* addNode(Edges* hole, const Text& edgeId, Attrs edgeAttrs, const Text& nodeId, Attrs nodeAttrs) {
    auto node = std::make_shared<dv::Node>(dv::Node{dv::N{dv::NodeId{nodeId}, dv::Type{""}, std::move(nodeAttrs), {}}});
    Edges* below = &std::get<dv::N>(node->v).edges;
    hole->push_back(dv::E{dv::EdgeId{edgeId}, dv::Type{""}, std::move(edgeAttrs),
                          dv::NodePtr(std::shared_ptr<const dv::Node>(std::move(node)))});
    return below;
}

// Appends the edge `edgeId` into a reference to the node `nodeId`.
void addRef(Edges* hole, const Text& edgeId, Attrs edgeAttrs, const Text& nodeId) {
    hole->push_back(dv::E{dv::EdgeId{edgeId}, dv::Type{""}, std::move(edgeAttrs),
                          dv::NodePtr(dv::Node{dv::R{dv::NodeId{nodeId}}})});
}

const Attrs backEdge{A{"EDGEPATTERN", "dashed"}, A{"_DIR", "inverse"}};

Text condLabel(const ExpPtr& cond) { return cutLabel(fromExpExp(*cond), conditionWidth); }

// "v" or "v[" + index text cut to indexWidth + "]" and the separator.
Text targetLabel(const Variable& target, const char* simpleSep, const char* vectorSep) {
    return std::visit(overloaded{
                          [&](const Simple& s) { return s.name + simpleSep; },
                          [&](const Vector& v) {
                              return v.name + "[" + cutLabel(fromExpExp(*v.index), indexWidth) + "]" + vectorSep;
                          },
                      },
                      target);
}

Text assignLabel(const Variable& target, const ExpPtr& value) {
    return targetLabel(target, "<-", " <-") + cutLabel(fromExpExp(*value), expressionWidth);
}

// The target of a leia, like the target of an assignment: "v" or "v[" +
// index text cut to indexWidth + "]".
Text readLabel(const Expression& target) {
    if (const auto* f = std::get_if<E_Factor>(&target.v)) {
        if (const auto* v = std::get_if<E_Var>(&f->factor->v)) return v->name;
        if (const auto* v = std::get_if<E_Vector>(&f->factor->v))
            return v->name + "[" + cutLabel(fromExpExp(*v->index), indexWidth) + "]";
    }
    return cutLabel(fromExpExp(target), listWidth);
}

Text imprimaLabel(const ExpList& items) {
    Text all;
    for (const ExpPtr& e : items) all += fromExpExp(*e);
    return cutLabel(all, listWidth);
}

Attrs plainNode(const char* nodeColour, Text label) { return {A{"COLOR", nodeColour}, A{"OBJECT", std::move(label)}}; }
Attrs jumpNode(const char* nodeColour, const char* name) {
    return {A{"COLOR", nodeColour}, A{"OBJECT", name}, A{"_GO", "circle"}};
}
Attrs iconNode(const char* icon, const char* nodeColour, Text label) {
    return {A{"ICONFILE", icon}, A{"COLOR", nodeColour}, A{"OBJECT", std::move(label)}, A{"_GO", "icon"}};
}
Attrs branchNode(const ExpPtr& cond) {
    return {A{"_GO", "rhombus"}, A{"OBJECT", condLabel(cond)}, A{"COLOR", colour::branch}};
}
Attrs loopHead(const char* nodeColour, const ExpPtr& cond) {
    return {A{"COLOR", nodeColour}, A{"_GO", "rhombus"}, A{"OBJECT", condLabel(cond)}};
}
Attrs closeCircle(const char* nodeColour) { return {A{"_GO", "circle"}, A{"COLOR", nodeColour}}; }
Attrs textNode(const char* text) { return {A{"_GO", "text"}, A{"OBJECT", text}}; }

// The end of the list of walk `w`, by the innermost open list: the end of
// the program, the close node of a se or senao with the rest below it, the
// join of a senao then-branch, or the close node of a loop.
void endOfList(Walk& w) {
    if (!w.opens) {
        if (w.conts) fail(internalError(132));
        addNode(w.hole, "edFim", {}, "Fimprog",
                {A{"COLOR", colour::ends}, A{"OBJECT", "Fimprog"}, A{"_GO", "ellipse"}});
        w.hole = nullptr;
        return;
    }
    const Text id = w.opens->id;
    const char kind = w.opens->kind;
    switch (kind) {
        case '1': {  // then of se, else of senao: the rest hangs below the close node
            if (!w.conts) fail(internalError(132));
            w.hole = addNode(w.hole, "ec" + id, {}, "nc" + id, closeCircle(colour::branch));
            w.list = w.conts->rest;
            w.conts = w.conts->next;
            w.opens = w.opens->next;
            return;
        }
        case '2':  // then of senao: joins the close node that its else-branch defines
            addRef(w.hole, "er" + id, {}, "nc" + id);
            w.hole = nullptr;
            return;
        case '0':
        case '4':  // enquanto, para: the close node, which the back edge leaves
            addNode(w.hole, "ec" + id, {}, "nc" + id,
                    closeCircle(kind == '0' ? colour::enquanto : colour::paraStep));
            w.hole = nullptr;
            return;
        case '3': {  // faca: the closing rhombus tests the condition; the rest is its exit
            if (!w.conts) fail(internalError(132));
            Suffix loop = w.conts->rest;
            const auto* faca = std::get_if<Ann_Faca>(&(*loop.list)[loop.pos].cmd->v);
            if (faca == nullptr) fail(internalError(132));
            w.hole = addNode(w.hole, "ec" + id, {}, "nc" + id, loopHead(colour::faca, faca->cond));
            w.list = Suffix{loop.list, loop.pos + 1};
            w.conts = w.conts->next;
            w.opens = w.opens->next;
            return;
        }
        default:
            fail(internalError(132));
    }
}

// Draws the next command of walk `w`; branches still to be drawn go to `todo`.
void drawCommand(Walk& w, std::vector<Walk>& todo) {
    const Suffix self = w.list;
    const AnnotatedCommand& ac = (*self.list)[self.pos];
    w.list.pos++;
    const Text& id = ac.node;
    auto simple = [&](Attrs attrs) { w.hole = addNode(w.hole, ac.edge, {}, id, std::move(attrs)); };
    auto loop = [&](const char* nodeColour, const ExpPtr& cond, const AnnCmdList& body, char kind) {
        Edges* head = addNode(w.hole, ac.edge, {}, id, loopHead(nodeColour, cond));
        addRef(head, "er" + id, backEdge, "nc" + id);
        Edges* text = addNode(head, "ed" + id, {}, "no" + id, textNode("faca"));
        todo.push_back(Walk{text, Suffix{&body, 0}, push(w.conts, self), push(w.opens, id, kind)});
        w.hole = head;  // the commands after the loop are its exit
    };
    std::visit(
        overloaded{
            [&](const Ann_Pare&) { simple(jumpNode("blue", "Pare")); },
            [&](const Ann_Continue&) { simple(jumpNode("green", "Cont")); },
            [&](const Ann_Saia&) { simple(jumpNode("red", "Saia")); },
            [&](const Ann_Atrib& c) { simple(plainNode(colour::assignment, assignLabel(c.target, c.value))); },
            [&](const Ann_AtribFor& c) { simple(plainNode(colour::paraStep, assignLabel(c.target, c.value))); },
            [&](const Ann_Incr& c) { simple(plainNode(colour::increment, targetLabel(c.target, "++", " ++"))); },
            [&](const Ann_Decr& c) { simple(plainNode(colour::decrement, targetLabel(c.target, "--", " --"))); },
            [&](const Ann_IncrFor& c) { simple(plainNode(colour::paraStep, targetLabel(c.target, "++", " ++"))); },
            [&](const Ann_DecrFor& c) { simple(plainNode(colour::paraStep, targetLabel(c.target, "--", " --"))); },
            [&](const Ann_Leia& c) {
                simple(iconNode("/usr/local/jox/image/read.xbm", colour::leia, readLabel(*c.target)));
            },
            [&](const Ann_Imprima& c) {
                simple(iconNode("/usr/local/jox/image/print.xbm", colour::imprima, imprimaLabel(c.items)));
            },
            [&](const Ann_Se& c) {
                Edges* node = addNode(w.hole, ac.edge, {}, id, branchNode(c.cond));
                addRef(node, "er" + id, {}, "nc" + id);  // the false exit
                Edges* then = addNode(node, "et" + id, {}, "nt" + id, textNode("entao"));
                w = Walk{then, Suffix{&c.then, 0}, push(w.conts, w.list), push(w.opens, id, '1')};
            },
            [&](const Ann_Senao& c) {
                Edges* node = addNode(w.hole, ac.edge, {}, id, branchNode(c.cond));
                Edges* then = addNode(node, "et" + id, {}, "nt" + id, textNode("entao"));
                Edges* otherwise = addNode(node, "ee" + id, {}, "ne" + id, textNode("senao"));
                todo.push_back(Walk{then, Suffix{&c.then, 0}, w.conts, push(w.opens, id, '2')});
                w = Walk{otherwise, Suffix{&c.otherwise, 0}, push(w.conts, w.list), push(w.opens, id, '1')};
            },
            [&](const Ann_Enquanto& c) { loop(colour::enquanto, c.cond, c.body, '0'); },
            [&](const Ann_Para& c) { loop(colour::paraStep, c.cond, c.body, '4'); },
            [&](const Ann_Faca& c) {
                Edges* head = addNode(w.hole, ac.edge, {}, id, {A{"COLOR", colour::faca}, A{"_GO", "circle"}});
                addRef(head, "er" + id, backEdge, "nc" + id);
                Edges* text = addNode(head, "ed" + id, {}, "no" + id, textNode("faca"));
                w = Walk{text, Suffix{&c.body, 0}, push(w.conts, self), push(w.opens, id, '3')};
            },
            [&](const auto&) { fail(internalError(132)); },
        },
        ac.cmd->v);
}

}  // namespace

dv::Edge genGraph(const AnnCmdList& cmds) {
    Edges top;
    std::vector<Walk> todo{Walk{&top, Suffix{&cmds, 0}, nullptr, nullptr}};
    while (!todo.empty()) {
        Walk w = std::move(todo.back());
        todo.pop_back();
        while (w.hole != nullptr) {
            if (w.list.done())
                endOfList(w);
            else
                drawCommand(w, todo);
        }
    }
    return std::move(top.front());
}

}  // namespace jox
