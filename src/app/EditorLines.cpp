// Line operations on the NC text pane (see EditorLines.hpp).
#include "app/EditorLines.hpp"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {
// About 15 ms of inserting on an ordinary machine.
constexpr int kLinesPerPiece = 4000;

QTextBlock blockOfLine(const QPlainTextEdit* editor, int n) {
  const QTextDocument* document = editor->document();
  return document->findBlockByNumber(std::clamp(n, 1, document->blockCount()) - 1);
}

// End of the piece of `text` that starts at `from` and holds at most kLinesPerPiece line breaks.
qsizetype pieceEnd(const QString& text, qsizetype from) {
  qsizetype at = from;
  for (int lines = 0; lines < kLinesPerPiece && at < text.size(); ++lines) {
    const qsizetype lf = text.indexOf(QLatin1Char('\n'), at);
    if (lf < 0) return text.size();
    at = lf + 1;
  }
  return at;
}
}  // namespace

int lineCount(const QPlainTextEdit* editor) {
  const QTextDocument* document = editor->document();
  int count = document->blockCount();
  if (document->lastBlock().length() <= 1) --count;
  return std::max(count, 0);
}

QString lineAt(const QPlainTextEdit* editor, int i) {
  if (i < 0 || i >= editor->document()->blockCount()) return {};
  return editor->document()->findBlockByNumber(i).text();
}

int caretLine(const QPlainTextEdit* editor) { return editor->textCursor().blockNumber() + 1; }

void caretToTextStart(QPlainTextEdit* editor) {
  QTextCursor cursor = editor->textCursor();
  cursor.setPosition(0);
  editor->setTextCursor(cursor);
}

void caretToLine(QPlainTextEdit* editor, int n) {
  QTextCursor cursor = editor->textCursor();
  cursor.setPosition(blockOfLine(editor, n).position());
  editor->setTextCursor(cursor);
  editor->setFocus();
}

void selectLine(QPlainTextEdit* editor, int n) {
  if (lineCount(editor) == 0) return;
  caretToLine(editor, n);
  QTextCursor cursor = editor->textCursor();
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  editor->setTextCursor(cursor);
}

void colorLine(QPlainTextEdit* editor, const QColor& colour, int n) {
  const QTextBlock block = n == 0 ? editor->textCursor().block() : blockOfLine(editor, n);
  QTextEdit::ExtraSelection mark;
  mark.cursor = QTextCursor(block);
  mark.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  mark.format.setForeground(colour);
  editor->setExtraSelections({mark});
}

void fillEditor(QPlainTextEdit* editor, const QString& text, const std::function<void()>& pause) {
  QTextDocument* document = editor->document();
  editor->setExtraSelections({});
  editor->clear();
  document->setUndoRedoEnabled(false);
  QTextCursor cursor(document);
  for (qsizetype from = 0; from < text.size();) {
    // A piece ends after a LF, so a CR LF pair is never cut.
    const qsizetype end = pieceEnd(text, from);
    QString piece = text.mid(from, end - from);
    piece.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    piece.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(piece);
    from = end;
    if (pause && from < text.size()) pause();
  }
  document->setUndoRedoEnabled(true);
}
