// Shared helpers of the window tests: sample programs in a private folder and a shown main window that
// keeps its settings there too.
#pragma once

#include <QFile>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/EditorLines.hpp"
#include "app/Velmora_.hpp"

// Lines 1-10: an outline with compensation, a fitting G02, a G03 whose radius misses its end point.
inline const QStringList kSampleProgram = {
    "%",                          // 1
    "G90 G00 X0 Y0",              // 2
    "G41 D05 G01 X12.5 Y0 F300",  // 3
    "G02 X22.5 Y10 I0 J10",       // 4  centre (12.5, 10), R 10
    "G01 Y30",                    // 5  (22.5, 10) -> (22.5, 30)
    "G03 X0 Y40 I-10 J0",         // 6  centre (12.5, 30): the end point is 16 away, not 10
    "G01 X0 Y20",                 // 7
    "G40 G00 X-10 Y-10",          // 8
    "G00 Z50",                    // 9
    "M30",                        // 10
};

// Arcs in the XZ and YZ planes and a drilling cycle whose holes have the diameter of the comment's tool.
inline const QStringList kPlanesAndCycleProgram = {
    "G90 G00 X0 Y0 Z5",          // 1
    "G18 G02 X10 Z15 I5 K5",     // 2  centre X 5, Z 10
    "G17 G00 X20 Y0 Z5",         // 3
    "G19 G03 Y10 Z5 J5 K2",      // 4  centre Y 5, Z 7
    "G17 G00 X30 Y0",            // 5
    "G81 X30 Y20 Z-5 R2 (D=6)",  // 6  a hole of radius 3 about (30, 20)
    "X40",                       // 7
    "G80 G00 Z50",               // 8
};

struct WindowFixture {
  QTemporaryDir dir;
  std::unique_ptr<TVelmora_Form1> window;
  QStringList messages;

  QString path(const QString& name) const { return dir.filePath(name); }

  QString write(const QString& name, const QByteArray& bytes) const {
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return file.fileName();
  }
  QString writeLines(const QString& name, const QStringList& lines) const {
    return write(name, (lines.join('\n') + '\n').toUtf8());
  }

  // A shown window whose settings file lives in the test's folder; messages are collected, not shown.
  TVelmora_Form1& open() {
    window = std::make_unique<TVelmora_Form1>(path("velmora.INI"));
    window->messageBoxHook = [this](const QString& caption, const QString& text) {
      messages << caption + ": " + text;
    };
    window->show();
    window->FormActivate(QString());
    QTest::qWait(10);
    return *window;
  }

  TVelmora_Form1& openWithSample() { return openWith("sample.nc", kSampleProgram); }

  TVelmora_Form1& openWith(const QString& name, const QStringList& lines) {
    TVelmora_Form1& w = open();
    w.dropNcFile(writeLines(name, lines));
    return w;
  }
};

// Presses a key in the editor `times` times.
inline void pressInEditor(TVelmora_Form1& w, Qt::Key key, int times = 1, Qt::KeyboardModifiers mods = {}) {
  for (int i = 0; i < times; ++i) QTest::keyClick(w.reditNcFile, key, mods);
}

// The arc fields are marked as a faulty arc's (all three, or none).
inline bool arcFieldsYellow(const TVelmora_Form1& w) {
  int yellow = 0;
  for (const QLineEdit* field : {w.leditCX, w.leditCY, w.leditR})
    yellow += field->palette().color(QPalette::Base) == QColor(Qt::yellow);
  if (yellow % 3 != 0) qWarning("only %d of the three arc fields are yellow", yellow);
  return yellow == 3;
}

// True when a pixel within `radius` of `at` in the drawing's picture has `colour`.
inline bool hasColourNear(const TVelmora_Form1& w, const kPoint& at, const QColor& colour, int radius = 2) {
  const QImage& picture = w.Image1->picture();
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx) {
      const QPoint p(static_cast<int>(at.x) + dx, static_cast<int>(at.y) + dy);
      if (picture.rect().contains(p) && picture.pixelColor(p) == colour) return true;
    }
  return false;
}
