// The checking half of a reading: what each block's code text and records show is noted as the block is
// read, in a compact form; Ncproblems turns the notes into worded problems when the list is asked for.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class kNcGeometry;
class ScannedBlock;
struct RadiusArc;

// Every rule a problem can come from; the table in Ncproblems gives each its id and severity.
enum class Rule : std::uint8_t {
  arcRadiusMismatch,
  arcRTooSmall,
  arcRFullCircle,
  commentSyntax,
  coordinateOverflow,
  unsupported,
  unknownGCode,
  gCodeReadAs,
  gCodeNotRead,
  numberOverflow,
  blankAfterLetter,
  compWithoutD,
  commentUnclosed,
  nothingToDraw,
  compEntryTooShort,
  compGouge,
  compArcTooSmall,
  compSameCentre,
  compPlane,
  compEntryArc,
  compExitArc,
  compAlreadyOn,
  compOpenAtEnd,
  compRadiusUnknown,
};
inline constexpr int kRuleCount = static_cast<int>(Rule::compRadiusUnknown) + 1;

// The kinds of construct the checker does not evaluate: one warning per kind and line.
enum class Unsupported : std::uint8_t { macro, subprogram, transform, shift };
// The constructs themselves, each of one kind.
enum class Construct : std::uint8_t {
  macroVariable,      // #
  expression,         // [ ]
  subprogramCall,     // M98
  macroCall,          // G65, G66
  jump,               // M99 with P, GOTO
  oWordControl,       // O100 SUB, CALL, IF, WHILE ...
  rotation,           // G68
  scaling,            // G51
  polar,              // G16
  localShift,         // G52
  coordinateSetting,  // G92 with axis words
};

// One problem before it is put into words: where, which rule, and the texts and numbers its message names.
struct Finding {
  static constexpr std::size_t kTokenSize = 16;

  int line = 0;
  int column = 0;
  Rule rule = Rule::unsupported;
  std::uint8_t detail = 0;  // the Construct of an unsupported problem, or which variant of a rule's message
  std::uint8_t tokenLength = 0;
  std::array<char16_t, kTokenSize> token{};  // the word concerned, as written (cut to kTokenSize)
  double numbers[3] = {0, 0, 0};

  std::u16string_view tokenText() const { return {token.data(), tokenLength}; }
  void setToken(std::u16string_view text);
  // Adds a second text after a blank.
  void appendToken(std::u16string_view text);
};

// How far an arc's radius may miss its start or end point before the arc counts as faulty.
inline constexpr double kArcFitTolerance = 0.002;

// An arc's radius and the distances of its start and end points from its centre, in the arc's plane.
struct ArcFit {
  double radius, startDistance, endDistance;
  // The radius misses the start or the end point by kArcFitTolerance or more.
  bool faulty() const;
};

// What the interpreter knows about a block's arc, its records included, so that the checker need not read
// them back.
struct ArcFacts {
  bool isArc = false;
  const RadiusArc* byRadius = nullptr;  // set when the centre came from R
  double radiusWord = 0;
  double centreX = 0, centreY = 0;  // as recorded
  ArcFit fit{0, 0, 0};
};

// A number text needs more integer digits than this to exceed the largest double.
inline constexpr std::size_t kLongestReadableNumber = 308;

// What the interpreter knows about a block beyond its records.
struct BlockFacts {
  bool rewritten = false;  // the working text replaced the code text rather than extending it
  // The code holds '#', '[' or '<', a letter followed by a blank, or is long enough for a number too
  // large to read: the checker scans it rather than look at what the words read.
  bool closerLook = false;
  double x = 0, y = 0, z = 0;       // the end point
  bool compComesIntoForce = false;  // G41 or G42 after G40
  ArcFacts arc;
};

class kNcChecker {
 public:
  void reset();
  // Block k has been recorded from its text: `code` is its line without comments, `words` its working text
  // as the words read it.
  void noteText(const kNcGeometry& g, int k, std::u16string_view code, const ScannedBlock& words,
                const BlockFacts& facts);
  // Then, for every block however it was read, what its records show; `dGiven` tells whether the block has a
  // D word with a number.
  void noteRecords(const kNcGeometry& g, int k, std::u16string_view code, bool dGiven, const BlockFacts& facts);

  const std::vector<Finding>& findings() const { return findings_; }
  // Some block moves in X or Y, draws a circle or a hole.
  bool drawsSomething() const { return drawsSomething_; }
  // The line that opened the comment still open after the last block; 0 when none is.
  int unclosedCommentLine(const kNcGeometry& g) const;

 private:
  // What the checks of one line share.
  struct LineState {
    explicit LineState(std::u16string_view code) : code(code) {}
    // Position of the first `capital` in the code, npos when there is none: one pass on first use, so that
    // a long hostile line costs no more than its length.
    std::size_t firstOf(char16_t capital);
    bool hasAxisWord() {
      return firstOf(u'X') != std::u16string_view::npos || firstOf(u'Y') != std::u16string_view::npos ||
             firstOf(u'Z') != std::u16string_view::npos;
    }

    const std::u16string_view code;
    unsigned kindsNoted = 0;  // a bit per Unsupported kind
    bool blankNoted = false;
    std::u16string_view stopWord;  // the G word the reading of G codes stopped at
    bool gStopped = false;
    bool firstKnown = false;
    std::array<std::uint32_t, 26> first{};
  };
  static bool mayNeedLook(const kNcGeometry& g, const ScannedBlock& words);
  void noteOrdinaryText(const kNcGeometry& g, int k, std::u16string_view code, const ScannedBlock& words);
  void noteReadGWord(const kNcGeometry& g, int k, std::u16string_view code, std::size_t at,
                     std::u16string_view word, int group, double value, LineState& line);
  void scanCode(const kNcGeometry& g, int k, std::u16string_view code, LineState& line);
  void noteGWord(const kNcGeometry& g, int k, std::u16string_view code, std::size_t at, LineState& line);
  void noteUnknownG(const kNcGeometry& g, int k, std::u16string_view code, std::size_t at,
                    std::u16string_view word, double value, LineState& line);
  void noteMWord(const kNcGeometry& g, int k, std::u16string_view code, std::size_t at, LineState& line);
  void noteBlank(const kNcGeometry& g, int k, std::u16string_view code, std::size_t at, LineState& line);
  void noteOWord(const kNcGeometry& g, int k, std::u16string_view code, LineState& line);
  void noteOverflows(const kNcGeometry& g, int k, std::u16string_view code, LineState& line);
  void noteComments(const kNcGeometry& g, int k);
  void noteCompensation(const kNcGeometry& g, int k, std::u16string_view code, bool dGiven,
                        const BlockFacts& facts);
  void notePositionChange(const kNcGeometry& g, int k, bool finite, const BlockFacts& facts);
  void noteDrawing(const kNcGeometry& g, int k, const ArcFacts& arc);
  void noteArc(const kNcGeometry& g, int k, const ArcFacts& arc);
  void noteUnsupported(const kNcGeometry& g, int k, std::u16string_view code, std::size_t at,
                       std::u16string_view token, Construct construct, LineState& line);
  Finding& add(const kNcGeometry& g, int k, Rule rule, std::u16string_view code, std::size_t at,
               std::u16string_view token);
  int columnOf(const kNcGeometry& g, int k, std::u16string_view code, std::size_t at);

  std::vector<Finding> findings_;
  bool drawsSomething_ = false;
  bool dWordGiven_ = false;
  bool positionFinite_ = true;
  int commentOpenedAt_ = 0;
  static constexpr int kMostPerLine = 16;
  int lineOfCount_ = 0, countOnLine_ = 0;
  Finding discarded_;
  // The columns of the code text of line lineOfColumns_, when it held comments.
  int lineOfColumns_ = 0;
  std::vector<int> columns_;
};
