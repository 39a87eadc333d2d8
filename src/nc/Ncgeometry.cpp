// The block store: the initial block, the records every block gets whichever way its line was read, and
// the readers of those records.
#include "nc/Ncgeometry.hpp"

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "nc/Nclint.hpp"
#include "nc/Nctext.hpp"
#include "util/Format.hpp"
#include "util/Number.hpp"

namespace {

using View = std::u16string_view;

}  // namespace

kNcGeometry::kNcGeometry(const CommentDelimiters& delimiters) {
  checker_.configure(lintSettingsOf(profile_));
  setCommentDelimiters(delimiters);
  recordInitialBlock();
}

kNcGeometry::kNcGeometry(View open0, View close0, View open1, View close1, View open2, View close2)
    : kNcGeometry(CommentDelimiters{open0, close0, open1, close1, open2, close2}) {}

kNcGeometry::~kNcGeometry() = default;

void kNcGeometry::setCommentDelimiters(View open0, View close0, View open1, View close1, View open2, View close2) {
  setCommentDelimiters(CommentDelimiters{open0, close0, open1, close1, open2, close2});
}

void kNcGeometry::setCommentDelimiters(const CommentDelimiters& delimiters) {
  const std::initializer_list<View> all = {delimiters.open0,  delimiters.close0, delimiters.open1,
                                           delimiters.close1, delimiters.open2,  delimiters.close2};
  commentOpen = {std::u16string(delimiters.open0), std::u16string(delimiters.open1),
                 std::u16string(delimiters.open2)};
  commentClose = {std::u16string(delimiters.close0), std::u16string(delimiters.close1),
                  std::u16string(delimiters.close2)};
  delimiterStarts.clear();
  characterTable.fill(0);
  // '=' for the assignments of other dialects (CR=5).
  for (const char c : {'#', '[', '<', '='}) characterTable[c] = kMarkCloserLook;
  for (View d : all) {
    if (d.empty()) continue;
    if (delimiterStarts.find(d[0]) == std::u16string::npos) delimiterStarts += d[0];
    if (d[0] < 128) characterTable[d[0]] |= kMarkDelimiterStart;
  }
  // A plain line has none of these: blanks and controls, names, macros, program numbers, M words, star lines
  // and whatever may start a comment.
  textOnlyBytes_.fill(false);
  for (int c = 0; c <= ' '; ++c) textOnlyBytes_[c] = true;
  // '=' and '%' for the checker: assignments of other dialects, the end of a program.
  for (const char c : {'\x7F', '$', '#', '[', '<', 'O', 'o', 'M', 'm', '*', ';', '=', '%'})
    textOnlyBytes_[c] = true;
  for (int c = 0; c < 128; ++c) textOnlyBytes_[c] = textOnlyBytes_[c] || characterTable[c] != 0;
}

void kNcGeometry::setProfile(const ControlProfile& profile) {
  profile_ = profile;
  checker_.configure(lintSettingsOf(profile));
}

void kNcGeometry::restart() {
  coordState_.reset();
  toolState_.reset();
  feedState_.reset();
  gcodes_.reset();
  absoluteCentres_ = commentDiameter_ = false;
  commentDiameterFrom_ = 0;
  // A restart gives the memory of a long program back.
  ends_ = decltype(ends_)();
  modal_ = decltype(modal_)();
  texts_.clear();
  arcs_.clear();
  faultyArcs_.clear();
  compRepeats_.clear();
  inch_ = false;
  offsets_.clear();
  wordValues_.clear();
  diameters_.clear();
  toolWords_.clear();
  feeds_.clear();
  feedTextPool_.clear();
  feedTextIndex_.clear();
  blockCount = 0;
  feedCount = 0;
  syntaxErrorBlock_ = 0;
  sourceLines_.clear();
  sourceFileOf_.clear();
  sourceFiles_.clear();
  evalProblems_.clear();
  frame_.reset();
  callRuns_.clear();
  callSites_.assign(1, CallSite{});
  callSiteIndex_.clear();
  statementTimes_.clear();
  lineInHandBlock_ = -1;
  checker_.reset();
  setCommentDelimiters(kParenthesesOnly);
  recordInitialBlock();
}

void kNcGeometry::readFrom(std::shared_ptr<const kNcText> source) { texts_.readFrom(std::move(source)); }

void kNcGeometry::reserveBlocks(int blocks) {
  const std::size_t total = static_cast<std::size_t>(blockCount) + static_cast<std::size_t>(blocks);
  ends_.reserve(total);
  modal_.reserve(total);
  texts_.reserve(blocks);
}

void kNcGeometry::resetExtents() {
  maxX = maxY = maxZ = -9999;
  minX = minY = minZ = 9999;
}

void kNcGeometry::recordInitialBlock() {
  coordState_.addBlock(0, 0, 500, 0, 0, 0);
  toolState_.addBlock(0, 0, 0);
  ends_.push_back({0, 0, 500});
  PackedModal modal;
  for (int g = 0; g < kScannedGroups; ++g) modal.setCode(g, gcodes_.code(g));
  modal_.push_back(modal.bits());
  texts_.addOwn(u"G90G00G17");
  arcs_.push(false);
  faultyArcs_.push(false);
  offsets_.push(false);
  wordValues_.push(false);
  diameters_.push(10);
  toolWords_.push({0, 0, 0});
  // Block 0 has no feed: its record is what a block before the first F word has.
  feeds_.push({kNoValue, feedTextId(u"")});
  resetExtents();
  toolChangeX = 0;
  toolChangeY = 0;
  toolChangeZ = 500;
  seenX = seenY = seenZ = false;
  blockCount = 1;
  feedCount = 0;
}

std::uint64_t kNcGeometry::feedTextId(const std::u16string& text) {
  const auto [entry, inserted] = feedTextIndex_.try_emplace(text, feedTextPool_.size());
  if (inserted) feedTextPool_.push_back(text);
  return entry->second;
}

void kNcGeometry::recordBlock(const BlockReading& reading, BlockFacts& facts, RadiusArc& radiusArc) {
  const int k = blockCount;
  coordState_.readBlock(reading.words);
  toolState_.readBlock(reading.words);
  feedState_.readBlock(reading.words);
  gcodes_.recordGCodes(reading.gcodes);
  if (reading.gcodes.has(kArcCentreWord))
    absoluteCentres_ = reading.gcodes.values[kArcCentreWord] == kAbsoluteCentres;
  // The groups a block does not name keep the previous block's codes.
  const PackedModal previous(modal_.back());
  PackedModal modal = previous;
  for (int g = 0; reading.gcodes.given != 0 && g < kScannedGroups; ++g) {
    if (reading.gcodes.has(g)) modal.setCode(g, gcodes_.code(g));
  }
  const int motion = modal.code(kGroupMotion);
  const int plane = modal.code(kGroupPlane);
  if (reading.gcodes.has(kGroupCutterComp) && modal.code(kGroupCutterComp) != 40 &&
      modal.code(kGroupCutterComp) == previous.code(kGroupCutterComp))
    compRepeats_.push_back(k);
  facts.compComesIntoForce = modal.code(kGroupCutterComp) != 40 && previous.code(kGroupCutterComp) == 40;
  facts.wordsGiven = reading.words.given;
  facts.motion = motion;
  facts.cycle = modal.code(kGroupCycle);
  facts.feed = feedState_.feedWord.lastValue();
  // A Fanuc-type control positions G53 at rapid traverse in machine coordinates, whatever motion is in force.
  if (reading.gcodes.has(kGroupOneShot) && reading.gcodes.values[kGroupOneShot] == 53 &&
      profile_.control != Control::linuxcnc && profile_.control != Control::grbl)
    facts.fixedPoint = true;
  modal.setCommentState(reading.commentState);
  modal.setOpenPair(reading.openPair);

  if (reading.gcodes.has(kGroupWork)) frame_.selectWork(modal.code(kGroupWork), profile_.workOffsets);
  const Point3 end = endPointOf(k, modal.code(kGroupDistance), plane, reading);
  facts.x = end.x;
  facts.y = end.y;
  facts.z = end.z;
  widen(minX, maxX, end.x, end.x, seenX);
  widen(minY, maxY, end.y, end.y, seenY);
  widen(minZ, maxZ, end.z, end.z, seenZ);
  Point3 offsets{coordState_.i.lastValue(), coordState_.j.lastValue(), coordState_.k.lastValue()};
  if (frame_.moved()) offsets = framedOffsets(offsets, plane);
  ArcFacts& arc = facts.arc;
  ArcRecord arcRecord{0, 0, 0};
  arc.isArc = (motion == 2 || motion == 3) && !reading.fixedPoint;
  if (arc.isArc) {
    // R is not modal: only the block's own R word gives the centre, and R0 gives none.
    arc.radiusWord = reading.words.has(kWordR) ? reading.words.value(kWordR) : 0;
    arcRecord = arcOf(plane, motion, k, end, offsets, arc.radiusWord, radiusArc, arc.fit);
    if (arc.radiusWord != 0) arc.byRadius = &radiusArc;
    arc.centreX = arcRecord.centreX;
    arc.centreY = arcRecord.centreY;
  }

  ends_.push_back(end);
  modal_.push_back(modal.bits());
  arcs_.push(arc.isArc, arcRecord);
  faultyArcs_.push(arc.isArc && arc.fit.faulty(profile_.control, inch_, profile_.arcTolerance));
  offsets_.push(!sameBits(offsets, Point3{0, 0, 0}), offsets);
  const Point3 words{coordState_.x.lastValue(), coordState_.y.lastValue(), coordState_.z.lastValue()};
  wordValues_.push(!sameBits(words, end), words);
  diameters_.push(reading.toolDiameter);
  toolWords_.push({toolState_.t.lastValue(), toolState_.h.lastValue(), toolState_.d.lastValue()});
  const std::uint64_t feedText =
      feedState_.textChanged() ? feedTextId(feedState_.valueText()) : feeds_.last().text;
  feeds_.push({feedState_.feedWord.lastValue(), feedText});
  if (reading.commentState == -1 && syntaxErrorBlock_ == 0) syntaxErrorBlock_ = k;
  ++blockCount;
  feedCount = blockCount - 1;
}

void kNcGeometry::applyDecimalInput(BlockWords& words) const {
  if (profile_.decimalInput != DecimalInput::standard || words.withoutPoint == 0) return;
  const double increment = inch_ ? 0.0001 : 0.001;
  for (int w = 0; w < kWordLetters; ++w) {
    if ((words.withoutPoint >> w & 1) != 0) words.values[w] *= increment;
  }
}

void kNcGeometry::noteUnits(const BlockGCodes& codes) {
  if (codes.has(kUnitsWord)) inch_ = codes.values[kUnitsWord] == kInchUnits;
}

kNcGeometry::Point3 kNcGeometry::endPointOf(int k, int distance, int plane, const BlockReading& reading) {
  const Point3 previous = ends_[static_cast<std::size_t>(k - 1)];
  if (reading.frame != 0) {
    applyFrameCommands(previous, plane, reading);
    // G92, G52 and G68 move nothing: their words set the frame.
    if ((reading.frame & kWordTakingCommands) != 0) return previous;
  }
  const Point3 words{coordState_.x.lastValue(), coordState_.y.lastValue(), coordState_.z.lastValue()};
  if (distance == 91 && !frame_.bent()) {
    return {previous.x + (reading.x ? words.x : 0), previous.y + (reading.y ? words.y : 0),
            previous.z + (reading.z ? words.z : 0)};
  }
  // The block in which G90 returns keeps the previous end point; its words act from the next block on.
  if (distance != 91 && codeOf(kGroupDistance, k - 1) == 91) return previous;
  if (!frame_.moved()) return words;
  return framedEndPoint(previous, distance, reading);
}

void kNcGeometry::widen(double& lo, double& hi, double low, double high, bool seen) {
  if (!seen) return;
  hi = std::max(hi, high);
  lo = std::min(lo, low);
}

double kNcGeometry::arcCentreX(int b) const { return arcs_.valueOr(b, {}).centreX; }
double kNcGeometry::arcCentreY(int b) const { return arcs_.valueOr(b, {}).centreY; }
double kNcGeometry::arcRadiusOf(int b) const { return arcs_.valueOr(b, {}).radius; }
double kNcGeometry::offsetKOf(int b) const { return offsets_.valueOr(b, {}).z; }

// A block's X, Y and Z words are its end point unless they were kept apart.
double kNcGeometry::wordXAt(int i) const { return wordValues_.valueOr(held(i), ends_[held(i)]).x; }
double kNcGeometry::wordYAt(int i) const { return wordValues_.valueOr(held(i), ends_[held(i)]).y; }
double kNcGeometry::wordZAt(int i) const { return wordValues_.valueOr(held(i), ends_[held(i)]).z; }
double kNcGeometry::wordIAt(int i) const { return offsets_.valueOr(held(i), {}).x; }
double kNcGeometry::wordJAt(int i) const { return offsets_.valueOr(held(i), {}).y; }
double kNcGeometry::wordKAt(int i) const { return offsetKOf(held(i)); }

std::u16string kNcGeometry::xTextAt(int i) const { return u"X" + formatReal(xAt(i), 3); }
std::u16string kNcGeometry::yTextAt(int i) const { return u"Y" + formatReal(yAt(i), 3); }
std::u16string kNcGeometry::zTextAt(int i) const { return u"Z" + formatReal(zAt(i), 3); }

int kNcGeometry::cutterCompAt(int i) const {
  const int code = codeOf(kGroupCutterComp, held(i));
  return code == 40 ? 0 : code;
}

const std::u16string& kNcGeometry::feedValueText(int b) const {
  return feedTextPool_[static_cast<std::size_t>(feeds_.at(clamped(b)).text)];
}

std::u16string_view kNcGeometry::lineOf(int k, std::u16string& storage) const {
  if (k == lineInHandBlock_) return lineInHand_;
  storage = blockTextAt(k);
  return storage;
}

int kNcGeometry::sourceLineOf(int b) const {
  if (sourceLines_.empty()) return clamped(b);
  return static_cast<int>(sourceLines_[static_cast<std::size_t>(clamped(b))]);
}

int kNcGeometry::sourceFileOf(int b) const {
  if (sourceFileOf_.empty()) return 0;
  return sourceFileOf_[static_cast<std::size_t>(clamped(b))];
}

void kNcGeometry::noteSource(int file, int line) {
  // Block 0, the initial state, comes from no line.
  sourceLines_.resize(static_cast<std::size_t>(blockCount), 0);
  sourceFileOf_.resize(static_cast<std::size_t>(blockCount), 0);
  sourceLines_.back() = static_cast<std::uint32_t>(line);
  sourceFileOf_.back() = static_cast<std::uint16_t>(file);
}

int kNcGeometry::callSiteIndex(const CallSite& site) {
  if (site.line == 0) return 0;
  const auto [entry, fresh] =
      callSiteIndex_.try_emplace({site.file, site.line, site.program}, static_cast<int>(callSites_.size()));
  if (fresh) callSites_.push_back(site);
  return entry->second;
}

void kNcGeometry::noteCall(int site) {
  if (callRuns_.empty() ? site == 0 : callRuns_.back().second == static_cast<std::uint32_t>(site)) return;
  callRuns_.emplace_back(static_cast<std::uint32_t>(blockCount - 1), static_cast<std::uint32_t>(site));
}

const kNcGeometry::CallSite& kNcGeometry::callOf(int b) const {
  const auto after = std::upper_bound(callRuns_.begin(), callRuns_.end(), static_cast<std::uint32_t>(clamped(b)),
                                      [](std::uint32_t block, const auto& run) { return block < run.first; });
  return after == callRuns_.begin() ? callSites_.front() : callSites_[std::prev(after)->second];
}

int kNcGeometry::statementTime(int file, int line) const {
  if (file < 0 || static_cast<std::size_t>(file) >= statementTimes_.size()) return -1;
  const std::vector<int>& times = statementTimes_[static_cast<std::size_t>(file)];
  return line >= 1 && static_cast<std::size_t>(line) <= times.size() ? times[static_cast<std::size_t>(line - 1)]
                                                                     : -1;
}
