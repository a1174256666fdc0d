// Token-level reading shared by the answer reader and the command reader:
// blanks, words, single-character punctuation and double-quoted string
// literals with their backslash escapes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace jox::dv::lex {

// Tab, line feed, vertical tab, form feed, carriage return, space and the
// Latin-1 no-break space.
bool isBlank(unsigned char c);
// ASCII and Latin-1 letters.
bool isLetter(unsigned char c);

// The position of the next token: `pos` moved past any blanks.
std::size_t skipBlanks(std::string_view s, std::size_t pos);

// A word at `pos` (no blanks skipped): a letter, then letters, digits, '_'
// and '\''.  Returns its length, 0 when there is no word there.
std::size_t wordLength(std::string_view s, std::size_t pos);

// Reads a string literal starting at `pos` (which must hold '"'), decoding
// its escapes into `out`.  On success `pos` is just past the closing quote.
// False for a bad escape, a code above 255 or a line ending inside.
bool readStringLiteral(std::string_view s, std::size_t& pos, std::string& out);

}  // namespace jox::dv::lex
