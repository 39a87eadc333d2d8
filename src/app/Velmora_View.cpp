// View control: the redraw command (drawn in pieces between events), the preview, wheel zoom about the
// pointer, dragging to pan, click to centre, double-click to the block drawn there, the mouse position,
// "SetScale" and "ResetScale". The document keeps the scale and converts every pixel.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>
#include <chrono>
#include <cmath>

#include "app/Velmora_.hpp"
#include "qtsurface/LayeredSurface.hpp"
#include "util/Format.hpp"
#include "util/Number.hpp"

namespace {
// The piece drawn at once when a redraw is asked for: it follows other work of the same event (a whole
// reading's end, for one), so it is kept shorter.
constexpr std::chrono::milliseconds kFirstDrawPiece(8);

QString real3(double value) { return QString::fromStdU16String(formatReal(value, 3)); }
kPoint pointOf(const QPoint& pos) { return kPoint(pos.x(), pos.y()); }
}  // namespace

void TVelmora_Form1::buildViewMenu() {
  QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
  Preview1 = view->addAction(QStringLiteral("Whole program preview"));
  Preview1->setCheckable(true);
  ToolCentre1 = view->addAction(QStringLiteral("Tool centre path"));
  ToolCentre1->setCheckable(true);
  ToolCentre1->setChecked(true);
  Fit1 = view->addAction(QStringLiteral("Fit to window"));
  Fit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  view->addSeparator();
  actStepNext = view->addAction(QStringLiteral("Next executed block"));
  actStepNext->setShortcut(QKeySequence(Qt::Key_F10));
  actStepBack = view->addAction(QStringLiteral("Previous executed block"));
  actStepBack->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
}

void TVelmora_Form1::connectDrawing() {
  connect(Preview1, &QAction::triggered, this, [this](bool on) { Preview1Click(on); });
  connect(ToolCentre1, &QAction::triggered, this, [this](bool on) { ToolCentre1Click(on); });
  connect(Fit1, &QAction::triggered, this, [this] { bbtnResetClick(); });
  connect(actStepNext, &QAction::triggered, this, [this] { stepExecution(true); });
  connect(actStepBack, &QAction::triggered, this, [this] { stepExecution(false); });
  connect(Image1, &ImageView::pressed, this,
          [this](const QPoint& p, Qt::MouseButton b) { Image1MousePress(p, b); });
  connect(Image1, &ImageView::moved, this, [this](const QPoint& p, Qt::MouseButtons h) { Image1MouseMove(p, h); });
  connect(Image1, &ImageView::released, this, [this](const QPoint& p) { Image1MouseUp(p); });
  connect(Image1, &ImageView::doubleClicked, this, [this](const QPoint& p) { Image1DblClick(p); });
  connect(Image1, &ImageView::left, this, [this] { Image1MouseLeave(); });
  connect(Image1, &ImageView::wheelTurned, this, [this](const QPoint& p, double n) { FormMouseWheel(p, n); });
  connect(Image1, &ImageView::toolTipWanted, this,
          [this](const QPoint& p, const QPoint& global) { Image1ToolTip(p, global); });
}

// The picture is as large as the image pane: a new one only when that size changed.
QImage& TVelmora_Form1::pictureForDrawing() {
  QImage& picture = Image1->picture();
  const QSize wanted = pnlImage->size().expandedTo(QSize(1, 1));
  if (surface && picture.size() == wanted) return picture;
  doc->detachSurface();
  surface.reset();
  QImage& fresh = Image1->newPicture(wanted);
  surface = std::make_unique<LayeredSurface>(fresh.size());
  return fresh;
}

void TVelmora_Form1::btnReDrowClick() {
  if (loading) return;
  redrawPicture();
  reditNcFile->setFocus();
}

void TVelmora_Form1::redrawPicture() {
  QImage& picture = pictureForDrawing();
  doc->startRedraw(*surface, picture.width(), picture.height());
  // Every redraw shows the current block, whatever block the drawing ends with.
  if (doc->hasProgram()) showBlockInfo();
  drawPiece(kFirstDrawPiece);
}

void TVelmora_Form1::scheduleRedraw() {
  if (loading) return;
  // Started here, drawn from the next turn of the event loop on: notches and drags that come meanwhile only
  // start it again, at the latest view.
  QImage& picture = pictureForDrawing();
  doc->startRedraw(*surface, picture.width(), picture.height());
  drawTimer.start(0);
}

void TVelmora_Form1::drawPiece(std::chrono::milliseconds budget) {
  if (loading) return;
  const bool done = doc->continueRedraw(budget);
  updateDrawing();
  if (!done) {
    drawTimer.start(0);
    return;
  }
  hideBusySign();
  indexTimer.start(0);
}

void TVelmora_Form1::indexPiece() {
  // A reading under way replaces the blocks: the next complete picture starts the index again.
  if (loading || !doc->hasProgram()) return;
  if (!doc->continueIndexing(kDrawPiece)) indexTimer.start(0);
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

// Only what was painted is composed and shown again: a step repaints a few pixels, not the picture.
void TVelmora_Form1::updateDrawing() {
  const QRect area = surface->takePaintedArea();
  surface->composeInto(Image1->picture(), area);
  Image1->update(area);
}

void TVelmora_Form1::Preview1Click(bool on) {
  settingsState.preview = on;
  Preview1->setChecked(on);
  doc->setPreview(on);
  if (!surface) return;
  // Fresh layers: a drawing without the preview leaves the upper ones as they are.
  doc->detachSurface();
  surface.reset();
  if (reditNcFile->isEnabled() && doc->hasProgram() && !rbtnEdit->isChecked()) btnReDrowClick();
}

void TVelmora_Form1::ToolCentre1Click(bool on) {
  settingsState.toolCentre = on;
  ToolCentre1->setChecked(on);
  doc->setToolCentreShown(on);
  if (surface && reditNcFile->isEnabled() && doc->hasProgram() && !rbtnEdit->isChecked()) btnReDrowClick();
}

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

void TVelmora_Form1::FormMouseWheel(const QPoint& pos, double notches) {
  if (!reditNcFile->isEnabled() || loading) return;
  doc->zoomAt(pointOf(pos), wheelZoomFactor(notches));
  showScale(doc->scale());
  scheduleRedraw();
}

void TVelmora_Form1::Image1MouseDown(const QPoint& pos) {
  if (!doc->hasProgram() || loading) return;
  // The clicked point comes to the centre of the visible drawing.
  doc->moveView(pointOf(pos), kPoint(Image1->width() / 2, Image1->height() / 2));
  btnReDrowClick();
}

void TVelmora_Form1::Image1MousePress(const QPoint& pos, Qt::MouseButton) {
  pressHeld = true;
  dragging = false;
  pressAt = dragAt = pos;
}

void TVelmora_Form1::Image1MouseMove(const QPoint& pos, Qt::MouseButtons held) {
  const kPoint at = doc->programPointAt(pointOf(pos));
  editMouseX->setText(real3(at.x));
  editMouseY->setText(real3(at.y));
  if (!pressHeld || !(held & (Qt::LeftButton | Qt::MiddleButton)) || !doc->hasProgram() || loading) return;
  if (!dragging && (pos - pressAt).manhattanLength() < QApplication::startDragDistance()) return;
  dragging = true;
  doc->moveView(pointOf(dragAt), pointOf(pos));
  dragAt = pos;
  scheduleRedraw();
}

void TVelmora_Form1::Image1MouseUp(const QPoint&) {
  if (!pressHeld) return;
  pressHeld = false;
  if (dragging) return;
  // A double-click picks what was under the pointer before this click centred it.
  clickedAt = pressAt;
  clickedPoint = doc->pointDrawnAt(pointOf(pressAt));
  Image1MouseDown(pressAt);
}

void TVelmora_Form1::Image1MouseLeave() { clearMousePosition(); }

void TVelmora_Form1::Image1DblClick(const QPoint& pos) {
  // The second press of a double-click is no click of its own.
  pressHeld = false;
  if (!doc->hasProgram() || loading || rbtnEdit->isChecked()) return;
  // The first click centred the drawing on the point double-clicked: pick where that point is drawn now.
  const bool centred = clickedPoint && (pos - clickedAt).manhattanLength() <= QApplication::startDragDistance();
  const kPoint at = centred ? doc->pixelAt(*clickedPoint) : pointOf(pos);
  clickedPoint.reset();
  if (doc->isEvaluated()) {
    // The move's own execution becomes current, in the file it came from: not the line's first one.
    const int block = doc->blockNear(at);
    if (block == 0) return;
    const int fileShown = doc->shownFile();
    doc->moveToBlock(block, false);
    followCurrentBlock(fileShown);
    reditNcFile->setFocus();
    redrawPicture();
    return;
  }
  const int line = doc->lineNear(at);
  if (line == 0) return;
  caretToCurrentLine(line);
}

void TVelmora_Form1::Image1ToolTip(const QPoint& pos, const QPoint& globalPos) {
  const int block = doc->hasProgram() && !loading && !rbtnEdit->isChecked() ? doc->blockNear(pointOf(pos)) : 0;
  if (block == 0) {
    QToolTip::hideText();
    return;
  }
  const kNcGeometry& g = doc->geometry();
  const int line = g.sourceLineOf(block);
  // An evaluated block is told as it ran, its values in place of the expressions of its line.
  const QString text = g.isEvaluated() ? QString::fromStdU16String(g.blockTextAt(block)).trimmed()
                                       : QString::fromStdU16String(doc->lineText(line));
  QToolTip::showText(globalPos, QStringLiteral("Line %1: %2").arg(line).arg(text), Image1);
}
