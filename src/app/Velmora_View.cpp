// View control: the redraw command, wheel zoom, click to centre, the mouse position, "SetScale" and
// "ResetScale".
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "app/EditorLines.hpp"
#include "app/Velmora_.hpp"
#include "qtsurface/QPainterSurface.hpp"
#include "util/Format.hpp"
#include "util/Number.hpp"

namespace {
// One zoom step: 0.9 pixels per unit more or less. Where taking 0.9 away would not make the drawing
// smaller (a scale of 0.9 or less), the scale is divided by 1.5 instead.
double zoomedScale(double s, bool up) {
  const double q = 0.3 / (s / 3);
  const double next = std::fabs(s * (up ? 1 + q : 1 - q));
  if (!up && (next >= s || next == 0 || !std::isfinite(next))) return s / 1.5;
  return next;
}

QString real3(double value) { return QString::fromStdU16String(formatReal(value, 3)); }
}  // namespace

void TVelmora_Form1::paintDrawing(int drawnUpTo) {
  surface.reset();
  QImage& picture = Image1->newPicture(pnlImage->size());
  surface = std::make_unique<QPainterSurface>(picture);
  toolPath->curLine = drawnUpTo;
  toolPath->redrawView(*surface, picture.width(), picture.height());
  // Every redraw shows the current block, whatever block the drawing ends with.
  if (curLine >= 1) showBlockInfo();
  Image1->update();
  reditNcFile->setFocus();
}

void TVelmora_Form1::btnReDrowClick() { paintDrawing(curLine == caretLine(reditNcFile) ? curLine + 1 : curLine); }

void TVelmora_Form1::redrawRaised() { paintDrawing(curLine + 1); }

void TVelmora_Form1::clearDrawing() {
  surface.reset();
  QImage& picture = Image1->newPicture(pnlImage->size());
  surface = std::make_unique<QPainterSurface>(picture);
  canvas->bind(*surface, picture.width(), picture.height(), toolPath->viewScale);
  canvas->setScale(toolPath->viewScale);
  canvas->clear(kWhite);
  Image1->update();
}

void TVelmora_Form1::showBusySign() {
  bbtnAbort->setText(QStringLiteral("描画中！"));
  bbtnAbort->show();
  bbtnAbort->raise();
  // Paint the sign before the long drawing starts; input waits until the drawing is done.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TVelmora_Form1::btnScaleClick() {
  if (!reditNcFile->isEnabled() || loading) return;
  showBusySign();
  toolPath->viewScale = std::fabs(toNumber(cboxScale->currentText().toStdU16String(), 1));
  canvas->setScale(toolPath->viewScale);
  redrawRaised();
  cboxScale->setEditText(real3(canvas->getScale()));
  bbtnAbort->hide();
  reditNcFile->setFocus();
}

void TVelmora_Form1::bbtnResetClick() {
  if (!reditNcFile->isEnabled() || loading) return;
  toolPath->fitToExtents(Image1->width(), Image1->height());
  cboxScale->setEditText(real3(toolPath->viewScale));
  btnScaleClick();
  reditNcFile->setFocus();
}

void TVelmora_Form1::FormMouseWheel(bool up) {
  // Every second notch acts, whatever its direction.
  if (++wheelCount < 2) return;
  wheelCount = 0;
  if (!mouseOverImage || loading) return;
  toolPath->viewScale = zoomedScale(canvas->getScale(), up);
  cboxScale->setEditText(real3(toolPath->viewScale));
  btnScaleClick();
}

void TVelmora_Form1::Image1MouseDown(const QPoint& pos) {
  if (curLine == 0 || loading) return;
  const double s = canvas->getScale();
  const int cw = Image1->width() / 2;
  const int ch = Image1->height() / 2;
  const kPoint origin = canvas->getOrigin();
  toolPath->viewOffset.x += (cw - origin.x) / s - (pos.x() - origin.x) / s;
  toolPath->viewOffset.y += (pos.y() - origin.y) / s - (ch - origin.y) / s;
  curLine = std::min(curLine, std::max(lineCount(reditNcFile), 1));
  redrawRaised();
}

void TVelmora_Form1::Image1MouseMove(const QPoint& pos) {
  const kPoint origin = canvas->getOrigin();
  double x = pos.x() - origin.x;
  double y = pos.y() - origin.y;
  if (toolPath->viewScale != 0) {
    x = x / toolPath->viewScale;
    y = -y / toolPath->viewScale;
  }
  editMouseX->setText(real3(x));
  editMouseY->setText(real3(y));
  mouseOverImage = true;
}

void TVelmora_Form1::Image1MouseLeave() { mouseOverImage = false; }
