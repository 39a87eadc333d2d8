// What compensation reads of a block: the words that switch it and the move in the compensation plane.
#include <cmath>

#include "toolpath/Compengine.hpp"

namespace {

char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The number after a letter at `at`, blanks before it skipped; nullopt when there is none. Plain decimals
// only: the words compensation reads (G, M, D) are never written otherwise.
std::optional<double> numberAt(std::u16string_view text, std::size_t& at) {
  while (at < text.size() && text[at] == u' ') ++at;
  double sign = 1;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) sign = text[at++] == u'-' ? -1 : 1;
  double value = 0, scale = 0;
  bool digits = false;
  for (; at < text.size(); ++at) {
    const char16_t c = text[at];
    if (isDigit(c)) {
      digits = true;
      value = value * 10 + (c - u'0');
      scale *= 10;
    } else if (c == u'.' && scale == 0) {
      scale = 1;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  return sign * (scale > 1 ? value / scale : value);
}

void noteWord(char16_t letter, double value, CompWords& words) {
  if (letter == u'D') words.d = value;
  if (letter == u'M' && (value == 2 || value == 30)) words.programEnd = true;
  if (letter != u'G') return;
  words.g41 = words.g41 || value == 41 || value == 41.1;
  words.g42 = words.g42 || value == 42 || value == 42.1;
  words.diameterComp = words.diameterComp || value == 41.1 || value == 42.1;
}

// Block b's end point, read directly rather than through the columns (this runs for every compensated block);
// xAt and its kin take 0 for the latest block, so block 0 is read through its column.
void endOf(const kNcGeometry& g, int b, double& x, double& y, double& z) {
  if (b == 0) {
    x = g.absX.get(0), y = g.absY.get(0), z = g.absZ.get(0);
  } else {
    x = g.xAt(b), y = g.yAt(b), z = g.zAt(b);
  }
}

Vec2 inPlane(int plane, double x, double y, double z) { return plane == 18 ? Vec2{z, x} : Vec2{x, y}; }
double alongNormal(int plane, double y, double z) { return plane == 18 ? y : z; }

}  // namespace

CompWords compWordsOf(std::u16string_view text) {
  CompWords words;
  for (std::size_t at = 0; at < text.size();) {
    const char16_t c = upper(text[at++]);
    if (c == u';') break;
    if (c == u'(') {
      const std::size_t close = text.find(u')', at);
      if (close == std::u16string_view::npos) break;
      at = close + 1;
      continue;
    }
    if (c != u'G' && c != u'M' && c != u'D') continue;
    if (const std::optional<double> value = numberAt(text, at)) noteWord(c, *value, words);
  }
  return words;
}

PlaneMove planeMoveOf(const kNcGeometry& g, int b, int plane) {
  PlaneMove m;
  m.block = b;
  double x0, y0, z0, x1, y1, z1;
  endOf(g, b - 1, x0, y0, z0);
  endOf(g, b, x1, y1, z1);
  m.start = inPlane(plane, x0, y0, z0);
  m.end = inPlane(plane, x1, y1, z1);
  m.n0 = alongNormal(plane, y0, z0);
  m.n1 = alongNormal(plane, y1, z1);
  const int motion = gNumberAt(g.groupMotion, b);
  m.rapid = motion == 0;
  if (g.inCycleAt(b)) {
    m.n1 = m.n0;  // a hole is not compensated: drawn as programmed
    m.end = m.start;
    return m;
  }
  m.arc = (motion == 2 || motion == 3) && g.radiusAt(b) != 0;
  if (m.arc) {
    m.ccw = motion == 3;
    m.radius = g.radiusAt(b);
    m.centre = plane == 18 ? Vec2{g.centreZAt(b), g.centreXAt(b)} : Vec2{g.centreXAt(b), g.centreYAt(b)};
  }
  m.inPlane = m.arc || m.start.a != m.end.a || m.start.b != m.end.b;
  return m;
}

bool isHoleOrStill(const PlaneMove& m) { return !m.inPlane && m.n0 == m.n1; }
