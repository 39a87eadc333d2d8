// Find and go to line: in Check mode the program document is searched and the matches are highlighted in
// the text pane; in Edit mode the editor finds. The caret's move makes the line current as any caret move.
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/EditorLines.hpp"
#include "app/FindBar.hpp"
#include "app/Velmora_.hpp"
#include "nc/Ncfind.hpp"

namespace {
const QString kWrappedNote = QStringLiteral("wrapped");
const QString kNotFoundNote = QStringLiteral("not found");
}  // namespace

void TVelmora_Form1::buildFindBar() {
  findBar = new FindBar(pnlLeft);
  findBar->hide();
  // Under the text it searches, above the problems list.
  static_cast<QVBoxLayout*>(pnlLeft->layout())->insertWidget(1, findBar);
  menuFile->addSeparator();
  actFind = menuFile->addAction(QStringLiteral("Find..."));
  actFind->setShortcut(QKeySequence::Find);
  actFindNext = menuFile->addAction(QStringLiteral("Find next"));
  actFindNext->setShortcut(QKeySequence(Qt::Key_F3));
  actFindPrevious = menuFile->addAction(QStringLiteral("Find previous"));
  actFindPrevious->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
  actGoToLine = menuFile->addAction(QStringLiteral("Go to line..."));
  actGoToLine->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  addActions({actFind, actFindNext, actFindPrevious, actGoToLine});
  connect(actFind, &QAction::triggered, this, [this] { findClick(); });
  connect(actFindNext, &QAction::triggered, this, [this] { findNext(); });
  connect(actFindPrevious, &QAction::triggered, this, [this] { findPrevious(); });
  connect(actGoToLine, &QAction::triggered, this, [this] { goToLineClick(); });
  connect(findBar, &FindBar::next, this, [this] { findNext(); });
  connect(findBar, &FindBar::previous, this, [this] { findPrevious(); });
  connect(findBar, &FindBar::textChanged, this, [this](const QString& text) {
    findBar->setNote(QString());
    highlightMatches(text);
  });
  connect(findBar, &FindBar::closed, this, [this] {
    highlightMatches(QString());
    textPane()->setFocus();
  });
}

void TVelmora_Form1::findClick() {
  if (loading) return;
  // A selection within one line is most likely what is looked for.
  const QString selected =
      rbtnEdit->isChecked() ? reditEdit->textCursor().selectedText() : reditNcFile->selectedText();
  if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) && !selected.contains(QChar(0x2029)))
    findBar->edit->setText(selected);
  findBar->open();
  highlightMatches(findBar->text());
}

void TVelmora_Form1::findNext() { find(true); }

void TVelmora_Form1::findPrevious() { find(false); }

void TVelmora_Form1::find(bool forward) {
  if (loading) return;
  const QString text = findBar->text();
  // F3 with the bar closed finds the last text again; with nothing to find it opens the bar.
  if (text.isEmpty()) {
    findClick();
    return;
  }
  if (rbtnEdit->isChecked()) {
    findInEditor(forward);
    return;
  }
  if (!doc->hasProgram()) return;
  // From the end of the match shown forwards, from its start backwards.
  const TextPosition from = forward ? reditNcFile->selectionEnd() : reditNcFile->selectionStart();
  bool wrapped = false;
  const std::optional<TextSpot> found =
      findInText(doc->shownText(), text.toStdU16String(), TextSpot{from.line, from.column}, forward, &wrapped);
  findBar->setNote(!found ? kNotFoundNote : (wrapped ? kWrappedNote : QString()));
  if (!found) return;
  reditNcFile->setCaretPosition({found->line, found->column});
  reditNcFile->setCaretPosition({found->line, found->column + static_cast<int>(text.size())}, true);
}

void TVelmora_Form1::findInEditor(bool forward) {
  const QString text = findBar->text();
  const QTextDocument::FindFlags flags = forward ? QTextDocument::FindFlags() : QTextDocument::FindBackward;
  if (reditEdit->find(text, flags)) {
    findBar->setNote(QString());
    return;
  }
  const QTextCursor kept = reditEdit->textCursor();
  QTextCursor edge = kept;
  edge.movePosition(forward ? QTextCursor::Start : QTextCursor::End);
  reditEdit->setTextCursor(edge);
  const bool found = reditEdit->find(text, flags);
  if (!found) reditEdit->setTextCursor(kept);
  findBar->setNote(found ? kWrappedNote : kNotFoundNote);
}

void TVelmora_Form1::highlightMatches(const QString& text) { reditNcFile->setHighlightText(text); }

void TVelmora_Form1::goToLineClick() {
  if (loading) return;
  if (rbtnEdit->isChecked()) {
    const std::optional<int> line =
        dialogs->lineNumber(this, reditEdit->textCursor().blockNumber() + 1, reditEdit->document()->blockCount());
    if (line) caretToLine(reditEdit, *line);
    reditEdit->setFocus();
    return;
  }
  if (!doc->hasProgram()) return;
  const std::optional<int> line = dialogs->lineNumber(this, reditNcFile->caretLine(), doc->shownLineCount());
  if (!line) return;
  caretToCurrentLine(*line);
}
