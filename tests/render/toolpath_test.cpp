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
                        kWhite = 0xFFFFFF;

struct FakeIndicators : ToolPathIndicators {
  void showScale(const std::u16string& text) override { scale = text; }

  std::u16string scale;
};

using trace::arc;
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

}  // namespace
