// Window figures on a large program: load time and the longest time the window went without taking its
// events, how soon abort stops a load, the redraw, and the arrow-key step.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ProgramGenerator.hpp"
#include "app/EditorLines.hpp"
#include "app/ProblemList.hpp"
#include "app/Velmora_.hpp"

namespace {
// Ticks every millisecond while events are taken; the longest gap is how long the window was deaf.
struct GapMeter {
  QTimer timer;
  QElapsedTimer clock;
  qint64 last = 0;
  qint64 worst = 0;
  GapMeter() {
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      const qint64 now = clock.elapsed();
      worst = std::max(worst, now - last);
      last = now;
    });
  }
  void start() {
    worst = 0;
    clock.start();
    last = 0;
    timer.start();
  }
  void stop() { timer.stop(); }
};

double millis(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

void pressKey(TVelmora_Form1& w, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w.reditNcFile, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(w.reditNcFile, &release);
}

void measureSteps(TVelmora_Form1& w, Qt::Key key, int count) {
  std::vector<double> times;
  for (int i = 0; i < count; ++i) {
    QElapsedTimer t;
    t.start();
    pressKey(w, key);
    QApplication::processEvents();  // the picture's repaint belongs to the step
    times.push_back(millis(t));
  }
  std::sort(times.begin(), times.end());
  std::printf("  %s step (key, state, drawing, repaint): median %.2f ms, max %.2f ms over %d steps\n",
              key == Qt::Key_Down ? "Down" : "Up", times[times.size() / 2], times.back(), count);
}
// A warning on every line: the list is filled and shown, scrolled to its end, and a row taken.
void measureProblemList(TVelmora_Form1& w, int lines) {
  std::vector<NcProblem> problems;
  problems.reserve(static_cast<std::size_t>(lines));
  for (int line = 1; line <= lines; ++line)
    problems.push_back({line, 0, Severity::warning, "unsupported", "macro variables are not evaluated"});
  QElapsedTimer t;
  t.start();
  w.showProblems(std::move(problems));
  QApplication::processEvents();
  std::printf("problems list with %d warnings: filled and shown in %.1f ms (%s)\n", lines, millis(t),
              qPrintable(w.pnlProblemCount->text()));
  t.restart();
  for (int k = 0; k < 20; ++k) {
    w.gridProblems->scrollToBottom();
    QApplication::processEvents();
  }
  std::printf("  20 scrolls to the end: %.1f ms, %d rows in the view\n", millis(t), w.problemModel->rowCount());
  t.restart();
  w.gridProblemsActivated(w.problemModel->rowCount() - 1);
  QApplication::processEvents();
  std::printf("  row taken, caret and drawing moved to line %d: %.1f ms\n", w.curLine, millis(t));
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int lines = argc > 1 ? std::atoi(argv[1]) : 1000000;
  QTemporaryDir dir;
  const QString path = dir.filePath("large.nc");
  {
    QFile file(path);
    const std::string text = generateCamProgram(lines);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0)
      return 1;
    std::printf("program: %d lines, %.1f MB\n", lines, static_cast<double>(text.size()) / 1e6);
  }
  TVelmora_Form1 w(dir.filePath("bench.INI"));
  w.messageBoxHook = [](const QString& caption, const QString& text) {
    std::printf("  message %s: %s\n", qPrintable(caption), qPrintable(text));
  };
  w.show();
  w.FormActivate(QString());
  QApplication::processEvents();

  GapMeter gaps;
  QElapsedTimer t;
  gaps.start();
  t.start();
  w.prepareForLoad();
  w.loadNcFile(path);
  gaps.stop();
  std::printf("load: %.0f ms, blocks %d, longest time without taking events %lld ms\n", millis(t),
              w.ncGeometry->blockCount, gaps.worst);

  t.restart();
  w.btnReDrowClick();
  std::printf("first drawing after the load (line 1): %.0f ms\n", millis(t));
  t.restart();
  w.bbtnDownClick();
  std::printf("jump to the last line (whole program drawn): %.0f ms\n", millis(t));
  t.restart();
  w.btnReDrowClick();
  std::printf("redraw of the whole program: %.0f ms\n", millis(t));

  caretToLine(w.reditNcFile, lines / 2);
  measureSteps(w, Qt::Key_Down, 200);
  measureSteps(w, Qt::Key_Up, 200);

  measureProblemList(w, lines);

  // Abort while the reader runs: from the click to the end of the load.
  QElapsedTimer sinceClick;
  QTimer presser;
  QObject::connect(&presser, &QTimer::timeout, [&] {
    if (w.loading && w.ncGeometry->blockCount > lines / 4 && !sinceClick.isValid()) {
      sinceClick.start();
      w.bbtnAbort->click();
    }
  });
  presser.start(1);
  w.prepareForLoad();
  w.loadNcFile(path);
  presser.stop();
  if (sinceClick.isValid())
    std::printf("abort during reading: load ended %.1f ms after the click, %d blocks kept, %d editor lines\n",
                millis(sinceClick), w.ncGeometry->blockCount, lineCount(w.reditNcFile));
  else
    std::printf("abort: the load ended before the click\n");

  // Abort while the editor is being filled: the button goes at once, the text is still completed.
  QElapsedTimer fillClick;
  QObject::connect(&presser, &QTimer::timeout, [&] {
    if (w.loading && w.reditNcFile->document()->blockCount() > lines / 4 && !fillClick.isValid()) {
      fillClick.start();
      w.bbtnAbort->click();
      std::printf("abort during the editor fill: button hidden %.1f ms after the click\n", millis(fillClick));
    }
  });
  presser.start(1);
  w.prepareForLoad();
  w.loadNcFile(path);
  presser.stop();
  if (fillClick.isValid())
    std::printf("  load ended %.0f ms after the click, %d blocks, %d editor lines\n", millis(fillClick),
                w.ncGeometry->blockCount, lineCount(w.reditNcFile));
  return 0;
}
