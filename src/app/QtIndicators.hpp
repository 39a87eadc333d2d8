// The window's side of the tool-path drawing: the compensation panel, the arc fields and the scale box.
#pragma once

#include "graphics/Toolpath.hpp"

class QComboBox;
class QLabel;
class QLineEdit;

class QtIndicators : public ToolPathIndicators {
 public:
  QtIndicators(QLabel* g40, QLineEdit* cx, QLineEdit* cy, QLineEdit* r, QComboBox* scale);

  void showCompensation(const std::u16string& caption, bool compensated) override;
  void markArcFields(bool faulty) override;
  void showScale(const std::u16string& text) override;

 private:
  QLabel* pnlG40;
  QLineEdit* arcFields[3];
  QComboBox* cboxScale;
};

// Background colour of a panel or edit box.
class QWidget;
class QColor;
void setBackground(QWidget* widget, const QColor& colour);
