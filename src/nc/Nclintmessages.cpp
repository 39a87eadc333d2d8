// The lint rules' messages: what was found, with its numbers, and what to write instead.
#include <string>

#include "nc/Nclint.hpp"
#include "util/Format.hpp"
#include "util/Text.hpp"

namespace {

std::string real(double value) { return toUtf8(formatReal(value, 4)); }

// A number as short as it can be written: 0, -2.5, 0.001.
std::string compact(double value) {
  std::string text = real(value);
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

std::string feedMessage(const Finding& f, const std::string& code) {
  if (f.detail == 0) {
    return code + " moves before any feed rate has been given: give F (greater than 0) on this block or before it";
  }
  return code + " moves at F" + compact(f.numbers[0]) +
         ": a feed move needs a feed rate greater than 0; give F with the rate";
}

std::string missingPointMessage(const Finding& f, const std::string& word) {
  const bool inch = f.detail == 1;
  const std::string unit = inch ? " in" : " mm";
  const std::string increments = toUtf8(formatReal(f.numbers[0] * (inch ? 0.0001 : 0.001), inch ? 4 : 3));
  return word + " is " + increments + unit + " here; " + word + ". is " + word.substr(1) + unit +
         ": write the point unless least increments are meant";
}

std::string stockTopNote(const Finding& f) {
  return f.detail == 1 ? " (no stock top given: Z0 is assumed; give it by --stock-top or stock_top)" : "";
}

std::string dialectMessage(const Finding& f, const std::string& word) {
  const long long blocks = static_cast<long long>(f.numbers[0]);
  if (f.detail == 2) {
    return word + " is a lathe cycle: on a lathe X is a diameter, which is not read here: " +
           (blocks == 1 ? std::string("the arc after it gets")
                        : "the " + std::to_string(blocks) + " arcs after it get") +
           " no arc verdict and the drawing is twice as wide; check the program with its control's own tools";
  }
  const std::string which = blocks == 1 ? "the block in another dialect gets"
                                        : "the " + std::to_string(blocks) + " blocks in another dialect get";
  return word + " is " + (f.detail == 1 ? "Heidenhain" : "Siemens") + " syntax, which is not read: " + which +
         " no arc verdict and may be drawn wrong; check the program with its control's "
         "own tools";
}

std::string unknownRuleMessage(const Finding& f, const std::string& word) {
  if (f.detail == 1) {
    return "\"" + word +
           "\" is no velmora: directive: write disable=, disable-next-line=, disable-begin= or disable-end";
  }
  return "\"" + word +
         "\" names no rule, so the velmora: comment silences nothing for it; velmora-cli check "
         "--list-rules lists the rules";
}

}  // namespace

std::string lintMessage(const Finding& f) {
  const std::string token = toUtf8(f.tokenText());
  const double* n = f.numbers;
  switch (f.rule) {
    case Rule::feedUndefined:
      return feedMessage(f, token);
    case Rule::cycleWithoutR:
      return "the drilling cycle " + token +
             " has no R plane: no R has been given since the cycle began; give R (the retract plane) in the "
             "cycle's first block";
    case Rule::missingDecimalPoint:
      return missingPointMessage(f, token);
    case Rule::rapidPlunge:
      return "G00 plunges from Z" + real(n[0]) + " to Z" + real(n[1]) + ", below the stock top Z" + real(n[2]) +
             ": feed into the stock with G01" + stockTopNote(f);
    case Rule::rapidInStock:
      return "G00 moves in X/Y from Z" + real(n[0]) + " to Z" + real(n[1]) + ", below the stock top Z" +
             real(n[2]) + ": raise Z above the stock before the rapid move" + stockTopNote(f);
    case Rule::arcOffsetOutsidePlane:
      return token + real(n[0]) + " lies outside the G" + compact(n[1]) +
             " plane of this arc and is ignored: drop it, or select the arc's plane (G17 XY, G18 XZ, G19 YZ)";
    case Rule::arcMixedRIjk:
      return "R " + real(n[0]) +
             " and I/J/K in one arc block: R wins and the I/J/K offsets are ignored; give either R or I/J/K";
    case Rule::commentNested:
      return "\"(\" inside a ( ) comment: controls do not nest comments, the first \")\" ends it and the rest is "
             "read as code; remove the inner parentheses";
    case Rule::programEndMissing:
      return "the program ends without M02 or M30 (or M99): the control stops mid-program; end it with M30";
    case Rule::unsupportedDialect:
      return dialectMessage(f, token);
    case Rule::unknownRule:
      return unknownRuleMessage(f, token);
    default:
      return {};
  }
}
