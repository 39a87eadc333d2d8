// Pens, shape lists and the canvas: transform, clipping, arcs, centre lines and the trace format.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graphics/Gpoint.hpp"
#include "graphics/Kcanvas.hpp"
#include "graphics/RecordingSurface.hpp"
#include "graphics/TraceCalls.hpp"

namespace {

using Op = SurfaceCall::Op;

using trace::arc;
using trace::line;
using trace::move;

struct CanvasFixture : testing::Test {
  void bindAt(double originX, double originY, double scale) {
    canvas.bind(surface, 800, 600, scale);
    canvas.setOrigin(kPoint(originX, originY));
  }
  RecordingSurface surface;
  kCanvas canvas;
};

TEST_F(CanvasFixture, BindScaleAndTransform) {
  canvas.bind(surface, 801, 600, 2);
  EXPECT_EQ(canvas.getOrigin(), kPoint(400, 300));
  EXPECT_EQ(canvas.toScreen(kPoint(10, 5)), kPoint(420, 290));
  canvas.setScale(0);
  EXPECT_EQ(canvas.getScale(), 1.0);
  canvas.setScale(-3);
  EXPECT_EQ(canvas.getScale(), 3.0);
  canvas.setScale(std::nan(""));
  EXPECT_EQ(canvas.getScale(), 1.0);

  // Fractions are kept until the surface gets them, then truncated toward zero.
  bindAt(40, 30, 0.5);
  EXPECT_EQ(canvas.moveTo(kPoint(1, 1)), kPoint(40.5, 29.5));
  EXPECT_EQ(canvas.lineTo(kPoint(-1, -1)), kPoint(39.5, 30.5));
  EXPECT_EQ(surface.calls, (std::vector<SurfaceCall>{move(40, 29), line(39, 30)}));
  EXPECT_EQ(toPixel(-0.7), 0);
  EXPECT_EQ(toPixel(1e300), 1000000000);
  EXPECT_EQ(toPixel(std::nan("")), 0);
}

TEST_F(CanvasFixture, UnlimitedLinesAreClippedByACircleOf2000Units) {
  bindAt(0, 0, 0.1);
  EXPECT_TRUE(canvas.drawLine(GLine(0, 5, 0.0)));
  EXPECT_TRUE(canvas.drawLine(GLine(3, 0, 90.0)));
  EXPECT_TRUE(canvas.drawLine(GLine(0, 0, 45.0)));
  const int d = static_cast<int>(2000 / std::sqrt(2.0) * 0.1);
  EXPECT_EQ(surface.calls, (std::vector<SurfaceCall>{move(-200, 0), line(200, 0), move(0, 200), line(0, -200),
                                                     move(-d, d), line(d, -d)}));
  surface.calls.clear();
  GLine invalid(GPoint(1, 1), GPoint(1, 1));
  EXPECT_FALSE(canvas.drawLine(invalid));
  GLine segment(GPoint(0, 0), GPoint(10, 10));
  segment.setEnds(kPoint(0, 0), kPoint(10, 10));
  EXPECT_TRUE(canvas.drawLine(segment));
  EXPECT_EQ(surface.calls, (std::vector<SurfaceCall>{move(0, 0), line(1, -1)}));
}

TEST_F(CanvasFixture, ArcsAreDrawnCounterClockwiseOnScreen) {
  bindAt(100, 100, 2);
  GCircle ccw(0, 0, 10);
  ccw.setArc(kPoint(10, 0), kPoint(0, 10), 4);
  EXPECT_TRUE(canvas.drawCircle(ccw));
  // The clockwise quarter from (0, 10) to (10, 0) is drawn from its end, counter-clockwise.
  GCircle cw(0, 0, -10);
  cw.setArc(kPoint(0, 10), kPoint(10, 0), 4);
  canvas.drawCircle(cw);
  GCircle across(0, 0, 10);
  across.setArc(kPoint(0, -10), kPoint(0, 10), 4);
  canvas.drawCircle(across);
  canvas.drawCircle(GCircle(1, 1, -5));
  // A full circle marked by setArc is drawn whole from angle 0, not from its stale start point.
  GCircle full(1, 1, -5);
  full.setArc(kPoint(3, 3), kPoint(3, 3), 2);
  canvas.drawCircle(full);
  EXPECT_FALSE(canvas.drawCircle(GCircle(0, 0, 0)));
  EXPECT_EQ(surface.calls, (std::vector<SurfaceCall>{move(120, 100), arc(100, 100, 20, 0, 90),     //
                                                     move(120, 100), arc(100, 100, 20, 360, 90),   //
                                                     move(100, 120), arc(100, 100, 20, 270, 180),  //
                                                     move(112, 98), arc(102, 98, 10, 0, 360),      //
                                                     move(112, 98), arc(102, 98, 10, 0, 360)}));
}

TEST_F(CanvasFixture, CentreLinesAreDashDotAxesAndMoveTheOrigin) {
  canvas.bind(surface, 800, 600, 1.0);
  canvas.setScale(0.1);
  canvas.setPen(kWhite, 0xFF, kDot, 2);
  canvas.drawCentreLines(kPoint(-100, 50));
  EXPECT_EQ(surface.calls, (std::vector<SurfaceCall>{move(200, 295), line(600, 295, 0, 3, 1), move(390, 500),
                                                     line(390, 100, 0, 3, 1)}));
  EXPECT_EQ(canvas.getOrigin(), kPoint(390, 295));
  EXPECT_EQ(canvas.color, 0xFFu);
  EXPECT_EQ(canvas.width, 2);
}

TEST_F(CanvasFixture, ListsDrawLinesThenCirclesInTheirPenAndRestoreTheCanvasPen) {
  GList list;
  EXPECT_EQ(list.addCircle(GCircle(0, 0, 1)), 1);
  GLine l(GPoint(0, 0), GPoint(1, 0));
  l.setEnds(kPoint(0, 0), kPoint(1, 0));
  EXPECT_EQ(list.addLine(l), 1);
  EXPECT_EQ(list.addLine(GLine(GPoint(1, 1), GPoint(1, 1))), 2);
  EXPECT_EQ(list.shapeCount(), 3);
  EXPECT_EQ(list.tagAt(0), u"C");
  EXPECT_EQ(list.tagAt(1), u"L");
  EXPECT_EQ(list.tagAt(3), u"");
  EXPECT_FALSE(list.lineAt(1).valid);
  list.setPen(kWhite, 0xFF0000, kDot, 1);

  bindAt(0, 0, 10);
  canvas.drawList(list);
  EXPECT_TRUE(surface.calls.empty());
  list.visible = true;
  canvas.drawList(list);
  EXPECT_EQ(surface.calls, (std::vector<SurfaceCall>{move(0, 0), line(10, 0, 0xFF0000, 2, 1), move(10, 0),
                                                     arc(0, 0, 10, 0, 360, 0xFF0000, 2, 1)}));
  EXPECT_EQ(canvas.color, kBlack);
  list.clear();
  EXPECT_EQ(list.shapeCount(), 0);
  EXPECT_EQ(list.lineCount(), 0);
  EXPECT_TRUE(list.visible);
  EXPECT_EQ(list.color, 0xFF0000u);
}

TEST(TraceTest, JsonLinesOfEveryCall) {
  RecordingSurface surface;
  surface.fillRect(0, 0, 800, 600, kWhite);
  surface.setPen(255, 1, 2);
  surface.moveTo(-3, 4);
  surface.lineTo(5, 6);
  surface.angleArc(10, 20, 30, 0.1f, 360);
  surface.markStep(7, 5);
  const std::vector<std::string> expected{
      R"({"op":"fill","left":0,"top":0,"right":800,"bottom":600,"color":16777215})",
      R"({"op":"move","x":-3,"y":4})", R"({"op":"line","x":5,"y":6,"color":255,"style":1,"width":2})",
      R"({"op":"arc","x":10,"y":20,"radius":30,"start":0.1,"sweep":360,"color":255,"style":1,"width":2})",
      R"({"op":"step","from":7,"to":5})"};
  ASSERT_EQ(surface.calls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(traceJson(surface.calls[i]), expected[i]);
}

}  // namespace
