// Window figures on a large program, side by side with LinuxCNC's rs274 interpreting the same file in the same
// run: the time from dropping the file to the drawing complete at its last block (Ctrl+End), the longest
// time the window went without taking its events meanwhile, the peak resident memory, the arrow-key steps,
// zoom, pan and pick, the redraw, the preview's cost, abort, the problems list, and Edit mode's fill and
// "更新".
//   velmora_window_bench [LINES | FILE.nc] [RUNS]   (default 1000000 generated lines, 3 runs)
// Run offscreen (QT_QPA_PLATFORM=offscreen) or under Xvfb (xvfb-run). rs274 is run when /usr/bin/rs274 is
// there; it stops early on the generated programs, so compare with it on a program it reads to the end.
// VELMORA_BENCH_GAPS=1 prints every gap between events over 40 ms; VELMORA_BENCH_PICTURE=FILE.png saves the
// window as it is once the program is drawn; VELMORA_BENCH_VIEW_ONLY=1 stops after the view's figures (zoom,
// pan, pick, redraw, the preview's cost).
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ProgramGenerator.hpp"
#include "app/ProblemList.hpp"
#include "app/Velmora_.hpp"

namespace {

constexpr const char* kRs274 = "/usr/bin/rs274";

// Ticks every millisecond while events are taken; the longest gap is how long the window was deaf.
struct GapMeter {
  QTimer timer;
  QElapsedTimer clock;
  qint64 last = 0;
  qint64 worst = 0;
  qint64 worstAt = 0;
  GapMeter() {
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      const qint64 now = clock.elapsed();
      if (now - last > worst) worstAt = last;
      worst = std::max(worst, now - last);
      if (now - last > 40 && qEnvironmentVariableIsSet("VELMORA_BENCH_GAPS"))
        std::printf("    gap %lld ms from %lld ms\n", now - last, last);
      last = now;
    });
  }
  void start() {
    worst = 0;
    clock.start();
    last = 0;
    timer.start();
  }
  void stop() {
    worst = std::max(worst, clock.elapsed() - last);
    timer.stop();
  }
};

// Messages go to the output; questions are not asked.
struct PrintedDialogs : WindowDialogs {
  void message(QWidget*, const QString& caption, const QString& text) override {
    std::printf("  message %s: %s\n", qPrintable(caption), qPrintable(text));
  }
  int messageLines(QWidget*, int, int, const QStringList&) override { return 1; }
  QString saveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
    return {};
  }
  std::optional<QFont> font(QWidget*, const QFont&) override { return std::nullopt; }
  QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  std::optional<int> lineNumber(QWidget*, int, int) override { return std::nullopt; }
  bool question(QWidget*, const QString&, const QString&) override { return false; }
};

double millis(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The peak resident memory of this process in MB, and its reset (Linux 4.0 and later).
double peakResidentMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  return 0;
}
void resetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

void pressKey(TVelmora_Form1& w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, mods);
  QApplication::sendEvent(w.reditNcFile, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods);
  QApplication::sendEvent(w.reditNcFile, &release);
}

// Takes events until the picture is complete.
void waitForDrawing(TVelmora_Form1& w) {
  while (w.document().redrawing()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

double rs274Seconds(const QString& path) {
  if (!QFileInfo::exists(kRs274)) return 0;
  QProcess process;
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  QElapsedTimer t;
  t.start();
  process.start(kRs274, {"-g", path, "/dev/null"});
  if (!process.waitForFinished(-1)) return 0;
  return millis(t) / 1000;
}

struct OpenFigures {
  double seconds = 0;
  double loadSeconds = 0;
  qint64 worstGapMs = 0;
  double peakMb = 0;
};

// Drop, then Ctrl+End, until the whole program is drawn; the window takes its events throughout.
OpenFigures openToLastBlock(TVelmora_Form1& w, const QString& path) {
  w.prepareForLoad();  // no program: start from an empty window
  QApplication::processEvents();
  resetPeakResident();
  OpenFigures figures;
  GapMeter gaps;
  QElapsedTimer t;
  gaps.start();
  t.start();
  w.dropNcFile(path);
  figures.loadSeconds = millis(t) / 1000;
  if (qEnvironmentVariableIsSet("VELMORA_BENCH_GAPS")) std::printf("    dropped at %.0f ms\n", millis(t));
  // The key arrives as the user's would, through the event queue.
  QCoreApplication::postEvent(w.reditNcFile, new QKeyEvent(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier));
  QCoreApplication::postEvent(w.reditNcFile, new QKeyEvent(QEvent::KeyRelease, Qt::Key_End, Qt::ControlModifier));
  QApplication::processEvents();
  waitForDrawing(w);
  figures.seconds = millis(t) / 1000;
  gaps.stop();
  figures.worstGapMs = gaps.worst;
  figures.peakMb = peakResidentMb();
  return figures;
}

void measureSteps(TVelmora_Form1& w, Qt::Key key, int count) {
  std::vector<double> times, handled;
  for (int i = 0; i < count; ++i) {
    QElapsedTimer t;
    t.start();
    pressKey(w, key);
    handled.push_back(millis(t));
    QApplication::processEvents();  // the repaint belongs to the step
    times.push_back(millis(t));
  }
  std::printf(
      "  %s step (key, panel, drawing, repaint): median %.3f ms (%.3f ms before the repaint), max %.2f ms "
      "over %d steps\n",
      key == Qt::Key_Down ? "Down" : "Up", median(times), median(handled),
      *std::max_element(times.begin(), times.end()), count);
}

// Drop until the first picture is complete, no key pressed: with the preview, that is the whole program.
double openToFirstPicture(TVelmora_Form1& w, const QString& path, bool preview) {
  w.Preview1Click(preview);
  w.prepareForLoad();
  QApplication::processEvents();
  QElapsedTimer t;
  t.start();
  w.dropNcFile(path);
  waitForDrawing(w);
  return millis(t);
}

void sendWheel(TVelmora_Form1& w, const QPoint& at, int angle) {
  QWheelEvent event(at, w.Image1->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(w.Image1, &event);
}

void sendMouse(TVelmora_Form1& w, QEvent::Type type, const QPoint& at, Qt::MouseButtons held) {
  QMouseEvent event(type, at, w.Image1->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(w.Image1, &event);
}

// Zoom and pan at the current view: the time to a complete picture and the longest time without events,
// one notch or drag at a time, and notches or drag steps coming every 30 ms while the drawing goes on.
void measureViewChanges(TVelmora_Form1& w) {
  const QPoint at(w.Image1->width() / 3, w.Image1->height() / 3);
  const auto drag = [&w, at](int dx) {
    sendMouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
    sendMouse(w, QEvent::MouseMove, at + QPoint(dx / 2, dx / 4), Qt::LeftButton);
    sendMouse(w, QEvent::MouseMove, at + QPoint(dx, dx / 2), Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, at + QPoint(dx, dx / 2), Qt::NoButton);
  };
  struct Change {
    const char* name;
    std::function<void()> act;
  };
  const Change changes[] = {
      {"zoom in one notch", [&] { sendWheel(w, at, 120); }},
      {"zoom out one notch", [&] { sendWheel(w, at, -120); }},
      {"pan by a 100-pixel drag", [&] { drag(100); }},
      {"pan back", [&] { drag(-100); }},
  };
  for (const Change& change : changes) {
    GapMeter gaps;
    gaps.start();
    QElapsedTimer t;
    t.start();
    change.act();
    waitForDrawing(w);
    gaps.stop();
    std::printf("%s: picture complete in %.0f ms, longest time without events %lld ms\n", change.name, millis(t),
                gaps.worst);
  }
  for (const bool wheel : {true, false}) {
    GapMeter gaps;
    gaps.start();
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 10; ++i) {
      QTimer::singleShot(30 * i, [&w, at, wheel, i] {
        if (wheel) return sendWheel(w, at, i < 5 ? 120 : -120);
        sendMouse(w, i == 0 ? QEvent::MouseButtonPress : QEvent::MouseMove, at + QPoint(10 * i, 5 * i),
                  Qt::LeftButton);
      });
    }
    while (t.elapsed() < 30 * 10) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!wheel) sendMouse(w, QEvent::MouseButtonRelease, at + QPoint(90, 45), Qt::NoButton);
    waitForDrawing(w);
    gaps.stop();
    std::printf(
        "%s, every 30 ms: last picture complete %.0f ms after the first, longest time without events %lld ms\n",
        wheel ? "ten wheel notches" : "a drag in ten moves", millis(t), gaps.worst);
  }
}

// Hovering (the tooltip's search) over points of the path and beside it, and a double-click; the first search
// indexes the program.
void measurePick(TVelmora_Form1& w) {
  const kNcGeometry& g = w.document().geometry();
  std::vector<double> times;
  double first = 0;
  int found = 0;
  for (int i = 0; i <= 400; ++i) {
    const int b = 1 + static_cast<int>(static_cast<long long>(g.blockCount - 2) * (i / 2) / 200);
    const kPoint on = w.document().pixelAt(kPoint(g.xAt(b), g.yAt(b)));
    // Every other point 20 pixels off the path, where the search finds less.
    const QPoint at(static_cast<int>(on.x) + (i % 2) * 20, static_cast<int>(on.y));
    QElapsedTimer t;
    t.start();
    w.Image1ToolTip(at, w.Image1->mapToGlobal(at));
    const double ms = millis(t);
    if (i == 0) {
      first = ms;
    } else {
      times.push_back(ms);
    }
    found += QToolTip::isVisible();
  }
  std::printf(
      "hover: first search (indexing the program) %.0f ms; then median %.3f ms, max %.2f ms (%d of 401 "
      "found a move)\n",
      first, median(times), *std::max_element(times.begin(), times.end()), found);
  const int b = g.blockCount / 3;
  const kPoint on = w.document().pixelAt(kPoint(g.xAt(b), g.yAt(b)));
  QElapsedTimer t;
  t.start();
  w.Image1DblClick(QPoint(static_cast<int>(on.x), static_cast<int>(on.y)));
  const double picked = millis(t);
  waitForDrawing(w);
  std::printf("double-click on block %d's end: line %d current in %.1f ms, drawn in %.0f ms\n", b,
              w.document().currentLine(), picked, millis(t));
}

void measureRedraw(TVelmora_Form1& w) {
  std::vector<double> times;
  GapMeter gaps;
  gaps.start();
  for (int run = 0; run < 3; ++run) {
    QElapsedTimer t;
    t.start();
    w.btnReDrowClick();
    waitForDrawing(w);
    times.push_back(millis(t));
  }
  gaps.stop();
  std::printf("redraw of the whole program: median %.0f ms, longest time without events %lld ms\n", median(times),
              gaps.worst);
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
  std::printf("problems list with %d warnings: filled and shown in %.1f ms\n", lines, millis(t));
  t.restart();
  w.gridProblemsActivated(w.problemModel->rowCount() - 1);
  waitForDrawing(w);
  std::printf("  row taken, caret and drawing moved to line %d: %.1f ms\n", w.document().currentLine(), millis(t));
}

void measureAbort(TVelmora_Form1& w, const QString& path) {
  const int total = w.document().lineCount();
  QElapsedTimer sinceClick;
  QTimer presser;
  QObject::connect(&presser, &QTimer::timeout, [&] {
    if (w.bbtnAbort->isVisible() && w.document().geometry().blockCount > total / 4 && !sinceClick.isValid()) {
      sinceClick.start();
      w.bbtnAbort->click();
    }
  });
  presser.start(1);
  w.dropNcFile(path);
  presser.stop();
  if (sinceClick.isValid())
    std::printf("abort during reading: load ended %.1f ms after the click, %d blocks kept, %d lines shown\n",
                millis(sinceClick), w.document().geometry().blockCount, w.reditNcFile->lineCount());
}

void measureEditMode(TVelmora_Form1& w) {
  GapMeter gaps;
  gaps.start();
  QElapsedTimer t;
  t.start();
  w.rbtnEdit->click();
  const double fill = millis(t);
  const double peak = peakResidentMb();
  t.restart();
  w.bbtnRead->click();
  waitForDrawing(w);
  gaps.stop();
  std::printf(
      "Edit mode: editor filled in %.0f ms (peak %.0f MB); \"更新\" read and drew in %.0f ms; longest time "
      "without events %lld ms\n",
      fill, peak, millis(t), gaps.worst);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString given = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  QTemporaryDir dir;
  QString path = given;
  if (!QFileInfo(given).isFile()) {
    const int lines = given.isEmpty() ? 1000000 : given.toInt();
    path = dir.filePath("large.nc");
    QFile file(path);
    const std::string text = generateCamProgram(lines);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0)
      return 1;
  }
  std::printf("program %s: %.1f MB, platform %s\n", qPrintable(QFileInfo(path).fileName()),
              static_cast<double>(QFileInfo(path).size()) / 1e6, qPrintable(QGuiApplication::platformName()));

  PrintedDialogs dialogs;
  TVelmora_Form1 w(dir.filePath("bench.INI"), nullptr, &dialogs);
  w.show();
  w.FormActivate(QString());
  QApplication::processEvents();

  // Best of the runs for both, taken in turns so that both see the same machine.
  OpenFigures best;
  double rs274 = 0;
  for (int run = 0; run < runs; ++run) {
    const double interpreted = rs274Seconds(path);
    const OpenFigures open = openToLastBlock(w, path);
    std::printf(
        "run %d: rs274 %.2f s; window: read %.2f s, drawn to the last block %.2f s, longest time without "
        "events %lld ms, peak %.0f MB\n",
        run + 1, interpreted, open.loadSeconds, open.seconds, open.worstGapMs, open.peakMb);
    if (interpreted > 0 && (rs274 == 0 || interpreted < rs274)) rs274 = interpreted;
    if (run == 0 || open.seconds < best.seconds) best.seconds = open.seconds, best.loadSeconds = open.loadSeconds;
    best.worstGapMs = std::max(best.worstGapMs, open.worstGapMs);
    best.peakMb = std::max(best.peakMb, open.peakMb);
  }
  std::printf(
      "best of %d: window %.2f s to the last block drawn, rs274 %.2f s: %.2f x rs274; longest time without "
      "events %lld ms; peak resident %.0f MB; %d blocks\n",
      runs, best.seconds, rs274, rs274 > 0 ? best.seconds / rs274 : 0.0, best.worstGapMs, best.peakMb,
      w.document().geometry().blockCount);

  if (qEnvironmentVariableIsSet("VELMORA_BENCH_PICTURE"))
    w.grab().save(qEnvironmentVariable("VELMORA_BENCH_PICTURE"));
  w.reditNcFile->setCaretLine(w.document().lineCount() / 2);
  waitForDrawing(w);
  measureSteps(w, Qt::Key_Down, 400);
  measureSteps(w, Qt::Key_Up, 400);
  measureViewChanges(w);
  measurePick(w);
  measureRedraw(w);
  // The preview's cost: the first picture after a drop, and steps, with it and without it.
  for (const bool preview : {false, true}) {
    const double opened = openToFirstPicture(w, path, preview);
    std::printf("preview %s: dropped to the first picture complete in %.0f ms\n", preview ? "on" : "off", opened);
    w.reditNcFile->setCaretLine(w.document().lineCount() / 2);
    waitForDrawing(w);
    measureSteps(w, Qt::Key_Down, 400);
    measureSteps(w, Qt::Key_Up, 400);
  }
  if (qEnvironmentVariableIsSet("VELMORA_BENCH_VIEW_ONLY")) return 0;
  measureEditMode(w);
  measureAbort(w, path);
  measureProblemList(w, w.document().lineCount());
  return 0;
}
