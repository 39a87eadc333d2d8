// Layouts of the lines around the text view's screen (see NcTextViewLines.hpp).
#include "app/NcTextViewLines.hpp"

#include <QFontMetricsF>
#include <algorithm>

#include "app/NcTextView.hpp"

namespace {
// Lines never wrap: one text line as wide as its text, however wide that is.
constexpr qreal kNoWrapWidth = 1e7;
constexpr int kTabStopSpaces = 8;
// Lines laid out off screen (the caret's target before the view scrolls there) are dropped at the next
// scroll; this only bounds the list should many arrive in between.
constexpr std::size_t kMaxEntries = 1024;

std::unique_ptr<QTextLayout> laidOut(const QString& text, const QFont& font, const QTextOption& option) {
  auto layout = std::make_unique<QTextLayout>(text, font);
  layout->setTextOption(option);
  layout->setCacheEnabled(true);
  layout->beginLayout();
  QTextLine row = layout->createLine();
  row.setLineWidth(kNoWrapWidth);
  row.setPosition(QPointF(0, 0));
  layout->endLayout();
  return layout;
}
}  // namespace

NcTextViewLines::NcTextViewLines() { option.setWrapMode(QTextOption::NoWrap); }

NcTextViewLines::~NcTextViewLines() = default;

void NcTextViewLines::setFont(const QFont& newFont) {
  font = newFont;
  option.setTabStopDistance(kTabStopSpaces * QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')));
  clear();
}

void NcTextViewLines::clear() { entries.clear(); }

const QTextLayout& NcTextViewLines::of(const TextLineSource* source, int line) {
  const auto known =
      std::find_if(entries.begin(), entries.end(), [line](const Entry& e) { return e.line == line; });
  if (known != entries.end()) return *known->layout;
  if (entries.size() >= kMaxEntries) entries.clear();
  const bool inText = source && line >= 1 && line <= source->lineCount();
  entries.push_back({line, laidOut(inText ? source->lineText(line) : QString(), font, option)});
  return *entries.back().layout;
}

void NcTextViewLines::keepOnly(int first, int last) {
  std::erase_if(entries, [first, last](const Entry& e) { return e.line < first || e.line > last; });
}
