// The window's side of the tool-path drawing: the compensation panel and the scale box.
#pragma once

#include "graphics/Toolpath.hpp"

class QComboBox;
class QLabel;

class QtIndicators : public ToolPathIndicators {
 public:
  QtIndicators(QLabel* g40, QComboBox* scale);

  void showCompensation(const std::u16string& caption, bool compensated) override;
  void showScale(const std::u16string& text) override;

 private:
  QLabel* pnlG40;
  QComboBox* cboxScale;
};

// Background colour of a panel or edit box.
class QWidget;
class QColor;
void setBackground(QWidget* widget, const QColor& colour);
