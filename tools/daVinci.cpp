// A stand-in for the daVinci graph tool, for the tests only: joxflow itself
// needs the real daVinci.  The build names it `daVinci`, and the tests put
// its folder first in PATH.
//
//   daVinci -pipe
//
// It keeps daVinci's turns on its standard input and output: "ok" once at
// the start and once for every command line it has carried out.  Each line
// is read as a command of daVinci's command language; a line that does not
// read answers communication_error("<reason> at character N"), and so does a
// command that names a node or edge not in the current graph (an attribute
// or type change).  The graph is what graph(new(...)) or
// graph(new_placed(...)) last defined, changed by the updates since; the
// file menu's "new" clears it.  Nothing is drawn.
//
// It runs in the programs' own frame (apps/Driver.h), on the stack they map
// at the start, with or without a thread, under any stack limit.  Graph terms
// are read in a loop however deep they nest; a submenu nested deeper than
// that stack allows is refused with communication_error("command nested too
// deeply").  Memory running out ends it with the one-line diagnostic
// "daVinci: out of memory" and status 2; joxflow then fails at the end of the
// answer stream.
//
// Environment:
//   DAVINCI_STANDIN_LOG=FILE     append every line received to FILE, exactly
//                                as received, one per line.
//   DAVINCI_STANDIN_SCRIPT=FILE  extra or different answers, one rule a line
//                                (blank lines and lines starting with # are
//                                skipped).  Command lines count from 1 in the
//                                order received; 0 is the start.
//       before N TEXT   write the line TEXT before the answer to line N
//       at N TEXT       write the line TEXT instead of the answer to line N
//       exit N          on line N, exit (status 0) without answering
//       close N         on line N, close standard input, answer, then exit:
//                       the next command meets a pipe without a reader
//     TEXT is the rest of the rule line after one blank, byte for byte (a
//     trailing blank or carriage return stays in it).  Rules for one line
//     apply in file order.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "apps/Driver.h"
#include "graphtool/CmdReader.h"
#include "graphtool/DaVinciTypes.h"
#include "syntax/Failure.h"
#include "syntax/JoxTypes.h"

namespace {

using namespace jox::dv;

struct Rule {
    enum Kind { Before, At, Exit, CloseInput } kind;
    long line;
    std::string text;
};

std::vector<Rule> readScript(const char* path) {
    std::vector<Rule> rules;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "daVinci stand-in: cannot read script %s\n", path);
        std::exit(2);
    }
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::size_t sp1 = line.find(' ');
        std::string verb = line.substr(0, sp1);
        std::size_t sp2 = sp1 == std::string::npos ? sp1 : line.find(' ', sp1 + 1);
        std::string number = sp1 == std::string::npos ? "" : line.substr(sp1 + 1, sp2 - sp1 - 1);
        std::string text = sp2 == std::string::npos ? "" : line.substr(sp2 + 1);
        char* end = nullptr;
        long n = std::strtol(number.c_str(), &end, 10);
        bool numberOk = !number.empty() && end != nullptr && *end == '\0' && n >= 0;
        Rule r{Rule::Before, n, text};
        if (verb == "before" && numberOk && sp2 != std::string::npos) r.kind = Rule::Before;
        else if (verb == "at" && numberOk && sp2 != std::string::npos) r.kind = Rule::At;
        else if (verb == "exit" && numberOk && sp2 == std::string::npos) r.kind = Rule::Exit;
        else if (verb == "close" && numberOk && sp2 == std::string::npos) r.kind = Rule::CloseInput;
        else {
            std::fprintf(stderr, "daVinci stand-in: bad script rule: %s\n", line.c_str());
            std::exit(2);
        }
        rules.push_back(r);
    }
    return rules;
}

void answer(const std::string& line) {
    std::string text = line + "\n";
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        std::exit(0);  // the link has gone
}

// The current graph: the identifiers of its nodes and edges.
struct Graph {
    std::set<std::string> nodes;
    std::set<std::string> edges;

    // The nodes and edges defined by a list of graph terms (R terms define
    // nothing), walked with a stack since terms nest deeply.
    void define(const std::vector<Node>& terms) {
        nodes.clear();
        edges.clear();
        std::vector<const Node*> pending;
        for (const Node& n : terms) pending.push_back(&n);
        while (!pending.empty()) {
            const Node* n = pending.back();
            pending.pop_back();
            const N* def = std::get_if<N>(&n->v);
            if (def == nullptr) continue;
            nodes.insert(def->id.value);
            for (const jox::dv::Edge& e : def->edges) {
                const E& edge = std::get<E>(e);
                edges.insert(edge.id.value);
                if (edge.target) pending.push_back(edge.target.get());
            }
        }
    }

    void apply(const NodeUpdate& u) {
        if (const auto* d = std::get_if<DeleteNode>(&u)) nodes.erase(d->id.value);
        if (const auto* n = std::get_if<NewNode>(&u)) nodes.insert(n->id.value);
    }
    void apply(const EdgeUpdate& u) {
        if (const auto* d = std::get_if<DeleteEdge>(&u)) edges.erase(d->id.value);
        if (const auto* n = std::get_if<NewEdge>(&u)) edges.insert(n->id.value);
        if (const auto* n = std::get_if<NewEdgeBehind>(&u)) edges.insert(n->id.value);
    }
    void apply(const MixedUpdate& u) {
        std::visit([&](const auto& x) { apply(x.update); }, u);
    }

    // The first identifier of a change that is not in the graph, as a
    // reason, or "".
    std::string unknown(const AttrChange& c) const {
        if (const auto* n = std::get_if<AttrChange::Node>(&c.v))
            if (!nodes.count(n->id.value)) return "unknown node " + stringLiteral(n->id.value);
        if (const auto* e = std::get_if<AttrChange::Edge>(&c.v))
            if (!edges.count(e->id.value)) return "unknown edge " + stringLiteral(e->id.value);
        return "";
    }
    std::string unknown(const TypeChange& c) const {
        if (const auto* n = std::get_if<NodeType>(&c))
            if (!nodes.count(n->id.value)) return "unknown node " + stringLiteral(n->id.value);
        if (const auto* e = std::get_if<EdgeType>(&c))
            if (!edges.count(e->id.value)) return "unknown edge " + stringLiteral(e->id.value);
        return "";
    }
    template <class T>
    std::string firstUnknown(const std::vector<T>& changes) const {
        for (const T& c : changes) {
            std::string why = unknown(c);
            if (!why.empty()) return why;
        }
        return "";
    }

    // Carries out one command; the reason it cannot, or "".
    std::string carryOut(const DaVinciCmd& cmd) {
        if (const auto* menu = std::get_if<Menu>(&cmd)) {
            if (const auto* file = std::get_if<File>(&menu->cmd))
                if (std::holds_alternative<ClearGraph>(file->cmd)) {
                    nodes.clear();
                    edges.clear();
                }
            return "";
        }
        const auto* graph = std::get_if<jox::dv::Graph>(&cmd);
        if (graph == nullptr) return "";
        return std::visit(
            jox::overloaded{
                [&](const New& c) -> std::string { return define(c.nodes), ""; },
                [&](const NewPlaced& c) -> std::string { return define(c.nodes), ""; },
                [&](const Update& c) -> std::string {
                    for (const auto& u : c.nodes) apply(u);
                    for (const auto& u : c.edges) apply(u);
                    return "";
                },
                [&](const ChangeAttr& c) { return firstUnknown(c.changes); },
                [&](const UpdateAndChangeAttr& c) {
                    for (const auto& u : c.nodes) apply(u);
                    for (const auto& u : c.edges) apply(u);
                    return firstUnknown(c.changes);
                },
                [&](const UpdateMixed& c) -> std::string {
                    for (const auto& u : c.updates) apply(u);
                    return "";
                },
                [&](const UpdateAndChangeAttrMixed& c) {
                    for (const auto& u : c.updates) apply(u);
                    return firstUnknown(c.changes);
                },
                [&](const ChangeType& c) { return firstUnknown(c.changes); },
            },
            graph->cmd);
    }
};

// Answers line `n`: the scripted lines before it, then its answer (or the
// scripted replacement).
void reply(const std::vector<Rule>& rules, long n, const std::string& normal) {
    for (const Rule& r : rules)
        if (r.kind == Rule::Before && r.line == n) answer(r.text);
    for (const Rule& r : rules)
        if (r.kind == Rule::At && r.line == n) {
            answer(r.text);
            return;
        }
    answer(normal);
}

bool has(const std::vector<Rule>& rules, Rule::Kind kind, long n) {
    for (const Rule& r : rules)
        if (r.kind == kind && r.line == n) return true;
    return false;
}

void serve() {
    std::vector<Rule> rules;
    if (const char* script = std::getenv("DAVINCI_STANDIN_SCRIPT"); script && *script)
        rules = readScript(script);
    std::FILE* log = nullptr;
    if (const char* path = std::getenv("DAVINCI_STANDIN_LOG"); path && *path) {
        log = std::fopen(path, "ab");
        if (log == nullptr) {
            std::fprintf(stderr, "daVinci stand-in: cannot write log %s\n", path);
            std::exit(2);
        }
    }

    Graph graph;
    if (has(rules, Rule::Exit, 0)) std::exit(0);
    bool closing = has(rules, Rule::CloseInput, 0);
    if (closing) close(STDIN_FILENO);
    reply(rules, 0, "ok");
    if (closing) std::exit(0);
    std::string line;
    for (long n = 1;; ++n) {
        line.clear();
        int c;
        while ((c = std::getchar()) != EOF && c != '\n') line += static_cast<char>(c);
        if (c == EOF && line.empty()) break;
        if (log != nullptr) {
            std::fwrite(line.data(), 1, line.size(), log);
            std::fputc('\n', log);
            std::fflush(log);
        }
        if (has(rules, Rule::Exit, n)) std::exit(0);
        closing = has(rules, Rule::CloseInput, n);
        if (closing) close(STDIN_FILENO);

        std::string error;
        std::string normal = "ok";
        try {
            std::optional<DaVinciCmd> cmd = readCmd(line, error);
            if (!cmd) {
                normal = showAnswer(CommunicationError{error});
            } else {
                std::string why = graph.carryOut(*cmd);
                if (!why.empty()) normal = showAnswer(CommunicationError{why});
            }
        } catch (const jox::StackExhausted&) {
            normal = showAnswer(CommunicationError{"command nested too deeply"});
        }
        reply(rules, n, normal);
        if (closing) std::exit(0);
        if (c == EOF) break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "-pipe") != 0) {
        std::fputs("daVinci stand-in: usage: daVinci -pipe\n", stderr);
        return 2;
    }
    jox::runMain("daVinci", serve);
}
