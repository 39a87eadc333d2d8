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
  void pressed(const QPoint& pos, Qt::MouseButton button);
  // Buttons held: those held during the move.
  void moved(const QPoint& pos, Qt::MouseButtons held);
  void released(const QPoint& pos, Qt::MouseButton button);
  void doubleClicked(const QPoint& pos);
  void left();
  // Notches of the wheel turned (120 eighths of a degree each; fractions from high-resolution wheels),
  // positive away from the user.
  void wheelTurned(const QPoint& pos, double notches);
  // The pointer rests at `pos` (global: `globalPos`) and a tooltip may be shown.
  void toolTipWanted(const QPoint& pos, const QPoint& globalPos);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QImage image;
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
