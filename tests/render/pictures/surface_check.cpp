// Checks the QPainter surface on a QImage: colours, pen styles, wide pens drawn solid, the angle arc's
// joining line and direction, the pen position after an arc, lines far outside the picture, and the area
// painted since it was last asked.
#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdio>
#include <string>

#include "qtsurface/QPainterSurface.hpp"

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
  if (!ok) {
    ++failures;
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  }
}

QImage blank() {
  QImage image(200, 200, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

QColor at(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

int countRow(const QImage& image, int y, int from, int to, const QColor& color) {
  int n = 0;
  for (int x = from; x <= to; ++x) n += at(image, x, y) == color;
  return n;
}

bool nearColor(const QImage& image, int x, int y, const QColor& color) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (at(image, x + dx, y + dy) == color) return true;
  return false;
}

void checkLinesAndStyles() {
  QImage image = blank();
  {
    QPainterSurface surface(image);
    surface.fillRect(0, 0, 10, 10, 0x0000FF);
    surface.setPen(0xFF0000, 0, 1);
    surface.moveTo(10, 20);
    surface.lineTo(110, 20);
    surface.setPen(0xFF0000, 2, 1);
    surface.moveTo(10, 40);
    surface.lineTo(110, 40);
    surface.setPen(0x008000, 2, 2);
    surface.moveTo(10, 60);
    surface.lineTo(110, 60);
    // Far outside the picture on both sides.
    surface.setPen(0x000000, 0, 1);
    surface.moveTo(-1000000000, 80);
    surface.lineTo(1000000000, 80);
    check(surface.takePaintedArea() == QRect(0, 0, 200, 84), "painted area: everything so far, in the picture");
    check(surface.takePaintedArea().isEmpty(), "painted area taken: nothing new");
  }
  check(at(image, 9, 9) == QColor(255, 0, 0) && at(image, 10, 10) == Qt::white,
        "fill: 0x0000FF is red, edges exclusive");
  check(countRow(image, 20, 10, 110, QColor(0, 0, 255)) == 101, "solid blue line, end pixels included");
  const int dots = countRow(image, 40, 10, 110, QColor(0, 0, 255));
  check(dots > 20 && dots < 80, "dotted line has gaps");
  check(countRow(image, 60, 10, 110, QColor(0, 128, 0)) == 101, "wide dotted pen draws solid");
  check(countRow(image, 59, 10, 110, QColor(0, 128, 0)) == 101 ||
            countRow(image, 61, 10, 110, QColor(0, 128, 0)) == 101,
        "wide pen is 2 pixels");
  check(countRow(image, 80, 0, 199, Qt::black) == 200, "far line clipped and drawn across");
}

void checkAngleArc() {
  QImage image = blank();
  {
    QPainterSurface surface(image);
    surface.setPen(0x000000, 0, 1);
    surface.moveTo(20, 100);
    // Quarter from 0 to 90 degrees about (100, 100): from (150, 100) up to (100, 50) on the screen.
    surface.angleArc(100, 100, 50, 0, 90);
    // The arc's end is the new pen position.
    surface.lineTo(100, 20);
    const QRect painted = surface.takePaintedArea();
    check(painted.contains(QRect(20, 20, 131, 81)) && painted.width() < 140 && painted.height() < 90,
          "painted area: the joining line, the arc and the line after it, with a margin");
    surface.moveTo(0, 0);
    surface.angleArc(-1000000000, 100, 1000000000, 0, 360);
  }
  check(countRow(image, 100, 20, 150, Qt::black) >= 125, "joining line to the arc's first point");
  check(nearColor(image, 135, 65, Qt::black), "arc through the upper right quarter");
  check(!nearColor(image, 65, 135, Qt::black) && !nearColor(image, 135, 135, Qt::black),
        "nothing below the centre");
  check(at(image, 100, 30) == Qt::black, "drawing continues from the arc's end");
}

}  // namespace

int main() {
  checkLinesAndStyles();
  checkAngleArc();
  if (failures == 0) std::puts("surface checks passed");
  return failures == 0 ? 0 : 1;
}
