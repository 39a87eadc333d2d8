// Lines, circles and points: construction, intersections, containment and arc limits.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/Gcircle.hpp"
#include "graphics/Gline.hpp"
#include "graphics/Gpoint.hpp"

namespace {

const double kRoot3 = std::sqrt(3.0);

TEST(GLineTest, DirectionAndInterceptsFromTwoPoints) {
  struct Case {
    double x1, y1, x2, y2;
    int kind;
    double angle, x, y;
  };
  const Case cases[] = {
      {0, 0, -5, 0, 3, 180, 0, 0},     {0, 0, 0, -5, 2, -90, 0, 0},
      {1, 1, 3, 3, 1, 45, 0, 0},       {0, 2, 4, 0, 1, -26.565051177077990, 4, 2},
      {3, 1, 1, 3, 1, 135, 4, 4},      {2, 7, 2, 9, 2, 90, 2, 0},
      {-1, -1, -3, -3, 1, -135, 0, 0},
  };
  for (const Case& c : cases) {
    const GLine line(GPoint(c.x1, c.y1), GPoint(c.x2, c.y2));
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2);
    EXPECT_TRUE(line.valid);
    EXPECT_EQ(line.getKind(), c.kind);
    EXPECT_NEAR(line.angle, c.angle, 1e-12);
    EXPECT_NEAR(line.x, c.x, 1e-12);
    EXPECT_NEAR(line.y, c.y, 1e-12);
  }
  EXPECT_DOUBLE_EQ(GLine(GPoint(0, 0), GPoint(0, -5)).getAngle(1), 270);
  EXPECT_DOUBLE_EQ(GLine(GPoint(0, 0), GPoint(0, -5)).getAngle(-1), -90);
}

TEST(GLineTest, CoincidentPointsGiveAnUndefinedLineThatStaysUndefined) {
  const GLine line(GPoint(2, 2), GPoint(2, 2));
  EXPECT_FALSE(line.valid);
  EXPECT_EQ(line.getKind(), 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(line.getAngle(1), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("直線が定義されていません"), std::string::npos);

  const GLine copy(line);
  EXPECT_FALSE(copy.valid);
  EXPECT_EQ(copy.getKind(), 0);
  // Assigning an undefined line keeps the target's geometry but marks it invalid and unlimited.
  GLine target(0, 5, 0.0);
  target.setEnds(kPoint(0, 5), kPoint(1, 5));
  target = line;
  EXPECT_FALSE(target.valid);
  EXPECT_FALSE(target.limited);
  EXPECT_EQ(target.getKind(), 3);
  EXPECT_FALSE(target.setThrough(GPoint(1, 1), GPoint(1, 1)));
}

TEST(GLineTest, AngleIsNormalisedAndClassified) {
  const GLine line(0, 3, 540.0);
  EXPECT_EQ(line.angle, 180);
  EXPECT_EQ(line.getKind(), 3);
  EXPECT_EQ(line.y, 3);
  const GLine vertical(GPoint(4, 1), -270.0);
  EXPECT_EQ(vertical.angle, 90);
  EXPECT_EQ(vertical.getKind(), 2);
  EXPECT_EQ(vertical.x, 4);
  EXPECT_EQ(GLine(1, 1, 45.0).getKind(), 1);
}

TEST(GLineTest, ContainsComparesYOnlyAndAcceptsAnythingOnVerticals) {
  const GLine line(GPoint(0, 0), GPoint(1, 2));
  EXPECT_TRUE(line.contains(kPoint(1, 2.05), 1));
  EXPECT_FALSE(line.contains(kPoint(1, 2.2), 1));
  EXPECT_TRUE(line.contains(kPoint(3, 6), 7));
  const GLine vertical(GPoint(3, 0), GPoint(3, 1));
  EXPECT_TRUE(vertical.contains(kPoint(1000, -42), 7));
  GLine v2 = vertical;
  EXPECT_TRUE(v2.setEnds(kPoint(-50, 0), kPoint(50, 9)));
  EXPECT_TRUE(v2.limited);

  GLine oblique(GPoint(0, 0), GPoint(1, 1));
  EXPECT_FALSE(oblique.setEnds(kPoint(0, 0), kPoint(1, 1.5)));
  EXPECT_FALSE(oblique.limited);
  EXPECT_TRUE(oblique.setEnds(kPoint(0, 0), kPoint(1, 1)));
  EXPECT_EQ(oblique.end, kPoint(1, 1));
}

TEST(GLineTest, SteepLineFarFromTheOriginFailsContainsButTakesItsSegment) {
  // Rounding of tan near 90 degrees: the end points themselves are rejected by the 1e-7 test.
  const kPoint a(2833.145, 3346.257);
  const kPoint b(2833.144, 2864.5452);
  GLine line{GPoint(a), GPoint(b)};
  ASSERT_TRUE(line.valid);
  EXPECT_FALSE(line.setEnds(a, b));
  line.setSegment(a, b);
  EXPECT_TRUE(line.limited);
  EXPECT_EQ(line.start, a);
  EXPECT_EQ(line.end, b);
}

TEST(GPointTest, LineLineIntersection) {
  const GPoint p(GLine(0, 0, 45.0), GLine(0, 2, -45.0));
  ASSERT_TRUE(p.valid);
  EXPECT_NEAR(p.x, 1, 1e-12);
  EXPECT_NEAR(p.y, 1, 1e-12);
  EXPECT_FALSE(GPoint(GLine(0, 0, 30.0), GLine(5, 0, 30.0)).valid);
  const GPoint q(GLine(3, 0, 90.0), GLine(0, 1, 45.0));
  ASSERT_TRUE(q.valid);
  EXPECT_NEAR(q.x, 3, 1e-12);
  EXPECT_NEAR(q.y, 4, 1e-12);
  EXPECT_FALSE(GPoint(GLine(GPoint(1, 1), GPoint(1, 1)), GLine(0, 0, 0.0)).valid);
}

TEST(GPointTest, LineCircleIntersectionFollowsTheLineDirection) {
  const GCircle c(0, 0, 3);
  const GLine east(GPoint(-5, 1), GPoint(5, 1));
  const GLine west(GPoint(5, 1), GPoint(-5, 1));
  const double r8 = std::sqrt(8.0);
  EXPECT_NEAR(GPoint(east, c, 1).x, -r8, 1e-12);
  EXPECT_NEAR(GPoint(east, c, 2).x, r8, 1e-12);
  EXPECT_NEAR(GPoint(east, c, -1).x, r8, 1e-12);
  EXPECT_NEAR(GPoint(west, c, 1).x, r8, 1e-12);
  EXPECT_NEAR(GPoint(west, c, 2).x, -r8, 1e-12);
  EXPECT_NEAR(GPoint(east, c, 1).y, 1, 1e-12);
  const GLine up(GPoint(1, -9), GPoint(1, 9));
  EXPECT_NEAR(GPoint(up, c, 1).y, -r8, 1e-12);
  EXPECT_NEAR(GPoint(up, c, 2).y, r8, 1e-12);
  // Tangent: one point for both sides; missing: invalid.
  const GLine tangent(0, 3, 0.0);
  EXPECT_NEAR(GPoint(tangent, c, 1).x, 0, 1e-9);
  EXPECT_NEAR(GPoint(tangent, c, 2).x, 0, 1e-9);
  EXPECT_FALSE(GPoint(GLine(0, 4, 0.0), c, 1).valid);
  GPoint p(0, 0);
  EXPECT_FALSE(p.setLineCircle(GLine(4, 0, 90.0), c, 1));
  EXPECT_TRUE(p.setLineCircle(east, c, 1));
}

TEST(GPointTest, CircleCircleIntersectionLeftAndRight) {
  const GCircle a(0, 0, 10);
  const GCircle b(10, 0, 10);
  const GPoint left(a, b, 1);
  const GPoint right(a, b, 2);
  EXPECT_NEAR(left.x, 5, 1e-12);
  EXPECT_NEAR(left.y, 5 * kRoot3, 1e-12);
  EXPECT_NEAR(right.x, 5, 1e-12);
  EXPECT_NEAR(right.y, -5 * kRoot3, 1e-12);
  // Centres one above the other: left of the upward direction is -x.
  const GPoint upLeft(GCircle(0, 0, 10), GCircle(0, 10, -10), 1);
  EXPECT_NEAR(upLeft.x, -5 * kRoot3, 1e-12);
  EXPECT_NEAR(upLeft.y, 5, 1e-12);
  const GPoint touch1(a, GCircle(20, 0, 10), 1);
  const GPoint touch2(a, GCircle(20, 0, 10), 2);
  EXPECT_NEAR(touch1.x, 10, 1e-9);
  EXPECT_NEAR(touch2.x, 10, 1e-9);
  EXPECT_FALSE(GPoint(a, GCircle(0, 0, 5), 1).valid);
  EXPECT_FALSE(GPoint(a, GCircle(30, 0, 5), 1).valid);
}

TEST(GCircleTest, CentreFromEndPointsAndRadius) {
  const GCircle ccw(GPoint(0, 0), GPoint(10, 0), 10, 1);
  EXPECT_EQ(ccw.getKind(), 5);
  EXPECT_NEAR(ccw.x, 5, 1e-12);
  EXPECT_NEAR(ccw.y, 5 * kRoot3, 1e-12);
  const GCircle cw(GPoint(0, 0), GPoint(10, 0), -10, 1);
  EXPECT_EQ(cw.getKind(), 4);
  EXPECT_NEAR(cw.y, -5 * kRoot3, 1e-12);
  EXPECT_NEAR(GCircle(GPoint(0, 0), GPoint(10, 0), 10, -1).y, -5 * kRoot3, 1e-12);
  EXPECT_FALSE(GCircle(GPoint(0, 0), GPoint(10, 0), 4, 1).valid);
  const GCircle zero(GPoint(0, 0), GPoint(10, 0), 0, 1);
  EXPECT_FALSE(zero.valid);
  EXPECT_EQ(zero.getKind(), 0);
  EXPECT_FALSE(GCircle(GPoint(1, 1), GPoint(1, 1), 5, 1).valid);
  EXPECT_FALSE(GCircle(0, 0, 0).valid);
  EXPECT_EQ(GCircle(0, 0, std::nan("")).getKind(), 0);
  GCircle c(0, 0, 1);
  EXPECT_TRUE(c.set(GPoint(2, 3), -4));
  EXPECT_EQ(c.getCentre(), kPoint(2, 3));
  EXPECT_EQ(c.getKind(), 4);
  EXPECT_TRUE(c.onCircle(kPoint(6, 3), 7));
  EXPECT_FALSE(c.onCircle(kPoint(6.1, 3), 2));
}

TEST(GCircleTest, SetArcStoresCounterClockwiseAnglesOrMarksAFullCircle) {
  GCircle c(0, 0, 10);
  EXPECT_TRUE(c.setArc(kPoint(10, 0), kPoint(0, 10), 4));
  EXPECT_TRUE(c.limited);
  EXPECT_EQ(c.startAngle, 0);
  EXPECT_EQ(c.endAngle, 90);
  EXPECT_TRUE(c.setArc(kPoint(0, 10), kPoint(10, 0), 4));
  EXPECT_EQ(c.startAngle, 90);
  EXPECT_EQ(c.endAngle, 360);
  EXPECT_TRUE(c.setArc(kPoint(0, -10), kPoint(-10, 0), 4));
  EXPECT_EQ(c.startAngle, 270);
  EXPECT_EQ(c.endAngle, 180);
  EXPECT_EQ(c.getKind(), 5);

  GCircle off(0, 0, 10);
  EXPECT_FALSE(off.setArc(kPoint(10.5, 0), kPoint(0, 10), 2));
  EXPECT_FALSE(off.limited);

  GCircle full(1, 1, -3);
  EXPECT_TRUE(full.setArc(kPoint(7, 7), kPoint(7, 7), 2));
  EXPECT_EQ(full.getKind(), 6);
  EXPECT_EQ(full.startAngle, 0);
  EXPECT_EQ(full.endAngle, 360);
  EXPECT_EQ(full.start, kPoint(0, 0));

  // Assignment resets angles first and copies every field; self-assignment drops the limits.
  GCircle copy(5, 5, 1);
  copy = c;
  EXPECT_TRUE(copy.limited);
  EXPECT_EQ(copy.startAngle, 270);
  copy = *&copy;
  EXPECT_FALSE(copy.limited);
}

TEST(GraphicTest, SamePlaceNeedsDefinedShapesAtTheSamePosition) {
  EXPECT_TRUE(samePlace(GPoint(1, 2), GPoint(1, 2)));
  EXPECT_FALSE(samePlace(GPoint(1, 2), GPoint(1, 2.5)));
  EXPECT_FALSE(samePlace(GLine(GPoint(1, 1), GPoint(1, 1)), GPoint(0, 0)));
}

}  // namespace
