// The static checker: declarations, types and every command of a parsed
// program, and the type and text helpers the evaluator and the flowchart run
// share with it.
//
// Every fault ends the run at once: the operation throws JoxError (fail())
// with the Portuguese message, and nothing after the faulty point is examined.
// The order of work therefore decides which single message a program with
// several faults gets: declarations first, then the commands in source order,
// a command's own tests before its nested lists, the left operand of an
// operator (and its test) before the right one.
//
// Lookups and typings take the thing looked up or typed first and the
// declarations second.
#pragma once

#include <vector>

#include "syntax/JoxTypes.h"

namespace jox {

// ------------------------------------------------------------ program check
// Checks the declarations for redeclared names (and refuses a vector declared
// with size zero), then every command in source order; returns the program's
// declarations unchanged.  Throws JoxError at the first fault.
DeclList checkProgram(const Program& program);

// Checks a command list against the declarations and returns them unchanged.
// Throws JoxError at the first fault.
DeclList checkCmdType(const CmdList& cmds, const DeclList& decls);

// The two targets of a para's initialisation and step must name one variable.
// Throws "Variaveis b e a diferentes no comando para." (or "Vetores ...")
// naming the step's variable first; returns the initialisation's name.
Text checkForVar(const Command& init, const Command& step);

// ---------------------------------------------------------------- lookups
// Every declared variable, declaration after declaration, each in its own
// order; vectors keep their size.
std::vector<Variable> removeVar(const DeclList& decls);

// T_SIMPLE or T_VECTOR: the form of the first variable named `name` in
// `vars`.  A name that is not there is an internal error (No. 100).
TypeCheck getType(const Text& name, const std::vector<Variable>& vars);

// The declared type of `name`: T_INT, T_REAL, T_BOOL, T_STRING or one of the
// four vector tags, from the first declaration that holds the name.  Throws
// "Vari\xE1vel NAME n\xE3o declarada!" when no declaration holds it.
TypeCheck getVarType(const Text& name, const DeclList& decls);

// True when some variable of `vars` has the name of `var` (simple and vector
// variables alike).
bool elemVar(const Variable& var, const std::vector<Variable>& vars);

// ----------------------------------------------------------------- typing
// The static type of an expression (T_INT, T_REAL, T_BOOL or T_STRING), or
// JoxError at the first typing fault inside it.
TypeCheck checkExpType(const Expression& exp, const DeclList& decls);
TypeCheck checkFactorType(const Factor& factor, const DeclList& decls);

// The result type of a subtraction of two operand types: T_INT when both are
// T_INT, T_REAL for any other mix of T_INT and T_REAL, T_WRONG otherwise.
TypeCheck typeMinus(TypeCheck left, TypeCheck right);

// The element type of a vector tag (T_INTVECTOR gives T_INT ...); any other
// tag is an internal error.
TypeCheck conv(TypeCheck vectorType);

// ------------------------------------------------------------ tag helpers
// Equality of tags, except that T_SIMPLE, T_VECTOR and T_GARBAGE equal
// nothing, not even themselves.
bool equalType(TypeCheck a, TypeCheck b);

// T_INT, T_BOOL, T_REAL, T_STRING or T_GARBAGE for a simple value; a vector
// or M_Var value is an internal error.
TypeCheck checkMemType(const MemValue& value);

// The literal factor of a simple value (E_Int, E_Boolean, E_Float, E_Str);
// M_Var, M_Vector and M_Garbage are an internal error.
FactorPtr fromMtoT(const MemValue& value);

bool isVector(TypeCheck t);  // t is T_VECTOR
bool isSimple(TypeCheck t);  // t is T_SIMPLE

// -------------------------------------------------------------- text form
// The text of an expression as messages and flowchart labels quote it:
// no blanks, "=" for equality, signs not written, True/False, strings
// without quotes, "strcompara(" for strcomp, one blank after the ")" of
// strnresto, numbers in the value text of intText / realText.
Text fromExpExp(const Expression& exp);
Text fromFactor(const Factor& factor);

}  // namespace jox
