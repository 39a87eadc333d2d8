// What each block shows that a user should be told, block by block: faulty arcs, comments, compensation,
// positions; the line's text is looked at in Ncchecktext. An ordinary block costs a few loads.
#include "nc/Nccheck.hpp"

#include <algorithm>
#include <cmath>

#include "nc/Ncgeometry.hpp"

using View = std::u16string_view;

namespace {

constexpr std::size_t kNowhere = std::u16string_view::npos;

}  // namespace

void kNcChecker::reset() {
  const LintSettings settings = settings_;
  *this = kNcChecker();
  settings_ = settings;
}

// Every block read as text passes here: the tests that clear an ordinary block come first and cost a few
// loads each.
void kNcChecker::noteText(const kNcGeometry& g, int k, View code, const ScannedBlock& words,
                          const BlockFacts& facts) {
  const int state = g.commentStates.get(k);
  if (state == -1 || state == 2) noteComments(g, k);
  noteLintText(g, k, code, words, facts);
  if (code.empty()) return;
  const std::size_t before = findings_.size();
  if (facts.rewritten || facts.closerLook || g.gOutsideAt() < code.size()) {
    LineState line(code);
    noteOWord(g, k, code, line);
    scanCode(g, k, code, line);
  } else if (mayNeedLook(g, words)) {
    noteOrdinaryText(g, k, code, words);
  }
  if (!lint_.flowUncertain && findings_.size() != before) noteFlow(before);
}

// A call, a jump or a subprogram body takes the program through blocks in an order the reading does not
// follow.
void kNcChecker::noteFlow(std::size_t from) {
  for (std::size_t i = from; i < findings_.size(); ++i) {
    const Finding& f = findings_[i];
    const auto construct = static_cast<Construct>(f.detail);
    if (f.rule != Rule::unsupported) continue;
    if (construct == Construct::subprogramCall || construct == Construct::macroCall ||
        construct == Construct::jump || construct == Construct::oWordControl) {
      lint_.flowUncertain = true;
    }
  }
}

void kNcChecker::noteRecords(const kNcGeometry& g, int k, View code, bool dGiven, const BlockFacts& facts) {
  if (!dWordGiven_) noteCompensation(g, k, code, dGiven, facts);
  // Infinity times 0 is not a number, and so is the sum: one test for all three.
  const bool finite = std::isfinite(facts.x * 0 + facts.y * 0 + facts.z * 0);
  if (finite != positionFinite_) notePositionChange(g, k, finite, facts);
  if (!drawsSomething_) noteDrawing(g, k, facts.arc);
  noteLintRecords(g, k, facts);
  if (facts.arc.isArc && lint_.dialectBlock != k) noteArc(g, k, facts.arc);
}

// An ordinary line (every G word taken, no macro or name): only an O word or an M word can be a problem.
bool kNcChecker::mayNeedLook(const kNcGeometry&, const ScannedBlock& words) {
  return words.firstOf(u'O') != kNowhere || words.firstOf(u'M') != kNowhere;
}

// Block k's comment state is -1 or 2.
void kNcChecker::noteComments(const kNcGeometry& g, int k) {
  const int state = g.commentStates.get(k);
  const int previous = g.commentStates.get(k - 1);
  if (state == -1 && previous != -1) add(g, k, Rule::commentSyntax, {}, kNowhere, {});
  if (state == 2 && previous != 2) commentOpenedAt_ = k;
  // A comment open over lines may hide what a control reads as code (a "//" inside parentheses): an F or R
  // missing after it is no longer certain.
  if (state == 2) lint_.flowUncertain = true;
}

int kNcChecker::unclosedCommentLine(const kNcGeometry& g) const {
  const bool open = g.blockCount > 1 && g.commentStates.get(g.blockCount - 1) == 2;
  return open ? commentOpenedAt_ : 0;
}

void kNcChecker::noteCompensation(const kNcGeometry& g, int k, View code, bool dGiven, const BlockFacts& facts) {
  if (dGiven) {
    dWordGiven_ = true;
    return;
  }
  // A block that brings compensation into force was read as text.
  if (!facts.compComesIntoForce) return;
  const View word = g.gWordsRead()[kGroupCutterComp];
  add(g, k, Rule::compWithoutD, code, code.find(word), word);
}

void kNcChecker::notePositionChange(const kNcGeometry& g, int k, bool finite, const BlockFacts& facts) {
  positionFinite_ = finite;
  if (finite) return;
  Finding& f = add(g, k, Rule::coordinateOverflow, {}, kNowhere, {});
  f.numbers[0] = facts.x;
  f.numbers[1] = facts.y;
  f.numbers[2] = facts.z;
}

void kNcChecker::noteDrawing(const kNcGeometry& g, int k, const ArcFacts& arc) {
  const bool moves = g.absX.get(k) != g.absX.get(k - 1) || g.absY.get(k) != g.absY.get(k - 1);
  const bool circle = arc.isArc && g.arcRadius.get(k) > 0;
  const bool hole = g.inCycleAt(k) && g.toolDiameter.get(k) > 0;
  drawsSomething_ = moves || circle || hole;
}

void kNcChecker::noteArc(const kNcGeometry& g, int k, const ArcFacts& arc) {
  if (!positionFinite_) return;
  if (!std::isfinite(arc.centreX * 0 + arc.centreY * 0 + arc.fit.radius * 0)) {
    add(g, k, Rule::coordinateOverflow, {}, kNowhere, {}).detail = 1;
    return;
  }
  if (arc.byRadius != nullptr && arc.byRadius->fit == RadiusFit::fullCircle) {
    add(g, k, Rule::arcRFullCircle, {}, kNowhere, {}).numbers[0] = std::fabs(arc.radiusWord);
    return;
  }
  // The store's verdict, which the drawing and the arc fields show; the message names the other controls'.
  if (!g.isFaultyArcAt(k)) return;
  const ArcFit& fit = arc.fit;
  const std::uint8_t rejecting = controlsRejecting(fit, g.profile(), g.inchInForce());
  if (arc.byRadius != nullptr) {
    Finding& f = add(g, k, Rule::arcRTooSmall, {}, kNowhere, {});
    f.detail = rejecting;
    f.numbers[0] = std::fabs(arc.radiusWord);
    f.numbers[1] = arc.byRadius->halfChord;
    return;
  }
  Finding& f = add(g, k, Rule::arcRadiusMismatch, {}, kNowhere, {});
  f.detail = rejecting;
  f.numbers[0] = fit.startDistance;
  f.numbers[1] = fit.endDistance;
  const double radius = std::fabs(fit.radius);
  f.numbers[2] = std::max(std::fabs(radius - fit.startDistance), std::fabs(radius - fit.endDistance));
}

Finding& kNcChecker::add(const kNcGeometry& g, int k, Rule rule, View code, std::size_t at, View token) {
  if (k != lineOfCount_) {
    lineOfCount_ = k;
    countOnLine_ = 0;
  }
  // A hostile line of a million G words must not make a million problems; no real line comes near.
  if (++countOnLine_ > kMostPerLine) return discarded_ = Finding();
  Finding& f = findings_.emplace_back();
  f.line = k;
  f.column = at == kNowhere ? 0 : columnOf(g, k, code, at);
  f.rule = rule;
  f.setToken(token);
  return f;
}

int kNcChecker::columnOf(const kNcGeometry& g, int k, View code, std::size_t at) {
  // Splitting only removes: a code text as long as its line is the line.
  std::u16string storage;
  if (code.size() == g.lineOf(k, storage).size()) return static_cast<int>(at) + 1;
  if (k != lineOfColumns_) {
    lineOfColumns_ = k;
    g.codeColumns(k, code, columns_);
  }
  return at < columns_.size() ? columns_[at] : 0;
}

void Finding::setToken(View text) {
  tokenLength = 0;
  appendToken(text);
}

void Finding::appendToken(View text) {
  if (tokenLength > 0 && tokenLength < kTokenSize) token[tokenLength++] = u' ';
  const std::size_t room = kTokenSize - tokenLength;
  const std::size_t n = std::min(room, text.size());
  std::copy_n(text.begin(), n, token.begin() + tokenLength);
  tokenLength = static_cast<std::uint8_t>(tokenLength + n);
}
