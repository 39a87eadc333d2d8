// Comment splitting: code and comments of a block for three delimiter pairs, and the comment state
// (0 none, 1 closed or to the end of the line, 2 left open, -1 syntax error).
#include "nc/Ncgeometry.hpp"

#include "util/Utility.hpp"

#include <algorithm>

namespace {

using View = std::u16string_view;

// 1-based position of d in t, 0 when absent; an empty delimiter is never found.
int positionOf(View d, View t) {
  if (d.empty()) return 0;
  const std::size_t at = t.find(d);
  return at == View::npos ? 0 : static_cast<int>(at) + 1;
}

View from(View t, int position) {
  const std::size_t index = static_cast<std::size_t>(position - 1);
  return index >= t.size() ? View() : t.substr(index);
}

int delimiterLength(View open, View close) { return static_cast<int>(std::max(open.size(), close.size())); }

int depthOf(View text, View open, View close, int prev) {
  if (prev < 0 || prev > 2) return -1;
  int f = positionOf(open, text);
  int g = positionOf(close, text);
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
    text = from(text, cut + m);
    f = positionOf(open, text);
    g = positionOf(close, text);
  }
  if (count == 1 || count == 2) return close.empty() ? count - 1 : count;
  return -1;
}

std::u16string strip(View text, View open, View close, int stored) {
  std::u16string r(text);
  if (stored == 2) open = View();
  if (r.empty()) return r;
  const bool toLineEnd = close.empty() || close == u"\n";
  int f = open.empty() ? 1 : positionOf(open, r);
  if (f == 0 && close.empty()) return r;
  int g = toLineEnd ? static_cast<int>(r.size()) : positionOf(close, r);
  const int m = delimiterLength(open, close);
  for (int c = static_cast<int>(r.size()); c >= 1;) {
    if (f == 0 && g != 0) f = 1;
    if (f != 0 && g == 0) g = c;
    if (f == 0 || g == 0) return r;
    if (g < f) f = 1;
    r = replaceFirst(r, subText(r, f, m + g - f), u"");
    c = static_cast<int>(r.size());
    f = positionOf(open, r);
    g = positionOf(close, r);
    if (toLineEnd) break;
  }
  return r;
}

std::u16string extract(View text, View open, View close, int stored) {
  std::u16string found;
  if (stored == 2) open = View();
  if (text.empty()) return found;
  int e = open.empty() ? 1 : positionOf(open, text);
  if (e == 0 && close.empty()) return found;
  int g = close.empty() ? static_cast<int>(text.size()) : positionOf(close, text);
  const int m = delimiterLength(open, close);
  for (int n = static_cast<int>(text.size()); n > 0;) {
    if (e == 0 && g != 0) e = 1;
    if (e != 0 && g == 0) g = n;
    if (e == 0 || g == 0) return found;
    if (g < e) e = 1;
    found += subText(text, e, g - e + m);
    text = from(text, g + 1);
    n = static_cast<int>(text.size());
    e = positionOf(open, text);
    g = positionOf(close, text);
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
  return k >= 1 && static_cast<std::size_t>(k - 1) < openPairs.size() ? openPairs[k - 1] : 0;
}

bool kNcGeometry::mentionsDelimiter(View text) const {
  if (text.find_first_of(delimiterStarts) == View::npos) return false;
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
  if (prev >= 0 && prev <= 1 && !mentionsDelimiter(text)) {
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
    out.code.clear();
    out.comment.assign(text);
    return;
  }
  const std::size_t restStart = static_cast<std::size_t>(end - 1) + close.size();
  splitFreshLine(text.substr(restStart), 0, out);
  out.comment.insert(0, text.substr(0, restStart));
  if (out.state != -1) out.state = std::max(out.state, 1);
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
