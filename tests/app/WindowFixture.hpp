// Shared helpers of the window tests: sample programs in a private folder, a shown main window that keeps its
// settings there too, and dialogs that are recorded and answered instead of shown.
#pragma once

#include <QFile>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

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

// The window's questions answered and its messages kept, in the order they came.
struct RecordedDialogs : WindowDialogs {
  QStringList messages;            // "caption: text" of every short message
  QList<QStringList> lineDialogs;  // the lines of every message dialog
  QList<int> lineDialogWidths;
  QStringList askedSaves;  // "title|filter|suffix" of every save dialog
  QString nextSaveName;    // the answer of the save dialogs; "" cancels
  std::optional<QFont> nextFont;
  QString nextOpenName;         // the answer of the open dialogs; "" cancels
  std::optional<int> nextLine;  // the answer of the go-to-line dialogs
  QStringList questions;        // "caption: text" of every question
  bool nextAnswer = false;      // the answer of the questions

  void message(QWidget*, const QString& caption, const QString& text) override {
    messages << caption + ": " + text;
  }
  int messageLines(QWidget*, int buttons, int textWidth, const QStringList& lines) override {
    lineDialogs << lines;
    lineDialogWidths << textWidth;
    return buttons == 1 ? 1 : 0;
  }
  QString saveFileName(QWidget*, const QString& title, const QString& filter, const QString& suffix,
                       const QString&) override {
    askedSaves << title + '|' + filter + '|' + suffix;
    return nextSaveName;
  }
  std::optional<QFont> font(QWidget*, const QFont&) override { return nextFont; }
  QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return nextOpenName; }
  std::optional<int> lineNumber(QWidget*, int, int) override { return nextLine; }
  bool question(QWidget*, const QString& caption, const QString& text) override {
    questions << caption + ": " + text;
    return nextAnswer;
  }
};

struct WindowFixture {
  QTemporaryDir dir;
  RecordedDialogs dialogs;
  std::unique_ptr<TVelmora_Form1> window;

  QString path(const QString& name) const { return dir.filePath(name); }

  QString write(const QString& name, const QByteArray& bytes) const {
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return file.fileName();
  }
  QString writeLines(const QString& name, const QStringList& lines) const {
    return write(name, (lines.join('\n') + '\n').toUtf8());
  }
  QByteArray read(const QString& name) const {
    QFile file(name.startsWith('/') ? name : path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }

  // A shown window whose settings file is `ini` in the test's folder, activated without an argument.
  TVelmora_Form1& open(const QString& ini = "velmora.INI") {
    window.reset();
    window = std::make_unique<TVelmora_Form1>(path(ini), nullptr, &dialogs);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("the window was not exposed");
    window->FormActivate(QString());
    return *window;
  }

  TVelmora_Form1& openWithSample() { return openWith("sample.nc", kSampleProgram); }

  TVelmora_Form1& openWith(const QString& name, const QStringList& lines) {
    TVelmora_Form1& w = open();
    w.dropNcFile(writeLines(name, lines));
    return w;
  }
};

// Presses a key in the text pane `times` times.
inline void pressInEditor(TVelmora_Form1& w, Qt::Key key, int times = 1, Qt::KeyboardModifiers mods = {}) {
  for (int i = 0; i < times; ++i) QTest::keyClick(w.reditNcFile, key, mods);
}

// The drawing's preview of the whole program, and the highlight of the current block's move.
inline const QColor kPreviewGrey(200, 200, 200), kOrange(255, 140, 0);

// Where the window draws a program point.
inline kPoint screenOf(const TVelmora_Form1& w, double x, double y) { return w.document().pixelAt(kPoint(x, y)); }

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

// The lines on screen whose text is painted red, read from the pixels of the text pane.
inline QList<int> redLines(const TVelmora_Form1& w) {
  const NcTextView* view = w.reditNcFile;
  const QImage image = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QList<int> red;
  const int last = std::min(view->lineCount(), view->firstVisibleLine() + image.height() / view->rowHeight());
  for (int line = view->firstVisibleLine(); line <= last; ++line) {
    const QRect row = view->lineRect(line).intersected(image.rect()).adjusted(view->gutterWidth(), 0, 0, 0);
    bool found = false;
    for (int y = row.top(); y <= row.bottom() && !found; ++y)
      for (int x = row.left(); x <= row.right() && !found; ++x) {
        const QColor c = image.pixelColor(x, y);
        found = c.red() > 200 && c.green() < 90 && c.blue() < 90;
      }
    if (found) red << line;
  }
  return red;
}
