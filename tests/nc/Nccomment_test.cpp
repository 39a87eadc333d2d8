// Tests of comment splitting: states, code and comment texts, and comments that run over several lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nc/Ncgeometry.hpp"
#include "nc/StoreFixture.hpp"
#include "util/Text.hpp"

namespace {

using std::u16string;
using std::u16string_view;

struct SplitCase {
  u16string_view text;
  int state;
  u16string_view code, comment;
};

void expectSplit(const kNcGeometry& g, const SplitCase& c, int prevState, int prevOpenPair) {
  CommentSplit split;
  g.splitComments(c.text, prevState, prevOpenPair, split);
  const std::string label = toUtf8(c.text) + " after state " + std::to_string(prevState);
  EXPECT_EQ(split.state, c.state) << label;
  EXPECT_EQ(split.code, c.code) << label;
  EXPECT_EQ(split.comment, c.comment) << label;
}

TEST(Comments, SingleLineStatesAndTexts) {
  const SplitCase cases[] = {
      {u"G01X5.", 0, u"G01X5.", u""},
      {u"G01X5.(ABC)", 1, u"G01X5.", u"(ABC)"},
      {u"(T1 D=8.)", 1, u"", u"(T1 D=8.)"},
      {u"(A)G01(B)", 1, u"G01", u"(A)(B)"},
      {u"G01X5.//ABC", 0, u"G01X5.", u"//ABC"},
      {u"//ABC", 1, u"", u"//ABC"},
      {u"G01X5./*ABC*/", 0, u"G01X5.", u"/*ABC*/"},
      {u"G01X5.(ABC", 2, u"G01X5.", u"(ABC"},
      {u"((A)", 2, u"", u"((A)"},
      {u"ABC)", -1, u"", u"ABC)"},
      {u"((A", -1, u"", u"((A"},
      {u"", 0, u"", u""},
      {u"\n", 0, u"\n", u""},
      {u"G01X5./*A*/(B)", 1, u"G01X5.", u"/*A*/(B)"},
      {u"X1.(A)\n", 1, u"X1.\n", u"(A)"},
      // A comment that runs to the end of the line takes the line feed with it.
      {u"G01X5.//ABC\n", 0, u"G01X5.", u"//ABC\n"},
      {u"G01X5.(ABC\n", 2, u"G01X5.", u"(ABC\n"},
      {u"/*A*/X1./*B*/", 0, u"X1.", u"/*A*//*B*/"},
      {u"X1.*/", -1, u"", u"X1.*/"},
      // ';' starts a comment to the end of the line, whatever it holds; inside a comment it is comment text.
      {u";", 1, u"", u";"},
      {u"G01X5.;A(B\n", 1, u"G01X5.", u";A(B\n"},
      {u"G01X5. ; MOVE :)", 1, u"G01X5. ", u"; MOVE :)"},
      {u"(A;B)X1.", 1, u"X1.", u"(A;B)"},
      {u"(A;B)X1.;C)", 1, u"X1.", u"(A;B);C)"},
      {u"G01X5.(A;B", 2, u"G01X5.", u"(A;B"},
      {u"/*A;B*/X1.;C", 1, u"X1.", u"/*A;B*/;C"},
      {u"X1.);C", -1, u"", u"X1.)"},
  };
  const Program p;
  const kNcGeometry& g = p.g;
  for (const auto& c : cases) {
    expectSplit(g, c, 0, 0);
    expectSplit(g, c, 1, 0);
  }
  // After a syntax error every line is an error.
  for (u16string_view text : {u"G01X5.", u"(A)", u""}) {
    CommentSplit split;
    g.splitComments(text, -1, 0, split);
    EXPECT_EQ(split.state, -1) << toUtf8(text);
  }
}

TEST(Comments, TheStoredBlockGivesTheSameSplit) {
  Program p({u"G01X5.(ABC)"});
  const kNcGeometry& g = p.g;
  EXPECT_EQ(g.commentStateOf(0), 1);
  EXPECT_EQ(g.codeTextOf(0), u"G01X5.");
  EXPECT_EQ(g.commentTextOf(0), u"(ABC)");
  EXPECT_EQ(g.commentStateAt(0), 1);
  EXPECT_EQ(g.xAt(0), 5.0);
}

// Lines after one that left a comment open: inside the comment up to that pair's first closing delimiter.
TEST(Comments, ContinuationLinesCloseOnlyWithTheOpeningPair) {
  struct Case {
    int openPair;  // the pair that left the comment open
    SplitCase split;
  };
  const Case cases[] = {
      {2, {u"ABC\n", 2, u"", u"ABC\n"}},
      {2, {u"ABC", 2, u"", u"ABC"}},
      {2, {u"\n", 2, u"", u"\n"}},
      {2, {u"ABC)G01X5.\n", 1, u"G01X5.\n", u"ABC)"}},
      {2, {u")\n", 1, u"\n", u")"}},
      {2, {u"A)X1.(B)\n", 1, u"X1.\n", u"A)(B)"}},
      {2, {u"A)X1.(B\n", 2, u"X1.", u"A)(B\n"}},
      {2, {u"A))\n", -1, u"\n", u""}},
      {2, {u"A*/B\n", 2, u"", u"A*/B\n"}},  // "*/" does not close a "(" comment
      {0, {u"A)B\n", 2, u"", u"A)B\n"}},    // nor ")" a "/*" comment
      {0, {u"A*/X1.\n", 1, u"X1.\n", u"A*/"}},
      {0, {u"A*/X1.//B\n", 1, u"X1.", u"A*///B\n"}},
  };
  const Program p;
  const kNcGeometry& g = p.g;
  for (const auto& c : cases) {
    CommentSplit split;
    g.splitComments(c.split.text, 2, c.openPair, split);
    const std::string label = toUtf8(c.split.text) + " in pair " + std::to_string(c.openPair);
    EXPECT_EQ(split.state, c.split.state) << label;
    EXPECT_EQ(split.code, c.split.code) << label;
    if (split.state != -1) {
      EXPECT_EQ(split.comment, c.split.comment) << label;
    }
  }
}

TEST(Comments, MultiLineCommentsThroughTheInterpreter) {
  struct Line {
    u16string_view text;
    int state;
    double x;  // the block's end point: only code moves
  };
  const std::vector<std::vector<Line>> programs = {
      {{u"G01X1.(START\n", 2, 1}, {u"X2. STILL COMMENT\n", 2, 1}, {u"END)X3.\n", 1, 3}, {u"X4.\n", 0, 4}},
      {{u"X1./*A\n", 2, 1}, {u"X2.)\n", 2, 1}, {u"*/X5.\n", 1, 5}, {u"X6.\n", 0, 6}},
      // "/*(*/X" closes the "/*" comment but leaves a "(" comment open.
      {{u"/*(*/X7.\n", 2, 7}, {u"X8.*/\n", 2, 7}, {u"X9.)X10.\n", 1, 10}},
      {{u"(A\n", 2, 0}, {u"B\n", 2, 0}, {u"C))X1.\n", -1, 0}},
  };
  for (const auto& program : programs) {
    Program p;
    kNcGeometry& g = p.g;
    for (const auto& line : program) {
      g.interpretBlock(line.text);
      EXPECT_EQ(g.commentStateAt(0), line.state) << toUtf8(line.text);
      if (line.state != -1) {
        EXPECT_EQ(g.xAt(0), line.x) << toUtf8(line.text);
      }
    }
  }
}

TEST(Comments, ARestartedStoreKnowsOnlyParentheses) {
  kNcGeometry g(kProgramDelimiters);
  g.interpretBlock(u"//(A");
  EXPECT_EQ(g.commentStateAt(0), 1);
  g.restart();
  EXPECT_EQ(g.commentOpen[0], u"(");
  EXPECT_EQ(g.commentClose[0], u")");
  EXPECT_EQ(g.commentOpen[1], u"");
  EXPECT_EQ(g.commentOpen[2], u"");
  g.interpretBlock(u"//(A");
  EXPECT_EQ(g.commentStateAt(0), 2);
  g.interpretBlock(u"X1./*B*/");
  EXPECT_EQ(g.commentStateAt(0), 2) << "still inside the parenthesis";
}

}  // namespace
