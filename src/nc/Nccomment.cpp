// Comment splitting: code and comments of a block for three delimiter pairs and ';' to the end of the line,
// and the comment state (0 none, 1 closed or to the end of the line, 2 left open, -1 syntax error).
#include <algorithm>

#include "nc/Ncgeometry.hpp"

namespace {

using View = std::u16string_view;
constexpr std::size_t kNone = View::npos;

// 1-based position of d in t, 0 when absent; an empty delimiter is never found.
int positionOf(View d, View t) {
  if (d.empty()) return 0;
  const std::size_t at = t.find(d);
  return at == kNone ? 0 : static_cast<int>(at) + 1;
}

int delimiterLength(View open, View close) { return static_cast<int>(std::max(open.size(), close.size())); }

// The first occurrence of a delimiter at or after a position, for texts read only forwards: a search is
// reused while its answer still lies ahead, so a line of any length is examined in linear time.
class Finder {
 public:
  Finder(View text, View delimiter) : text_(text), delimiter_(delimiter) {}

  std::size_t from(std::size_t position) {
    if (delimiter_.empty()) return kNone;
    const bool reusable = searchedFrom_ <= position && (found_ == kNone || found_ >= position);
    if (!reusable) {
      found_ = text_.find(delimiter_, position);
      searchedFrom_ = position;
    }
    return found_;
  }
  View delimiter() const { return delimiter_; }
  std::size_t delimiterSize() const { return delimiter_.size(); }

 private:
  View text_;
  View delimiter_;
  std::size_t searchedFrom_ = kNone;
  std::size_t found_ = kNone;
};

// A text read from `base` on: 1-based positions of the delimiters in what is left.
class Suffix {
 public:
  Suffix(View text, View open, View close) : text(text), open_(text, open), close_(text, close) {}

  int openAt() { return relative(open_.from(base)); }
  int closeAt() { return relative(close_.from(base)); }
  int length() const { return static_cast<int>(text.size() - base); }
  // Drops the first `count` characters.
  void advance(int count) { base = std::min(text.size(), base + static_cast<std::size_t>(count)); }
  View piece(int position, int count) const {
    const std::size_t start = base + static_cast<std::size_t>(position - 1);
    if (start >= text.size()) return View();
    return text.substr(start, static_cast<std::size_t>(std::max(count, 0)));
  }

 private:
  int relative(std::size_t at) const { return at == kNone ? 0 : static_cast<int>(at - base) + 1; }

  View text;
  std::size_t base = 0;
  Finder open_;
  Finder close_;
};

// A text from which pieces are cut: the kept beginning `kept` followed by the source from `next` on.
// The kept part never holds a whole delimiter, but one may form where it meets the rest.
class Splice {
 public:
  Splice(View source, View open, View close) : source_(source), open_(source, open), close_(source, close) {}

  int openAt() { return positionOf(open_); }
  int closeAt() { return positionOf(close_); }
  int length() const { return static_cast<int>(kept_.size() + source_.size() - next_); }

  // Removes `count` characters from 1-based `position` (clamped to the end).
  void remove(int position, int count) {
    const std::size_t from = static_cast<std::size_t>(position - 1);
    const std::size_t to =
        std::min(from + static_cast<std::size_t>(std::max(count, 0)), static_cast<std::size_t>(length()));
    if (from < kept_.size()) {
      const std::size_t pastKept = to > kept_.size() ? to - kept_.size() : 0;
      if (to < kept_.size())
        kept_.erase(from, to - from);
      else
        kept_.resize(from);
      next_ += pastKept;
    } else {
      const std::size_t start = next_ + (from - kept_.size());
      kept_.append(source_.substr(next_, start - next_));
      next_ = start + (to - from);
    }
  }

  std::u16string text() const {
    std::u16string all = kept_;
    all.append(source_.substr(next_));
    return all;
  }

 private:
  int positionOf(Finder& finder) {
    const std::size_t size = finder.delimiterSize();
    if (size == 0) return 0;
    if (size > 1 && !kept_.empty()) {
      const std::size_t tail = std::min(kept_.size(), size - 1);
      std::u16string window = kept_.substr(kept_.size() - tail);
      window.append(source_.substr(next_, size - 1));
      const std::size_t at = window.find(finder.delimiter());
      if (at != kNone && at < tail) return static_cast<int>(kept_.size() - tail + at) + 1;
    }
    const std::size_t at = finder.from(next_);
    return at == kNone ? 0 : static_cast<int>(kept_.size() + (at - next_)) + 1;
  }

  View source_;
  std::u16string kept_;
  std::size_t next_ = 0;
  Finder open_;
  Finder close_;
};

int depthOf(View text, View open, View close, int prev) {
  if (prev < 0 || prev > 2) return -1;
  Suffix rest(text, open, close);
  int f = rest.openAt();
  int g = rest.closeAt();
  if (f != 0 && close.empty()) return 1;
  if (prev <= 1 && f == 0 && g == 0) return 0;
  int count = prev == 0 ? 1 : prev;
  const int m = delimiterLength(open, close);
  while (f != 0 || g != 0) {
    int cut;
    if (f != 0 && (g == 0 || f < g)) {
      ++count;
      cut = f;
    } else {
      --count;
      cut = g;
    }
    rest.advance(cut + m - 1);
    f = rest.openAt();
    g = rest.closeAt();
  }
  if (count == 1 || count == 2) return close.empty() ? count - 1 : count;
  return -1;
}

// How often `what` occurs in text[from, to).
int countOf(const std::u16string& text, View what, int from, int to) {
  int count = 0;
  for (auto at = text.find(what, static_cast<std::size_t>(from));
       at != std::u16string::npos && at + what.size() <= static_cast<std::size_t>(to);
       at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

std::u16string strip(View text, View open, View close, int stored) {
  if (stored == 2) open = View();
  if (text.empty()) return std::u16string();
  Splice r(text, open, close);
  const bool toLineEnd = close.empty() || close == u"\n";
  int f = open.empty() ? 1 : r.openAt();
  if (f == 0 && close.empty()) return std::u16string(text);
  int g = toLineEnd ? r.length() : r.closeAt();
  const int m = delimiterLength(open, close);
  // Where the last comment removed began, and the opening delimiters inside it: the close left over for
  // each ends that comment, and the code before it stays code.
  int lastComment = 1;
  int nestedOpens = 0;
  for (int c = r.length(); c >= 1;) {
    const bool leftOver = nestedOpens > 0 && g != 0 && (f == 0 || g < f);
    if (f == 0 && g != 0) f = 1;
    if (f != 0 && g == 0) g = c;
    if (f == 0 || g == 0) break;
    if (g < f) f = 1;
    if (leftOver) {
      f = lastComment;
      --nestedOpens;
    } else if (stored != 2 && !open.empty()) {
      lastComment = f;
      nestedOpens = countOf(r.text(), open, f + static_cast<int>(open.size()) - 1, g - 1);
    }
    r.remove(f, m + g - f);
    c = r.length();
    f = r.openAt();
    g = r.closeAt();
    if (toLineEnd) break;
  }
  return r.text();
}

std::u16string extract(View text, View open, View close, int stored) {
  std::u16string found;
  if (stored == 2) open = View();
  if (text.empty()) return found;
  Suffix r(text, open, close);
  int e = open.empty() ? 1 : r.openAt();
  if (e == 0 && close.empty()) return found;
  int g = close.empty() ? r.length() : r.closeAt();
  const int m = delimiterLength(open, close);
  for (int n = r.length(); n > 0;) {
    if (e == 0 && g != 0) e = 1;
    if (e != 0 && g == 0) g = n;
    if (e == 0 || g == 0) return found;
    if (g < e) e = 1;
    found += r.piece(e, g - e + m);
    r.advance(g);
    n = r.length();
    e = r.openAt();
    g = r.closeAt();
    if (close.empty()) break;
  }
  return found;
}

bool hasCode(View text) { return !text.empty() && text != u"\n"; }

}  // namespace

int kNcGeometry::commentDepth(View text, View open, View close, int k) const {
  return depthOf(text, open, close, previousState(k));
}

std::u16string kNcGeometry::stripComments(View text, View open, View close, int k) const {
  return strip(text, open, close, previousState(k));
}

std::u16string kNcGeometry::extractComments(View text, View open, View close, int k) const {
  return extract(text, open, close, previousState(k));
}

int kNcGeometry::previousOpenPair(int k) const {
  return k >= 1 && k - 1 < blockCount ? PackedModal(modal_[static_cast<std::size_t>(k - 1)]).openPair() : 0;
}

unsigned kNcGeometry::characterMarks(View text) const {
  unsigned marks = 0;
  for (const char16_t c : text) {
    if (c < 128) {
      marks |= characterTable[c];
    } else if (delimiterStarts.find(c) != std::u16string::npos) {
      marks |= kMarkDelimiterStart;
    }
  }
  return marks;
}

bool kNcGeometry::mentionsDelimiter(View text, unsigned marks) const {
  if ((marks & kMarkDelimiterStart) == 0) return false;
  for (int p = 0; p < 3; ++p) {
    if (positionOf(commentOpen[p], text) != 0 || positionOf(commentClose[p], text) != 0) return true;
  }
  return false;
}

// A line that does not start inside a comment: the three pairs in order. The state and the comment text
// each look at the block text without the comments of the pair they examined last; the code text has the
// pairs removed one after another.
void kNcGeometry::splitFreshLine(View text, int prev, CommentSplit& out) const {
  out.openPair = 0;
  out.comment.clear();
  const bool fresh = prev >= 0 && prev <= 1;
  // One pass over the line tells both whether it may hold a comment and whether the checker must look at it
  // closely.
  const unsigned marks = fresh ? characterMarks(text) : unsigned{kMarkCloserLook};
  out.closerLook = (marks & kMarkCloserLook) != 0;
  if (fresh && !mentionsDelimiter(text, marks)) {
    out.state = 0;
    out.code.assign(text);
    return;
  }
  const bool examineMore = prev == 0 || prev == 1;
  int state = depthOf(text, commentOpen[0], commentClose[0], prev);
  std::u16string code = strip(text, commentOpen[0], commentClose[0], prev);
  out.comment = extract(text, commentOpen[0], commentClose[0], prev);
  int stateCurrent = 0;
  int commentCurrent = 0;
  for (int p = 1; p <= 2; ++p) {
    const View open = commentOpen[p];
    const View close = commentClose[p];
    if (open.empty()) continue;
    if (state == 0 || state == 1) {
      const std::u16string rest = strip(text, commentOpen[stateCurrent], commentClose[stateCurrent], prev);
      if (hasCode(rest)) {
        stateCurrent = p;
        state = depthOf(rest, open, close, prev);
      }
    }
    if (!examineMore) continue;
    if (hasCode(code)) code = strip(code, open, close, prev);
    const std::u16string rest = strip(text, commentOpen[commentCurrent], commentClose[commentCurrent], prev);
    if (hasCode(rest)) {
      commentCurrent = p;
      out.comment += extract(rest, open, close, prev);
    }
  }
  out.state = state;
  out.openPair = stateCurrent;
  out.code = std::move(code);
}

void kNcGeometry::splitComments(View text, int prevState, int prevOpenPair, CommentSplit& out) const {
  std::size_t semicolon = text.find(kLineComment);
  if (semicolon == kNone || prevState == -1) {
    splitDelimited(text, prevState, prevOpenPair, out);
    return;
  }
  splitDelimited(text.substr(0, semicolon), prevState, prevOpenPair, out);
  CommentSplit rest;
  // A ';' inside a comment is comment text: the line goes on from there as a line inside that comment does,
  // up to the next ';'.
  while (out.state == 2) {
    const std::size_t next = text.find(kLineComment, semicolon + 1);
    splitDelimited(text.substr(semicolon, next == kNone ? kNone : next - semicolon), 2, out.openPair, rest);
    out.code += rest.code;
    out.comment += rest.comment;
    out.closerLook = out.closerLook || rest.closerLook;
    out.state = rest.state;
    out.openPair = rest.openPair;
    if (next == kNone) return;
    semicolon = next;
  }
  if (out.state == -1) return;
  // The rest of the line is comment, whatever delimiters it holds.
  out.comment.append(text.substr(semicolon));
  out.state = 1;
  out.openPair = 0;
}

void kNcGeometry::splitDelimited(View text, int prevState, int prevOpenPair, CommentSplit& out) const {
  if (prevState != 2) {
    splitFreshLine(text, prevState, out);
    return;
  }
  // Inside a comment left open: it runs to the first closing delimiter of the pair that opened it.
  const View close = commentClose[prevOpenPair];
  const int end = positionOf(close, text);
  if (end == 0) {
    out.state = 2;
    out.openPair = prevOpenPair;
    out.closerLook = false;
    out.code.clear();
    out.comment.assign(text);
    return;
  }
  const std::size_t restStart = static_cast<std::size_t>(end - 1) + close.size();
  splitFreshLine(text.substr(restStart), 0, out);
  out.comment.insert(0, text.substr(0, restStart));
  if (out.state != -1) out.state = std::max(out.state, 1);
}

void kNcGeometry::codeColumns(int k, View code, std::vector<int>& columns) const {
  columns.assign(code.size(), 0);
  std::u16string storage;
  const View line = lineOf(k, storage);
  // The line is split again with every character that no delimiter uses replaced by a private-use
  // character that carries its position: the split goes the same way, and the code shows where each
  // character came from.
  constexpr char16_t kFirstMark = 0xE000;
  constexpr std::size_t kMarks = 0xF8FF - kFirstMark;
  if (line.size() > kMarks) return;
  std::u16string kept = u"\n\r;";
  for (int p = 0; p < 3; ++p) kept.append(commentOpen[p]).append(commentClose[p]);
  std::u16string probe(line);
  for (std::size_t i = 0; i < probe.size(); ++i) {
    if (kept.find(probe[i]) == std::u16string::npos) probe[i] = static_cast<char16_t>(kFirstMark + i);
  }
  CommentSplit marked;
  splitComments(probe, previousState(k), previousOpenPair(k), marked);
  if (marked.code.size() != code.size()) return;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char16_t c = marked.code[i];
    if (c >= kFirstMark && c < kFirstMark + kMarks) columns[i] = c - kFirstMark + 1;
  }
  // A kept character (a lone delimiter character) is placed after its marked neighbour on the left, or
  // before the one on the right.
  for (std::size_t i = 1; i < code.size(); ++i) {
    if (columns[i] == 0 && columns[i - 1] != 0) columns[i] = columns[i - 1] + 1;
  }
  for (std::size_t i = code.size(); i-- > 1;) {
    if (columns[i - 1] == 0 && columns[i] > 1) columns[i - 1] = columns[i] - 1;
  }
}

int kNcGeometry::commentStateOf(int k) const {
  const int block = latest(k);
  CommentSplit result;
  splitComments(blockTextAt(block), previousState(block), previousOpenPair(block), result);
  return result.state;
}

std::u16string kNcGeometry::codeTextOf(int k) const {
  const int block = latest(k);
  CommentSplit result;
  splitComments(blockTextAt(block), previousState(block), previousOpenPair(block), result);
  return result.code;
}

std::u16string kNcGeometry::commentTextOf(int k) const {
  const int block = latest(k);
  CommentSplit result;
  splitComments(blockTextAt(block), previousState(block), previousOpenPair(block), result);
  return result.comment;
}
