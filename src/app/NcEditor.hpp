// The NC text pane: a plain-text editor that tells whether a caret move came from an Up/Down key and
// keeps keyboard navigation working while it is read-only.
#pragma once

#include <QPlainTextEdit>

class NcEditor : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit NcEditor(QWidget* parent = nullptr);

  // True while the editor handles an Up or Down key press (the caret moves by one display line).
  bool arrowKeyActive() const { return arrowKey; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool arrowKey = false;
};
