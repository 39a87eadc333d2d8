// Line operations on the NC text pane. Line k (counted from 1) is the k-th logical line of the text, which
// is block k of the program, however the editor wraps it on screen.
#pragma once

#include <QColor>
#include <QString>
#include <functional>

class QPlainTextEdit;

// Lines of the text; a line break at the very end does not start another line, an empty editor has 0.
int lineCount(const QPlainTextEdit* editor);
// Line i counted from 0, "" past the end.
QString lineAt(const QPlainTextEdit* editor, int i);
// The line holding the caret.
int caretLine(const QPlainTextEdit* editor);
void caretToTextStart(QPlainTextEdit* editor);
// Caret to the start of line n (clamped to the text), no selection; the editor gets the focus.
void caretToLine(QPlainTextEdit* editor, int n);
// Selects line n without its line break; nothing when the editor has no line.
void selectLine(QPlainTextEdit* editor, int n);
// Shows line n (0: the caret's line) in `colour` and every other line in the text colour. The colour is an
// extra selection: the document and its undo history are not touched.
void colorLine(QPlainTextEdit* editor, const QColor& colour, int n);

// Replaces the editor's text by `text` in pieces, calling `pause` between them so the window stays alive;
// CR LF and lone CR break lines as LF does. The undo history starts empty.
void fillEditor(QPlainTextEdit* editor, const QString& text, const std::function<void()>& pause);
