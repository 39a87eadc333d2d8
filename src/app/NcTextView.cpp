// The text view's state, caret, selection, keys and mouse (painting and geometry: NcTextViewPaint.cpp).
#include "app/NcTextView.hpp"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace {
struct KeyMove {
  QKeySequence::StandardKey key;
  CaretMove move;
  bool extend;
};

// The platform's key bindings for each caret move, plain and with the selection extended.
constexpr KeyMove kKeyMoves[] = {
    {QKeySequence::MoveToPreviousChar, CaretMove::Left, false},
    {QKeySequence::SelectPreviousChar, CaretMove::Left, true},
    {QKeySequence::MoveToNextChar, CaretMove::Right, false},
    {QKeySequence::SelectNextChar, CaretMove::Right, true},
    {QKeySequence::MoveToPreviousWord, CaretMove::WordLeft, false},
    {QKeySequence::SelectPreviousWord, CaretMove::WordLeft, true},
    {QKeySequence::MoveToNextWord, CaretMove::WordRight, false},
    {QKeySequence::SelectNextWord, CaretMove::WordRight, true},
    {QKeySequence::MoveToPreviousLine, CaretMove::Up, false},
    {QKeySequence::SelectPreviousLine, CaretMove::Up, true},
    {QKeySequence::MoveToNextLine, CaretMove::Down, false},
    {QKeySequence::SelectNextLine, CaretMove::Down, true},
    {QKeySequence::MoveToPreviousPage, CaretMove::PageUp, false},
    {QKeySequence::SelectPreviousPage, CaretMove::PageUp, true},
    {QKeySequence::MoveToNextPage, CaretMove::PageDown, false},
    {QKeySequence::SelectNextPage, CaretMove::PageDown, true},
    {QKeySequence::MoveToStartOfLine, CaretMove::Home, false},
    {QKeySequence::SelectStartOfLine, CaretMove::Home, true},
    {QKeySequence::MoveToEndOfLine, CaretMove::End, false},
    {QKeySequence::SelectEndOfLine, CaretMove::End, true},
    {QKeySequence::MoveToStartOfDocument, CaretMove::TextStart, false},
    {QKeySequence::SelectStartOfDocument, CaretMove::TextStart, true},
    {QKeySequence::MoveToEndOfDocument, CaretMove::TextEnd, false},
    {QKeySequence::SelectEndOfDocument, CaretMove::TextEnd, true},
};
}  // namespace

NcTextView::NcTextView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  resetMetrics();
}

NcTextView::~NcTextView() = default;

void NcTextView::setSource(const TextLineSource* source) {
  lines = source;
  interpreted.reset();
  caret = anchor = TextPosition{};
  goalX.reset();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  resetMetrics();
}

void NcTextView::reloadLines() {
  const int before = caret.line;
  caret = clamped(caret);
  anchor = clamped(anchor);
  resetMetrics();
  if (caret.line != before) emit caretLineChanged(caret.line, false);
}

int NcTextView::lineCount() const { return lines ? lines->lineCount() : 0; }

void NcTextView::setCaretLine(int line) { setCaretPosition({line, 0}); }

void NcTextView::setCaretPosition(TextPosition at, bool extend) {
  goalX.reset();
  placeCaret(at, extend, false);
}

QString NcTextView::selectedText() const {
  if (!hasSelection() || !lines) return {};
  const TextPosition from = selectionStart();
  const TextPosition to = selectionEnd();
  QString text;
  for (int line = from.line; line <= to.line; ++line) {
    const QString whole = line <= lineCount() ? lines->lineText(line) : QString();
    const int start = line == from.line ? from.column : 0;
    const int end = line == to.line ? to.column : int(whole.size());
    text += QStringView(whole).mid(start, std::max(end - start, 0));
    if (line < to.line) text += QLatin1Char('\n');
  }
  return text;
}

void NcTextView::selectAll() {
  const int last = std::max(lineCount(), 1);
  anchor = TextPosition{};
  placeCaret({last, lineLength(last)}, true, false);
}

void NcTextView::clearSelection() {
  if (!hasSelection()) return;
  updateRows(anchor.line, caret.line);
  anchor = caret;
}

void NcTextView::copy() const {
  if (hasSelection()) QGuiApplication::clipboard()->setText(selectedText());
}

void NcTextView::setInterpretedLineCount(std::optional<int> count) {
  if (interpreted == count) return;
  interpreted = count;
  viewport()->update();
}

void NcTextView::setHighlightText(const QString& text) {
  if (highlight == text) return;
  highlight = text;
  viewport()->update();
}

void NcTextView::keyPressEvent(QKeyEvent* event) {
  if (handleMoveKey(event)) return;
  if (event->matches(QKeySequence::Copy)) {
    copy();
  } else if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
  } else if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
             event->modifiers() == Qt::ControlModifier) {
    // As in text editors: Ctrl+Up/Down scroll by a line and leave the caret where it is.
    verticalScrollBar()->setValue(verticalScrollBar()->value() + (event->key() == Qt::Key_Up ? -1 : 1));
  } else {
    event->ignore();
  }
}

bool NcTextView::handleMoveKey(QKeyEvent* event) {
  const auto* found = std::find_if(std::begin(kKeyMoves), std::end(kKeyMoves),
                                   [event](const KeyMove& entry) { return event->matches(entry.key); });
  if (found == std::end(kKeyMoves)) return false;
  moveCaret(found->move, found->extend);
  return true;
}

void NcTextView::moveCaret(CaretMove move, bool extend) {
  const bool vertical =
      move == CaretMove::Up || move == CaretMove::Down || move == CaretMove::PageUp || move == CaretMove::PageDown;
  if (!vertical) goalX.reset();
  if (vertical && !goalX) goalX = caretX(caret);
  if (move == CaretMove::PageUp || move == CaretMove::PageDown) {
    // The caret keeps its row on screen: the text scrolls by as many lines as the caret moves.
    const int page = move == CaretMove::PageUp ? -fullRows() : fullRows();
    verticalScrollBar()->setValue(verticalScrollBar()->value() + page);
  }
  const bool arrow = move == CaretMove::Up || move == CaretMove::Down;
  placeCaret(targetOf(move), extend, arrow);
}

TextPosition NcTextView::targetOf(CaretMove move) const {
  const int last = std::max(lineCount(), 1);
  const QTextLayout& here = layoutOf(caret.line);
  const bool atStart = caret.column == 0;
  const bool atEnd = caret.column >= lineLength(caret.line);
  switch (move) {
    case CaretMove::Left:
      return atStart ? besideLine(move) : TextPosition{caret.line, here.previousCursorPosition(caret.column)};
    case CaretMove::WordLeft:
      return atStart ? besideLine(move)
                     : TextPosition{caret.line, here.previousCursorPosition(caret.column, QTextLayout::SkipWords)};
    case CaretMove::Right:
      return atEnd ? besideLine(move) : TextPosition{caret.line, here.nextCursorPosition(caret.column)};
    case CaretMove::WordRight:
      return atEnd ? besideLine(move)
                   : TextPosition{caret.line, here.nextCursorPosition(caret.column, QTextLayout::SkipWords)};
    case CaretMove::Up:
      return caret.line > 1 ? verticalTarget(caret.line - 1) : caret;
    case CaretMove::Down:
      return caret.line < last ? verticalTarget(caret.line + 1) : caret;
    case CaretMove::PageUp:
      return verticalTarget(std::max(caret.line - fullRows(), 1));
    case CaretMove::PageDown:
      return verticalTarget(std::min(caret.line + fullRows(), last));
    case CaretMove::Home:
      return {caret.line, 0};
    case CaretMove::End:
      return {caret.line, lineLength(caret.line)};
    case CaretMove::TextStart:
      return {};
    case CaretMove::TextEnd:
      return {last, lineLength(last)};
  }
  return caret;
}

// Left of a line's start is the end of the line before; right of its end, the start of the next.
TextPosition NcTextView::besideLine(CaretMove move) const {
  const bool back = move == CaretMove::Left || move == CaretMove::WordLeft;
  if (back) return caret.line > 1 ? TextPosition{caret.line - 1, lineLength(caret.line - 1)} : caret;
  return caret.line < std::max(lineCount(), 1) ? TextPosition{caret.line + 1, 0} : caret;
}

TextPosition NcTextView::verticalTarget(int line) const { return {line, columnAtX(line, goalX.value_or(0))}; }

void NcTextView::placeCaret(TextPosition at, bool extend, bool arrowStep) {
  const TextPosition before = caret;
  const TextPosition anchorBefore = anchor;
  caret = clamped(at);
  if (!extend) anchor = caret;
  ensureCaretVisible();
  restartBlink();
  // The rows whose colour or selection may have changed lie between the old and the new ends of the
  // selection; a scroll has repainted everything already.
  if (caret != before || anchor != anchorBefore)
    updateRows(std::min({before.line, anchorBefore.line, caret.line, anchor.line}),
               std::max({before.line, anchorBefore.line, caret.line, anchor.line}));
  if (caret.line != before.line)
    emit caretLineChanged(caret.line, arrowStep && std::abs(caret.line - before.line) == 1);
}

TextPosition NcTextView::clamped(TextPosition at) const {
  const int line = std::clamp(at.line, 1, std::max(lineCount(), 1));
  return {line, std::clamp(at.column, 0, lineLength(line))};
}

int NcTextView::lineLength(int line) const { return int(layoutOf(line).text().size()); }

void NcTextView::restartBlink() {
  caretOn = true;
  const int period = QApplication::cursorFlashTime() / 2;
  if (hasFocus() && period > 0) blink.start(period, this);
}

void NcTextView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  goalX.reset();
  placeCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier, false);
  selecting = true;
}

void NcTextView::mouseMoveEvent(QMouseEvent* event) {
  // Dragging past the top or bottom edge reaches the lines beyond it, and the view scrolls there.
  if (selecting && (event->buttons() & Qt::LeftButton))
    placeCaret(positionAt(event->position().toPoint()), true, false);
}

void NcTextView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  selecting = false;
  // X11 habit: selecting with the mouse fills the primary selection for a middle-button paste elsewhere.
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (hasSelection() && clipboard->supportsSelection()) clipboard->setText(selectedText(), QClipboard::Selection);
}

void NcTextView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const TextPosition at = positionAt(event->position().toPoint());
  const QString text = layoutOf(at.line).text();
  QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
  words.setPosition(at.column);
  const int start = words.isAtBoundary() ? at.column : int(words.toPreviousBoundary());
  words.setPosition(at.column);
  const int end = int(words.toNextBoundary());
  anchor = {at.line, std::max(start, 0)};
  placeCaret({at.line, end < 0 ? int(text.size()) : end}, true, false);
}

void NcTextView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copyAction = menu.addAction(QStringLiteral("コピー(&C)"));
  copyAction->setShortcut(QKeySequence::Copy);
  copyAction->setEnabled(hasSelection());
  connect(copyAction, &QAction::triggered, this, &NcTextView::copy);
  QAction* allAction = menu.addAction(QStringLiteral("すべて選択(&A)"));
  allAction->setShortcut(QKeySequence::SelectAll);
  connect(allAction, &QAction::triggered, this, &NcTextView::selectAll);
  menu.exec(event->globalPos());
}

void NcTextView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  restartBlink();
  update();  // the frame shows the focus
}

void NcTextView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  blink.stop();
  update();
}

void NcTextView::timerEvent(QTimerEvent* event) {
  if (event->timerId() != blink.timerId()) return QAbstractScrollArea::timerEvent(event);
  caretOn = !caretOn;
  viewport()->update(lineRect(caret.line));
}
