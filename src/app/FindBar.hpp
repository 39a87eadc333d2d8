// The find bar under the text pane: the text to find, buttons for the previous and the next occurrence, and
// a note when the search went round the program's end or found nothing.
#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;
class QToolButton;

class FindBar : public QFrame {
  Q_OBJECT

 public:
  explicit FindBar(QWidget* parent = nullptr);

  QString text() const;
  // Shown with the text selected, ready to be typed over.
  void open();
  // "" clears the note.
  void setNote(const QString& note);
  QString note() const;

  QLineEdit* edit = nullptr;
  QToolButton* previousButton = nullptr;
  QToolButton* nextButton = nullptr;
  QToolButton* closeButton = nullptr;

 signals:
  void next();
  void previous();
  void textChanged(const QString& text);
  void closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* noteLabel = nullptr;
};
