// View control: the redraw command (drawn in pieces between events), wheel zoom, click to centre, the mouse
// position, "SetScale" and "ResetScale". The document keeps the scale and converts every pixel.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <cmath>

#include "app/Velmora_.hpp"
#include "qtsurface/QPainterSurface.hpp"
#include "util/Format.hpp"
#include "util/Number.hpp"

namespace {
// How long one piece of a drawing may keep the window from its events.
constexpr std::chrono::milliseconds kDrawPiece(20);

QString real3(double value) { return QString::fromStdU16String(formatReal(value, 3)); }
kPoint pointOf(const QPoint& pos) { return kPoint(pos.x(), pos.y()); }
}  // namespace

// The picture is as large as the image pane: a new one only when that size changed.
QImage& TVelmora_Form1::pictureForDrawing() {
  QImage& picture = Image1->picture();
  const QSize wanted = pnlImage->size().expandedTo(QSize(1, 1));
  if (surface && picture.size() == wanted) return picture;
  doc->detachSurface();
  surface.reset();
  QImage& fresh = Image1->newPicture(wanted);
  surface = std::make_unique<QPainterSurface>(fresh);
  return fresh;
}

void TVelmora_Form1::btnReDrowClick() {
  if (loading) return;
  QImage& picture = pictureForDrawing();
  doc->startRedraw(*surface, picture.width(), picture.height());
  // Every redraw shows the current block, whatever block the drawing ends with.
  if (doc->hasProgram()) showBlockInfo();
  reditNcFile->setFocus();
  drawPiece();
}

void TVelmora_Form1::drawPiece() {
  if (loading) return;
  const bool done = doc->continueRedraw(kDrawPiece);
  updateDrawing();
  if (!done) {
    drawTimer.start(0);
    return;
  }
  hideBusySign();
}

void TVelmora_Form1::stopDrawing() {
  drawTimer.stop();
  hideBusySign();
}

void TVelmora_Form1::clearDrawing() {
  stopDrawing();
  QImage& picture = pictureForDrawing();
  doc->blank(*surface, picture.width(), picture.height());
  updateDrawing();
}

// Only what was painted is shown again: a step repaints a few pixels, not the picture.
void TVelmora_Form1::updateDrawing() { Image1->update(surface->takePaintedArea()); }

void TVelmora_Form1::showBusySign() {
  bbtnAbort->setText(QStringLiteral("描画中！"));
  bbtnAbort->show();
  bbtnAbort->raise();
  busySign = true;
}

void TVelmora_Form1::hideBusySign() {
  if (!busySign) return;
  busySign = false;
  bbtnAbort->hide();
}

void TVelmora_Form1::showScale(double scale) { cboxScale->setEditText(real3(scale)); }

void TVelmora_Form1::btnScaleClick() {
  if (!reditNcFile->isEnabled() || loading) return;
  // The sign stays up while the drawing goes on, between the events the window takes meanwhile.
  showBusySign();
  doc->setScale(toNumber(cboxScale->currentText().toStdU16String(), 1));
  btnReDrowClick();
  showScale(doc->drawnScale());
  reditNcFile->setFocus();
}

void TVelmora_Form1::bbtnResetClick() {
  if (!reditNcFile->isEnabled() || loading) return;
  doc->fitView(Image1->width(), Image1->height());
  showScale(doc->scale());
  btnScaleClick();
}

void TVelmora_Form1::FormMouseWheel(bool up) {
  // Every second notch acts, whatever its direction.
  if (++wheelCount < 2) return;
  wheelCount = 0;
  if (!mouseOverImage || loading) return;
  // About the picture's centre, where the drawing's offset point is.
  const QImage& picture = Image1->picture();
  doc->zoomAt(kPoint(picture.width() / 2, picture.height() / 2), wheelZoomFactor(doc->drawnScale(), up));
  showScale(doc->scale());
  btnScaleClick();
}

void TVelmora_Form1::Image1MouseDown(const QPoint& pos) {
  if (!doc->hasProgram() || loading) return;
  // The clicked point comes to the centre of the visible drawing.
  doc->moveView(pointOf(pos), kPoint(Image1->width() / 2, Image1->height() / 2));
  btnReDrowClick();
}

void TVelmora_Form1::Image1MouseMove(const QPoint& pos) {
  const kPoint at = doc->programPointAt(pointOf(pos));
  editMouseX->setText(real3(at.x));
  editMouseY->setText(real3(at.y));
  mouseOverImage = true;
}

void TVelmora_Form1::Image1MouseLeave() { mouseOverImage = false; }
