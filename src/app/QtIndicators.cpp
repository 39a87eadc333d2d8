// The window's side of the tool-path drawing (see QtIndicators.hpp), and the background colour of a widget.
#include "app/QtIndicators.hpp"

#include <QComboBox>
#include <QPalette>
#include <QWidget>

void setBackground(QWidget* widget, const QColor& colour) {
  // The top panel is set at every step: an unchanged colour must cost no relayout or repaint.
  if (widget->autoFillBackground() && widget->palette().color(QPalette::Window) == colour &&
      widget->palette().color(QPalette::Base) == colour)
    return;
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::Base, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

QtIndicators::QtIndicators(QComboBox* scale) : cboxScale(scale) {}

void QtIndicators::showScale(const std::u16string& text) {
  cboxScale->setEditText(QString::fromStdU16String(text));
}
