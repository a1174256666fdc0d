// The flowchart of an annotated program as a daVinci graph term.
//
// Every command becomes one edge (its edge id) into one node (its node id),
// and the rest of its list hangs below that node.  The shapes:
//
//  - simple commands: a node with the command's colour and label (pare,
//    continue and saia as named circles, leia and imprima with their icons);
//  - se:  rhombus "if"+n with the false exit "er"+n into the close node and
//    the then edge "et"+n into the text node "nt"+n ("entao"), under which the
//    branch runs; the branch ends in "ec"+n into the close circle "nc"+n, and
//    the commands after the se hang below that circle;
//  - senao: rhombus "el"+n with "et"+n / "nt"+n ("entao") and "ee"+n / "ne"+n
//    ("senao"); the then-branch ends in "er"+n into a reference to "nc"+n, the
//    else-branch ends in "ec"+n into the close circle "nc"+n, below which the
//    rest hangs;
//  - enquanto and para: rhombus "wh"+n / "fr"+n with the condition; children
//    the dashed back edge "er"+n (drawn inverse) into a reference to "nc"+n,
//    the edge "ed"+n into the text node "no"+n ("faca") under which the body
//    runs, and the commands after the loop (its exit); the body ends in
//    "ec"+n into the close circle "nc"+n;
//  - faca: circle "fa"+n with the dashed back edge "er"+n (inverse) into a
//    reference to "nc"+n and "ed"+n into the text node "no"+n ("faca") under
//    which the body runs; the body ends in "ec"+n into the closing rhombus
//    "nc"+n that carries the loop condition, below which the rest hangs;
//  - the end of the program: "edFim" into the ellipse "Fimprog".
//
// So every node and edge id that the animated run recolours is defined once,
// every reference names a close node of the same term, and the commands after
// a compound command hang below exactly one node.
#pragma once

#include "graphtool/DaVinciTypes.h"
#include "syntax/JoxTypes.h"

namespace jox {

// Resting colours of the nodes, shared by the drawing and the animated run.
namespace colour {
inline constexpr const char* assignment = "#96fef8";
inline constexpr const char* paraStep = "#7af0ca";  // the para loop, its init and step
inline constexpr const char* increment = "#ffe0da";
inline constexpr const char* decrement = "#add0ff";
inline constexpr const char* leia = "#c3c3c2";
inline constexpr const char* imprima = "#d4c18a";
inline constexpr const char* branch = "#fec2a0";  // se, senao and their close nodes
inline constexpr const char* enquanto = "#e194ad";
inline constexpr const char* faca = "#e8ffbc";
inline constexpr const char* ends = "#ffffe3";  // Inicio and Fimprog
}  // namespace colour

// The edge term of the whole flowchart below the start node: the first
// command's edge (or "edFim" for a program without commands) with everything
// after it.  Builds in a loop, so the length of the program costs no stack.
dv::Edge genGraph(const AnnCmdList& cmds);

}  // namespace jox
