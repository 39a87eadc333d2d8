// The read-only text pane of Check mode: shows a program of millions of lines by reading and laying out only
// the lines on screen, with the caret's line as the program's current block.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>
#include <compare>
#include <optional>

#include "app/NcTextViewLines.hpp"

// Where the view's text comes from. Lines are counted from 1; texts carry no line break.
class TextLineSource {
 public:
  virtual ~TextLineSource() = default;
  virtual int lineCount() const = 0;
  virtual QString lineText(int line) const = 0;
  // The length in characters of the longest line, or 0 when unknown: only sizes the sideways scroll range
  // before the longest line has been on screen.
  virtual int longestLineLength() const { return 0; }
  // False for a line of an evaluated program that never ran, which is drawn grey.
  virtual bool lineExecuted(int /*line*/) const { return true; }
};

// A place in the text: line from 1, column in UTF-16 units from 0.
struct TextPosition {
  int line = 1;
  int column = 0;
  friend auto operator<=>(const TextPosition&, const TextPosition&) = default;
};

// The caret moves of the keys.
enum class CaretMove {
  Left,
  Right,
  WordLeft,
  WordRight,
  Up,
  Down,
  PageUp,
  PageDown,
  Home,
  End,
  TextStart,
  TextEnd
};

class NcTextView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit NcTextView(QWidget* parent = nullptr);
  ~NcTextView() override;

  // The lines to show; not owned, and it must outlive the view or be replaced first (nullptr: no text). The
  // caret goes to the start of line 1 and the view to the top, without a caretLineChanged; every line counts
  // as interpreted again.
  void setSource(const TextLineSource* source);
  const TextLineSource* source() const { return lines; }
  // The source's lines changed: read them again, keeping the caret (clamped) and the scroll position.
  void reloadLines();
  int lineCount() const;

  // The caret's line is the current line, the one drawn red. An empty text still has a caret on line 1.
  int caretLine() const { return caret.line; }
  int caretColumn() const { return caret.column; }
  TextPosition caretPosition() const { return caret; }
  // Caret to the start of `line` (clamped), no selection, scrolled into view.
  void setCaretLine(int line);
  // Caret to `at` (clamped); `extend` keeps the selection's anchor where it is.
  void setCaretPosition(TextPosition at, bool extend = false);
  void ensureCaretVisible();

  bool hasSelection() const { return anchor != caret; }
  TextPosition selectionStart() const { return std::min(anchor, caret); }
  TextPosition selectionEnd() const { return std::max(anchor, caret); }
  // The selected lines joined by '\n'.
  QString selectedText() const;
  void selectAll();
  void clearSelection();
  // Copies the selection to the clipboard; nothing when there is none.
  void copy() const;

  // Lines after `count` are drawn grey as not interpreted; std::nullopt: every line is interpreted.
  void setInterpretedLineCount(std::optional<int> count);
  std::optional<int> interpretedLineCount() const { return interpreted; }
  // Every occurrence of `text` on screen, in any letter case, gets a highlight; "" highlights nothing.
  void setHighlightText(const QString& text);
  QString highlightText() const { return highlight; }

  // Geometry in viewport coordinates, for tooltips and go-to-line.
  int firstVisibleLine() const;
  void setFirstVisibleLine(int line);
  // The row of `line` across the whole viewport (gutter included); it may lie outside the viewport.
  QRect lineRect(int line) const;
  // The text position under `point`, clamped to the text.
  TextPosition positionAt(const QPoint& point) const;
  int rowHeight() const;
  int gutterWidth() const;

  static constexpr QRgb kCurrentLineRgb = 0xffff0000;
  static constexpr QRgb kNotInterpretedRgb = 0xffa0a0a0;
  static constexpr QRgb kMatchRgb = 0xffffe080;

 signals:
  // The caret went to another line. `arrowStep`: by one line, from a single Up or Down key press (Shift or
  // not), so the caller may draw one step instead of everything.
  void caretLineChanged(int line, bool arrowStep);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  // Caret and keys (NcTextView.cpp).
  bool handleMoveKey(QKeyEvent* event);
  void moveCaret(CaretMove move, bool extend);
  TextPosition targetOf(CaretMove move) const;
  TextPosition verticalTarget(int line) const;
  TextPosition besideLine(CaretMove move) const;
  void placeCaret(TextPosition at, bool extend, bool arrowStep);
  TextPosition clamped(TextPosition at) const;
  int lineLength(int line) const;
  void restartBlink();

  // Geometry and painting (NcTextViewPaint.cpp).
  const QTextLayout& layoutOf(int line) const;
  int fullRows() const;
  int textLeft() const;
  int textAreaWidth() const;
  qreal caretX(TextPosition at) const;
  int columnAtX(int line, qreal x) const;
  void prepareVisibleLines();
  void updateScrollRanges();
  void widenTo(qreal width);
  void resetMetrics();
  void paintLine(QPainter& painter, int line, QPointF baselineStart);
  void paintNumber(QPainter& painter, int line, int top, int gutter) const;
  void updateRows(int from, int to);
  QColor colourOf(int line) const;
  QList<QTextLayout::FormatRange> rangesOf(int line, const QString& text) const;

  // Sizes from the font and the style, measured once per font.
  struct Metrics {
    int row = 1;
    int ascent = 0;
    qreal digit = 0;
    qreal space = 0;
    qreal average = 0;
    int caretWidth = 1;
  };

  const TextLineSource* lines = nullptr;
  Metrics metrics;
  TextPosition caret;
  TextPosition anchor;
  // The x the caret keeps through Up/Down and Page moves across shorter lines.
  std::optional<qreal> goalX;
  std::optional<int> interpreted;
  QString highlight;
  // Widest line laid out so far, in pixels: the sideways scroll range only grows while a text is shown.
  qreal widest = 0;
  // Mutable: layouts are made on demand by the const geometry queries too.
  mutable NcTextViewLines layouts;
  QBasicTimer blink;
  bool caretOn = true;
  bool selecting = false;
};
