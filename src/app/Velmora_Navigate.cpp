// Moving through the program: the caret's line is the current block; the red line, the top panel and the
// drawing follow it.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <algorithm>
#include <limits>

#include "app/EditorLines.hpp"
#include "app/Velmora_.hpp"
#include "render/Blockinfo.hpp"

namespace {
struct MotionColour {
  int code;
  QColor colour;
};
const MotionColour kMotionColours[] = {
    {0, QColor(255, 0, 255)}, {1, QColor(248, 248, 255)}, {2, QColor(255, 239, 213)}, {3, QColor(240, 255, 240)}};
const QColor kAbsoluteColour(192, 220, 192);
// The compensation pen's green.
const QColor kCompensationGreen(0, 128, 0);
const QColor kInfoTipColour(255, 255, 225);

QString qText(const std::u16string& text) { return QString::fromStdU16String(text); }
}  // namespace

void TVelmora_Form1::reditNcFileCaretMoved(int line, bool arrowStep) {
  if (followingBlock || loading || !doc->hasProgram() || rbtnEdit->isChecked()) return;
  makeCurrentLine(line, arrowStep);
}

void TVelmora_Form1::makeCurrentLine(int line, bool step) {
  if (!doc->moveTo(line, step)) {
    if (!loading) redrawPicture();  // which shows the block too
    return;
  }
  showBlockInfo();
  updateDrawing();
}

void TVelmora_Form1::bbtnDownClick() { jumpTo(std::numeric_limits<int>::max()); }

void TVelmora_Form1::bbtnUpClick() { jumpTo(1); }

void TVelmora_Form1::jumpTo(int line) {
  if (loading) return;
  // In Edit mode the buttons move the editor's caret; the drawing stays blank until "更新".
  if (rbtnEdit->isChecked()) {
    caretToLine(reditEdit, line);
    reditEdit->setFocus();
    return;
  }
  if (!doc->hasProgram()) return;
  caretToCurrentLine(line);
}

void TVelmora_Form1::caretToCurrentLine(int line) {
  // The caret's move makes the line current and draws, as any caret move does.
  reditNcFile->setCaretLine(line);
  reditNcFile->setFocus();
}

void TVelmora_Form1::stepExecution(bool forward) {
  if (loading || !doc->hasProgram() || rbtnEdit->isChecked()) return;
  const int from = doc->currentBlockIndex();
  const int fileShown = doc->shownFile();
  const bool stepped = doc->stepExecution(forward);
  if (doc->currentBlockIndex() == from) return;
  followCurrentBlock(fileShown);
  if (stepped) {
    showBlockInfo();
    updateDrawing();
  } else {
    redrawPicture();
  }
}

void TVelmora_Form1::followCurrentBlock(int fileShownBefore) {
  followingBlock = true;
  if (doc->shownFile() != fileShownBefore) reditNcFile->reloadLines();
  reditNcFile->setCaretLine(doc->currentLine());
  followingBlock = false;
}

void TVelmora_Form1::showFileLine(int file, int line) {
  doc->showFile(file);
  followingBlock = true;
  reditNcFile->reloadLines();
  reditNcFile->setCaretLine(line);
  followingBlock = false;
  reditNcFile->setFocus();
  makeCurrentLine(reditNcFile->caretLine(), false);
}

void TVelmora_Form1::showBlockInfo() {
  showInfo(doc->currentBlock());
  showExecution();
}

void TVelmora_Form1::clearBlockInfo() {
  showInfo(BlockInfo());
  pnlExecution->clear();
}

void TVelmora_Form1::showCompensation(const BlockInfo& info) {
  QPalette palette = QApplication::palette(pnlG40);
  if (info.compensated) {
    palette.setColor(QPalette::Window, kCompensationGreen);
    palette.setColor(QPalette::WindowText, Qt::white);
  } else {
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  }
  if (pnlG40->palette() != palette) pnlG40->setPalette(palette);
  pnlG40->setAutoFillBackground(true);
  pnlG40->setText(qText(info.compText));
}

void TVelmora_Form1::showInfo(const BlockInfo& info) {
  const QColor face = QApplication::palette().color(QPalette::Button);
  const auto* known = std::find_if(std::begin(kMotionColours), std::end(kMotionColours),
                                   [&info](const MotionColour& entry) { return entry.code == info.code; });
  setBackground(pnlGCode, known != std::end(kMotionColours) ? known->colour : face);
  pnlGCode->setText(qText(info.codeText));
  setBackground(pnlG90, info.distance == 90 ? kAbsoluteColour : kInfoTipColour);
  pnlG90->setText(qText(info.distanceText));
  showCompensation(info);
  leditX->setText(qText(info.xText));
  leditY->setText(qText(info.yText));
  leditZ->setText(qText(info.zText));
  leditCXLabel->setText(qText(info.arcLabels[0]));
  leditCYLabel->setText(qText(info.arcLabels[1]));
  QLineEdit* const arcFields[] = {leditCX, leditCY, leditR};
  for (std::size_t k = 0; k < std::size(arcFields); ++k) {
    arcFields[k]->setText(qText(info.arcTexts[k]));
    // Yellow belongs to the block shown, never to one drawn before it.
    setBackground(arcFields[k],
                  info.faultyArc ? QColor(Qt::yellow) : QApplication::palette(arcFields[k]).color(QPalette::Base));
  }
}
