// Numbering and annotation of the commands of a checked program, before the
// flowchart is drawn.
//
// Every command gets a number from one counter for the whole program and two
// identifiers built from it: the node id (a per-kind prefix and the number in
// decimal: "at12") and the id of the edge that leads into the node ("e" and
// the node id: "eat12").  The flowchart names its nodes and edges after them
// and the animated run recolours exactly those, so they are the only link
// between a command being run and its picture.
//
// The walk of a list advances the counter by one after the value the previous
// command returned.  A simple command returns its own number; a compound one
// returns the final counter of its (last) nested list, which is one past the
// last number used inside it, so one number is skipped after every compound
// command (and between the two branches of a senao).  A para numbers its
// initial command n, skips n + 1, takes n + 2 itself and numbers its body
// followed by its step from n + 3.
#pragma once

#include <utility>

#include "syntax/JoxTypes.h"

namespace jox {

// The command counter; unbounded like every integer of the system.
using Counter = Integer;

// (final counter, annotated list) of the program's commands, numbered from 0.
// The final counter is the number a command after the last one would get.
std::pair<Counter, AnnCmdList> annProg(const Program& program);

// Annotates one parsed command numbered `n`, and its nested lists.  Returns
// the counter the command ends with (n for a simple command, the final
// counter of the last nested list for a compound one) and its triple.  A para
// handed here directly keeps its initial command only inside Ann_Para; the
// list walk also places that triple in the enclosing list.  An annotated
// command is an internal error.
std::pair<Counter, AnnotatedCommand> annCmd(const Counter& n, const Command& cmd);

// The list walk: annotates `cmds` whose first command gets `start`, appending
// the triples to `acc`; returns the final counter and the accumulated list.
std::pair<Counter, AnnCmdList> annCmdList(const CmdList& cmds, const Counter& start,
                                          AnnCmdList acc);

// The para-loop form of an initial or step command: Atrib becomes
// E_AtribFor, E_Incr E_IncrFor, E_Decr E_DecrFor, fields unchanged.  Any
// other command is an internal error.
CmdPtr renFor(const Command& cmd);

}  // namespace jox
