// The animated run of joxflow: the flowchart is sent to daVinci once, then
// the annotated commands run one by one over the memory, and each step
// recolours the edge into its node and the node itself, writing stored, read
// and printed values into the node's label.
//
// Every graph-tool command goes through sendDelayed: a busy count-down of the
// delay value (no clock is read), then sendCmd, which waits for daVinci's
// "ok".  Nothing is written to standard output; leia reads standard input.
#pragma once

#include <span>

#include "eval/EvalExp.h"
#include "graphtool/DaVinci.h"
#include "syntax/JoxTypes.h"

namespace jox {

// The jump in progress while a command list runs.
enum class RunMode : char {
    Normal = 's',
    ParaBody = 'f',  // directly in a para body: a continue still has the step to run
    Continue = 'c',  // the rest of the current pass is skipped
    Break = 'n',     // the innermost loop ends
    Exit = 't',      // saia: the whole run ends
};

// A view of (part of) a list of annotated commands in the tree.
using AnnSpan = std::span<const AnnotatedCommand>;

// The state handed to every run of a command list.
struct JumpState {
    long depth = 0;    // loops around the list; 0 at the top level
    AnnSpan pending;   // what a continue must still run: a para body's step
    RunMode mode = RunMode::Normal;
};

// Counts `delay` down to zero in a busy loop (a negative delay counts
// nothing), then sends `cmd` and waits for its acknowledgement.
void sendDelayed(const Integer& delay, DaVinciProcess& link, const DaVinciCmd& cmd);

// Runs `cmds` from `state`, animating every command; the memory changes in
// place.  Yields the mode the list ended in.  Loops run pass after pass in a
// loop; only the nesting of the program costs stack.
RunMode evalAnnGraph(const Integer& delay, AnnSpan cmds, Memory& memory, const DeclList& decls,
                     DaVinciProcess& link, JumpState state);

// The whole animated run: window settings, the flowchart under the start node
// "Inicio", the start node flashed, the program's commands, then the end edge
// "edFim" and end node "Fimprog" flashed (also after saia).  Yields the mode
// the program's list ended in.
RunMode execGraph(const AnnCmdList& cmds, DaVinciProcess& link, Memory& memory,
                  const DeclList& decls, const Integer& delay);

// True when an element of `cmds` itself (not of a nested list) is a continue.
bool hasContinue(AnnSpan cmds);
// The elements of `cmds` up to and including its first top-level continue;
// all of `cmds` when there is none.
AnnSpan findContinue(AnnSpan cmds);

}  // namespace jox
