// The one-pass reading of plain lines, the bulk of a CAM program: ASCII address words and nothing else
// (no blank, comment but a closing ';', name, macro, M or O word, and no G code that the interpreter rewrites
// or the checker must look at). Such a line's bytes are scanned once into what the text reading would find in it;
// every other line is read as text.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "nc/Ncgcode.hpp"
#include "nc/Ncword.hpp"

struct PlainLine {
  // A plain line's F number is no longer than this; a longer one is read as text.
  static constexpr std::size_t kLongestFeed = 24;

  std::u16string_view feedNumber() const { return {feed.data(), feedLength}; }

  BlockWords words;  // without the feed's number text, which is `feed`
  BlockGCodes gcodes;
  std::array<char16_t, kLongestFeed> feed{};
  std::uint8_t feedLength = 0;
  bool x = false, y = false, z = false;  // the line names the axis
  bool endComment = false;               // the line ends in a ';' (an end of block), a comment of its own
};

// Scans `line` (its line feed included; bytes of an ASCII-compatible encoding, or UTF-16) into `out`; false
// when the line must be read as text. `textOnly` marks the characters that send a line to the text reading
// (kNcGeometry::textOnlyBytes).
bool scanPlainLine(std::string_view line, const std::array<bool, 128>& textOnly, PlainLine& out);
bool scanPlainLine(std::u16string_view line, const std::array<bool, 128>& textOnly, PlainLine& out);
