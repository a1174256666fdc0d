// Running the commands of a checked JOX program on the console: assignment,
// the conditionals, the three loops, leia and imprima, ++ and --, and the
// jumps pare, continue and saia; plus the console line reader and the
// conversion of input lines to numbers, which the animated run of joxflow
// uses as well.
//
// Each operation compiles what it runs against the memory first (see
// Compile.h): the declared variables get their types, and every name is
// resolved once.  A command list runs in a loop (never by recursion on its
// tail) and a loop runs pass after pass in a loop, so the number of passes
// costs no stack; only nesting in the program text does (and the stack is
// checked every few levels of it).
#pragma once

#include "eval/EvalExp.h"
#include "syntax/JoxTypes.h"

namespace jox {

// ------------------------------------------------------------- jump state
// The mode of a run: normal, after pare (leaving the innermost loop), after
// continue (leaving the current pass) and after saia (leaving the program).
// The letters are those the mode is known by.
enum class Mode : char { Normal = 's', Break = 'n', Continue = 'c', Exit = 't' };

// The jump state handed to a command list: the loop depth (0 outside every
// loop; a loop body runs one deeper) and the mode.
struct ControlState {
    long depth = 0;
    Mode mode = Mode::Normal;
};

// ---------------------------------------------------------- console input
// One line of standard input, byte by byte: a newline or a carriage return
// ends it and is not kept; end of input ends it too (so at end of input the
// line is empty).  After CR LF the LF is left behind, so the next read yields
// the empty line.  When standard input and standard output are both
// terminals, pending output is written first.
Text readInputLine();

// The conversions of leia (the line comes first, then the variable).  An
// integer is an optional "+" or "-" and one or more digits, nothing else,
// of any size.  A real is an optional sign, digits, ".", digits (at least
// one digit on each side), nothing else, correctly rounded; beyond the range
// of doubles it reads as the infinity of its sign.  Any other text (the empty
// line included) ends the run with "Tipo incorreto na leitura da vari\xE1vel
// NAME." or, for a vector element, "... NAME[INDEX-TEXT].", where INDEX-TEXT
// is the text form of the index expression as written (not its value).
MemValue getReadInt(const Text& line, const Text& name);
MemValue getReadFloat(const Text& line, const Text& name);
MemValue getReadIntVector(const Text& line, const Text& name, const Expression& index);
MemValue getReadFloatVector(const Text& line, const Text& name, const Expression& index);

// ------------------------------------------------------------- execution
// Runs `cmds` over `memory` (changed in place), reading `decls` for the
// declared types, at the loop depth of `state` (in mode "t" it runs
// nothing); yields the mode the list ended in ("s" after its last command,
// or the jump that left it).
Mode evalCmd(const CmdList& cmds, Memory& memory, const DeclList& decls, ControlState state);

// The loop runners, entered after the first pass of a faca body and after
// the initial command of a para: they test the condition, run the body at
// depth + 1 (and the step of para, also after pare and continue, but not
// after saia), and yield "s" when the loop ends normally or by pare, "t"
// after saia.
Mode execEnquanto(const Expression& cond, const CmdList& body, Memory& memory,
                  const DeclList& decls, ControlState state);
Mode execFaca(const CmdList& body, const Expression& cond, Memory& memory, const DeclList& decls,
              ControlState state);
Mode execPara(const Expression& cond, const Command& step, const CmdList& body, Memory& memory,
              const DeclList& decls, ControlState state);

// Runs the whole program from the initial memory (see fillGarbage), starting
// at depth 0 in mode "s".  pare or continue outside every loop ends the run
// with "Comando pare utilizado em local improprio." / "Comando continue
// utilizado em local improprio."; saia ends the program normally.
void execProg(const Program& program, Memory& memory);

}  // namespace jox
