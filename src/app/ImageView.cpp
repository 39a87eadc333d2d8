// Image1 and the clickable logo panel (see ImageView.hpp).
#include "app/ImageView.hpp"

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

void ImageView::mousePressEvent(QMouseEvent* event) { emit pressed(event->position().toPoint()); }

void ImageView::mouseMoveEvent(QMouseEvent* event) { emit moved(event->position().toPoint()); }

void ImageView::leaveEvent(QEvent*) { emit left(); }

void ImageView::wheelEvent(QWheelEvent* event) {
  // High-resolution wheels send parts of a notch; a notch is 120 eighths of a degree.
  wheelAngle += event->angleDelta().y();
  while (wheelAngle >= 120) {
    wheelAngle -= 120;
    emit wheelNotch(true);
  }
  while (wheelAngle <= -120) {
    wheelAngle += 120;
    emit wheelNotch(false);
  }
  event->accept();
}

void ClickPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
  QFrame::mousePressEvent(event);
}
