// The NC text pane (see NcEditor.hpp).
#include "app/NcEditor.hpp"

#include <QKeyEvent>

NcEditor::NcEditor(QWidget* parent) : QPlainTextEdit(parent) {}

void NcEditor::keyPressEvent(QKeyEvent* event) {
  const bool plainArrow = (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
                          (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  arrowKey = plainArrow;
  QPlainTextEdit::keyPressEvent(event);
  arrowKey = false;
}

void NcEditor::changeEvent(QEvent* event) {
  QPlainTextEdit::changeEvent(event);
  // A read-only editor drops keyboard navigation; checking a program is done with the keys.
  if (event->type() == QEvent::ReadOnlyChange && isReadOnly())
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}
