// Moving through the program: the caret's line is the current block; the red line, the top panel and the
// drawing follow it.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <cstdlib>

#include "app/EditorLines.hpp"
#include "app/Velmora_.hpp"
#include "qtsurface/QPainterSurface.hpp"
#include "util/Utility.hpp"

namespace {
struct MotionColour {
  int code;
  QColor colour;
};
const MotionColour kMotionColours[] = {
    {0, QColor(255, 0, 255)}, {1, QColor(248, 248, 255)}, {2, QColor(255, 239, 213)}, {3, QColor(240, 255, 240)}};
const QColor kAbsoluteColour(192, 220, 192);
const QColor kInfoTipColour(255, 255, 225);

QString gText(int code) { return QStringLiteral("G") + QString::fromStdU16String(formatInt(code, 2)); }
QString qText(const std::u16string& text) { return QString::fromStdU16String(text); }
}  // namespace

void TVelmora_Form1::editorCaretMoved() {
  if (movingCaret || loading || curLine == 0 || rbtnEdit->isChecked() || !reditNcFile->isEnabled()) return;
  const int line = caretLine(reditNcFile);
  if (line == curLine) return;
  makeCurrentLine(line, reditNcFile->arrowKeyActive() && std::abs(line - curLine) == 1);
}

void TVelmora_Form1::makeCurrentLine(int line, bool step) {
  const int from = curLine;
  prevLine = from;
  curLine = line;
  colorLine(reditNcFile, Qt::red, curLine);
  showBlockInfo();
  if (!step || !surface) {
    redrawRaised();
    return;
  }
  toolPath->stepDrawing(from, line);
  if (line < from) {
    // Erasing paints white over everything the erased moves touched, the axes included: draw them again.
    canvas->bind(*surface, Image1->picture().width(), Image1->picture().height(), toolPath->viewScale);
    canvas->setScale(toolPath->viewScale);
    canvas->drawCentreLines(toolPath->viewOffset);
  }
  Image1->update();
}

void TVelmora_Form1::bbtnDownClick() {
  if (curLine == 0 || loading) return;
  const int target = std::max(lineCount(reditNcFile), 1);
  movingCaret = true;
  caretToLine(reditNcFile, target);
  movingCaret = false;
  makeCurrentLine(target, false);
}

void TVelmora_Form1::bbtnUpClick() {
  if (curLine == 0 || loading) return;
  movingCaret = true;
  caretToLine(reditNcFile, 1);
  movingCaret = false;
  makeCurrentLine(1, false);
}

void TVelmora_Form1::showBlockInfo() {
  const int motion = gNumberAt(ncGeometry->groupMotion, curLine);
  const int distance = gNumberAt(ncGeometry->groupDistance, curLine);
  const QColor face = QApplication::palette().color(QPalette::Button);
  const auto* known = std::find_if(std::begin(kMotionColours), std::end(kMotionColours),
                                   [motion](const MotionColour& entry) { return entry.code == motion; });
  setBackground(pnlGCode, known != std::end(kMotionColours) ? known->colour : face);
  pnlGCode->setText(gText(motion));
  setBackground(pnlG90, distance == 90 ? kAbsoluteColour : kInfoTipColour);
  pnlG90->setText(gText(distance));
  leditX->setText(qText(ncGeometry->xTextAt(curLine)));
  leditY->setText(qText(ncGeometry->yTextAt(curLine)));
  leditZ->setText(qText(ncGeometry->zTextAt(curLine)));
  leditCX->clear();
  leditCY->clear();
  leditR->clear();
  if (motion == 2 || motion == 3) {
    leditCX->setText(qText(formatReal(ncGeometry->centreXAt(curLine), 4)));
    leditCY->setText(qText(formatReal(ncGeometry->centreYAt(curLine), 4)));
    leditR->setText(qText(formatReal(ncGeometry->radiusAt(curLine), 4)));
  }
}
