// The NC interpreter and block store: everything known per block (text, G codes, words, absolute end point,
// arc centre and radius, tool diameter, comment state) plus the extents of the tool path.
//
// Block 0 is the initial state (X0 Y0 Z500, G90 G00 G17, tool diameter 10); block k is the k-th line handed
// to the interpreter. The ...At accessors read block i with i = 0 standing for the latest block; the columns
// (absX.get(b), gNumberAt(groupPlane, b) ...) read block b itself. Both clamp indexes to the blocks held.
//
// A block costs 32 bytes (its end point, its packed modal state, where its text starts in the program text)
// and a few bits; arcs, tool changes, feeds and word values that differ from the end point sit in side
// columns that only the blocks having them fill.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "eval/Evalue.hpp"
#include "nc/Ncblocks.hpp"
#include "nc/Ncblocktext.hpp"
#include "nc/Nccheck.hpp"
#include "nc/Ncframe.hpp"
#include "nc/Ncgcode.hpp"
#include "nc/Ncmodal.hpp"
#include "nc/Ncprofile.hpp"
#include "nc/Ncxyz.hpp"
#include "util/BulkAllocator.hpp"

class kNcText;
struct PlainLine;

// The three comment delimiter pairs of a reading; an empty closing delimiter ends the comment at the line end.
struct CommentDelimiters {
  std::u16string_view open0, close0, open1, close1, open2, close2;
};
// What the window and the command line read programs with: "/*" … "*/", "//" to the line end, "(" … ")".
// Beyond the pairs, a ';' outside them starts a comment to the end of the line in every reading.
inline constexpr CommentDelimiters kProgramDelimiters{u"/*", u"*/", u"//", u"", u"(", u")"};
// What a store knows right after restart: parentheses only.
inline constexpr CommentDelimiters kParenthesesOnly{u"(", u")", u"", u"", u"", u""};

inline constexpr char16_t kLineComment = u';';

struct ArcBox {
  double maxA, maxB, minA, minB;
};

// How the end points of an arc given by R sit on its circle.
enum class RadiusFit : unsigned char { fits, fullCircle, tooSmall };

// An arc given by R: its centre in the plane's axes (a, b), and the half chord the fit was judged by.
struct RadiusArc {
  double ca, cb;
  RadiusFit fit;
  double halfChord;
};

// A line split into code and comments, with its comment state and the pair that left a comment open.
struct CommentSplit {
  int state = 0;
  int openPair = 0;
  bool closerLook = true;  // the line holds a character that makes the checker scan it (BlockFacts)
  std::u16string code;
  std::u16string comment;
};

class kNcGeometry;

// A per-block list of the store read by block index, clamped to the blocks held.
template <typename T>
class kNcColumn {
 public:
  using Reader = T (kNcGeometry::*)(int) const;
  kNcColumn(const kNcGeometry& store, Reader read) : store_(store), read_(read) {}
  T get(int block) const;
  int count() const;

 private:
  const kNcGeometry& store_;
  Reader read_;
};

// The codes of one G group, block by block.
class kNcGroupColumn {
 public:
  kNcGroupColumn(const kNcGeometry& store, GroupIndex group) : store_(store), group_(group) {}
  // Block b's G number in the group (clamped).
  int get(int block) const;
  GroupIndex group() const { return group_; }

 private:
  const kNcGeometry& store_;
  GroupIndex group_;
};

// The G number a group has in block b (direct index, clamped).
inline int gNumberAt(const kNcGroupColumn& group, int block) { return group.get(block); }

struct WorkWords;

class kNcGeometry {
 public:
  explicit kNcGeometry(const CommentDelimiters& delimiters = kParenthesesOnly);
  kNcGeometry(std::u16string_view open0, std::u16string_view close0, std::u16string_view open1,
              std::u16string_view close1, std::u16string_view open2, std::u16string_view close2);
  // The columns refer to their store.
  kNcGeometry(const kNcGeometry&) = delete;
  kNcGeometry& operator=(const kNcGeometry&) = delete;
  ~kNcGeometry();

  // Discards every block; delimiters become "(" ")" only. The profile stays.
  void restart();
  // The control profile the next reading follows: its arc rule and its reading of numbers.
  void setProfile(const ControlProfile& profile);
  const ControlProfile& profile() const { return profile_; }
  // G20 is in force after the latest block.
  bool inchInForce() const { return inch_; }
  void setCommentDelimiters(const CommentDelimiters& delimiters);
  void setCommentDelimiters(std::u16string_view open0, std::u16string_view close0, std::u16string_view open1,
                            std::u16string_view close1, std::u16string_view open2, std::u16string_view close2);
  // Interprets one line into one new block, which keeps its own copy of the line; returns the new blockCount.
  int interpretBlock(std::u16string_view line);
  void resetExtents();

  // The reader's entry points. After readFrom, each block read next is the line of `source` that follows the
  // one read before: interpretLine takes it as `line` (decoded and prepared, Ncline), readPlainLine as the
  // scanned words of a plain ASCII line; readPlainLine declines (false) where the line must be read as text.
  void readFrom(std::shared_ptr<const kNcText> source);
  int interpretLine(std::u16string_view line, std::size_t lineEnd);
  bool readPlainLine(const PlainLine& line, std::size_t lineEnd);
  // A block an evaluation made: read in one pass where it is plain, else as text.
  int interpretPlainBlock(std::u16string_view block);
  // Room for this many more blocks, so that a long reading never moves its records.
  void reserveBlocks(int blocks);
  // The characters that send a line to interpretLine, by byte: delimiters, '$', '#' and the like (Ncplain).
  const std::array<bool, 128>& textOnlyBytes() const { return textOnlyBytes_; }

  // Per-block accessors: i = 0 is the latest block, other indexes are clamped.
  double xAt(int i) const { return endX(held(i)); }
  double yAt(int i) const { return endY(held(i)); }
  double zAt(int i) const { return endZ(held(i)); }
  double centreXAt(int i) const { return arcCentreX(held(i)); }
  double centreYAt(int i) const { return arcCentreY(held(i)); }
  double radiusAt(int i) const { return arcRadiusOf(held(i)); }
  // The Z of arc block i's centre (start Z + K): the store keeps only the X and Y of a centre.
  double centreZAt(int i) const;
  // Block i is an arc (G02/G03) that the control of the profile rejects (ArcFit::faulty), judged once as it
  // was read.
  bool isFaultyArcAt(int i) const;
  // What isFaultyArcAt judges, for arc block i.
  ArcFit arcFitAt(int i) const;
  double toolDiameterAt(int i) const { return diameterOf(held(i)); }
  // Block b's tool diameter was given by a D= or DIA= comment (at b or before), not assumed.
  bool diameterGivenAt(int b) const { return commentDiameterFrom_ != 0 && b >= commentDiameterFrom_; }
  std::u16string xTextAt(int i) const;
  std::u16string yTextAt(int i) const;
  std::u16string zTextAt(int i) const;
  // The values the X … K, T, H, D and F words have in block i: X, Y, Z, T, H, D and F repeat the previous
  // block's when the block has none, I, J, K are 0 then. I, J, K are offsets from the start: those R or
  // absolute centres (G90.1) give are recorded as offsets.
  double wordXAt(int i) const;
  double wordYAt(int i) const;
  double wordZAt(int i) const;
  double wordIAt(int i) const;
  double wordJAt(int i) const;
  double wordKAt(int i) const;
  double wordTAt(int i) const { return toolWords_.at(held(i)).x; }
  double wordHAt(int i) const { return toolWords_.at(held(i)).y; }
  double wordDAt(int i) const { return toolWords_.at(held(i)).z; }
  double wordFAt(int i) const { return feeds_.at(held(i)).value; }
  bool isRapidAt(int i) const { return codeOf(kGroupMotion, held(i)) == 0; }
  bool isLinearAt(int i) const { return codeOf(kGroupMotion, held(i)) == 1; }
  bool isArcCwAt(int i) const { return codeOf(kGroupMotion, held(i)) == 2; }
  bool isArcCcwAt(int i) const { return codeOf(kGroupMotion, held(i)) == 3; }
  // Block i moves on an arc: G02 or G03 in force, and no move to a fixed point (a tool change, G28), which
  // goes straight and keeps the motion code for the blocks after it.
  bool isArcAt(int i) const { return arcs_.find(held(i)) != nullptr; }
  bool inCycleAt(int i) const { return codeOf(kGroupCycle, held(i)) != 80; }
  int cutterCompAt(int i) const;
  // Block b gives G41 or G42 while that same code is in force (the codes above record only what is in force).
  bool cutterCompRepeatedAt(int b) const {
    return !compRepeats_.empty() && std::binary_search(compRepeats_.begin(), compRepeats_.end(), b);
  }
  int commentStateAt(int i) const { return commentStateOfBlock(held(i)); }
  // Exactly block i, which must be held (0 <= i < blockCount): the line as the interpreter got it.
  std::u16string blockTextAt(int i) const { return texts_.textOf(i); }
  // The feed text without its letter for block b ("" for block 0), e.g. "200"; clamped to the blocks held.
  const std::u16string& feedValueText(int b) const;

  // Comment splitting of block k (k = 0: the latest block), with all three delimiter pairs.
  int commentStateOf(int k) const;
  std::u16string codeTextOf(int k) const;
  std::u16string commentTextOf(int k) const;
  // Per-pair operations on a text T examined as block k.
  int commentDepth(std::u16string_view text, std::u16string_view open, std::u16string_view close, int k) const;
  std::u16string stripComments(std::u16string_view text, std::u16string_view open, std::u16string_view close,
                               int k) const;
  std::u16string extractComments(std::u16string_view text, std::u16string_view open, std::u16string_view close,
                                 int k) const;
  // Splits a line whose previous block had state `prevState` (and left pair `prevOpenPair` open).
  void splitComments(std::u16string_view text, int prevState, int prevOpenPair, CommentSplit& out) const;

  // The first block whose comment state is -1 (a comment syntax error), or 0 when there is none.
  int syntaxErrorBlock() const { return syntaxErrorBlock_; }
  // For each position of block k's code text `code`, its 1-based column in the block's text; 0 where that
  // cannot be told.
  void codeColumns(int k, std::u16string_view code, std::vector<int>& columns) const;
  // What the reading noted for the problems list (Ncproblems).
  const kNcChecker& checker() const { return checker_; }
  // The next block's words of these letters (bit 0: A) had values evaluation could not know, and were left out;
  // `callLeftOut`: a call before it was left out, so what it would have set is not known.
  void noteUnknownWords(std::uint32_t letters, bool callLeftOut) {
    checker_.noteUnknownWords(letters, callLeftOut);
  }
  // The G words the latest block read as text took, and where the first that no slot takes stands (npos:
  // none).
  const GWordsFound& gWordsRead() const { return gcodes_.gWordsRead(); }
  std::size_t gOutsideAt() const { return gcodes_.gOutsideAt(); }
  // Block k's text; a view of the line in hand while block k is being read, else made in `storage`.
  std::u16string_view lineOf(int k, std::u16string& storage) const;

  // An evaluated program's blocks are its executed blocks, each with the line (from 1) and file it came from;
  // a plain program's block k is line k. File 0 is the main program; sourceFiles() names the others as found.
  bool isEvaluated() const { return !sourceLines_.empty(); }
  int sourceLineOf(int b) const;
  int sourceFileOf(int b) const;
  const std::vector<std::string>& sourceFiles() const { return sourceFiles_; }
  // Ties the latest block to `line` of `file`; the first call makes the store an evaluated one.
  void noteSource(int file, int line);
  void setSourceFiles(std::vector<std::string> files) { sourceFiles_ = std::move(files); }
  // The innermost call an evaluated block runs in: the calling line (from 1) and its file, and the name of the
  // program called ("O9010"); line 0 for the main program's own blocks.
  struct CallSite {
    int file = 0;
    int line = 0;
    std::string program;
  };
  // The index of `site` among the call sites, added when new; 0 is the main program's.
  int callSiteIndex(const CallSite& site);
  // Ties the latest block, and those after it until another call site is noted, to call site `site`.
  void noteCall(int site);
  // Block b's call site; the main program's (line 0) for a plain program.
  const CallSite& callOf(int b) const;
  // The lines that ran without becoming a block (assignments, loops, jumps, calls): by file and line index, the
  // latest block when each first ran, -1 for the other lines.
  void setStatementTimes(std::vector<std::vector<int>> times) { statementTimes_ = std::move(times); }
  // The latest block when line `line` (from 1) of `file` first ran as a statement; -1 when it never did.
  int statementTime(int file, int line) const;
  // What evaluation found (limits, unknown values, calls not found), by source line and file.
  const std::vector<EvalProblem>& evalProblems() const { return evalProblems_; }
  void setEvalProblems(std::vector<EvalProblem> problems) { evalProblems_ = std::move(problems); }
  // The offset the work offsets, G52 and G92 put between the program's coordinates and the drawing's
  // (drawing = program + shift, where no turn or polar words are in force).
  double shiftX() const { return frame_.shift()[0]; }
  double shiftY() const { return frame_.shift()[1]; }
  double shiftZ() const { return frame_.shift()[2]; }
  // The latest block's end point in the coordinates the program is in (shifted and turned, never polar).
  std::array<double, 3> workPosition() const;

  // Block-indexed columns (block 0 is block 0).
  const kNcColumn<double> absX{*this, &kNcGeometry::endX};
  const kNcColumn<double> absY{*this, &kNcGeometry::endY};
  const kNcColumn<double> absZ{*this, &kNcGeometry::endZ};
  const kNcColumn<double> centreX{*this, &kNcGeometry::arcCentreX};
  const kNcColumn<double> centreY{*this, &kNcGeometry::arcCentreY};
  const kNcColumn<double> arcRadius{*this, &kNcGeometry::arcRadiusOf};
  const kNcColumn<double> toolDiameter{*this, &kNcGeometry::diameterOf};
  const kNcColumn<double> d{*this, &kNcGeometry::dWordOf};
  const kNcColumn<int> commentStates{*this, &kNcGeometry::commentStateOfBlock};
  const kNcGroupColumn groupOneShot{*this, kGroupOneShot};
  const kNcGroupColumn groupMotion{*this, kGroupMotion};
  const kNcGroupColumn groupPlane{*this, kGroupPlane};
  const kNcGroupColumn groupDistance{*this, kGroupDistance};
  const kNcGroupColumn groupCutterComp{*this, kGroupCutterComp};
  const kNcGroupColumn groupToolLength{*this, kGroupToolLength};
  const kNcGroupColumn groupCycle{*this, kGroupCycle};
  const kNcGroupColumn groupReturn{*this, kGroupReturn};
  const kNcGroupColumn groupWork{*this, kGroupWork};

  int blockCount = 0;
  // The blocks with a feed record: every block but block 0.
  int feedCount = 0;
  std::array<std::u16string, 3> commentOpen;
  std::array<std::u16string, 3> commentClose;
  std::array<std::u16string, 4> diameterKeys{u"D=", u"DIA=", u"", u""};
  double maxX = -9999, maxY = -9999, maxZ = -9999;
  double minX = 9999, minY = 9999, minZ = 9999;
  double toolChangeX = 0, toolChangeY = 0, toolChangeZ = 500;
  bool seenX = false, seenY = false, seenZ = false;

 private:
  template <typename T>
  friend class kNcColumn;
  friend class kNcGroupColumn;

  // Readers of held blocks, for the columns and the accessors.
  double endX(int b) const { return ends_[static_cast<std::size_t>(b)].x; }
  double endY(int b) const { return ends_[static_cast<std::size_t>(b)].y; }
  double endZ(int b) const { return ends_[static_cast<std::size_t>(b)].z; }
  double arcCentreX(int b) const;
  double arcCentreY(int b) const;
  double arcRadiusOf(int b) const;
  double diameterOf(int b) const { return diameters_.at(b); }
  double dWordOf(int b) const { return toolWords_.at(b).z; }
  int commentStateOfBlock(int b) const { return PackedModal(modal_[static_cast<std::size_t>(b)]).commentState(); }
  int codeOf(int group, int b) const { return PackedModal(modal_[static_cast<std::size_t>(b)]).code(group); }

  // Clamps a block index to the blocks held.
  int clamped(int b) const { return b < 0 ? 0 : (b >= blockCount ? blockCount - 1 : b); }

  struct Point3 {
    double x, y, z;
  };
  struct ArcRecord {
    double centreX, centreY, radius;
  };
  struct FeedRecord {
    double value;
    std::uint64_t text;  // in feedTextPool_
  };
  // What a block gives, whichever way its line was read, before it becomes records.
  struct BlockReading {
    BlockWords words;
    BlockGCodes gcodes;
    bool x = false, y = false, z = false;  // the working text names the axis (incremental moves add it)
    int commentState = 0;
    int openPair = 0;
    double toolDiameter = 0;
    bool fixedPoint = false;  // a move to a fixed point (tool change, reference return): no arc
    bool toolChange = false;
    unsigned frame = 0;  // FrameCommand bits
  };

  int latest(int i) const { return i == 0 ? blockCount - 1 : i; }
  int held(int i) const { return clamped(latest(i)); }
  int previousState(int k) const { return k >= 1 ? commentStateOfBlock(clamped(k - 1)) : 0; }
  int previousOpenPair(int k) const;
  void splitFreshLine(std::u16string_view text, int prevState, CommentSplit& out) const;
  // splitComments for the three pairs alone.
  void splitDelimited(std::u16string_view text, int prevState, int prevOpenPair, CommentSplit& out) const;
  // Bits of characterTable: a delimiter may start here; the checker must look closer ('#', '[', '<').
  enum : unsigned char { kMarkDelimiterStart = 1, kMarkCloserLook = 2 };
  unsigned characterMarks(std::u16string_view text) const;
  bool mentionsDelimiter(std::u16string_view text, unsigned marks) const;
  void recordInitialBlock();
  void widen(double& lo, double& hi, double low, double high, bool seen);
  // The text reading of a block whose text the store has already taken: comments, rewrites, words.
  int interpretText(std::u16string_view line);
  bool readsPlain() const;
  void readPlainWords(const PlainLine& line);
  // Returns whether the working text was replaced rather than extended.
  bool rewriteSpecialBlocks(int k, WorkWords& words);
  // M99's move back to the start point (X0 Y0 Z500, a machine position), in the program's coordinates.
  void appendReturnToStart(WorkWords& words);
  // Block's tool diameter; follows the units the block's G codes set.
  double toolDiameterFor(int state, std::u16string_view comment);
  // Turns what block k gives into its records; `facts` gets what the checker needs beyond them, with
  // `radiusArc` holding the centre of an arc given by R.
  void recordBlock(const BlockReading& reading, BlockFacts& facts, RadiusArc& radiusArc);
  Point3 endPointOf(int k, int distance, int plane, const BlockReading& reading);
  // The end point where a shift or turn has been in force: words through the frame, unnamed axes kept.
  Point3 framedEndPoint(const Point3& previous, int distance, const BlockReading& reading) const;
  // Follows the block's frame commands, the tool standing at `previous`.
  void applyFrameCommands(const Point3& previous, int plane, const BlockReading& reading);
  // A drawing point in the program's coordinates (what words must say to reach it).
  Point3 programPointOf(const Point3& drawing) const;
  // I, J, K (offsets, or a centre under G90.1) in drawing axes.
  Point3 framedOffsets(const Point3& offsets, int plane) const;
  // The arc record of block k (an arc in `plane` ending at `end`): centre by I/J/K, or by R when `r` is not 0,
  // in which case the offsets become the computed centre's.
  // `fit` gets the arc's verdict.
  ArcRecord arcOf(int plane, int motion, int k, const Point3& end, Point3& offsets, double r, RadiusArc& byRadius,
                  ArcFit& fit);
  double offsetKOf(int b) const;
  // Literal X … R numbers without a point in least increments, when the profile reads them so.
  void applyDecimalInput(BlockWords& words) const;
  // Follows G20 and G21 in a block's code text.
  // G20 or G21 in the block's G codes sets the units from this block on.
  void noteUnits(const BlockGCodes& codes);
  // The diameter of a tool no comment has named: 10 mm in the units in force.
  double uncommentedDiameter() const;
  std::uint64_t feedTextId(const std::u16string& text);

  // Source lines and files of an evaluated program's blocks (empty for a plain program).
  std::vector<std::uint32_t> sourceLines_;
  std::vector<std::uint16_t> sourceFileOf_;
  std::vector<std::string> sourceFiles_;
  std::vector<EvalProblem> evalProblems_;
  // The coordinate frame the words are in.
  kNcFrame frame_;
  // Calls come in runs of blocks: (first block, call site) where the site changes, and the distinct sites.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> callRuns_;
  std::vector<CallSite> callSites_{CallSite{}};
  std::map<std::tuple<int, int, std::string>, int> callSiteIndex_;
  std::vector<std::vector<int>> statementTimes_;

  // The records of every block.
  std::vector<Point3, BulkAllocator<Point3>> ends_;
  std::vector<std::uint32_t, BulkAllocator<std::uint32_t>> modal_;
  kNcBlockTexts texts_;
  SparseColumn<ArcRecord> arcs_;
  BlockBits faultyArcs_;
  std::vector<int> compRepeats_;     // blocks giving again the G41 or G42 in force, in order
  SparseColumn<Point3> offsets_;     // I, J, K where one is not 0
  SparseColumn<Point3> wordValues_;  // X, Y, Z word values where they are not the end point
  StepColumn<double> diameters_;
  StepColumn<Point3> toolWords_;  // T, H, D
  StepColumn<FeedRecord> feeds_;
  // Feed texts repeat from block to block: each distinct text is stored once.
  std::vector<std::u16string> feedTextPool_;
  std::unordered_map<std::u16string, std::uint64_t> feedTextIndex_;

  // The modal state of the reading: the words and G codes of the latest block.
  kNcXYZIJK coordState_;
  kNcTool toolState_;
  kNcFeed feedState_;
  kNcGCode gcodes_;
  bool absoluteCentres_ = false;  // G90.1 in force: I, J, K are the centre's coordinates
  bool commentDiameter_ = false;  // a comment has given the tool's diameter
  int commentDiameterFrom_ = 0;   // the first block whose diameter a comment gave (0: none)
  // The line of the block being read, while it is read.
  std::u16string_view lineInHand_;
  int lineInHandBlock_ = -1;

  CommentSplit split;
  // The first characters of the delimiters: a line without any of them holds no comment.
  std::u16string delimiterStarts;
  std::array<unsigned char, 128> characterTable{};
  std::array<bool, 128> textOnlyBytes_{};
  int syntaxErrorBlock_ = 0;
  std::u16string work;
  // The code text of a block whose working text was replaced.
  std::u16string replacedCode;
  kNcChecker checker_;
  ControlProfile profile_;
  bool inch_ = false;  // G20 in force
};

template <typename T>
T kNcColumn<T>::get(int block) const {
  return (store_.*read_)(store_.clamped(block));
}

template <typename T>
int kNcColumn<T>::count() const {
  return store_.blockCount;
}

inline int kNcGroupColumn::get(int block) const { return store_.codeOf(group_, store_.clamped(block)); }

// The bounding box of an arc in its plane's coordinates (a, b): dir 2 clockwise, 3 counter-clockwise.
ArcBox arcBounds(int dir, double radius, double ca, double cb, double sa, double sb, double ea, double eb);
// The centre of an arc from S to E given by its radius word r (not 0), in axes (a, b) ordered so that dir 2
// turns clockwise seen from the plane's positive normal.
RadiusArc radiusArcCentre(int dir, double r, double sa, double sb, double ea, double eb);
