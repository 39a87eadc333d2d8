// The tool-path drawing of interpreted programs: kinds and pens, the arc rule, the holes of drilling cycles,
// the fit, the compensation indicator, the cache, and the step drawing forward and back, all on the recording
// surface.
#include "render/Toolpath.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "graphics/RecordingSurface.hpp"
#include "graphics/TraceCalls.hpp"

namespace {

using Op = SurfaceCall::Op;

constexpr std::uint32_t kBlue = 0xFF0000, kGreen = 0x008000, kRed = 0x0000FF, kPurple = 0x800080,
                        kWhite = 0xFFFFFF, kGrey = 0xC8C8C8, kOrange = 0x008CFF;

struct FakeIndicators : ToolPathIndicators {
  void showScale(const std::u16string& text) override { scale = text; }

  std::u16string scale;
};

using trace::arc;
using trace::layer;
using trace::line;
using trace::move;

struct ToolPathTest : testing::Test {
  void load(const std::vector<std::u16string_view>& lines) {
    geometry.restart();
    geometry.setCommentDelimiters(u"/*", u"*/", u"//", u"", u"(", u")");
    for (std::u16string_view l : lines) geometry.interpretBlock(l);
    path.programChanged();
  }
  // World (x, y) lands at pixel (400 + x, 300 - y).
  void drawUpTo(int curLine) {
    canvas.bind(surface, 800, 600, 1.0);
    path.viewScale = 1;
    path.curLine = curLine;
    surface.calls.clear();
    path.redrawProgram();
  }
  std::vector<SurfaceCall> step(int from, int to) {
    surface.calls.clear();
    path.stepDrawing(from, to);
    return surface.calls;
  }

  kNcGeometry geometry{u"(", u")", u"", u"", u"", u""};
  kCanvas canvas;
  FakeIndicators indicators;
  RecordingSurface surface;
  kToolPath path{geometry, canvas, indicators};
};

TEST_F(ToolPathTest, EveryBlockIsDrawnFromThePreviousEndInThePenOfItsKind) {
  load({u"G00X10Y0",           // 1 rapid, from the initial point
        u"G01Y10F100",         // 2 feed
        u"G41D05G01X20",       // 3 compensated
        u"G00X30",             // 4 rapid under compensation: compensated
        u"G01Y20F$FAST_FEED",  // 5 fast feed beats compensation
        u"G40G01X40F100",      // 6 feed
        u"G81X50Y0Z-5R2",      // 7 feed into a cycle: a hole of the initial tool's diameter 10
        u"X60(D=4)",           // 8 a hole of diameter 4
        u"G80X70"});           // 9 out of the cycle: no hole
  drawUpTo(geometry.blockCount);
  EXPECT_EQ(surface.calls,
            (std::vector<SurfaceCall>{move(410, 290), line(420, 290, kGreen, 0, 2),             // compList
                                      move(420, 290), line(430, 290, kGreen, 0, 2),             //
                                      move(410, 300), line(410, 290, 0, 0, 1),                  // feedList
                                      move(430, 280), line(440, 280, 0, 0, 1),                  //
                                      move(440, 280), line(450, 300, 0, 0, 1),                  //
                                      move(450, 300), line(460, 300, 0, 0, 1),                  //
                                      move(460, 300), line(470, 300, 0, 0, 1),                  //
                                      move(430, 290), line(430, 280, kRed, 1, 1),               // fastFeedList
                                      move(400, 300), line(410, 300, kBlue, 2, 1),              // rapidList
                                      move(455, 300), arc(450, 300, 5, 0, 360, kPurple, 0, 1),  // cycleList
                                      move(462, 300), arc(460, 300, 2, 0, 360, kPurple, 0, 1)}));
  EXPECT_EQ(path.drawingKindAt(3), kindCompensated);
  EXPECT_EQ(indicators.scale, u"1.000");

  // Only the blocks before the current one.
  drawUpTo(4);
  EXPECT_EQ(surface.calls.size(), 6u);
  // The hole of block 7 with its move, not yet the one of block 8.
  drawUpTo(8);
  EXPECT_EQ(std::count_if(surface.calls.begin(), surface.calls.end(),
                          [](const SurfaceCall& call) { return call.color == kPurple; }),
            1);
  drawUpTo(0);
  EXPECT_TRUE(surface.calls.empty());
}

TEST_F(ToolPathTest, SteepMoveFarFromTheOriginIsDrawnAsItsSegment) {
  // Rounding makes `contains` reject these end points; the move is still exactly its segment.
  load({u"G00X2833.145Y3346.257", u"G01X2833.144Y2864.5452"});
  drawUpTo(geometry.blockCount);
  ASSERT_EQ(surface.calls.size(), 4u);
  EXPECT_EQ(surface.calls[0], move(3233, -3046));
  EXPECT_EQ(surface.calls[1], line(3233, -2564, 0, 0, 1));
}

TEST_F(ToolPathTest, ArcRule) {
  struct Case {
    const char16_t* arcBlock;
    std::vector<SurfaceCall> calls;
    bool marked;
  };
  const Case cases[] = {
      // Counter-clockwise quarter about the programmed centre.
      {u"G03X0Y10I-10J0", {move(410, 300), arc(400, 300, 10, 0, 90, 0, 0, 1)}, false},
      // Clockwise: the centre from the end points is (10, 10), too far from (0, 0): the programmed centre
      // wins and the arc runs 270 degrees, drawn counter-clockwise from its end.
      {u"G02X0Y10I-10J0", {move(400, 290), arc(400, 300, 10, 90, 270, 0, 0, 1)}, false},
      // A full circle that fits stays a whole circle.
      {u"G03X10Y0I-10J0", {move(410, 300), arc(400, 300, 10, 0, 360, 0, 0, 1)}, false},
      // Centre (-0.1, 0), radius 10.1: the end point misses by 0.1, so a whole circle in the error pen.
      {u"G03X0Y10I-10.1J0", {move(410, 300), arc(399, 300, 10, 0, 360, kRed, 0, 2)}, true},
      // Missing by 0.005: still within 0.01 of the circle, so drawn as an arc in the error pen.
      {u"G03X0Y10.005I-10J0", {move(410, 300), arc(400, 300, 10, 0, 90, kRed, 0, 2)}, true},
      // Outside the XY plane: an invalid circle, nothing drawn.
      {u"G18G02X0Z10I-10K0", {}, false},
      // A tool change under G02 goes straight to the tool-change point, in the feed pen, never an arc.
      {u"G02T1M6", {move(410, 300), line(400, 300, 0, 0, 1)}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.arcBlock, c.arcBlock + std::u16string_view(c.arcBlock).size()));
    load({u"G00X10Y0", c.arcBlock});
    drawUpTo(geometry.blockCount);
    // Leave out the rapid move to the start point.
    std::erase_if(surface.calls, [](const SurfaceCall& call) { return call.color == kBlue; });
    std::erase(surface.calls, move(400, 300));
    EXPECT_EQ(surface.calls, c.calls);
    EXPECT_EQ(path.drawingKindAt(2), c.marked ? kindArcError : kindFeed);
  }
}

TEST_F(ToolPathTest, RedrawFromTheCacheOrInPiecesGivesTheSamePictureUntilTheProgramChanges) {
  load({u"G00X10Y0", u"G03X0Y10I-10.1J0", u"G01X-5", u"G41D1G01Y5", u"G81X0Y0Z-1R1", u"G80G00X3"});
  drawUpTo(4);
  const std::vector<SurfaceCall> first = surface.calls;
  drawUpTo(4);
  EXPECT_EQ(surface.calls, first);

  // A redraw in pieces of any size makes the calls of the redraw in one go, in the same order.
  path.curLine = geometry.blockCount;
  surface.calls.clear();
  path.redrawView(surface, 800, 600);
  const std::vector<SurfaceCall> whole = surface.calls;
  for (int budget : {1, 2, 7}) {
    SCOPED_TRACE(budget);
    load({u"G00X10Y0", u"G03X0Y10I-10.1J0", u"G01X-5", u"G41D1G01Y5", u"G81X0Y0Z-1R1", u"G80G00X3"});
    surface.calls.clear();
    path.beginRedraw(surface, 800, 600);
    int pieces = 1;
    while (!path.continueRedraw(budget)) ++pieces;
    EXPECT_TRUE(path.redrawDone());
    EXPECT_GT(pieces, 2);
    EXPECT_EQ(surface.calls, whole);
  }

  load({u"G00X10Y0", u"G01X20"});
  drawUpTo(3);
  EXPECT_EQ(surface.calls.size(), 4u);
  EXPECT_EQ(path.drawingKindAt(2), kindFeed);
}

TEST_F(ToolPathTest, FitToExtents) {
  struct Case {
    double minX, maxX, minY, maxY;
    int w, h;
    double scale, offX, offY;
  };
  const Case cases[] = {
      {0, 200, 0, 100, 600, 400, 2.1, -100, -50},
      // A part larger than the picture keeps the fraction: 600 / 1000 = 0.6.
      {0, 1000, 0, 100, 600, 400, 0.42, -500, -50},
      // A single point counts as 100 by 100.
      {5, 5, 7, 7, 800, 600, 4.2, -5, -7},
  };
  for (const Case& c : cases) {
    geometry.minX = c.minX;
    geometry.maxX = c.maxX;
    geometry.minY = c.minY;
    geometry.maxY = c.maxY;
    path.fitToExtents(c.w, c.h);
    EXPECT_NEAR(path.viewScale, c.scale, 1e-12);
    EXPECT_EQ(canvas.getScale(), path.viewScale);
    EXPECT_EQ(path.viewOffset, kPoint(c.offX, c.offY));
  }
}

TEST_F(ToolPathTest, RedrawViewClearsDrawsTheAxesThroughTheOffsetAndTheProgram) {
  load({u"G00X10Y0"});
  path.viewScale = 0.5;
  path.viewOffset = kPoint(-10, 0);
  path.curLine = 2;
  path.redrawView(surface, 200, 100);
  // The axes are clipped 2000 units about (0, y) and (x, 0): at scale 0.5 they reach 1000 pixels out.
  EXPECT_EQ(surface.calls, (std::vector<SurfaceCall>{{Op::Fill, 0, 0, 200, 100, 0xFFFFFF},
                                                     move(-900, 50),
                                                     line(1100, 50, 0, 3, 1),
                                                     move(95, 1050),
                                                     line(95, -950, 0, 3, 1),
                                                     move(95, 50),
                                                     line(100, 50, kBlue, 2, 1)}));
}

TEST_F(ToolPathTest, StepsForwardDrawWhatARedrawDrawsAndStepsBackEraseIt) {
  struct Case {
    std::vector<std::u16string_view> program;
    // A jump forward from `from` to `to` draws every block passed over, in order, each move before its
    // hole; the jump back paints the same shapes from the last block down in the background colour,
    // 2 pixels wide, the hole after the move.
    int from, to;
    std::vector<SurfaceCall> forward, back;
  };
  const Case cases[] = {
      {{u"G00X10Y0", u"G41D05G01Y10F100", u"G03X0Y20I-10J0", u"G03X-10Y10I-0.1J-10", u"G40G00X0Y0"},
       1,
       4,
       {move(410, 300), line(410, 290, kGreen, 0, 2), move(410, 290), arc(400, 290, 10, 0, 90, kGreen, 0, 2),
        move(409, 290), arc(399, 290, 10, 0, 360, kRed, 0, 2)},
       {move(409, 290), arc(399, 290, 10, 0, 360, kWhite, 0, 2), move(410, 290),
        arc(400, 290, 10, 0, 90, kWhite, 0, 2), move(410, 300), line(410, 290, kWhite, 0, 2)}},
      {{u"G00X10Y0", u"G81X20Y0Z-5R2(D=6)", u"X30", u"G80X40", u"G81G91X10", u"G80G90X0"},
       1,
       3,
       {move(410, 300), line(420, 300, kBlue, 2, 1), move(423, 300), arc(420, 300, 3, 0, 360, kPurple, 0, 1),
        move(420, 300), line(430, 300, kBlue, 2, 1), move(433, 300), arc(430, 300, 3, 0, 360, kPurple, 0, 1)},
       {move(420, 300), line(430, 300, kWhite, 2, 2), move(433, 300), arc(430, 300, 3, 0, 360, kWhite, 0, 2),
        move(410, 300), line(420, 300, kWhite, 2, 2), move(423, 300), arc(420, 300, 3, 0, 360, kWhite, 0, 2)}},
  };
  const auto order = [](const SurfaceCall& a, const SurfaceCall& b) {
    return std::tie(a.op, a.a, a.b, a.c, a.color, a.width, a.start) <
           std::tie(b.op, b.a, b.b, b.c, b.color, b.width, b.start);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    load(c.program);
    // Each forward step draws exactly the calls the redraw makes for that block and its hole.
    drawUpTo(geometry.blockCount);
    std::vector<SurfaceCall> redrawn = surface.calls;
    std::vector<SurfaceCall> stepped;
    for (int b = 0; b + 1 < geometry.blockCount; ++b) {
      const std::vector<SurfaceCall> calls = step(b, b + 1);
      stepped.insert(stepped.end(), calls.begin(), calls.end());
    }
    std::sort(redrawn.begin(), redrawn.end(), order);
    std::sort(stepped.begin(), stepped.end(), order);
    EXPECT_EQ(stepped, redrawn);

    EXPECT_EQ(step(c.from, c.to), c.forward);
    EXPECT_EQ(step(c.to, c.from), c.back);
    EXPECT_EQ(canvas.color, kWhite);
    EXPECT_EQ(canvas.width, 2);
  }

  // No move, or outside the program: nothing drawn, nothing read out of range.
  EXPECT_TRUE(step(3, 3).empty());
  EXPECT_TRUE(step(geometry.blockCount - 1, geometry.blockCount + 5).empty());
  EXPECT_TRUE(step(geometry.blockCount + 5, geometry.blockCount - 1).empty());
  EXPECT_EQ(step(-3, 1).size(), 2u);
}

TEST_F(ToolPathTest, ThePreviewLiesUnderThePathOnItsOwnLayerAndTheHighlightFollowsTheSteps) {
  load({u"G00X10Y0", u"G01X20F100", u"G02X40Y0I10J0"});
  path.preview = true;
  path.viewScale = 0.5;
  path.viewOffset = kPoint(-10, 0);
  path.curLine = 2;
  path.redrawView(surface, 200, 100);
  // World (x, y) at pixel (95 + x / 2, 50 - y / 2); the G02 is drawn from its end, at 360 degrees. Every layer
  // cleared, the axes on the preview's; every block in the light pen, then the path up to the current block, then
  // the current block's move in orange.
  const SurfaceCall fill{Op::Fill, 0, 0, 200, 100, kWhite};
  EXPECT_EQ(surface.calls, (std::vector<SurfaceCall>{layer(2),
                                                     fill,
                                                     layer(1),
                                                     fill,
                                                     layer(0),
                                                     fill,
                                                     move(-900, 50),
                                                     line(1100, 50, 0, 3, 1),
                                                     move(95, 1050),
                                                     line(95, -950, 0, 3, 1),
                                                     move(95, 50),
                                                     line(100, 50, kGrey),
                                                     move(100, 50),
                                                     line(105, 50, kGrey),
                                                     move(115, 50),
                                                     arc(110, 50, 5, 360, 180, kGrey),
                                                     layer(1),
                                                     move(95, 50),
                                                     line(100, 50, kBlue, 2, 1),
                                                     layer(2),
                                                     move(95, 50),
                                                     line(100, 50, kOrange, 0, 3)}));
  // A step draws on the path layer; the highlight's box is cleared before it moves on (5 pixels about the
  // move for the pen and rounding). Back, the erase pen clears the path layer down to the preview.
  EXPECT_EQ(step(1, 3), (std::vector<SurfaceCall>{layer(1),
                                                  move(100, 50),
                                                  line(105, 50),
                                                  move(115, 50),
                                                  arc(110, 50, 5, 360, 180),
                                                  layer(2),
                                                  {Op::Fill, 90, 45, 106, 56, kWhite},
                                                  move(115, 50),
                                                  arc(110, 50, 5, 360, 180, kOrange, 0, 3)}));
  EXPECT_EQ(step(3, 2), (std::vector<SurfaceCall>{layer(1),
                                                  move(115, 50),
                                                  arc(110, 50, 5, 360, 180, kWhite, 0, 2),
                                                  layer(2),
                                                  {Op::Fill, 100, 40, 121, 61, kWhite},
                                                  move(100, 50),
                                                  line(105, 50, kOrange, 0, 3)}));
  // Block 0 has no move: the highlight goes, nothing takes its place.
  EXPECT_EQ(step(2, 0), (std::vector<SurfaceCall>{layer(1),
                                                  move(100, 50),
                                                  line(105, 50, kWhite, 0, 2),
                                                  move(95, 50),
                                                  line(100, 50, kWhite, 2, 2),
                                                  layer(2),
                                                  {Op::Fill, 95, 45, 111, 56, kWhite}}));
}

TEST_F(ToolPathTest, TheNearestMoveIsMeasuredAsDrawnAndTheLatestWinsATie) {
  load({u"G00X10Y0",        // 1 (0, 0) - (10, 0)
        u"G01Y10F100",      // 2 (10, 0) - (10, 10)
        u"G03X0Y20I-10J0",  // 3 the quarter about (0, 10) from 0 to 90 degrees
        u"G01X-10",         // 4 (0, 20) - (-10, 20)
        u"G02X10Y20I10J0",  // 5 the upper half of the circle about (0, 20), clockwise
        u"G00X10Y0",        // 6 (10, 20) - (10, 0)
        u"G01X10Y0"});      // 7 no length: not drawn
  struct Case {
    kPoint at;
    double radius;
    int block;
  };
  const Case cases[] = {
      {{5, 1}, 2, 1},        {{5, 2}, 2, 1},  // at the radius exactly
      {{5, 2.01}, 2, 0},                      //
      {{10, 0}, 1, 6},                        // the end of 1, 2 and 6: the latest drawn
      {{12, 5}, 3, 6},                        // 2 and 6 both 2 away
      {{7.43, 17.43}, 1, 3},                  // half a unit outside the quarter
      {{-10, 10}, 1, 0},                      // on the quarter's circle, not on the quarter
      {{0, 30.5}, 1, 5},                      //
      {{0, 10}, 1, 0},                        // on the half of the G02's circle it does not run
      {{100, 100}, 5, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.at.x << ", " << c.at.y);
    EXPECT_EQ(path.nearestBlock(c.at, c.radius), c.block);
  }
  // A faulty arc is drawn as its whole circle, and measured as one.
  load({u"G00X10Y0", u"G03X0Y10I-10.1J0"});
  EXPECT_EQ(path.nearestBlock(kPoint(-10.2, 0), 0.1), 2);
}

TEST_F(ToolPathTest, TheGridFindsWhatASearchOfEveryMoveFinds) {
  // The grid built in pieces; moves of every length, long ones crossing many cells, and arcs; points near and far,
  // with radii from a fraction of a cell to many cells.
  std::vector<std::u16string> lines;
  std::uint32_t seed = 7;
  const auto next = [&seed](int n) {
    seed = seed * 1103515245 + 12345;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
  };
  for (int i = 0; i < 3000; ++i) {
    const int x = next(1000), y = next(600);
    std::string text = i % 97 == 0 ? "G00X" : i % 13 == 0 ? "G02X" : "G01X";
    text += std::to_string(i % 11 == 0 ? x : x / 10 + 400) + "Y" + std::to_string(i % 11 == 0 ? y : y / 10 + 300);
    if (text[2] == '2') text += "R40";
    lines.emplace_back(text.begin(), text.end());
  }
  load(std::vector<std::u16string_view>(lines.begin(), lines.end()));
  // Indexed in pieces, as a window does between its events.
  int pieces = 1;
  while (!path.indexMoves(7)) ++pieces;
  EXPECT_GT(pieces, 3 * 3000 / 7);
  DrawnMove move;
  const auto compare = [&](double width, double height) {
    for (int q = 0; q < 300; ++q) {
      const kPoint at(next(1100) * width / 1000 - 50 + next(100) / 100.0,
                      (height > 0 ? next(700) * height / 600 - 50 : -0.5) + next(100) / 100.0);
      const double radius = 0.25 * (1 + next(200));
      int expected = 0;
      double best = radius;
      for (int b = 1; b < geometry.blockCount; ++b) {
        if (!path.drawnMoveOf(b, move)) continue;
        const double d = distanceToMove(at, move);
        if (d < best || (d == best && b > expected)) best = d, expected = b;
      }
      EXPECT_EQ(path.nearestBlock(at, radius), expected) << at.x << ", " << at.y << " within " << radius;
    }
  };
  compare(1000, 600);
  // Every move on one line, one of them far beyond an int: the grid is one row of square cells.
  lines.clear();
  for (int i = 0; i < 3000; ++i) {
    const std::string text = "G01X" + std::to_string(next(1000)) + "Y0";
    lines.emplace_back(text.begin(), text.end());
  }
  lines.emplace_back(u"G01X9999999999");
  lines.emplace_back(u"G01X1");
  load(std::vector<std::u16string_view>(lines.begin(), lines.end()));
  while (!path.indexMoves(1000)) {
  }
  compare(1000, 0);
}

}  // namespace

namespace {

constexpr std::uint32_t kDarkGreen = 0x004000;

std::vector<SurfaceCall> linesIn(const std::vector<SurfaceCall>& calls, std::uint32_t color) {
  std::vector<SurfaceCall> found;
  for (const SurfaceCall& call : calls)
    if (call.op == Op::Line && call.color == color) found.push_back(call);
  return found;
}

}  // namespace

TEST_F(ToolPathTest, TheToolCentrePathGoesOverTheProgramDashedAndStepsWithItsBlocks) {
  load({u"(D=10)", u"G00X0Y-20", u"G41G01X0Y0F100", u"Y20", u"G40X-20Y20"});
  drawUpTo(geometry.blockCount);
  const std::vector<SurfaceCall> centre = {line(395, 300, kDarkGreen, 1, 1), line(395, 280, kDarkGreen, 1, 1),
                                           line(380, 280, kDarkGreen, 1, 1)};
  EXPECT_EQ(linesIn(surface.calls, kDarkGreen), centre);
  // Last, over every list of the programmed path.
  EXPECT_EQ(surface.calls.back(), centre.back());
  // Stepping draws a block's pieces after its move, and erases them going back.
  EXPECT_EQ(linesIn(step(3, 4), kDarkGreen), std::vector<SurfaceCall>{centre[1]});
  const std::vector<SurfaceCall> back = step(4, 3);
  EXPECT_TRUE(linesIn(back, kDarkGreen).empty());
  EXPECT_EQ(back.back(), line(395, 280, 0xFFFFFF, 1, 2));
  // Turned off, nothing of it is drawn.
  path.showToolCentre = false;
  drawUpTo(geometry.blockCount);
  EXPECT_TRUE(linesIn(surface.calls, kDarkGreen).empty());
}

TEST_F(ToolPathTest, ADoubleClickOnTheToolCentrePathPicksItsBlock) {
  load({u"(D=10)", u"G00X0Y-20", u"G41G01X0Y0F100", u"Y20", u"G40X-20Y20"});
  // (-5, 10) lies on block 4's tool centre piece, 5 from its programmed move.
  EXPECT_EQ(path.nearestBlock(kPoint(-5, 10), 1), 4);
  EXPECT_EQ(path.nearestBlock(kPoint(-4.5, 10), 1), 4);
  EXPECT_EQ(path.nearestBlock(kPoint(-10, 10), 1), 0);
  // Nearer the programmed move, that one.
  EXPECT_EQ(path.nearestBlock(kPoint(0, 10), 1), 4);
  EXPECT_EQ(path.nearestBlock(kPoint(-20, 20.5), 1), 5);
  path.showToolCentre = false;
  EXPECT_EQ(path.nearestBlock(kPoint(-5, 10), 1), 0);
}
