// The status line's account of the program: where an aborted reading stopped, and the program's figures
// (extents, path lengths, estimated time, tools). Also the mouse-position boxes, empty while the pointer is
// not over the drawing.
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <cmath>

#include "app/Velmora_.hpp"
#include "nc/Ncfigures.hpp"
#include "util/Format.hpp"

namespace {

QString real3(double value) { return QString::fromStdU16String(formatReal(value, 3)); }

QString rangeText(const char* axis, double low, double high) {
  return QStringLiteral("%1 %2…%3").arg(QLatin1String(axis), real3(low), real3(high));
}

// h:mm:ss, to the nearest second.
QString durationText(double seconds) {
  const auto whole = static_cast<long long>(std::llround(seconds));
  return QStringLiteral("%1:%2:%3")
      .arg(whole / 3600)
      .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString figuresText(const ProgramFigures& f) {
  QStringList parts;
  if (f.moves)
    parts << rangeText("X", f.minX, f.maxX) + "  " + rangeText("Y", f.minY, f.maxY) + "  " +
                 rangeText("Z", f.minZ, f.maxZ);
  parts << QStringLiteral("feed %1  rapid %2").arg(real3(f.feedLength), real3(f.rapidLength));
  QString time = QStringLiteral("time ≈ %1").arg(durationText(f.totalSeconds()));
  if (f.untimedFeedMoves > 0) time += QStringLiteral(" (%1 moves without F)").arg(f.untimedFeedMoves);
  parts << time;
  QStringList tools;
  for (int tool : f.tools) tools << QStringLiteral("T%1").arg(tool);
  if (!tools.isEmpty()) parts << tools.join(QLatin1Char(' '));
  return parts.join(QStringLiteral("  |  "));
}

}  // namespace

void TVelmora_Form1::buildStatusFields() {
  pnlReadState = new QLabel(this);
  statusBar()->addWidget(pnlReadState);
  pnlFigures = new QLabel(this);
  statusBar()->addPermanentWidget(pnlFigures);
  pnlExecution = new QLabel(this);
  // Apart from the figures that follow it.
  pnlExecution->setContentsMargins(0, 0, 16, 0);
  statusBar()->addWidget(pnlExecution);
  pnlControl = new QLabel(this);
  statusBar()->addPermanentWidget(pnlControl);
  showControl();
  for (auto [edit, axis] : {std::pair{editMouseX, "X"}, std::pair{editMouseY, "Y"}}) {
    edit->clear();
    edit->setPlaceholderText(QLatin1String(axis));
  }
}

void TVelmora_Form1::showReadState(const ReadResult& result) {
  if (result.status != ReadResult::Status::Cancelled) {
    pnlReadState->clear();
    return;
  }
  const int lines = doc->lineCount();
  const int read = std::clamp(doc->geometry().blockCount - 1, 0, lines);
  pnlReadState->setText(QStringLiteral("reading stopped at line %1 of %2").arg(read).arg(lines));
  reditNcFile->setInterpretedLineCount(read);
}

void TVelmora_Form1::showFigures() {
  if (!doc->hasProgram()) {
    pnlFigures->clear();
    return;
  }
  pnlFigures->setText(figuresText(doc->programFigures()));
}

void TVelmora_Form1::showExecution() {
  if (!doc->hasProgram() || !doc->isEvaluated()) {
    pnlExecution->clear();
    return;
  }
  QStringList parts{QString::fromStdString(doc->shownFileName())};
  if (!doc->lineExecuted(doc->currentLine())) {
    parts << QStringLiteral("not executed");
  } else {
    // A statement that ran (a loop, an assignment) is no block of its own: it has no passes to count.
    if (doc->currentBlockOnLine()) {
      const auto [pass, passes] = doc->currentPass();
      parts << QStringLiteral("pass %1 of %2").arg(pass).arg(passes);
    }
    if (const kNcGeometry::CallSite& call = doc->currentCall(); call.line > 0) {
      QString called =
          QStringLiteral("in %1, called from line %2").arg(QString::fromStdString(call.program)).arg(call.line);
      // A call from another subprogram's file names that file: the line alone would point into the main one.
      if (call.file > 0) called += QStringLiteral(" of %1").arg(QString::fromStdString(doc->fileName(call.file)));
      parts << called;
    }
  }
  pnlExecution->setText(parts.join(QStringLiteral("  |  ")));
}

void TVelmora_Form1::clearMousePosition() {
  editMouseX->clear();
  editMouseY->clear();
}
