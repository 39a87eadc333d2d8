// The window's side of the tool-path drawing (see QtIndicators.hpp).
#include "app/QtIndicators.hpp"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPalette>

namespace {
const QColor kCompensationGreen(0, 128, 0);
}

void setBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::Base, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

QtIndicators::QtIndicators(QLabel* g40, QComboBox* scale) : pnlG40(g40), cboxScale(scale) {}

void QtIndicators::showCompensation(const std::u16string& caption, bool compensated) {
  QPalette palette = QApplication::palette(pnlG40);
  if (compensated) {
    palette.setColor(QPalette::Window, kCompensationGreen);
    palette.setColor(QPalette::WindowText, Qt::white);
  } else {
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  }
  pnlG40->setPalette(palette);
  pnlG40->setAutoFillBackground(true);
  pnlG40->setText(QString::fromStdU16String(caption));
}

void QtIndicators::showScale(const std::u16string& text) {
  cboxScale->setEditText(QString::fromStdU16String(text));
}
