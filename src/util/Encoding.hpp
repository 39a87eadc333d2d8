// Decoding and encoding of NC program bytes: Shift-JIS (code page 932) unless a byte-order mark says otherwise.
#pragma once

#include <string>
#include <string_view>

enum class TextEncoding { ShiftJis, Utf8Bom, Utf16LeBom, Utf16BeBom };

struct DecodedText {
  std::u16string text;
  TextEncoding encoding = TextEncoding::ShiftJis;
};

// The encoding the byte-order mark at the start of `bytes` names; Shift-JIS without one.
TextEncoding encodingByMark(std::string_view bytes);
// Never fails: bytes that are not valid in the encoding become U+FFFD.
DecodedText decodeText(std::string_view bytes);
std::u16string decodeShiftJis(std::string_view bytes);
// The same into `out` (replacing its content), reusing its storage: for decoding line by line.
void decodeShiftJisInto(std::string_view bytes, std::u16string& out);
// Characters without a Shift-JIS form become '?'.
std::string encodeShiftJis(std::u16string_view text);
// The bytes of `text` in `encoding`, byte-order mark included where the encoding has one.
std::string encodeText(std::u16string_view text, TextEncoding encoding);
