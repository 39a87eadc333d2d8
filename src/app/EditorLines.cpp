// The Edit mode editor's lines (see EditorLines.hpp).
#include "app/EditorLines.hpp"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "app/NcTextView.hpp"

namespace {
// A few milliseconds of inserting into a shown editor, or of reading from it.
constexpr int kLinesPerPiece = 1000;
}  // namespace

void caretToLine(QPlainTextEdit* editor, int n) {
  const QTextDocument* document = editor->document();
  QTextCursor cursor = editor->textCursor();
  cursor.setPosition(document->findBlockByNumber(std::clamp(n, 1, document->blockCount()) - 1).position());
  editor->setTextCursor(cursor);
  editor->ensureCursorVisible();
}

void fillEditorLines(QPlainTextEdit* editor, const TextLineSource& source, bool finalBreak,
                     const std::function<void(int)>& pause) {
  QTextDocument* document = editor->document();
  editor->clear();
  document->setUndoRedoEnabled(false);
  QTextCursor cursor(document);
  const int total = source.lineCount();
  QString piece;
  for (int first = 1; first <= total; first += kLinesPerPiece) {
    const int last = std::min(total, first + kLinesPerPiece - 1);
    piece.clear();
    for (int line = first; line <= last; ++line) {
      piece += source.lineText(line);
      if (line < total || finalBreak) piece += QLatin1Char('\n');
    }
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(piece);
    if (pause && last < total) pause(last);
  }
  document->setUndoRedoEnabled(true);
}

QString editorText(const QPlainTextEdit* editor, const std::function<void(int)>& pause) {
  const QTextDocument* document = editor->document();
  QString text;
  text.reserve(document->characterCount());
  int lines = 0;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    if (lines > 0) text += QLatin1Char('\n');
    text += block.text();
    if (++lines % kLinesPerPiece == 0 && pause) pause(lines);
  }
  return text;
}
