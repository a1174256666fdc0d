// Helpers of the flowchart tests: programs from source text, and the drawn
// graph as a compact text of its ids.
#pragma once

#include <map>
#include <set>
#include <string>

#include "flowchart/Annotate.h"
#include "graphtool/DaVinciTypes.h"
#include "syntax/JoxTypes.h"

namespace jox::test {

// The program of "prog t <decls> <body> fimprog".
Program parseProgram(const std::string& decls, const std::string& body);

// The annotated commands of that program.
AnnCmdList annotate(const std::string& decls, const std::string& body);

// The graph below an edge as ids only: an edge is "id>" and its target, a
// node "id" with its out-edges in parentheses (none when it has none), a
// reference "@id"; a dashed edge is marked "~".  Children are separated by
// one blank.  Iterative, so long programs are fine.
std::string idShape(const dv::Edge& top);

// Every id defined in the graph below `top`: node ids (with "N:"), edge ids
// ("E:") and referenced node ids ("R:"), with how often each occurs.
std::map<std::string, int> idCensus(const dv::Edge& top);

// The attribute list of the node `id` in the graph below `top`, as text;
// empty when there is no such node.
std::string nodeAttrs(const dv::Edge& top, const std::string& id);
// The attribute list of the edge `id`.
std::string edgeAttrs(const dv::Edge& top, const std::string& id);

// Every id the animated run may recolour for the commands of `cmds`, with
// "N:" or "E:" as in idCensus.
std::set<std::string> recolouredIds(const AnnCmdList& cmds);

}  // namespace jox::test
