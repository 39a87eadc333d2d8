// Finding a text in a program's lines in any letter case, forwards or backwards, wrapping around its ends.
#pragma once

#include <optional>
#include <string_view>

#include "nc/Nctext.hpp"

// A place in the text: line from 1, column in UTF-16 code units from 0.
struct TextSpot {
  int line = 1;
  int column = 0;
  friend auto operator<=>(const TextSpot&, const TextSpot&) = default;
};

// Where `needle` next occurs in `text`, in any letter case: forwards the first occurrence starting at or
// after `from`, backwards the last one starting before it; past an end the search goes on from the other.
// Nothing for an empty needle or none found. `wrapped` (when given) tells whether the search went round.
std::optional<TextSpot> findInText(const kNcText& text, std::u16string_view needle, TextSpot from, bool forward,
                                   bool* wrapped = nullptr);
