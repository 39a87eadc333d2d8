// The reading of an evaluated program: the evaluator walks the lines, the interpreter takes each block.
#include "nc/Ncevaluate.hpp"

#include <array>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <atomic>
#include <cctype>
#include <cstdint>
#include <string_view>
#include <utility>

#include "eval/Evaluator.hpp"
#include "nc/Ncprofile.hpp"
#include "nc/Nctext.hpp"
#include "util/Text.hpp"

namespace {

constexpr int kProgressInterval = 256;

class GeometryMachine : public MachineState {
 public:
  explicit GeometryMachine(const kNcGeometry& g) : g_(g) {}
  // In the coordinates the program is in: shifted and turned as it set.
  double position(int axis) const override {
    return g_.workPosition()[static_cast<std::size_t>(axis < 0 || axis > 2 ? 2 : axis)];
  }
  int modalCode(int group) const override {
    // Fanuc modal group numbers → the store's groups.
    static constexpr std::pair<int, const kNcGroupColumn kNcGeometry::*> kGroups[] = {
        {1, &kNcGeometry::groupMotion},     {2, &kNcGeometry::groupPlane},      {3, &kNcGeometry::groupDistance},
        {7, &kNcGeometry::groupCutterComp}, {8, &kNcGeometry::groupToolLength}, {9, &kNcGeometry::groupCycle},
        {14, &kNcGeometry::groupWork},
    };
    for (const auto& [number, column] : kGroups) {
      if (number == group) return gNumberAt(g_.*column, g_.blockCount - 1);
    }
    return -1;
  }

 private:
  const kNcGeometry& g_;
};

// What a character may start for evaluation: a mark of its own ('#', '[', polar '@' '^'), or the first letter of
// M98 M97, G65 G66, GOTO, CALL, SUB, or an L word (a cycle's repeats) in either case, by the characters that
// would follow.
enum CandidateStart : std::uint8_t { kNone, kMark, kLetterM, kLetterG, kLetterC, kLetterS, kLetterL };

constexpr std::array<std::uint8_t, 256> kCandidateStart = [] {
  std::array<std::uint8_t, 256> starts{};
  for (const char c : std::string_view("#[@^")) starts[static_cast<unsigned char>(c)] = kMark;
  starts['M'] = starts['m'] = kLetterM;
  starts['G'] = starts['g'] = kLetterG;
  starts['C'] = starts['c'] = kLetterC;
  starts['S'] = starts['s'] = kLetterS;
  starts['L'] = starts['l'] = kLetterL;
  return starts;
}();

char upper(char x) { return static_cast<char>(x >= 'a' && x <= 'z' ? x - 32 : x); }

bool isCandidateWord(std::uint8_t start, char b, char c) {
  b = upper(b), c = upper(c);
  switch (start) {
    case kLetterM:
      return b == '9' && (c == '8' || c == '7');
    case kLetterG:
      return (b == '6' && (c == '5' || c == '6')) || (b == 'O' && c == 'T');
    case kLetterC:
      return b == 'A' && c == 'L';
    case kLetterL:
      return (b >= '0' && b <= '9') || b == '.';
    default:
      return b == 'U' && c == 'B';
  }
}

template <typename Char>
bool isCandidateAt(std::basic_string_view<Char> text, std::size_t i) {
  const auto code = [&](std::size_t j) { return static_cast<std::make_unsigned_t<Char>>(text[j]); };
  const std::uint8_t start = code(i) < 256 ? kCandidateStart[code(i)] : std::uint8_t{kNone};
  if (start == kNone || start == kMark) return start == kMark;
  const auto ascii = [&](std::size_t j) {
    return j < text.size() && code(j) < 128 ? static_cast<char>(code(j)) : '\0';
  };
  return isCandidateWord(start, ascii(i + 1), ascii(i + 2));
}

// A quick look over the raw text: most programs have none of the candidates, and the look runs over every
// program read, so bytes are looked at sixteen at a time for the characters that may start one.
template <typename Char>
bool hasCandidate(std::basic_string_view<Char> text) {
  std::size_t i = 0;
#if defined(__SSE2__)
  if constexpr (sizeof(Char) == 1) {
    // With bit 5 set, '#' stays, '[' '@' '^' become '{' '`' '~' (rare, checked one by one) and letters fold.
    const __m128i fold = _mm_set1_epi8(0x20);
    const auto equal = [](__m128i x, char c) { return _mm_cmpeq_epi8(x, _mm_set1_epi8(c)); };
    for (; i + 16 <= text.size(); i += 16) {
      const __m128i x = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i)), fold);
      const __m128i marks =
          _mm_or_si128(_mm_or_si128(equal(x, '#'), equal(x, '{')), _mm_or_si128(equal(x, '`'), equal(x, '~')));
      const __m128i letters = _mm_or_si128(_mm_or_si128(_mm_or_si128(equal(x, 'm'), equal(x, 'g')), equal(x, 'l')),
                                           _mm_or_si128(equal(x, 'c'), equal(x, 's')));
      for (auto bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(marks, letters))); bits != 0;
           bits &= bits - 1) {
        if (isCandidateAt(text, i + static_cast<std::size_t>(__builtin_ctz(bits)))) return true;
      }
    }
  }
#endif
  for (; i < text.size(); ++i) {
    if (isCandidateAt(text, i)) return true;
  }
  return false;
}

// The macro dialect of a program: the control's, and for the profiles of no Fanuc-type control the one
// LinuxCNC's own files (.ngc) are written in.
Dialect dialectFor(Control control, const std::string& path) {
  if (control == Control::linuxcnc) return Dialect::linuxcnc;
  if (control == Control::fanuc || control == Control::haas) return Dialect::fanuc;
  const std::size_t dot = path.rfind('.');
  std::string extension = dot == std::string::npos ? "" : path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".ngc" ? Dialect::linuxcnc : Dialect::fanuc;
}

// The name a called program goes by: its O header ("O9010"), its o-word sub ("O100"), the N block a local call
// runs from ("N100"), or for a file without a header the file's own name.
std::string calledProgramName(EvalFiles& files, const Evaluator::CallSite& call) {
  const int entry = call.start - 1;
  if (entry >= 1) {
    const ParsedLine& before = files.line(call.file, entry - 1);
    if (before.kind == LineKind::header) return toUtf8(before.code);
    if (before.kind == LineKind::oword && before.okind == OKind::sub) return "O" + toUtf8(before.olabel);
  }
  if (const int n = files.line(call.file, entry).label; n >= 0 && call.file == call.callFile) {
    return "N" + std::to_string(n);
  }
  const std::string& path = files.file(call.file).path;
  const std::size_t slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.substr(0, name.find('.'));
}

}  // namespace

bool programNeedsEvaluation(const kNcText& text) {
  if (text.isWide() ? !hasCandidate(text.wideText()) : !hasCandidate(text.bytes())) return false;
  EvalFiles files(Dialect::fanuc, {});
  files.addMain(text, "");
  const EvalFile& main = files.file(0);
  for (std::size_t i = 0; i < main.lines.size(); ++i) {
    if (mayNeedEvaluation(main.lines[i], main.inComment[i])) return true;
    if (!main.inComment[i] && hasPolarWords(main.lines[i])) return true;
  }
  return false;
}

ReadResult evaluateProgram(const kNcText& text, const std::string& path, kNcGeometry& geometry,
                           const ReaderCallbacks& callbacks, const ReadOptions& options) {
  const ControlProfile& profile = geometry.profile();
  EvalOptions evalOptions;
  evalOptions.dialect = dialectFor(profile.control, path);
  evalOptions.standardDecimal = profile.decimalInput == DecimalInput::standard;
  evalOptions.maxCallDepth = profile.maxCallDepth;
  evalOptions.maxLines = profile.maxBlocks;
  evalOptions.variables = profile.variables;
  std::atomic<bool> stop{false};
  evalOptions.stop = &stop;

  EvalFiles files(evalOptions.dialect, profile.subroutinePath);
  files.addMain(text, path);
  GeometryMachine machine(geometry);
  Evaluator evaluator(files, evalOptions, &machine);
  ReadResult result;
  ReadProgress progress;
  Evaluator::CallSite call;
  int callSite = 0;
  progress.charsTotal = text.isWide() ? text.wideText().size() : text.bytes().size();
  const Evaluator::Sink sink = [&](std::u16string_view block, int file, int line) {
    if (stop.load(std::memory_order_relaxed)) return;
    geometry.noteUnknownWords(evaluator.unknownLetters(), evaluator.callLeftOut());
    geometry.interpretPlainBlock(block);
    geometry.noteSource(file, line);
    // The call changes at entries and returns only: the name is looked for then, not at each block.
    if (const Evaluator::CallSite now = evaluator.innermostCall(); !(now == call)) {
      call = now;
      callSite = call.callLine == 0
                     ? 0
                     : geometry.callSiteIndex({call.callFile, call.callLine, calledProgramName(files, call)});
    }
    geometry.noteCall(callSite);
    progress.linesRead = geometry.blockCount - 1;
    if (progress.linesRead % kProgressInterval == 0) {
      const bool cancelled =
          (options.stop && options.stop->load()) || (callbacks.progress && !callbacks.progress(progress));
      if (cancelled) stop = true;
    }
    if (geometry.syntaxErrorBlock() != 0) stop = true;
  };
  const bool completed = evaluator.run(sink) && !stop.load();
  std::vector<std::string> names;
  for (int i = 0; i < files.fileCount(); ++i) names.push_back(files.file(i).path);
  geometry.setSourceFiles(std::move(names));
  geometry.setStatementTimes(evaluator.firstRuns());
  if (geometry.blockCount == 1) geometry.noteSource(0, 0);
  result.evaluated = true;
  result.linesRead = geometry.blockCount - 1;
  result.evaluationCutShort = evaluator.cutShort();
  result.evalProblems = evaluator.problems();
  geometry.setEvalProblems(evaluator.problems());
  if (geometry.syntaxErrorBlock() != 0) {
    result.syntaxErrorLine = geometry.sourceLineOf(geometry.syntaxErrorBlock());
  } else if (!completed) {
    result.status = ReadResult::Status::Cancelled;
  }
  return result;
}
