// The window's side of the tool-path drawing: the scale box.
#pragma once

#include "render/Toolpath.hpp"

class QComboBox;

class QtIndicators : public ToolPathIndicators {
 public:
  explicit QtIndicators(QComboBox* scale);

  void showScale(const std::u16string& text) override;

 private:
  QComboBox* cboxScale;
};

// Background colour of a panel or edit box.
class QWidget;
class QColor;
void setBackground(QWidget* widget, const QColor& colour);
