// The program document without a window: one reading for lines and blocks, stopping it, the current line and
// its steps, the view's pixels, the drawing in pieces, and saving the text or its DXF drawing.
#include "document/Ncdocument.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "dxf/TempFolder.hpp"
#include "graphics/RecordingSurface.hpp"
#include "graphics/TraceCalls.hpp"

namespace {

using Op = SurfaceCall::Op;

// "(加工)" in Shift-JIS.
const std::string kShiftJisComment = "(\x89\xc1\x8d\x48)";
const std::string kProgram =
    "G90G00X0Y0\r\nG01X10.Y0F100" + kShiftJisComment + "\r\nG02X20.Y0I5.J0\r\nG01Y10.\r\n";

struct DocumentTest : testing::Test {
  std::string write(const std::string& name, std::string_view bytes) {
    writeBytes(folder / name, bytes);
    return folder / name;
  }
  // A picture of 200 × 100 up to and including `line`.
  void drawAt(int line) {
    document.moveTo(line, false);
    surface.calls.clear();
    document.redraw(surface, 200, 100);
  }
  int lineCalls() const {
    return static_cast<int>(std::count_if(surface.calls.begin(), surface.calls.end(),
                                          [](const SurfaceCall& c) { return c.op == Op::Line && c.style != 3; }));
  }

  TempFolder folder;
  kNcDocument document;
  RecordingSurface surface;
};

TEST_F(DocumentTest, OneReadingGivesTheLinesAndTheBlocks) {
  EXPECT_FALSE(document.hasProgram());
  EXPECT_EQ(document.currentLine(), 0);
  int ready = 0;
  kNcDocument::LoadCallbacks callbacks;
  // The text is there when the blocks are still to be read.
  callbacks.textReady = [&] {
    ready = document.lineCount();
    EXPECT_EQ(document.geometry().blockCount, 1);
  };
  const ReadResult read = document.loadFile(write("part.nc", kProgram), callbacks);
  EXPECT_EQ(read.status, ReadResult::Status::Ok);
  EXPECT_EQ(ready, 4);
  EXPECT_EQ(document.lineCount(), 4);
  EXPECT_EQ(document.lineText(2), u"G01X10.Y0F100(加工)");
  EXPECT_EQ(document.geometry().blockCount, 5);
  EXPECT_EQ(document.geometry().xAt(3), 20.0);
  EXPECT_EQ(document.currentLine(), 1);
  EXPECT_EQ(document.currentBlock().codeText, u"G00");
  EXPECT_EQ(document.encoding(), TextEncoding::ShiftJis);
  EXPECT_EQ(document.wholeText(), u"G90G00X0Y0\nG01X10.Y0F100(加工)\nG02X20.Y0I5.J0\nG01Y10.\n");
  EXPECT_TRUE(document.problems().empty());
  EXPECT_NEAR(document.programFigures().feedLength, 20 + 5 * M_PI, 1e-9);

  // Another program cutting the file short takes nothing from the text that was read.
  std::filesystem::resize_file(folder / "part.nc", 0);
  EXPECT_EQ(document.lineText(4), u"G01Y10.");
  EXPECT_EQ(document.wholeText(), u"G90G00X0Y0\nG01X10.Y0F100(加工)\nG02X20.Y0I5.J0\nG01Y10.\n");

  // An edited text is read the same way; a save will write it as the file was written.
  document.loadText(u"G00X1.\nG01X2.Y2.(R=1)\nM30");
  EXPECT_EQ(document.lineCount(), 3);
  EXPECT_EQ(document.lineText(3), u"M30");
  EXPECT_EQ(document.geometry().blockCount, 4);
  EXPECT_EQ(document.encoding(), TextEncoding::ShiftJis);
  EXPECT_EQ(document.wholeText(), u"G00X1.\nG01X2.Y2.(R=1)\nM30");
  EXPECT_NEAR(document.programFigures().feedLength, std::sqrt(5.0), 1e-9);
  // Under compensation the feeds follow the tool centre: a slanted entry, a corner arc, a slanted exit.
  document.loadText(u"G0X0Y-20Z0\nG41.1D10\nG1Y0F600\nY30\nX30\nG40X40Y50");
  EXPECT_NEAR(document.programFigures().feedLength, std::hypot(5, 20) + 60 + 2.5 * M_PI + std::hypot(10, 15),
              1e-9);

  // Nothing to read: no program, and no message of its own for a missing file or a folder.
  struct Case {
    std::string path;
    ReadResult::Status status;
  };
  const Case cases[] = {{folder / "none.nc", ReadResult::Status::NotFound},
                        {folder.path(), ReadResult::Status::IsFolder},
                        {"/proc/self/mem", ReadResult::Status::OpenFailed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(document.loadFile(c.path).status, c.status);
    EXPECT_EQ(document.lastRead().status, c.status);
    EXPECT_FALSE(document.hasProgram());
    EXPECT_EQ(document.lineCount(), 0);
    EXPECT_EQ(document.geometry().blockCount, 1);
  }
}

// The window's control reads a program, unless a profile file beside it names another; the drawing's verdict
// follows the control in use.
TEST_F(DocumentTest, TheControlChosenOrTheProfileFileBesideTheProgram) {
  const std::string arc = "G00X0Y0\nG01X10.Y0F100\nG02X30.Y0I10.0047J0\n";
  const std::string loose = write("loose.nc", arc);
  document.loadFile(loose);
  EXPECT_EQ(document.profile().control, Control::strict);
  EXPECT_TRUE(document.geometry().isFaultyArcAt(3));
  document.setControl(Control::linuxcnc);
  document.loadText(u"G00X0Y0\nG01X10.Y0F100\nG02X30.Y0I10.0047J0\n");
  EXPECT_EQ(document.profile().control, Control::linuxcnc) << "an edited text is read with the new choice";
  EXPECT_FALSE(document.geometry().isFaultyArcAt(3));
  std::filesystem::create_directories(folder / "shop");
  write("shop/.velmora.ini", "[check]\ncontrol = mach3\n");
  document.loadFile(write("shop/part.nc", arc));
  EXPECT_EQ(document.profile().control, Control::mach3);
  EXPECT_EQ(document.profile().sourceFile, folder / "shop/.velmora.ini");
  EXPECT_TRUE(document.geometry().isFaultyArcAt(3));
  document.setControl(Control::grbl);
  EXPECT_EQ(document.profile().control, Control::mach3) << "the file still wins";
  document.loadFile(loose);
  EXPECT_EQ(document.profile().control, Control::grbl);
}

TEST_F(DocumentTest, AStoppedReadingKeepsTheWholeTextAndTheBlocksReadSoFar) {
  std::string big;
  for (int i = 0; i < 3000; ++i) big += "G01X" + std::to_string(i % 50) + ".\n";
  const std::string path = write("big.nc", big);
  struct Case {
    int callsBeforeStop;  // progress calls answered true
    bool someRead;
  };
  // Stopped at once (while the text is opened, or before the first line), or after some lines.
  for (const Case c : {Case{0, false}, Case{3, true}}) {
    SCOPED_TRACE(c.callsBeforeStop);
    int calls = 0;
    kNcDocument::LoadCallbacks callbacks;
    callbacks.progress = [&](const ReadProgress&) { return calls++ < c.callsBeforeStop; };
    const ReadResult read = document.loadFile(path, callbacks);
    EXPECT_EQ(read.status, ReadResult::Status::Cancelled);
    EXPECT_EQ(document.lineCount(), 3000);
    EXPECT_TRUE(document.hasProgram());
    EXPECT_EQ(document.geometry().blockCount > 1, c.someRead);
    EXPECT_LT(document.geometry().blockCount, 3001);
  }
}

TEST_F(DocumentTest, TheCurrentLineStepsOnACompletePictureAndIsDrawnAgainOtherwise) {
  document.loadFile(write("part.nc", kProgram));
  document.fitView(200, 100);
  // No picture yet: every move asks for a drawing.
  EXPECT_FALSE(document.moveTo(2, true));
  EXPECT_EQ(document.currentLine(), 2);
  EXPECT_EQ(document.previousLine(), 1);

  drawAt(2);  // blocks 0 .. 2: the rapid to X0 Y0 is no line, the feed to X10 is
  EXPECT_EQ(lineCalls(), 1);
  surface.calls.clear();
  EXPECT_TRUE(document.moveTo(3, true));  // the arc of line 3 is stepped on
  ASSERT_EQ(surface.calls.size(), 2u);
  EXPECT_EQ(surface.calls[1].op, Op::Arc);
  EXPECT_EQ(document.currentBlock().codeText, u"G02");

  // Back: the arc is painted white, then the axes are drawn again.
  surface.calls.clear();
  EXPECT_TRUE(document.moveTo(2, true));
  ASSERT_GE(surface.calls.size(), 6u);
  EXPECT_EQ(surface.calls[1].color, kWhite);
  const int axisY = static_cast<int>(document.pixelAt(kPoint(0, 0)).y);
  EXPECT_EQ(surface.calls[3], trace::line(surface.calls[3].a, axisY, 0, 3, 1));

  // A jump, or any move while a picture is unfinished or blank, asks for a drawing.
  EXPECT_FALSE(document.moveTo(4, false));
  document.startRedraw(surface, 200, 100);
  EXPECT_FALSE(document.moveTo(3, true));
  document.blank(surface, 200, 100);
  EXPECT_FALSE(document.redrawing());
  EXPECT_FALSE(document.moveTo(2, true));
  // Lines outside the text are clamped to it.
  document.moveTo(99, false);
  EXPECT_EQ(document.currentLine(), 4);
  document.moveTo(-5, false);
  EXPECT_EQ(document.currentLine(), 1);
}

// A loop of three passes calling O9010 from a file beside the program, and a branch never taken (line 11, a
// statement: it makes no block even when it runs).
const std::string kLoopProgram =
    "%\nO1000\nG90 G00 X0 Y0 Z5\n#1 = 0\nWHILE [#1 LT 3] DO1\nG00 X[#1 * 20] Y0\nM98 P9010\n#1 = #1 + 1\n"
    "END1\nIF [#1 LT 5] GOTO 20\n#2 = 40\nN20 G00 Z50\nM30\n%\n";
const std::string kSquare = "%\nO9010 (SQUARE)\nG91 G01 X10 F300\nY10\nX-10\nY-10\nG90 G05.7\nM99\n%\n";

TEST_F(DocumentTest, AnEvaluatedProgramIsWalkedInExecutionOrderThroughItsFiles) {
  const std::string square = write("O9010.nc", kSquare);
  document.loadFile(write("main.nc", kLoopProgram));
  ASSERT_TRUE(document.isEvaluated());
  EXPECT_EQ(document.shownFile(), 0);
  EXPECT_EQ(document.shownFileName(), "main.nc");
  // Statements that ran count as executed; the branch jumped over does not.
  for (const auto& [line, executed] :
       {std::pair{3, true}, {4, true}, {5, true}, {7, true}, {10, true}, {11, false}, {14, false}})
    EXPECT_EQ(document.lineExecuted(line), executed) << line;

  // A caret on the loop's move takes its first pass.
  document.moveTo(6, false);
  EXPECT_EQ(document.currentBlock().xText, u"X0.000");
  EXPECT_EQ(document.currentPass(), std::make_pair(1, 3));
  EXPECT_EQ(document.currentCall().line, 0);
  // The next block is the subprogram's first, in its own file.
  document.stepExecution(true);
  EXPECT_EQ(document.shownFile(), 1);
  EXPECT_EQ(document.shownFileName(), "O9010.nc");
  EXPECT_EQ(document.shownLineText(document.currentLine()), u"G91 G01 X10 F300");
  EXPECT_EQ(document.currentCall().program, "O9010");
  EXPECT_EQ(document.currentCall().line, 7);
  // A problem of the subprogram's line names its file, once however often the line ran.
  const std::vector<NcProblem> problems = document.problems();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].file, 1);
  EXPECT_EQ(problems[0].line, 7);
  EXPECT_TRUE(problems[0].message.starts_with(square + ": G05.7")) << problems[0].message;
  // Past the return: the loop's top again, on its second pass with X evaluated anew.
  while (document.shownFile() == 1) document.stepExecution(true);
  EXPECT_EQ(document.currentLine(), 6);
  EXPECT_EQ(document.currentPass(), std::make_pair(2, 3));
  EXPECT_EQ(document.currentBlock().xText, u"X20.000");
  document.stepExecution(false);
  EXPECT_EQ(document.shownFile(), 1);
  EXPECT_EQ(document.currentCall().line, 7);

  // A caret on a line of the subprogram's file takes that line's first execution.
  document.moveTo(4, false);
  EXPECT_TRUE(document.currentBlockOnLine());
  EXPECT_EQ(document.currentPass(), std::make_pair(1, 3));
  // A statement takes the block before it first ran: the loop's test before the first pass, the count after
  // the first call. A line never run keeps the block of the nearest executed line above it, here the jump's
  // after the whole loop.
  document.showFile(0);
  document.moveTo(3, false);
  const int beforeLoop = document.currentBlockIndex();
  document.moveTo(5, false);
  EXPECT_EQ(document.currentBlockIndex(), beforeLoop);
  document.moveTo(8, false);
  EXPECT_EQ(document.currentCall().line, 7);
  EXPECT_EQ(document.shownFile(), 0);
  document.moveTo(12, false);
  const int afterLoop = document.currentBlockIndex();
  document.moveTo(11, false);
  EXPECT_EQ(document.currentBlockIndex(), afterLoop - 1);
  EXPECT_FALSE(document.currentBlockOnLine());
  // Nothing moves past the last block; the main program's blocks are in no call.
  document.moveToBlock(document.geometry().blockCount - 1, false);
  EXPECT_FALSE(document.stepExecution(true));
  EXPECT_EQ(document.currentLine(), 13);  // M30: the closing % never runs
  EXPECT_EQ(document.currentCall().line, 0);

  // A plain program is its lines, every one run.
  document.loadFile(write("plain.nc", kProgram));
  EXPECT_FALSE(document.isEvaluated());
  EXPECT_TRUE(document.lineExecuted(3));
  document.moveTo(2, false);
  document.stepExecution(true);
  EXPECT_EQ(document.currentLine(), 3);
  EXPECT_EQ(document.shownLineText(3), u"G02X20.Y0I5.J0");
}

TEST_F(DocumentTest, ADrawingInPiecesIsTheDrawingInOneGo) {
  std::string program = "G90G00X0Y0\n";
  for (int i = 0; i < 20000; ++i)
    program += (i % 9 ? "G01X" : "G03X") + std::to_string(i % 40) + ".Y" + std::to_string(i % 7) + ".R30.\n";
  document.loadFile(write("many.nc", program));
  document.fitView(200, 100);
  // With the preview, from the first line: every block in the preview's pen, one in the path's.
  for (const auto& [preview, line] : {std::pair{false, document.lineCount()}, std::pair{true, 2}}) {
    SCOPED_TRACE(preview);
    document.setPreview(preview);
    drawAt(line);
    const std::vector<SurfaceCall> whole = surface.calls;
    EXPECT_GT(lineCalls(), 10000);

    surface.calls.clear();
    document.startRedraw(surface, 200, 100);
    EXPECT_TRUE(document.redrawing());
    int pieces = 1;
    while (!document.continueRedraw(std::chrono::microseconds(0))) ++pieces;
    EXPECT_GT(pieces, 3);
    EXPECT_FALSE(document.redrawing());
    EXPECT_EQ(surface.calls, whole);
  }

  // A blank picture with the preview is every layer cleared.
  document.blank(surface, 200, 100);
  surface.calls.erase(surface.calls.begin(), surface.calls.end() - 6);
  EXPECT_EQ(surface.calls, (std::vector<SurfaceCall>{{Op::Layer, 2},
                                                     {Op::Fill, 0, 0, 200, 100, kWhite},
                                                     {Op::Layer, 1},
                                                     {Op::Fill, 0, 0, 200, 100, kWhite},
                                                     {Op::Layer, 0},
                                                     {Op::Fill, 0, 0, 200, 100, kWhite}}));
  document.setPreview(false);

  // A blank picture is the white fill alone, and stops a drawing under way.
  document.startRedraw(surface, 200, 100);
  surface.calls.clear();
  document.blank(surface, 200, 100);
  EXPECT_FALSE(document.redrawing());
  EXPECT_EQ(surface.calls, (std::vector<SurfaceCall>{{Op::Fill, 0, 0, 200, 100, kWhite}}));
  EXPECT_TRUE(document.continueRedraw(std::chrono::microseconds(0)));
  EXPECT_EQ(surface.calls.size(), 1u);
}

TEST_F(DocumentTest, PixelsAndProgramPointsOfTheView) {
  document.loadFile(write("part.nc", kProgram));
  document.fitView(200, 100);
  EXPECT_EQ(document.offset(), kPoint(-10, -5));  // the middle of the extents at the centre
  drawAt(1);
  struct Case {
    kPoint pixel;
    kPoint point;
  };
  document.setScale(10);
  const Case cases[] = {{{100, 50}, {10, 5}}, {{150, 30}, {15, 7}}, {{95, 60}, {9.5, 4}}};
  for (const Case& c : cases) {
    EXPECT_EQ(document.programPointAt(c.pixel), c.point);
    EXPECT_EQ(document.pixelAt(c.point), c.pixel);
  }
  // Zooming about a pixel keeps the program point there; moving the view brings one pixel's point to another.
  for (const kPoint& at : {kPoint(150, 30), kPoint(0, 0), kPoint(100, 50)}) {
    const kPoint before = document.programPointAt(at);
    document.zoomAt(at, 1.25);
    EXPECT_NEAR(document.programPointAt(at).x, before.x, 1e-9);
    EXPECT_NEAR(document.programPointAt(at).y, before.y, 1e-9);
  }
  EXPECT_DOUBLE_EQ(document.scale(), 10 * 1.25 * 1.25 * 1.25);
  const kPoint point = document.programPointAt(kPoint(30, 70));
  document.moveView(kPoint(30, 70), kPoint(100, 50));
  EXPECT_NEAR(document.pixelAt(point).x, 100, 1e-9);
  EXPECT_NEAR(document.pixelAt(point).y, 50, 1e-9);

  // The line of the move drawn within 8 pixels of a pixel: at 10 pixels per unit, 0.8 units.
  document.setScale(10);
  EXPECT_EQ(document.lineNear(document.pixelAt(kPoint(20.7, 5))), 4);  // G01Y10. at x 20
  EXPECT_EQ(document.lineNear(document.pixelAt(kPoint(20.9, 5))), 0);
  // The G02 is the upper half of its circle: its lower half is not drawn, so not near.
  EXPECT_EQ(document.lineNear(document.pixelAt(kPoint(15, 5.5))), 3);
  EXPECT_EQ(document.lineNear(document.pixelAt(kPoint(15, -5))), 0);
  document.setScale(100);
  EXPECT_EQ(document.lineNear(document.pixelAt(kPoint(20.1, 5))), 0);

  // A scale that was no number draws at 1 and shows pixels from the origin, y down.
  document.setScale(0);
  EXPECT_EQ(document.scale(), 0.0);
  EXPECT_EQ(document.drawnScale(), 1.0);
  const kPoint origin = document.pixelAt(kPoint(0, 0));
  EXPECT_EQ(document.programPointAt(kPoint(origin.x + 3, origin.y + 4)), kPoint(3, 4));
}

TEST_F(DocumentTest, WheelNotchesZoomByAQuarterEachSoThatOutUndoesIn) {
  struct Case {
    double notches;
    double factor;
  };
  // Parts of a notch from high-resolution wheels zoom by the same rule; nonsense does not zoom.
  const Case cases[] = {
      {1, 1.25}, {-1, 0.8}, {3, 1.953125}, {0.5, std::sqrt(1.25)}, {-0.25, 1 / std::pow(1.25, 0.25)},
      {0, 1},    {NAN, 1}};
  for (const Case& c : cases) EXPECT_NEAR(wheelZoomFactor(c.notches), c.factor, 1e-12) << c.notches;
  EXPECT_NEAR(wheelZoomFactor(2.5) * wheelZoomFactor(-2.5), 1, 1e-12);
}

TEST_F(DocumentTest, SavesWriteTheTextAsItWasReadAndKeepThePreviousFile) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {{"crlf.nc", kProgram},
                        {"lf.nc", "G00X1.\nG01Y2." + kShiftJisComment + "\n"},
                        {"noend.nc", "G00X1.\nG01Y2."},
                        {"bom.nc", "\xEF\xBB\xBFG00X1.(\xE5\x8A\xA0)\r\n"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = write(c.name, c.bytes);
    document.loadFile(path);
    const kNcDocument::SaveOutcome outcome = document.save(path);
    ASSERT_TRUE(outcome.saved.ok) << outcome.saved.message;
    EXPECT_TRUE(outcome.lossless);
    EXPECT_EQ(readBytes(path), c.bytes);
    EXPECT_EQ(readBytes(outcome.saved.backupPath), c.bytes);
  }
  // An edited text goes out with the breaks of the file it replaces; what Shift-JIS cannot hold becomes '?'.
  document.loadFile(folder / "crlf.nc");
  document.loadText(u"G00X5.(é)\nM30\n");
  const kNcDocument::SaveOutcome outcome = document.save(folder / "crlf.nc");
  EXPECT_FALSE(outcome.lossless);
  EXPECT_EQ(readBytes(folder / "crlf.nc"), "G00X5.(?)\r\nM30\r\n");
  // Nowhere to write: nothing written, the reason given.
  EXPECT_FALSE(document.save(folder / "crlf.nc/inside.nc").saved.ok);

  const SaveResult dxf = document.exportDxf(folder / "part.dxf");
  ASSERT_TRUE(dxf.ok) << dxf.message;
  EXPECT_NE(readBytes(folder / "part.dxf").find("LINE"), std::string::npos);
  EXPECT_TRUE(document.exportDxf(folder / "part.dxf").ok);
  EXPECT_FALSE(readBytes(folder / "part_old.dxf").empty());
}

}  // namespace
