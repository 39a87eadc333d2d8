// Fuzz target: any bytes read as a program file, then every block's record and the problem list.
#include "FuzzSupport.hpp"
#include "nc/Ncproblems.hpp"
#include "nc/Ncprofile.hpp"

namespace {

// Reads every record the command line and the window show of block b.
void touchBlock(const kNcGeometry& geometry, int b) {
  volatile double sink = geometry.xAt(b) + geometry.yAt(b) + geometry.zAt(b) + geometry.centreXAt(b) +
                         geometry.centreYAt(b) + geometry.radiusAt(b) + geometry.toolDiameterAt(b);
  sink = sink + geometry.isFaultyArcAt(b) + geometry.inCycleAt(b) + geometry.cutterCompAt(b) +
         static_cast<double>(geometry.blockTextAt(b).size() + geometry.codeTextOf(b).size() +
                             geometry.commentTextOf(b).size());
}

// An evaluated program's problems sit at source lines, a plain program's at blocks (= lines).
void checkProblems(const kNcGeometry& geometry, int lines) {
  const std::vector<NcProblem> problems = programProblems(geometry);
  const int lastLine = geometry.isEvaluated() ? lines : geometry.blockCount - 1;
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const NcProblem& p = problems[i];
    require(p.line >= 0 && p.line <= lastLine, "a problem's line is a line of the program");
    require(p.column >= 0, "a problem's column is 0 or from 1");
    require(!p.rule.empty() && !p.message.empty(), "a problem has a rule and a message");
    if (i > 0) {
      const NcProblem& q = problems[i - 1];
      require(q.line < p.line || (q.line == p.line && q.column <= p.column), "problems are ordered by line");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kNcGeometry geometry;
  geometry.setProfile(withFuzzBudget(defaultProfile(Control::strict)));
  const std::u16string text = decodeText(bytesOf(data, size)).text;
  const ReadResult read = readNcText(text, geometry);
  require(read.status == ReadResult::Status::Ok, "a text is always read");
  require(geometry.blockCount == read.linesRead + 1, "one block per line read, after the initial block");
  // An executed program tells the line of the block, which is the block itself in a plain one.
  const int errorBlock = geometry.syntaxErrorBlock();
  const int errorLine = errorBlock != 0 && geometry.isEvaluated() ? geometry.sourceLineOf(errorBlock) : errorBlock;
  require(read.syntaxErrorLine == errorLine, "the syntax error is the store's");
  for (int b = 0; b < geometry.blockCount; ++b) touchBlock(geometry, b);
  checkProblems(geometry, editorLineCount(text) + 1);
  return 0;
}
