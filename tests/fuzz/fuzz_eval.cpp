// Fuzz target: any bytes as a macro program (the first byte picks the dialect), evaluated within small limits
// into a block store. It must end within the limits, hand on only blocks of lines that exist, and report
// every stop as a problem at a line of a file it read.
#include "FuzzSupport.hpp"
#include "eval/Evaluator.hpp"

namespace {

constexpr std::int64_t kMaxLines = 20000;

// Calls look for programs beside the main one: an empty folder keeps that quick and the same each run.
const ScratchFolder& scratch() {
  static const ScratchFolder folder;
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  EvalOptions options;
  options.dialect = data[0] % 2 == 0 ? Dialect::fanuc : Dialect::linuxcnc;
  options.standardDecimal = data[0] % 4 >= 2;
  options.maxLines = kMaxLines;
  EvalFiles files(options.dialect, {});
  files.addMainLines(decodeText(bytesOf(data + 1, size - 1)).text, scratch().path() + "main.nc");
  kNcGeometry geometry;
  struct Machine : MachineState {
    const kNcGeometry& g;
    explicit Machine(const kNcGeometry& store) : g(store) {}
    double position(int axis) const override { return axis == 0 ? g.xAt(0) : axis == 1 ? g.yAt(0) : g.zAt(0); }
    int modalCode(int group) const override {
      return group == 1 ? gNumberAt(g.groupMotion, g.blockCount - 1) : -1;
    }
  } machine(geometry);
  Evaluator evaluator(files, options, &machine);
  evaluator.run([&](std::u16string_view text, int file, int line) {
    require(file >= 0 && file < files.fileCount(), "a block comes from a file read");
    require(line >= 1 && line <= static_cast<int>(files.file(file).lines.size()), "a block comes from a line");
    geometry.interpretBlock(text);
    geometry.noteSource(file, line);
  });
  require(evaluator.linesExecuted() <= kMaxLines + 1, "evaluation ends within its budget");
  for (const EvalProblem& p : evaluator.problems()) {
    require(p.file >= 0 && p.file < files.fileCount(), "a problem names a file read");
    require(p.line >= 0 && p.line <= static_cast<int>(files.file(p.file).lines.size()) + 1,
            "a problem has a line");
    require(evalRuleId(p.rule)[0] != '\0' && !p.message.empty(), "a problem has a rule and a message");
  }
  return 0;
}
