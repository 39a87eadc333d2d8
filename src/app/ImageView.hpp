// Image1: shows the drawing's picture (top-left part when the picture is larger) and passes on the mouse.
#pragma once

#include <QImage>
#include <QWidget>

class ImageView : public QWidget {
  Q_OBJECT

 public:
  explicit ImageView(QWidget* parent = nullptr);

  // A new white picture of `size`; the previous one is dropped.
  QImage& newPicture(const QSize& size);
  QImage& picture() { return image; }
  const QImage& picture() const { return image; }

 signals:
  void pressed(const QPoint& pos);
  void moved(const QPoint& pos);
  void left();
  void wheelNotch(bool up);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QImage image;
  int wheelAngle = 0;
};

// A panel that reports clicks (the logo panel).
#include <QFrame>

class ClickPanel : public QFrame {
  Q_OBJECT

 public:
  explicit ClickPanel(QWidget* parent = nullptr) : QFrame(parent) {}

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};
