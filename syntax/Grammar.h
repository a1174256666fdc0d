// The front end as the rest of the system sees it: source text in, parsed
// Program out.
#pragma once

#include "syntax/JoxTypes.h"
#include "syntax/ParseTypes.h"

namespace jox {

// Parses a whole source text whose first line is numbered `firstLine`.
// Returns ParseOk with the Program when the text is one program followed by
// the end of the text.  A lexical error ends the run with the lexer's message;
// a syntax error ends it with "Erro sintatico na linha " + the line of the
// offending token + "\n".  So the result is never a ParseFail.
//
// Declared vector sizes are kept as written, zero included: refusing a zero
// size is the checker's work.
ParseResult<Program> grammar(const Text& text, const Integer& firstLine);

}  // namespace jox
