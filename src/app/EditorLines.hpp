// The Edit mode editor's lines: filled from the program's lines in pieces, and the caret put on a line. Line
// k (counted from 1) is the k-th logical line of the text, which is block k of the program.
#pragma once

#include <functional>

class QPlainTextEdit;
class QString;
class TextLineSource;

// Caret to the start of line n (clamped to the text), no selection, scrolled into view.
void caretToLine(QPlainTextEdit* editor, int n);
// Replaces the editor's text by the lines of `source`, joined by LF and ending with one when `finalBreak`,
// in pieces; between them `pause` gets the number of lines in so far, so the window stays alive. The undo
// history starts empty.
void fillEditorLines(QPlainTextEdit* editor, const TextLineSource& source, bool finalBreak,
                     const std::function<void(int)>& pause);
// The editor's text, its lines joined by LF (a last empty line is a final LF), read in pieces with `pause`
// between them as above.
QString editorText(const QPlainTextEdit* editor, const std::function<void(int)>& pause);
