// The bytes of an NC text saved from the editor: the encoding it was read in and the line breaks of the file
// it replaces, with a note when a character could not be written.
#pragma once

#include <string>
#include <string_view>

#include "util/Encoding.hpp"

enum class LineBreak { Lf, CrLf };

// The style of the first line break of the file at `path`; Lf when the file is missing or has none.
LineBreak lineBreakOfFile(const std::string& path);

struct EncodedText {
  std::string bytes;
  // False when a character has no form in the encoding and was written as '?'.
  bool lossless = true;
};

// `text` with its LF breaks written as `lineBreak`, encoded in `encoding` (byte-order mark included).
EncodedText encodeNcText(std::u16string_view text, TextEncoding encoding, LineBreak lineBreak);
