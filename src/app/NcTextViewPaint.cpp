// The text view's geometry, scroll ranges and painting: rows of one height, a line-number gutter on the left,
// the text beside it scrolled sideways in pixels and down in whole lines.
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/NcTextView.hpp"

namespace {
constexpr int kGutterPadding = 6;
constexpr int kTextMargin = 4;
constexpr int kMinGutterDigits = 3;

int digitsOf(int n) {
  int digits = 1;
  for (; n >= 10; n /= 10) ++digits;
  return digits;
}

// Far enough off screen for any row, near enough that adding a row height cannot overflow.
int clampedToInt(qint64 value) {
  constexpr qint64 kFar = qint64(1) << 30;
  return int(std::clamp<qint64>(value, -kFar, kFar));
}
}  // namespace

const QTextLayout& NcTextView::layoutOf(int line) const { return layouts.of(lines, line); }

int NcTextView::rowHeight() const { return metrics.row; }

int NcTextView::fullRows() const { return std::max(1, viewport()->height() / rowHeight()); }

int NcTextView::gutterWidth() const {
  const int digits = std::max(digitsOf(std::max(lineCount(), 1)), kMinGutterDigits);
  return int(std::ceil(digits * metrics.digit)) + 2 * kGutterPadding;
}

int NcTextView::textLeft() const { return gutterWidth() + kTextMargin - horizontalScrollBar()->value(); }

int NcTextView::textAreaWidth() const { return std::max(0, viewport()->width() - gutterWidth() - kTextMargin); }

int NcTextView::firstVisibleLine() const { return verticalScrollBar()->value() + 1; }

void NcTextView::setFirstVisibleLine(int line) { verticalScrollBar()->setValue(line - 1); }

QRect NcTextView::lineRect(int line) const {
  return {0, clampedToInt((qint64(line) - firstVisibleLine()) * metrics.row), viewport()->width(), metrics.row};
}

TextPosition NcTextView::positionAt(const QPoint& point) const {
  const int row = int(std::floor(double(point.y()) / metrics.row));
  const int line = clampedToInt(std::clamp<qint64>(qint64(firstVisibleLine()) + row, 1, std::max(lineCount(), 1)));
  return {line, columnAtX(line, point.x() - textLeft())};
}

qreal NcTextView::caretX(TextPosition at) const { return layoutOf(at.line).lineAt(0).cursorToX(at.column); }

int NcTextView::columnAtX(int line, qreal x) const { return layoutOf(line).lineAt(0).xToCursor(x); }

void NcTextView::ensureCaretVisible() {
  const int first = firstVisibleLine();
  if (caret.line < first) setFirstVisibleLine(caret.line);
  if (caret.line > first + fullRows() - 1) setFirstVisibleLine(caret.line - fullRows() + 1);
  widenTo(layoutOf(caret.line).lineAt(0).naturalTextWidth());
  const int x = int(std::floor(caretX(caret)));
  QScrollBar* sideways = horizontalScrollBar();
  if (x < sideways->value()) sideways->setValue(x);
  const int right = x + metrics.caretWidth + kTextMargin;
  if (right > sideways->value() + textAreaWidth()) sideways->setValue(right - textAreaWidth());
}

// Lays out the lines on screen (and drops the others): their widths widen the sideways scroll range before
// they are painted, so painting never changes a scroll bar.
void NcTextView::prepareVisibleLines() {
  const int first = firstVisibleLine();
  const int last = std::min(lineCount(), first + viewport()->height() / metrics.row);
  layouts.keepOnly(first, last);
  qreal width = 0;
  for (int line = first; line <= last; ++line)
    width = std::max(width, layoutOf(line).lineAt(0).naturalTextWidth());
  widenTo(width);
}

void NcTextView::widenTo(qreal width) {
  if (width <= widest) return;
  widest = width;
  updateScrollRanges();
}

void NcTextView::updateScrollRanges() {
  const int rows = fullRows();
  QScrollBar* down = verticalScrollBar();
  down->setRange(0, std::max(0, lineCount() - rows));
  down->setPageStep(rows);
  down->setSingleStep(1);

  const qreal hinted = lines ? lines->longestLineLength() * metrics.average : 0;
  const int content = int(std::ceil(std::max(widest, hinted))) + metrics.caretWidth + kTextMargin;
  QScrollBar* sideways = horizontalScrollBar();
  sideways->setRange(0, std::max(0, content - textAreaWidth()));
  sideways->setPageStep(std::max(1, textAreaWidth()));
  sideways->setSingleStep(std::max(1, int(metrics.average) * 2));
}

void NcTextView::resetMetrics() {
  const QFontMetricsF font(this->font());
  metrics.row = std::max(1, int(std::ceil(font.lineSpacing())));
  metrics.ascent = int(std::ceil(font.ascent()));
  metrics.digit = font.horizontalAdvance(QLatin1Char('0'));
  metrics.space = font.horizontalAdvance(QLatin1Char(' '));
  metrics.average = font.averageCharWidth();
  metrics.caretWidth = style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
  layouts.setFont(this->font());
  widest = 0;
  updateScrollRanges();
  prepareVisibleLines();
  viewport()->update();
}

void NcTextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollRanges();
  prepareVisibleLines();
}

void NcTextView::scrollContentsBy(int dx, int dy) {
  if (dy != 0) prepareVisibleLines();
  // Move what stays on screen and paint only what comes into view: an arrow step past the last row paints
  // one row. The gutter does not move sideways.
  const int gutter = gutterWidth();
  if (dx == 0 && std::abs(dy) < fullRows())
    viewport()->scroll(0, dy * metrics.row);
  else if (dy == 0)
    viewport()->scroll(dx, 0, QRect(gutter, 0, viewport()->width() - gutter, viewport()->height()));
  else
    viewport()->update();
}

void NcTextView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    resetMetrics();
    ensureCaretVisible();
  }
}

void NcTextView::updateRows(int from, int to) {
  const QRect rows = lineRect(std::min(from, to)) | lineRect(std::max(from, to));
  viewport()->update(rows & viewport()->rect());
}

void NcTextView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const int first = firstVisibleLine();
  const int last = std::min(lineCount(), first + viewport()->height() / metrics.row);
  const int gutter = gutterWidth();
  painter.fillRect(QRect(0, 0, gutter, viewport()->height()) & event->rect(), palette().window());
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(gutter - 1, 0, gutter - 1, viewport()->height());
  for (int line = first; line <= last; ++line) {
    const QRect row(0, (line - first) * metrics.row, viewport()->width(), metrics.row);
    // A caret step or blink repaints a row or two: leave the others alone.
    if (!event->rect().intersects(row)) continue;
    paintNumber(painter, line, row.top(), gutter);
    // Each line stays in its row: a glyph or highlight from a taller fallback font never reaches the next.
    // Intersect, not replace: a grab paints through a painter that already clips to the viewport.
    painter.save();
    painter.setClipRect(row.adjusted(gutter, 0, 0, 0), Qt::IntersectClip);
    paintLine(painter, line, QPointF(textLeft(), row.top() + metrics.ascent));
    painter.restore();
  }
}

void NcTextView::paintLine(QPainter& painter, int line, QPointF baselineStart) {
  const QTextLayout& layout = layoutOf(line);
  const QTextLine row = layout.lineAt(0);
  const QPointF origin(baselineStart.x(), baselineStart.y() - row.ascent());
  painter.setPen(colourOf(line));
  layout.draw(&painter, origin, rangesOf(line, layout.text()));
  if (hasSelection() && line >= selectionStart().line && line < selectionEnd().line) {
    // The selected line break: a space's width of highlight after the text.
    painter.fillRect(QRectF(origin.x() + row.naturalTextWidth(), origin.y(), metrics.space, row.height()),
                     palette().brush(QPalette::Highlight));
  }
  if (line == caret.line && caretOn && hasFocus()) {
    painter.setPen(palette().color(QPalette::Text));
    layout.drawCursor(&painter, origin, caret.column, metrics.caretWidth);
  }
}

void NcTextView::paintNumber(QPainter& painter, int line, int top, int gutter) const {
  const QString number = QString::number(line);
  const qreal x = gutter - kGutterPadding - number.size() * metrics.digit;
  painter.setPen(palette().color(line == caret.line ? QPalette::WindowText : QPalette::PlaceholderText));
  painter.drawText(QPointF(x, top + metrics.ascent), number);
}

QColor NcTextView::colourOf(int line) const {
  if (line == caret.line) return QColor::fromRgb(kCurrentLineRgb);
  if (interpreted && line > *interpreted) return QColor::fromRgb(kNotInterpretedRgb);
  if (lines && !lines->lineExecuted(line)) return QColor::fromRgb(kNotInterpretedRgb);
  return palette().color(QPalette::Text);
}

QList<QTextLayout::FormatRange> NcTextView::rangesOf(int line, const QString& text) const {
  QList<QTextLayout::FormatRange> ranges;
  if (!highlight.isEmpty()) {
    QTextCharFormat match;
    match.setBackground(QColor::fromRgb(kMatchRgb));
    for (qsizetype at = text.indexOf(highlight, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(highlight, at + highlight.size(), Qt::CaseInsensitive))
      ranges.append({int(at), int(highlight.size()), match});
  }
  const TextPosition from = selectionStart();
  const TextPosition to = selectionEnd();
  if (hasSelection() && line >= from.line && line <= to.line) {
    const int start = line == from.line ? from.column : 0;
    const int end = line == to.line ? to.column : int(text.size());
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    // After the matches, so a selected match looks selected.
    if (end > start) ranges.append({start, end - start, selected});
  }
  return ranges;
}
