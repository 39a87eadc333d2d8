// The parsing of one macro program line: comments and blanks set aside, then a flow statement, an O-word or
// a block of words and assignments.
#include "eval/Evalline.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "util/Text.hpp"

namespace {

using View = std::u16string_view;

bool isLetter(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool isBlankChar(char16_t c) { return isBlank(c) || c == u'\r' || c == u'\n'; }

// Splits the line into code without blanks and its comments, each kept in parentheses but the one to the line
// end (// or ;), kept as written. Comments are those of the reader: ( ), /* */, and // or ; to the line end;
// `inComment`: the line starts inside a "/*" comment of the lines before.
void splitLine(View line, std::u16string& code, std::u16string& comment, bool inComment) {
  int depth = 0;
  std::size_t from = 0;
  if (inComment) {
    const std::size_t close = line.find(u"*/");
    View inside = line.substr(0, close);
    while (!inside.empty() && (inside.back() == u'\n' || inside.back() == u'\r')) inside.remove_suffix(1);
    comment += u"(";
    comment += inside;
    comment += u")";
    if (close == View::npos) return;
    from = close + 2;
  }
  for (std::size_t i = from; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (depth == 0 && line.substr(i, 2) == u"/*") {
      const std::size_t close = line.find(u"*/", i + 2);
      const std::size_t end = close == View::npos ? line.size() : close;
      comment += u"(";
      comment += line.substr(i + 2, end - i - 2);
      comment += u")";
      i = close == View::npos ? line.size() : close + 1;
      continue;
    }
    if (depth == 0 && (c == u';' || line.substr(i, 2) == u"//")) {
      // Kept in its own form, last: parentheses inside it are comment text, not a comment opened.
      View rest = line.substr(i);
      while (!rest.empty() && (rest.back() == u'\n' || rest.back() == u'\r')) rest.remove_suffix(1);
      comment += rest;
      return;
    }
    if (c == u'(') ++depth;
    if (depth > 0) {
      if (c != u'\n' && c != u'\r') comment += c;
      if (c == u')') --depth;
      continue;
    }
    if (!isBlankChar(c)) code += c;
  }
  if (depth > 0) comment += u')';
}

constexpr std::array<std::pair<View, OKind>, 15> kOWords{{
    {u"ENDSUB", OKind::endsub},
    {u"SUB", OKind::sub},
    {u"CALL", OKind::call},
    {u"RETURN", OKind::ret},
    {u"ELSEIF", OKind::elseIf},
    {u"ELSE", OKind::elseBranch},
    {u"ENDIF", OKind::endIf},
    {u"IF", OKind::ifStart},
    {u"ENDWHILE", OKind::endWhile},
    {u"WHILE", OKind::whileStart},
    {u"DO", OKind::doStart},
    {u"ENDREPEAT", OKind::endRepeat},
    {u"REPEAT", OKind::repeat},
    {u"BREAK", OKind::breakLoop},
    {u"CONTINUE", OKind::continueLoop},
}};

// The O-word keyword at `pos`, advancing past it.
bool oKeyword(View code, std::size_t& pos, OKind& kind) {
  for (const auto& [word, k] : kOWords) {
    if (code.substr(pos).starts_with(word)) {
      pos += word.size();
      kind = k;
      return true;
    }
  }
  return false;
}

// The label after O: digits, <name> or [expression]; `pos` past it.
bool oLabel(View code, std::size_t& pos, Dialect dialect, ParsedLine& out) {
  if (pos < code.size() && code[pos] == u'<') {
    const std::size_t end = code.find(u'>', pos);
    if (end == View::npos) return false;
    out.olabel = code.substr(pos, end + 1 - pos);
    pos = end + 1;
    return true;
  }
  if (pos < code.size() && code[pos] == u'[') {
    out.target = parseExpression(code, pos, dialect, out.pool);
    return out.target >= 0;
  }
  const std::size_t start = pos;
  while (pos < code.size() && isDigit(code[pos])) ++pos;
  out.olabel = code.substr(start, pos - start);
  return pos > start;
}

bool fail(ParsedLine& out, const char* message) {
  out.kind = LineKind::syntaxError;
  out.error = message;
  return false;
}

bool parseOWord(ParsedLine& out, Dialect dialect) {
  const View code = out.code;
  std::size_t pos = 1;
  if (!oLabel(code, pos, dialect, out) || !oKeyword(code, pos, out.okind)) return false;
  out.kind = LineKind::oword;
  const OKind k = out.okind;
  if (k == OKind::call) {
    while (pos < code.size() && code[pos] == u'[') {
      const int arg = parseExpression(code, pos, dialect, out.pool);
      if (arg < 0) return fail(out, "a call argument is not an expression");
      out.args.push_back(arg);
    }
  } else if (k == OKind::ifStart || k == OKind::elseIf || k == OKind::whileStart || k == OKind::repeat ||
             k == OKind::endsub || k == OKind::ret) {
    if (pos < code.size()) {
      out.condition = parseExpression(code, pos, dialect, out.pool);
      if (out.condition < 0) return fail(out, "the O-word's expression cannot be read");
    } else if (k == OKind::ifStart || k == OKind::elseIf || k == OKind::whileStart || k == OKind::repeat) {
      return fail(out, "the O-word needs an expression in [ ]");
    }
  }
  if (pos != code.size()) return fail(out, "text after the O-word cannot be read");
  return true;
}

bool takeWord(View code, std::size_t& pos, View word) {
  if (!code.substr(pos).starts_with(word)) return false;
  pos += word.size();
  return true;
}

bool loopNumber(View code, std::size_t pos, ParsedLine& out) {
  if (pos + 1 != code.size() || !isDigit(code[pos])) return fail(out, "DO and END take a loop number 1 to 3");
  out.loopId = code[pos] - u'0';
  return true;
}

bool parseItems(ParsedLine& out, std::size_t pos, Dialect dialect);

// GOTO, IF, WHILE, DO, END after an optional N word.
bool parseFanucFlow(ParsedLine& out, std::size_t pos, Dialect dialect) {
  const View code = out.code;
  if (takeWord(code, pos, u"GOTO")) {
    out.kind = LineKind::jump;
    out.target = parseExpression(code, pos, dialect, out.pool);
    return out.target >= 0 && pos == code.size() ? true : fail(out, "GOTO needs a sequence number");
  }
  if (code.substr(pos).starts_with(u"IF") && pos + 2 < code.size() &&
      (code[pos + 2] == u'[' || code[pos + 2] == u'#')) {
    pos += 2;
    out.condition = parseExpression(code, pos, dialect, out.pool);
    if (out.condition < 0) return fail(out, "the IF condition cannot be read");
    if (takeWord(code, pos, u"GOTO")) {
      out.kind = LineKind::ifGoto;
      out.target = parseExpression(code, pos, dialect, out.pool);
      return out.target >= 0 && pos == code.size() ? true : fail(out, "GOTO needs a sequence number");
    }
    if (takeWord(code, pos, u"THEN")) {
      if (!parseItems(out, pos, dialect)) return false;
      out.kind = LineKind::ifThen;
      return true;
    }
    return fail(out, "IF needs GOTO or THEN");
  }
  if (code.substr(pos).starts_with(u"WHILE") && pos + 5 < code.size() &&
      (code[pos + 5] == u'[' || code[pos + 5] == u'#')) {
    pos += 5;
    out.condition = parseExpression(code, pos, dialect, out.pool);
    if (out.condition < 0) return fail(out, "the WHILE condition cannot be read");
    if (!takeWord(code, pos, u"DO")) return fail(out, "WHILE needs DO");
    out.kind = LineKind::whileDo;
    return loopNumber(code, pos, out);
  }
  if (code.size() == pos + 3 && takeWord(code, pos, u"DO")) {
    out.kind = LineKind::doLoop;
    return loopNumber(code, pos, out);
  }
  if (code.size() == pos + 4 && takeWord(code, pos, u"END")) {
    out.kind = LineKind::endLoop;
    return loopNumber(code, pos, out);
  }
  return parseItems(out, pos, dialect);
}

bool startsValue(View code, std::size_t pos) {
  if (pos >= code.size()) return false;
  const char16_t c = code[pos];
  return c == u'#' || c == u'[' || c == u'-' || c == u'+' || c == u'.' || isDigit(c) || isLetter(c);
}

void noteCall(ParsedLine& out, const WordItem& w) {
  // A code number too large for an int is no call.
  if (w.expr >= 0 || w.hasPoint || !(std::abs(w.literal) < 1e9)) return;
  const int n = static_cast<int>(w.literal);
  if (w.letter == u'M') {
    if (n == 98) out.call = CallKind::m98;
    if (n == 97) out.call = CallKind::m97;
    if (n == 99) out.call = CallKind::m99;
    if (n == 30 || n == 2) out.call = CallKind::programEnd;
  } else if (w.letter == u'G') {
    if (n == 65) out.call = CallKind::g65;
    if (n == 66) out.call = CallKind::g66;
    if (n == 67) out.call = CallKind::g67;
  }
}

bool parseAssignment(ParsedLine& out, std::size_t& pos, Dialect dialect) {
  const View code = out.code;
  Assignment a;
  ++pos;  // '#'
  if (pos < code.size() && code[pos] == u'<') {
    const std::size_t end = code.find(u'>', pos);
    if (end == View::npos) return fail(out, "a name after # is not closed with >");
    out.pool.names.emplace_back(code.substr(pos + 1, end - pos - 1));
    a.name = static_cast<int>(out.pool.names.size()) - 1;
    pos = end + 1;
  } else {
    a.target = pos < code.size() && code[pos] == u'[' ? parseExpression(code, pos, dialect, out.pool)
                                                      : parseWordValue(code, pos, dialect, out.pool);
    if (a.target < 0) return fail(out, "the variable number cannot be read");
  }
  if (pos >= code.size() || code[pos] != u'=') return fail(out, "a variable outside an address needs =");
  ++pos;
  // "#4=" with nothing after it makes the variable vacant.
  const bool empty = pos >= code.size();
  a.value = empty ? -1 : parseExpression(code, pos, dialect, out.pool);
  if (a.value < 0 && !empty) return fail(out, "the expression cannot be read");
  out.assigns.push_back(a);
  return true;
}

// Words and assignments up to the end of the code.
bool parseItems(ParsedLine& out, std::size_t pos, Dialect dialect) {
  const View code = out.code;
  out.kind = LineKind::block;
  while (pos < code.size()) {
    const char16_t c = code[pos];
    if (c == u'#') {
      if (!parseAssignment(out, pos, dialect)) return false;
      continue;
    }
    const bool polar = dialect == Dialect::linuxcnc && (c == u'@' || c == u'^');
    if (!(isLetter(c) || polar) || !startsValue(code, pos + 1)) return fail(out, "a word cannot be read");
    out.polar = out.polar || polar;
    WordItem w;
    w.letter = c;
    w.begin = static_cast<std::uint32_t>(pos);
    ++pos;
    std::size_t at = pos;
    if (parseNumber(code, at, w.literal)) {
      w.hasPoint = code.substr(pos, at - pos).find(u'.') != View::npos;
      pos = at;
    } else {
      w.expr = parseWordValue(code, pos, dialect, out.pool);
      if (w.expr < 0) return fail(out, "the value of a word cannot be read");
    }
    w.length = static_cast<std::uint32_t>(pos - w.begin);
    out.movesAxis = out.movesAxis || c == u'X' || c == u'Y' || c == u'Z' || polar;
    noteCall(out, w);
    out.words.push_back(w);
  }
  // G10 L2, L20 and their kin name what G10 sets, not repeats.
  const auto isG10 = [](const WordItem& w) { return w.letter == u'G' && w.expr < 0 && w.literal == 10; };
  out.repeats =
      std::any_of(out.words.begin(), out.words.end(), [](const WordItem& w) { return w.letter == u'L'; }) &&
      std::none_of(out.words.begin(), out.words.end(), isG10);
  return true;
}

}  // namespace

int headerNumber(View line) {
  std::size_t i = 0;
  while (i < line.size() && isBlankChar(line[i])) ++i;
  if (i >= line.size() || (line[i] != u'O' && line[i] != u':')) return -1;
  ++i;
  int number = 0;
  const std::size_t start = i;
  for (; i < line.size() && isDigit(line[i]) && i - start < 9; ++i) number = number * 10 + (line[i] - u'0');
  if (i == start) return -1;
  // O100 SUB and the like are O-words, not headers.
  while (i < line.size() && isBlankChar(line[i])) ++i;
  if (i < line.size() && isLetter(line[i])) {
    std::u16string code;
    for (char16_t ch : line.substr(i)) {
      if (!isBlankChar(ch)) code += ch;
    }
    std::size_t pos = 0;
    OKind kind;
    if (oKeyword(code, pos, kind)) return -1;
  }
  return number;
}

bool leavesCommentOpen(View line, bool inComment) {
  for (std::size_t i = 0; i < line.size();) {
    if (inComment) {
      const std::size_t close = line.find(u"*/", i);
      if (close == View::npos) return true;
      inComment = false;
      i = close + 2;
      continue;
    }
    const std::size_t open = line.find(u"/*", i);
    if (open == View::npos || line.find(u';', i) < open) return false;
    inComment = true;
    i = open + 2;
  }
  return inComment;
}

void parseLine(View line, Dialect dialect, ParsedLine& out, bool inComment) {
  splitLine(line, out.code, out.comment, inComment);
  const View code = out.code;
  if (code.empty() || code[0] == u'%') return;
  std::size_t pos = 0;
  if (code[0] == u'/') {
    out.blockDelete = true;
    ++pos;
  }
  if (code[pos] == u'O' || code[pos] == u':') {
    if (code[pos] == u'O' && parseOWord(out, dialect)) return;
    if (out.kind == LineKind::syntaxError) return;
    out.kind = LineKind::header;
    return;
  }
  if (code[pos] == u'N' && pos + 1 < code.size() && isDigit(code[pos + 1])) {
    std::size_t at = pos + 1;
    double n = 0;
    parseNumber(code, at, n);
    if (n < 1e9) out.label = static_cast<int>(n);
    const View rest = code.substr(at);
    if (rest.starts_with(u"GOTO") || rest.starts_with(u"IF[") || rest.starts_with(u"IF#") ||
        rest.starts_with(u"WHILE") || rest.starts_with(u"DO") || rest.starts_with(u"END")) {
      // A flow statement after its N word.
      parseFanucFlow(out, at, dialect);
      return;
    }
    parseItems(out, pos, dialect);
    return;
  }
  parseFanucFlow(out, pos, dialect);
}

std::u16string lineCode(View line, bool inComment) {
  std::u16string code, comment;
  splitLine(line, code, comment, inComment);
  return code;
}

bool hasPolarWords(View line) {
  if (line.find_first_of(u"@^") == View::npos) return false;
  ParsedLine parsed;
  parseLine(line, Dialect::linuxcnc, parsed);
  return parsed.polar;
}

bool mayNeedEvaluation(View line, bool inComment) {
  ParsedLine parsed;
  parseLine(line, Dialect::fanuc, parsed, inComment);
  if (parsed.kind == LineKind::header || parsed.kind == LineKind::plain) return false;
  if (parsed.kind != LineKind::block)
    return parsed.kind != LineKind::syntaxError || line.find(u'#') != View::npos || line.find(u'[') != View::npos;
  if (!parsed.assigns.empty() || parsed.repeats || parsed.call == CallKind::m98 || parsed.call == CallKind::m97 ||
      parsed.call == CallKind::g65 || parsed.call == CallKind::g66) {
    return true;
  }
  for (const WordItem& w : parsed.words) {
    if (w.expr >= 0) return true;
  }
  return false;
}
