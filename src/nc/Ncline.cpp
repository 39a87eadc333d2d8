// The lines of a program as the interpreter gets them.
#include "nc/Ncline.hpp"

#include <string_view>

#include "nc/Nctext.hpp"
#include "util/Text.hpp"

namespace {

bool startsWithVar(std::u16string_view line) {
  std::size_t i = 0;
  while (i < line.size() && isBlank(line[i])) ++i;
  return line.substr(i, 3) == u"VAR";
}

}  // namespace

void prepareLine(std::u16string& line) {
  upperCaseInPlace(line);
  if (startsWithVar(line)) {
    // A macro variable line goes on as the bare variable name.
    line = textBefore(replaceFirst(stripBlanks(line), u"VAR", u""), u"=");
  }
  if (!line.empty() && line[0] == u'*' && line.find(u"*/") == std::u16string::npos) line = u" ";
}

void readLine(const kNcText& text, std::size_t begin, std::size_t end, std::u16string& line) {
  text.decode(begin, end, line);
  // A text-mode read delivers CR LF as a line feed.
  if (line.size() >= 2 && line[line.size() - 1] == u'\n' && line[line.size() - 2] == u'\r') {
    line.erase(line.size() - 2, 1);
  }
  prepareLine(line);
}
