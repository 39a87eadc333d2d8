// Image1 and the clickable logo panel (see ImageView.hpp).
#include "app/ImageView.hpp"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& ImageView::newPicture(const QSize& size) {
  image = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.fill(Qt::white);
  update();
  return image;
}

void ImageView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  painter.drawImage(QPoint(0, 0), image);
}

bool ImageView::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  emit toolTipWanted(help->pos(), help->globalPos());
  return true;
}

void ImageView::mousePressEvent(QMouseEvent* event) { emit pressed(event->position().toPoint(), event->button()); }

void ImageView::mouseMoveEvent(QMouseEvent* event) { emit moved(event->position().toPoint(), event->buttons()); }

void ImageView::mouseReleaseEvent(QMouseEvent* event) {
  emit released(event->position().toPoint(), event->button());
}

void ImageView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit doubleClicked(event->position().toPoint());
}

void ImageView::leaveEvent(QEvent*) { emit left(); }

void ImageView::wheelEvent(QWheelEvent* event) {
  // A notch is 120 eighths of a degree; high-resolution wheels send parts of one.
  const int angle = event->angleDelta().y();
  if (angle != 0) emit wheelTurned(event->position().toPoint(), angle / 120.0);
  event->accept();
}

void ClickPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
  QFrame::mousePressEvent(event);
}
