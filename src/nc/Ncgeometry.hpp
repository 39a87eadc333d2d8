// The NC interpreter and block store: everything known per block (text, G codes, words, absolute end point,
// arc centre and radius, tool diameter, comment state) plus the extents of the tool path.
//
// Block 0 is the initial state (X0 Y0 Z500, G90 G00 G17, tool diameter 10); block k is the k-th line handed
// to interpretBlock. The ...At accessors read block i with i = 0 standing for the latest block; code that
// must read block 0 itself reads the lists directly (absX.get(0)).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "nc/Nccheck.hpp"
#include "nc/Ncgcode.hpp"
#include "nc/Ncxyz.hpp"
#include "nc/Vlist.hpp"

// How far an arc's radius may miss its start or end point before the arc counts as faulty.
inline constexpr double kArcFitTolerance = 0.002;

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

// An arc's radius and the distances of its start and end points from its centre, in the arc's plane.
struct ArcFit {
  double radius, startDistance, endDistance;
};

// A line split into code and comments, with its comment state and the pair that left a comment open.
struct CommentSplit {
  int state = 0;
  int openPair = 0;
  bool closerLook = true;  // the line holds a character that makes the checker scan it (BlockFacts)
  std::u16string code;
  std::u16string comment;
};

struct WorkWords;

class kNcGeometry : public kNcXYZIJK, public kNcGCode, public kNcTool, public kNcFeed {
 public:
  kNcGeometry(std::u16string_view open0, std::u16string_view close0, std::u16string_view open1,
              std::u16string_view close1, std::u16string_view open2, std::u16string_view close2);
  ~kNcGeometry() override = default;

  // Discards every block; delimiters become "(" ")" only.
  void restart();
  void setCommentDelimiters(std::u16string_view open0, std::u16string_view close0, std::u16string_view open1,
                            std::u16string_view close1, std::u16string_view open2, std::u16string_view close2);
  // Interprets one line into one new block; returns the new blockCount.
  int interpretBlock(std::u16string_view line);
  void resetExtents();
  // Room for this many more blocks and text characters, so that a long reading never moves its lists.
  void reserveBlocks(int blocks, std::size_t textChars);

  // Per-block accessors: i = 0 is the latest block, other indexes are clamped.
  double xAt(int i) const { return absX.get(latest(i)); }
  double yAt(int i) const { return absY.get(latest(i)); }
  double zAt(int i) const { return absZ.get(latest(i)); }
  double centreXAt(int i) const { return centreX.get(latest(i)); }
  double centreYAt(int i) const { return centreY.get(latest(i)); }
  double radiusAt(int i) const { return arcRadius.get(latest(i)); }
  // The Z of arc block i's centre (start Z + K): the store keeps only the X and Y of a centre.
  double centreZAt(int i) const;
  // Block i is an arc (G02/G03) whose radius misses its start or end point by kArcFitTolerance or more,
  // measured in the arc's plane.
  bool isFaultyArcAt(int i) const;
  // What isFaultyArcAt judges, for arc block i.
  ArcFit arcFitAt(int i) const;
  double toolDiameterAt(int i) const { return toolDiameter.get(latest(i)); }
  std::u16string xTextAt(int i) const;
  std::u16string yTextAt(int i) const;
  std::u16string zTextAt(int i) const;
  double wordXAt(int i) const { return x.get(latest(i)); }
  double wordYAt(int i) const { return y.get(latest(i)); }
  double wordZAt(int i) const { return z.get(latest(i)); }
  double wordIAt(int i) const { return kNcXYZIJK::i.get(latest(i)); }
  double wordJAt(int i) const { return j.get(latest(i)); }
  double wordKAt(int i) const { return k.get(latest(i)); }
  bool isRapidAt(int i) const { return gNumberAt(groupMotion, latest(i)) == 0; }
  bool isLinearAt(int i) const { return gNumberAt(groupMotion, latest(i)) == 1; }
  bool isArcCwAt(int i) const { return gNumberAt(groupMotion, latest(i)) == 2; }
  bool isArcCcwAt(int i) const { return gNumberAt(groupMotion, latest(i)) == 3; }
  bool inCycleAt(int i) const { return gNumberAt(groupCycle, latest(i)) != 80; }
  int cutterCompAt(int i) const;
  int commentStateAt(int i) const { return commentStates.get(latest(i)); }
  // Exactly block i, which must be held (0 <= i < blockCount).
  std::u16string_view blockTextAt(int i) const;

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

  // Appends the arc centre and radius of block k (an arc in plane p, centre by I/J/K) and widens the extents.
  void recordArc(int plane, int k);
  // The same for an arc given by its radius word r (not 0): the centre it gives is recorded as the block's
  // I/J/K offsets, so that everything downstream sees an I/J/K arc of radius |r|.
  RadiusArc recordRadiusArc(int plane, int k, double r);
  // The first block whose comment state is -1 (a comment syntax error), or 0 when there is none.
  int syntaxErrorBlock() const { return syntaxErrorBlock_; }
  // For each position of block k's code text `code`, its 1-based column in the block's text; 0 where that
  // cannot be told.
  void codeColumns(int k, std::u16string_view code, std::vector<int>& columns) const;
  // What the reading noted for the problems list (Ncproblems).
  const kNcChecker& checker() const { return checker_; }

  kDoubleList absX, absY, absZ;
  kDoubleList centreX, centreY, arcRadius;
  kDoubleList toolDiameter;
  kIntList commentStates;
  int blockCount = 0;
  std::array<std::u16string, 3> commentOpen;
  std::array<std::u16string, 3> commentClose;
  std::array<std::u16string, 4> diameterKeys{u"D=", u"DIA=", u"", u""};
  double maxX = -9999, maxY = -9999, maxZ = -9999;
  double minX = 9999, minY = 9999, minZ = 9999;
  double toolChangeX = 0, toolChangeY = 0, toolChangeZ = 500;
  bool seenX = false, seenY = false, seenZ = false;

 private:
  int latest(int i) const { return i == 0 ? blockCount - 1 : i; }
  int previousState(int k) const { return k >= 1 ? commentStates.get(k - 1) : 0; }
  int previousOpenPair(int k) const;
  void splitFreshLine(std::u16string_view text, int prevState, CommentSplit& out) const;
  // Bits of characterTable: a delimiter may start here; the checker must look closer ('#', '[', '<').
  enum : unsigned char { kMarkDelimiterStart = 1, kMarkCloserLook = 2 };
  unsigned characterMarks(std::u16string_view text) const;
  bool mentionsDelimiter(std::u16string_view text, unsigned marks) const;
  void recordInitialBlock();
  void appendBlockText(std::u16string_view line);
  void widen(double& lo, double& hi, double low, double high, bool seen);
  // Returns whether the working text was replaced rather than extended.
  bool rewriteSpecialBlocks(int k, WorkWords& words);
  double toolDiameterFor(int k, int state, std::u16string_view comment) const;
  void recordEndPoint(int k, int distance, const WorkWords& words);
  void recordArcCentre(int plane, int k, double radius);

  // Block texts live in one buffer: the program is millions of short lines.
  std::vector<char16_t, BulkAllocator<char16_t>> textBuffer;
  std::vector<std::size_t, BulkAllocator<std::size_t>> textStarts;
  // The pair whose comment a block left open (meaningful where its state is 2).
  std::vector<unsigned char, BulkAllocator<unsigned char>> openPairs;
  CommentSplit split;
  // The first characters of the delimiters: a line without any of them holds no comment.
  std::u16string delimiterStarts;
  std::array<unsigned char, 128> characterTable{};
  int syntaxErrorBlock_ = 0;
  std::u16string work;
  // The code text of a block whose working text was replaced.
  std::u16string replacedCode;
  // Read for arc blocks only; it records nothing, since R is not modal and no list needs it.
  const kNcWord radiusWord{u"R", 1};
  kNcChecker checker_;
};

// The bounding box of an arc in its plane's coordinates (a, b): dir 2 clockwise, 3 counter-clockwise.
ArcBox arcBounds(int dir, double radius, double ca, double cb, double sa, double sb, double ea, double eb);
// The centre of an arc from S to E given by its radius word r (not 0), in axes (a, b) ordered so that dir 2
// turns clockwise seen from the plane's positive normal.
RadiusArc radiusArcCentre(int dir, double r, double sa, double sb, double ea, double eb);
