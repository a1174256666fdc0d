#include <variant>
#include <vector>

#include "ChartSupport.h"
#include "syntax/Grammar.h"

namespace jox::test {

Program parseProgram(const std::string& decls, const std::string& body) {
    auto r = grammar("prog t\n" + decls + "\n" + body + "\nfimprog\n", Integer(1));
    return std::get<ParseOk<Program>>(std::move(r)).value;
}

AnnCmdList annotate(const std::string& decls, const std::string& body) {
    return annProg(parseProgram(decls, body)).second;
}

namespace {

// Visits the graph depth first without recursion; `onEdge` and `onNode` get
// each term, `onClose` is called when a node's children are done.
template <class OnEdge, class OnNode, class OnClose>
void walk(const dv::Edge& top, OnEdge onEdge, OnNode onNode, OnClose onClose) {
    struct Item {
        const dv::E* edge;  // null: close the node
    };
    std::vector<Item> todo{{&std::get<dv::E>(top)}};
    while (!todo.empty()) {
        Item it = todo.back();
        todo.pop_back();
        if (it.edge == nullptr) {
            onClose();
            continue;
        }
        onEdge(*it.edge);
        const dv::Node& n = *it.edge->target;
        onNode(n);
        if (const auto* def = std::get_if<dv::N>(&n.v)) {
            if (def->edges.empty()) continue;
            todo.push_back({nullptr});
            for (auto e = def->edges.rbegin(); e != def->edges.rend(); ++e) todo.push_back({&std::get<dv::E>(*e)});
        }
    }
}

bool dashed(const dv::E& e) {
    for (const auto& a : e.attrs)
        if (const auto* x = std::get_if<dv::A>(&a); x && x->key == "EDGEPATTERN" && x->value == "dashed") return true;
    return false;
}

}  // namespace

std::string idShape(const dv::Edge& top) {
    std::string out;
    std::vector<bool> first{true};  // per open node: no child written yet
    walk(
        top,
        [&](const dv::E& e) {
            if (!first.back()) out += ' ';
            first.back() = false;
            out += (dashed(e) ? "~" : "") + e.id.value + ">";
        },
        [&](const dv::Node& n) {
            if (const auto* r = std::get_if<dv::R>(&n.v)) {
                out += "@" + r->id.value;
                return;
            }
            const auto& d = std::get<dv::N>(n.v);
            out += d.id.value;
            if (!d.edges.empty()) {
                out += "(";
                first.push_back(true);
            }
        },
        [&] {
            out += ")";
            first.pop_back();
        });
    return out;
}

std::map<std::string, int> idCensus(const dv::Edge& top) {
    std::map<std::string, int> census;
    walk(
        top, [&](const dv::E& e) { census["E:" + e.id.value]++; },
        [&](const dv::Node& n) {
            if (const auto* r = std::get_if<dv::R>(&n.v))
                census["R:" + r->id.value]++;
            else
                census["N:" + std::get<dv::N>(n.v).id.value]++;
        },
        [] {});
    return census;
}

std::string nodeAttrs(const dv::Edge& top, const std::string& id) {
    std::string found;
    walk(
        top, [](const dv::E&) {},
        [&](const dv::Node& n) {
            if (const auto* d = std::get_if<dv::N>(&n.v); d && d->id.value == id) found = dv::show(d->attrs);
        },
        [] {});
    return found;
}

std::string edgeAttrs(const dv::Edge& top, const std::string& id) {
    std::string found;
    walk(
        top, [&](const dv::E& e) {
            if (e.id.value == id) found = dv::show(e.attrs);
        },
        [](const dv::Node&) {}, [] {});
    return found;
}

std::set<std::string> recolouredIds(const AnnCmdList& cmds) {
    std::set<std::string> ids;
    std::vector<const AnnCmdList*> todo{&cmds};
    while (!todo.empty()) {
        const AnnCmdList* list = todo.back();
        todo.pop_back();
        for (const AnnotatedCommand& a : *list) {
            ids.insert("E:" + a.edge);
            ids.insert("N:" + a.node);
            const std::string& n = a.node;
            auto loop = [&](const AnnCmdList& body, bool faca) {
                for (const char* e : {"ec", "er"}) ids.insert(std::string("E:") + e + n);
                if (!faca) ids.insert("E:ed" + n);
                ids.insert("N:nc" + n);
                todo.push_back(&body);
            };
            std::visit(overloaded{
                           [&](const Ann_Se& c) {
                               for (const char* e : {"et", "ec", "er"}) ids.insert(std::string("E:") + e + n);
                               ids.insert("N:nc" + n);
                               todo.push_back(&c.then);
                           },
                           [&](const Ann_Senao& c) {
                               for (const char* e : {"et", "ee", "ec", "er"}) ids.insert(std::string("E:") + e + n);
                               ids.insert("N:nc" + n);
                               todo.push_back(&c.then);
                               todo.push_back(&c.otherwise);
                           },
                           [&](const Ann_Enquanto& c) { loop(c.body, false); },
                           [&](const Ann_Para& c) { loop(c.body, false); },
                           [&](const Ann_Faca& c) { loop(c.body, true); },
                           [](const auto&) {},
                       },
                       a.cmd->v);
        }
    }
    return ids;
}

}  // namespace jox::test
