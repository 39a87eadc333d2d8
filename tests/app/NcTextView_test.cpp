// The Check-mode text view on its own: caret keys and clicks, the arrow-step signal, selection and copy, one
// red line, grey lines, find highlights, sideways scrolling, and reading only the lines on screen.
#include "app/NcTextView.hpp"

#include <QClipboard>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <vector>

namespace {
// Lines from a list; counts the lines read.
class VectorSource : public TextLineSource {
 public:
  explicit VectorSource(std::vector<QString> texts, int longest = 0) : texts(std::move(texts)), longest(longest) {}
  int lineCount() const override { return int(texts.size()); }
  QString lineText(int line) const override {
    ++reads;
    return texts.at(line - 1);
  }
  int longestLineLength() const override { return longest; }
  bool lineExecuted(int line) const override { return line != notExecuted; }

  std::vector<QString> texts;
  int longest;
  int notExecuted = 0;
  mutable int reads = 0;
};

// A million-line program made up on demand; counts the lines read.
class GeneratedSource : public TextLineSource {
 public:
  int lineCount() const override { return 1'000'000; }
  QString lineText(int line) const override {
    ++reads;
    return QStringLiteral("N%1 G01 X%2 Y%3 F300").arg(line).arg(line % 97).arg(line % 89);
  }
  mutable int reads = 0;
};

const std::vector<QString> kProgram = {
    "G90 G00 X0 Y0",             // 1
    "G01 X12.5 Y0 F300",         // 2
    "",                          // 3
    "(工具 φ10 エンドミル 𠀋)",  // 4: the last kanji lies outside the BMP, a surrogate pair
    "M30",                       // 5
};

using Signals = QList<QPair<int, bool>>;

Signals signalsOf(const QSignalSpy& spy) {
  Signals got;
  for (const QList<QVariant>& call : spy) got.append({call.at(0).toInt(), call.at(1).toBool()});
  return got;
}

// A shown view of `source`, 400 × 300 pixels.
struct ShownView {
  explicit ShownView(const TextLineSource& source) {
    view.resize(400, 300);
    view.setSource(&source);
    view.show();
    view.setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
  }
  NcTextView view;
};

enum class Ink { None, Red, Black, Grey };

// The strongest ink in the text part of `line`'s row: red beats black beats grey; the caret's blink is off.
Ink inkOf(NcTextView& view, int line) {
  const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRect row = view.lineRect(line).intersected(image.rect()).adjusted(view.gutterWidth(), 0, 0, 0);
  Ink ink = Ink::None;
  for (int y = row.top(); y <= row.bottom(); ++y) {
    for (int x = row.left(); x <= row.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 90 && c.blue() < 90) return Ink::Red;
      if (c.red() < 90 && c.green() < 90 && c.blue() < 90) ink = Ink::Black;
      const int grey = qGray(NcTextView::kNotInterpretedRgb);
      if (ink == Ink::None && std::abs(c.red() - grey) < 20 && c.red() == c.green() && c.green() == c.blue())
        ink = Ink::Grey;
    }
  }
  return ink;
}

int pixelsOf(NcTextView& view, int line, QRgb colour) {
  const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRect row = view.lineRect(line).intersected(image.rect());
  int count = 0;
  for (int y = row.top(); y <= row.bottom(); ++y)
    for (int x = row.left(); x <= row.right(); ++x) count += image.pixel(x, y) == colour;
  return count;
}
}  // namespace

class NcTextViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QApplication::setCursorFlashTime(0); }  // no blinking: the caret is either drawn or not

  void keysMoveTheCaretAndReportArrowSteps() {
    struct Case {
      const char* name;
      TextPosition from;
      QList<QKeyCombination> keys;
      TextPosition to;
      Signals emitted;
    };
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Case cases[] = {
        {"down", {1, 0}, {Qt::Key_Down}, {2, 0}, {{2, true}}},
        {"up", {2, 3}, {Qt::Key_Up}, {1, 3}, {{1, true}}},
        {"shift+down steps too", {1, 0}, {shift | Qt::Key_Down}, {2, 0}, {{2, true}}},
        {"keypad down", {1, 0}, {Qt::KeypadModifier | Qt::Key_Down}, {2, 0}, {{2, true}}},
        {"up on line 1", {1, 2}, {Qt::Key_Up}, {1, 2}, {}},
        {"down on the last line", {5, 0}, {Qt::Key_Down}, {5, 0}, {}},
        {"two downs, two steps", {1, 0}, {Qt::Key_Down, Qt::Key_Down}, {3, 0}, {{2, true}, {3, true}}},
        {"right past the end", {1, 13}, {Qt::Key_Right}, {2, 0}, {{2, false}}},
        {"left past the start", {2, 0}, {Qt::Key_Left}, {1, 13}, {{1, false}}},
        {"end, home", {2, 4}, {Qt::Key_End}, {2, 17}, {}},
        {"home", {2, 4}, {Qt::Key_Home}, {2, 0}, {}},
        {"ctrl+end", {1, 0}, {Qt::ControlModifier | Qt::Key_End}, {5, 3}, {{5, false}}},
        {"ctrl+home", {5, 2}, {Qt::ControlModifier | Qt::Key_Home}, {1, 0}, {{1, false}}},
        {"page down stops at the last line", {1, 0}, {Qt::Key_PageDown}, {5, 0}, {{5, false}}},
        {"page up stops at line 1", {4, 0}, {Qt::Key_PageUp}, {1, 0}, {{1, false}}},
        {"ctrl+down scrolls, the caret stays", {2, 0}, {Qt::ControlModifier | Qt::Key_Down}, {2, 0}, {}},
        {"the surrogate pair is one step", {4, 14}, {Qt::Key_Right}, {4, 16}, {}},
        {"and back", {4, 16}, {Qt::Key_Left}, {4, 14}, {}},
    };
    VectorSource source(kProgram);
    ShownView shown(source);
    NcTextView& view = shown.view;
    for (const Case& c : cases) {
      view.setCaretPosition(c.from);
      QSignalSpy spy(&view, &NcTextView::caretLineChanged);
      for (const QKeyCombination key : c.keys) QTest::keyClick(&view, key.key(), key.keyboardModifiers());
      QVERIFY2(view.caretPosition() == c.to, c.name);
      QVERIFY2(signalsOf(spy) == c.emitted, c.name);
    }
  }

  void upAndDownKeepTheCaretsColumnAcrossShortLines() {
    VectorSource source({"X1234567", "", "X7654321"});
    ShownView shown(source);
    shown.view.setCaretPosition({1, 5});
    QTest::keyClick(&shown.view, Qt::Key_Down);
    QCOMPARE(shown.view.caretPosition(), (TextPosition{2, 0}));
    QTest::keyClick(&shown.view, Qt::Key_Down);
    QCOMPARE(shown.view.caretPosition(), (TextPosition{3, 5}));
  }

  void clicksPlaceTheCaretAndShiftClickSelects() {
    VectorSource source(kProgram);
    ShownView shown(source);
    NcTextView& view = shown.view;
    QSignalSpy spy(&view, &NcTextView::caretLineChanged);
    const auto rowOf = [&view](int line) { return view.lineRect(line).center().y(); };

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(view.width() - 30, rowOf(2)));
    QCOMPARE(view.caretPosition(), (TextPosition{2, 17}));  // right of the text: its end
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(2, rowOf(5)));
    QCOMPARE(view.caretPosition(), (TextPosition{5, 0}));  // the gutter: the line's start
    QCOMPARE(signalsOf(spy), (Signals{{2, false}, {5, false}}));
    QVERIFY(!view.hasSelection());

    const QPoint inLine2(view.gutterWidth() + 4 + int(QFontMetricsF(view.font()).horizontalAdvance("G01 X")),
                         rowOf(2));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, inLine2);
    QCOMPARE(view.caretPosition(), (TextPosition{2, 5}));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(2, rowOf(4)));
    QCOMPARE(view.selectedText(), QString("12.5 Y0 F300\n\n"));
    QCOMPARE(view.caretLine(), 4);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(view.width() - 30, view.height() - 5));
    QCOMPARE(view.caretLine(), 5);  // below the text: the last line

    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, inLine2);
    QCOMPARE(view.selectedText(), QString("X12.5"));

    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(2, rowOf(1)));
    QMouseEvent drag(QEvent::MouseMove, inLine2, view.viewport()->mapToGlobal(inLine2), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drag);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, inLine2);
    QCOMPARE(view.selectedText(), QString("G90 G00 X0 Y0\nG01 X"));
  }

  void selectionIsCopied() {
    VectorSource source(kProgram);
    ShownView shown(source);
    NcTextView& view = shown.view;
    view.setCaretPosition({2, 4});
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(view.selectedText(), QString("X12.5 Y0 F300\n\n(工具 φ10 エンドミル 𠀋)"));
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), view.selectedText());

    QTest::keyClick(&view, Qt::Key_Left);  // a plain move drops the selection
    QVERIFY(!view.hasSelection());
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(view.selectedText(), QStringList(kProgram.begin(), kProgram.end()).join('\n'));
    QCOMPARE(view.caretPosition(), (TextPosition{5, 3}));
  }

  void aMillionLinesAreReadOnlyWhereShown() {
    GeneratedSource source;
    ShownView shown(source);
    NcTextView& view = shown.view;
    const int rows = view.viewport()->height() / view.rowHeight();
    QSignalSpy spy(&view, &NcTextView::caretLineChanged);
    const auto readsOf = [&source](const auto& action) {
      source.reads = 0;
      action();
      return source.reads;
    };

    QVERIFY(readsOf([&] { QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier); }) <= rows + 3);
    QCOMPARE(view.caretLine(), 1'000'000);
    QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    QCOMPARE(view.firstVisibleLine(), 1'000'000 - rows + 1);
    QVERIFY(readsOf([&] { QTest::keyClick(&view, Qt::Key_PageUp); }) <= rows + 3);
    QCOMPARE(view.caretLine(), 1'000'000 - rows);
    QVERIFY(readsOf([&] { view.viewport()->grab(); }) <= rows + 1);

    view.setCaretLine(500'000);
    QVERIFY(view.firstVisibleLine() <= 500'000 && 500'000 < view.firstVisibleLine() + rows);
    spy.clear();
    const int stepReads = readsOf([&] {
      for (int i = 0; i < 100; ++i) QTest::keyClick(&view, Qt::Key_Down);
    });
    QVERIFY2(stepReads <= 100, qPrintable(QString::number(stepReads)));  // one new line per step at most
    QCOMPARE(spy.size(), 100);
    QCOMPARE(signalsOf(spy).last(), (QPair<int, bool>(500'100, true)));
  }

  void exactlyOneLineIsRed() {
    VectorSource source(kProgram);
    ShownView shown(source);
    NcTextView& view = shown.view;
    const auto redLines = [&view] {
      QList<int> red;
      for (int line = 1; line <= view.lineCount(); ++line)
        if (inkOf(view, line) == Ink::Red) red.append(line);
      return red;
    };
    QCOMPARE(redLines(), QList<int>{1});
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(redLines(), QList<int>{2});
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.lineRect(4).center());
    QCOMPARE(redLines(), QList<int>{4});
    view.setInterpretedLineCount(2);  // red even where not interpreted
    QCOMPARE(redLines(), QList<int>{4});
    view.setCaretLine(5);
    QCOMPARE(redLines(), QList<int>{5});
    QCOMPARE(inkOf(view, 2), Ink::Black);
  }

  void theScreenAfterStepsMatchesAFreshPaint() {
    // Steps repaint a row or two and scrolls move pixels: what is on screen must still equal a full paint.
    std::vector<QString> texts;
    for (int line = 1; line <= 300; ++line)
      texts.push_back(QStringLiteral("N%1 G01 (工具 φ10) ").arg(line) + QString(line % 7 * 30, QLatin1Char('Y')));
    VectorSource source(texts);
    ShownView shown(source);
    NcTextView& view = shown.view;
    const QList<QKeyCombination> keys = {Qt::Key_Down, Qt::Key_End,      Qt::ShiftModifier | Qt::Key_Up,
                                         Qt::Key_Home, Qt::Key_PageDown, Qt::Key_Right};
    for (int round = 0; round < 40; ++round) {
      const QKeyCombination key = keys[round % keys.size()];
      QTest::keyClick(&view, key.key(), key.keyboardModifiers());
      QApplication::processEvents();
    }
    const auto rgb = [](const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); };
    const QImage screen = rgb(view.screen()->grabWindow(view.winId()).toImage());
    QVERIFY(view.firstVisibleLine() > 1);
    QCOMPARE(screen, rgb(view.grab().toImage()));
  }

  void linesAfterTheInterpretedOnesAreGrey() {
    VectorSource source(kProgram);
    ShownView shown(source);
    NcTextView& view = shown.view;
    view.setInterpretedLineCount(2);
    const QList<Ink> greyed = {Ink::Red, Ink::Black, Ink::None, Ink::Grey, Ink::Grey};
    for (int line = 1; line <= 5; ++line) QCOMPARE(inkOf(view, line), greyed[line - 1]);
    view.setInterpretedLineCount(std::nullopt);
    for (int line = 4; line <= 5; ++line) QCOMPARE(inkOf(view, line), Ink::Black);
    // A line of an evaluated program that never ran is grey too, unless the caret is on it.
    source.notExecuted = 4;
    view.viewport()->update();
    QCOMPARE(inkOf(view, 4), Ink::Grey);
    view.setCaretLine(4);
    QCOMPARE(inkOf(view, 4), Ink::Red);
  }

  void findMatchesAreHighlightedInAnyCase() {
    VectorSource source(kProgram);
    ShownView shown(source);
    NcTextView& view = shown.view;
    const auto highlightedLines = [&view](const QString& text) {
      view.setHighlightText(text);
      QList<int> lines;
      for (int line = 1; line <= view.lineCount(); ++line)
        if (pixelsOf(view, line, NcTextView::kMatchRgb) > 0) lines.append(line);
      return lines;
    };
    QCOMPARE(highlightedLines("g0"), (QList<int>{1, 2}));
    QCOMPARE(highlightedLines("x12.5"), QList<int>{2});
    QCOMPARE(highlightedLines("エンドミル"), QList<int>{4});
    QCOMPARE(highlightedLines(""), QList<int>{});
    QCOMPARE(highlightedLines("G02"), QList<int>{});
  }

  void longLinesScrollSideways() {
    std::vector<QString> texts(2000, QStringLiteral("G01 X1"));
    texts[999] = QStringLiteral("(") + QString(400, QLatin1Char('W')) + QStringLiteral(")");
    for (const int hint : {0, 402}) {
      VectorSource source(texts, hint);
      ShownView shown(source);
      NcTextView& view = shown.view;
      QScrollBar* sideways = view.horizontalScrollBar();
      // Before the long line has been on screen only the hint gives a range.
      QCOMPARE(sideways->maximum() > 0, hint > 0);
      view.setCaretLine(1000);
      QVERIFY(sideways->maximum() > 0);
      QCOMPARE(sideways->value(), 0);
      QTest::keyClick(&view, Qt::Key_End);
      QVERIFY(sideways->value() >= sideways->maximum() - 1);  // the line's end in view
      QTest::keyClick(&view, Qt::Key_Home);
      QCOMPARE(sideways->value(), 0);
    }
  }

  void wheelScrollsAndTheCaretStays() {
    GeneratedSource source;
    ShownView shown(source);
    NcTextView& view = shown.view;
    QSignalSpy spy(&view, &NcTextView::caretLineChanged);
    const QPointF at = view.viewport()->rect().center();
    QWheelEvent notch(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &notch);
    QCOMPARE(view.firstVisibleLine(), 1 + QApplication::wheelScrollLines());
    QCOMPARE(view.caretLine(), 1);
    QCOMPARE(spy.size(), 0);
  }

  void geometryFollowsTheFont() {
    VectorSource source(kProgram);
    ShownView shown(source);
    NcTextView& view = shown.view;
    for (const int points : {9, 20}) {
      QFont font = view.font();
      font.setPointSize(points);
      view.setFont(font);
      QCOMPARE(view.rowHeight(), int(std::ceil(QFontMetricsF(font).lineSpacing())));
      for (int line = 1; line <= 5; ++line) {
        QCOMPARE(view.lineRect(line).top(), (line - 1) * view.rowHeight());
        QCOMPARE(view.positionAt(view.lineRect(line).center()).line, line);
      }
    }
  }

  void reloadedLinesKeepTheCaretInTheText() {
    VectorSource source(kProgram);
    ShownView shown(source);
    shown.view.setCaretPosition({5, 2});
    QSignalSpy spy(&shown.view, &NcTextView::caretLineChanged);
    source.texts.resize(3);
    shown.view.reloadLines();
    QCOMPARE(shown.view.caretPosition(), (TextPosition{3, 0}));
    QCOMPARE(signalsOf(spy), (Signals{{3, false}}));
    source.texts.clear();
    shown.view.reloadLines();
    QCOMPARE(shown.view.caretPosition(), (TextPosition{1, 0}));
    QCOMPARE(shown.view.selectedText(), QString());
  }
};

QTEST_MAIN(NcTextViewTest)
#include "NcTextView_test.moc"
