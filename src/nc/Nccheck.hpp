// The checking half of a reading: what each block's code text and records show is noted as the block is
// read, in a compact form; Ncproblems turns the notes into worded problems when the list is asked for.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "nc/Ncprofile.hpp"

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
  numberOverflow,
  compWithoutD,
  commentUnclosed,
  nothingToDraw,
  feedUndefined,
  cycleWithoutR,
  missingDecimalPoint,
  rapidPlunge,
  rapidInStock,
  arcOffsetOutsidePlane,
  arcMixedRIjk,
  commentNested,
  programEndMissing,
  unsupportedDialect,
  unknownRule,
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

// What a rule is set to for one reading: off, or the severity it reports with.
enum class RuleLevel : std::uint8_t { off, warning, error };

// What the checker needs of a control profile, made from it by lintSettingsOf (Nclint).
struct LintSettings {
  // The Z of the stock's top; unset: Z0 is assumed, and the first rapid problem says so.
  std::optional<double> stockTop;
  // Numbers without a point are least increments: the checker tells where a point is missing.
  bool decimalStandard = false;
  std::array<RuleLevel, kRuleCount> levels{};
};
// The settings of the default profile: every rule at its default.
LintSettings defaultLintSettings();

// An inline `velmora:` directive: the rules it silences (a bit per Rule) over the lines [from, to].
struct Suppression {
  int from = 0, to = 0;
  std::uint32_t rules = 0;
};
static_assert(kRuleCount <= 32, "a suppression holds a bit per rule");

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
  // Half the chord of an arc given by R (0 when it ends where it starts); -1 for an arc given by I, J, K.
  double halfChord = -1;

  // The radius misses the start or the end point by kArcFitTolerance or more: the strict rule.
  bool faulty() const;
  // Whether `control` rejects the arc, in inch while G20 is in force; `tolerance` is the fanuc and haas limit
  // in program units (unset: the strict rule).
  bool faulty(Control control, bool inch, std::optional<double> tolerance) const;
};

// The controls whose arc rules are fixed; fanuc and haas judge by a tolerance of the profile.
inline constexpr Control kFixedArcRules[] = {Control::strict, Control::linuxcnc, Control::grbl, Control::mach3};
// A bit per Control (1 << control) of those that reject the arc: the fixed ones, and `profile`'s own.
std::uint8_t controlsRejecting(const ArcFit& fit, const ControlProfile& profile, bool inch);
// The controls the message of an arc problem names for a reading with `profile`.
std::uint8_t controlsJudging(const ControlProfile& profile);

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
  // The code holds '#', '[', '<' or '=', or is long enough for a number too large to read: the checker scans it
  // rather than look at what the words read.
  bool closerLook = false;
  double x = 0, y = 0, z = 0;       // the end point
  bool compComesIntoForce = false;  // G41 or G42 after G40
  // The block moves to a fixed point (tool change, reference return) or in machine coordinates (G53): no feed
  // or rapid rule applies.
  bool fixedPoint = false;
  std::uint16_t wordsGiven = 0;  // BlockWords::given
  int motion = 0, cycle = 80;    // the motion and cycle codes in force
  double feed = 0;               // the F in force
  std::u16string_view comment;   // the line's comment text, for the `velmora:` directives
  ArcFacts arc;
};

class kNcChecker {
 public:
  kNcChecker() : settings_(defaultLintSettings()) {}
  // Forgets the notes of the last reading; the settings stay.
  void reset();
  void configure(const LintSettings& settings) { settings_ = settings; }
  void noteUnknownWords(std::uint32_t letters, bool callLeftOut) {
    unknownLetters_ = letters;
    callLeftOut_ = callLeftOut;
  }
  const LintSettings& settings() const { return settings_; }
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
  // The rules silenced by `velmora:` comments, in the order written (a range left open ends with the program).
  const std::vector<Suppression>& suppressions() const { return lint_.suppressions; }
  // Block b was written in another dialect: its arc gets no verdict.
  bool withoutArcVerdict(int b) const;
  // Some block was written in another dialect, whose parentheses need not be comments.
  bool otherDialect() const { return lint_.dialectFinding >= 0; }
  // The program has none of the words that end a program (M02, M30, M99); false when it has no block.
  bool endMissing(const kNcGeometry& g) const;

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
    bool firstKnown = false;
    std::array<std::uint32_t, 26> first{};
  };
  static bool mayNeedLook(const kNcGeometry& g, const ScannedBlock& words);
  void noteOrdinaryText(const kNcGeometry& g, int k, std::u16string_view code, const ScannedBlock& words);
  void scanCode(const kNcGeometry& g, int k, std::u16string_view code, LineState& line);
  void noteGWord(const kNcGeometry& g, int k, std::u16string_view code, std::size_t at, LineState& line);
  void noteUnknownG(const kNcGeometry& g, int k, std::u16string_view code, std::size_t at,
                    std::u16string_view word, double value, LineState& line);
  void noteMWord(const kNcGeometry& g, int k, std::u16string_view code, std::size_t at, LineState& line);
  void noteOWord(const kNcGeometry& g, int k, std::u16string_view code, LineState& line);
  void noteOverflows(const kNcGeometry& g, int k, std::u16string_view code, LineState& line);
  void noteComments(const kNcGeometry& g, int k);
  void noteFlow(std::size_t from);
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

  // What the lint rules carry from block to block (Nclint).
  struct LintState {
    bool feedNoted = false;  // feed-undefined was noted since F last changed
    double lastFeed = 0;
    bool cycleHasR = false;  // an R plane was given since the drilling cycle began
    bool cycleNoted = false;
    int lastCycle = 80;
    bool rapidNoted = false;     // a rapid problem was noted (it names the assumed stock top)
    bool inch = false;           // G20 is in force (for the missing-point message)
    bool endSeen = false;        // an end of program or subprogram has been read
    bool flowUncertain = false;  // a subprogram or macro call was read: F and R may come from it
    bool macroFeed = false;      // the block `macroBlock` gives F by a macro value or machine data
    bool macroR = false;
    int macroBlock = 0;
    bool feedByMacro = false;
    bool moved = false;       // a block has moved: `disable=` no longer applies to the whole file
    int dialectFinding = -1;  // the finding that counts the blocks in another dialect
    int latheFinding = -1;    // the finding that counts the arcs of a lathe program
    int latheBlock = 0;       // the lathe cycle that made it one, its column and code
    int latheColumn = 0;
    std::u16string latheCode;
    int dialectBlock = 0;  // the latest such block
    std::vector<int> dialectArcs;
    int textBlock = 0;             // the latest block read as text
    std::array<double, 3> last{};  // the previous block's end point
    std::vector<Suppression> suppressions;
  };
  void noteLintText(const kNcGeometry& g, int k, std::u16string_view code, const ScannedBlock& words,
                    const BlockFacts& facts);
  void noteLintRecords(const kNcGeometry& g, int k, const BlockFacts& facts);
  void noteWordsLeftOut(int k);
  void noteDirectives(const kNcGeometry& g, int k, std::u16string_view code, std::u16string_view comment);
  std::uint32_t directiveRules(const kNcGeometry& g, int k, std::u16string_view names);
  void noteDialect(const kNcGeometry& g, int k, std::u16string_view code, std::size_t start, bool closerLook);
  void noteLathe(const kNcGeometry& g, int k, std::u16string_view code);
  void noteLatheArc(int k);
  void noteNestedComment(const kNcGeometry& g, int k);
  void noteMissingPoints(const kNcGeometry& g, int k, std::u16string_view code);
  void notePlainMissingPoints(const kNcGeometry& g, int k);
  void noteFeed(const kNcGeometry& g, int k, int code, bool feedMove, const BlockFacts& facts);
  void noteCycle(const kNcGeometry& g, int k, int cycle, const BlockFacts& facts);
  void noteRapid(const kNcGeometry& g, int k, bool xyMoves, double startZ, const BlockFacts& facts);
  void noteArcWords(const kNcGeometry& g, int k, const BlockFacts& facts);
  bool isOn(Rule rule) const { return settings_.levels[static_cast<int>(rule)] != RuleLevel::off; }

  LintSettings settings_;
  std::uint32_t unknownLetters_ = 0;  // of the block read next
  bool callLeftOut_ = false;
  LintState lint_;
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
