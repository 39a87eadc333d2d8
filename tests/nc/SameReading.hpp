// Two readings of one program compared record by record: every block as the command line, the drawing and the
// DXF writer read it, the extents and the problems. For the one-pass reading, which must read as the text
// reading does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "nc/Ncgeometry.hpp"
#include "nc/Ncproblems.hpp"
#include "util/Format.hpp"
#include "util/Text.hpp"

namespace same_reading {

// Bit for bit: -0.0 is not 0.0, a NaN is a NaN.
inline bool same(double a, double b) { return sameBits(a, b); }

inline std::string blockDifference(const kNcGeometry& a, const kNcGeometry& b, int k) {
  const auto real = [&](const char* what, double x, double y) {
    return same(x, y) ? std::string() : std::string(what) + " " + shortestReal(x) + " / " + shortestReal(y);
  };
  const double values[][2] = {
      {a.absX.get(k), b.absX.get(k)},
      {a.absY.get(k), b.absY.get(k)},
      {a.absZ.get(k), b.absZ.get(k)},
      {a.centreX.get(k), b.centreX.get(k)},
      {a.centreY.get(k), b.centreY.get(k)},
      {a.arcRadius.get(k), b.arcRadius.get(k)},
      {a.toolDiameter.get(k), b.toolDiameter.get(k)},
      {a.d.get(k), b.d.get(k)},
  };
  const char* names[] = {"x", "y", "z", "cx", "cy", "r", "dia", "d"};
  for (int n = 0; n < 8; ++n) {
    if (std::string d = real(names[n], values[n][0], values[n][1]); !d.empty()) return d;
  }
  if (k >= 1) {
    const double words[][2] = {{a.wordXAt(k), b.wordXAt(k)}, {a.wordYAt(k), b.wordYAt(k)},
                               {a.wordZAt(k), b.wordZAt(k)}, {a.wordIAt(k), b.wordIAt(k)},
                               {a.wordJAt(k), b.wordJAt(k)}, {a.wordKAt(k), b.wordKAt(k)},
                               {a.wordTAt(k), b.wordTAt(k)}, {a.wordHAt(k), b.wordHAt(k)},
                               {a.wordFAt(k), b.wordFAt(k)}, {a.centreZAt(k), b.centreZAt(k)}};
    for (const auto& w : words) {
      if (std::string d = real("word", w[0], w[1]); !d.empty()) return d;
    }
    if (a.isFaultyArcAt(k) != b.isFaultyArcAt(k)) return "arc verdict";
  }
  const kNcGroupColumn* groupsA[] = {&a.groupOneShot,  &a.groupMotion,     &a.groupPlane,
                                     &a.groupDistance, &a.groupCutterComp, &a.groupToolLength,
                                     &a.groupCycle,    &a.groupReturn,     &a.groupWork};
  const kNcGroupColumn* groupsB[] = {&b.groupOneShot,  &b.groupMotion,     &b.groupPlane,
                                     &b.groupDistance, &b.groupCutterComp, &b.groupToolLength,
                                     &b.groupCycle,    &b.groupReturn,     &b.groupWork};
  for (int g = 0; g < kScannedGroups; ++g) {
    if (gNumberAt(*groupsA[g], k) != gNumberAt(*groupsB[g], k)) return "G group " + std::to_string(g);
  }
  if (a.commentStates.get(k) != b.commentStates.get(k)) return "comment state";
  if (a.feedValueText(k) != b.feedValueText(k)) return "feed text";
  if (a.blockTextAt(k) != b.blockTextAt(k)) return "text";
  return {};
}

inline std::string problemsDifference(const kNcGeometry& a, const kNcGeometry& b) {
  const std::vector<NcProblem> pa = programProblems(a), pb = programProblems(b);
  if (pa.size() != pb.size()) return std::to_string(pa.size()) + " / " + std::to_string(pb.size()) + " problems";
  for (std::size_t n = 0; n < pa.size(); ++n) {
    const NcProblem &p = pa[n], &q = pb[n];
    if (p.line != q.line || p.column != q.column || p.severity != q.severity || p.rule != q.rule ||
        p.message != q.message) {
      return "problem " + std::to_string(n) + ": " + std::string(p.rule) + " " + p.message + " / " +
             std::string(q.rule) + " " + q.message;
    }
  }
  return {};
}

}  // namespace same_reading

// "" when both readings hold the same blocks, extents and problems, else what first differs.
inline std::string readingDifference(const kNcGeometry& a, const kNcGeometry& b) {
  using same_reading::same;
  if (a.blockCount != b.blockCount) {
    return "blocks " + std::to_string(a.blockCount) + " / " + std::to_string(b.blockCount);
  }
  for (int k = 0; k < a.blockCount; ++k) {
    if (std::string d = same_reading::blockDifference(a, b, k); !d.empty()) {
      return "block " + std::to_string(k) + ": " + d;
    }
  }
  const double extents[][2] = {{a.minX, b.minX}, {a.maxX, b.maxX}, {a.minY, b.minY},
                               {a.maxY, b.maxY}, {a.minZ, b.minZ}, {a.maxZ, b.maxZ}};
  for (const auto& e : extents) {
    if (!same(e[0], e[1])) return "extents";
  }
  if (a.seenX != b.seenX || a.seenY != b.seenY || a.seenZ != b.seenZ) return "seen axes";
  if (a.syntaxErrorBlock() != b.syntaxErrorBlock()) return "syntax error block";
  return same_reading::problemsDifference(a, b);
}
