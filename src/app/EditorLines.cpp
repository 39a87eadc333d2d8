// The Edit mode editor's lines (see EditorLines.hpp).
#include "app/EditorLines.hpp"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "app/NcTextView.hpp"

namespace {
// About 15 ms of inserting on an ordinary machine.
constexpr int kLinesPerPiece = 4000;
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
