// Composing the bytes of a saved NC text.
#include "util/Savefile.hpp"

#include <algorithm>
#include <fstream>

namespace {

constexpr std::size_t kChunkSize = 4096;

}  // namespace

LineBreak lineBreakOfFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char chunk[kChunkSize];
  // A UTF-16 file has a zero byte between CR and LF; skipping zero bytes finds its break all the same.
  char previous = 0;
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    for (std::streamsize i = 0; i < file.gcount(); ++i) {
      const char c = chunk[i];
      if (c == '\0') continue;
      if (c == '\n') return previous == '\r' ? LineBreak::CrLf : LineBreak::Lf;
      previous = c;
    }
  }
  return LineBreak::Lf;
}

EncodedText encodeNcText(std::u16string_view text, TextEncoding encoding, LineBreak lineBreak) {
  std::u16string withBreaks;
  withBreaks.reserve(text.size() + text.size() / 16);
  for (const char16_t c : text) {
    if (c == u'\n' && lineBreak == LineBreak::CrLf) withBreaks += u'\r';
    withBreaks += c;
  }
  EncodedText encoded;
  encoded.bytes = encodeText(withBreaks, encoding);
  if (encoding == TextEncoding::ShiftJis) {
    // 0x3F is never part of a two-byte Shift-JIS character, so every extra '?' is a replaced character.
    const auto asked = std::count(withBreaks.begin(), withBreaks.end(), u'?');
    const auto written = std::count(encoded.bytes.begin(), encoded.bytes.end(), '?');
    encoded.lossless = asked == written;
  }
  return encoded;
}
