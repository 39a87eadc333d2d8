// One line of a program as the reader hands it to the interpreter: decoded on its own, its CR LF ending made
// a line feed, upper-cased, "VAR" lines cut to their name and "*" lines blanked. The block store makes its
// block texts again the same way.
#pragma once

#include <cstddef>
#include <string>

class kNcText;

// The line preparation: upper case, "VAR" lines, star-comment lines.
void prepareLine(std::u16string& line);
// The line of `text` from `begin` to `end` (its line feed included, offsets in the text's stored units), as
// the interpreter gets it.
void readLine(const kNcText& text, std::size_t begin, std::size_t end, std::u16string& line);
