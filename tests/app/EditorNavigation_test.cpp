// The window's navigation: keys, clicks and jump buttons move the current block; the red line, the top
// panel and the drawing follow it.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextBlock>
#include <QToolButton>

#include "WindowFixture.hpp"

namespace {
const QColor kGreen(0, 128, 0);
const QColor kWhiteColour(255, 255, 255);

int markedLine(const TVelmora_Form1& w) {
  const auto marks = w.reditNcFile->extraSelections();
  if (marks.size() != 1 || marks[0].format.foreground().color() != QColor(Qt::red)) return -1;
  return marks[0].cursor.blockNumber() + 1;
}

kPoint screenOf(const TVelmora_Form1& w, double x, double y) { return w.canvas->toScreen(kPoint(x, y)); }
}  // namespace

class EditorNavigationTest : public QObject {
  Q_OBJECT

 private slots:
  void editorLineOperations() {
    QPlainTextEdit editor;
    QCOMPARE(lineCount(&editor), 0);
    selectLine(&editor, 1);
    QCOMPARE(editor.textCursor().hasSelection(), false);
    editor.setPlainText("G01X1.\nG01X2.\n");
    QCOMPARE(lineCount(&editor), 2);
    QCOMPARE(lineAt(&editor, 1), QString("G01X2."));
    QCOMPARE(lineAt(&editor, 2), QString());
    caretToLine(&editor, 2);
    QCOMPARE(caretLine(&editor), 2);
    selectLine(&editor, 1);
    QCOMPARE(editor.textCursor().selectedText(), QString("G01X1."));
    colorLine(&editor, Qt::red, 2);
    QCOMPARE(editor.extraSelections().size(), 1);
    QCOMPARE(editor.extraSelections()[0].cursor.selectedText(), QString("G01X2."));
    QVERIFY(!editor.document()->isModified());

    fillEditor(&editor, "A\r\nB\rC\nD", nullptr);
    QCOMPARE(lineCount(&editor), 4);
    QCOMPARE(lineAt(&editor, 2), QString("C"));
    QVERIFY(!editor.document()->isUndoAvailable());
  }

  void keysMoveTheBlockAndThePanelFollows() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    QCOMPARE(w.curLine, 1);
    QCOMPARE(markedLine(w), 1);

    pressInEditor(w, Qt::Key_Down, 2);
    QCOMPARE(w.curLine, 3);
    QCOMPARE(w.prevLine, 2);
    QCOMPARE(markedLine(w), 3);
    QCOMPARE(w.leditX->text(), QString("X12.500"));
    QCOMPARE(w.leditY->text(), QString("Y0.000"));
    QCOMPARE(w.pnlGCode->text(), QString("G01"));
    QCOMPARE(w.pnlG90->text(), QString("G90"));
    QCOMPARE(w.pnlG40->text(), QString("G41 D05 "));
    QCOMPARE(w.pnlG40->palette().color(QPalette::Window), kGreen);
    QCOMPARE(w.leditCX->text(), QString());

    pressInEditor(w, Qt::Key_Down);
    QCOMPARE(w.pnlGCode->text(), QString("G02"));
    QCOMPARE(w.pnlGCode->palette().color(QPalette::Window), QColor(255, 239, 213));
    QCOMPARE(w.leditCX->text(), QString("12.5000"));
    QCOMPARE(w.leditCY->text(), QString("10.0000"));
    QCOMPARE(w.leditR->text(), QString("10.0000"));
    QVERIFY(w.leditR->palette().color(QPalette::Base) != QColor(Qt::yellow));

    pressInEditor(w, Qt::Key_Down, 2);  // onto the G03 whose radius misses its end point
    QCOMPARE(w.curLine, 6);
    QCOMPARE(w.pnlGCode->text(), QString("G03"));
    for (QLineEdit* field : {w.leditCX, w.leditCY, w.leditR})
      QCOMPARE(field->palette().color(QPalette::Base), QColor(Qt::yellow));
    pressInEditor(w, Qt::Key_Down);
    QVERIFY(w.leditR->palette().color(QPalette::Base) != QColor(Qt::yellow));

    pressInEditor(w, Qt::Key_Up, 3);
    QCOMPARE(w.curLine, 4);
    QCOMPARE(markedLine(w), 4);
    pressInEditor(w, Qt::Key_Up, 5);
    QCOMPARE(w.curLine, 1);
    // Navigating never edits: the document has nothing to undo.
    QVERIFY(!w.reditNcFile->document()->isUndoAvailable());
  }

  void stepsDrawAndEraseTheMovesPassed() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    const kPoint onBlock5 = screenOf(w, 22.5, 20);  // middle of the compensated G01 Y30
    QVERIFY(!hasColourNear(w, onBlock5, kGreen));
    pressInEditor(w, Qt::Key_Down, 4);
    QCOMPARE(w.curLine, 5);
    QVERIFY(hasColourNear(w, onBlock5, kGreen));
    pressInEditor(w, Qt::Key_Up);
    QVERIFY(!hasColourNear(w, onBlock5, kGreen));
    QVERIFY(hasColourNear(w, onBlock5, kWhiteColour, 0));
    // The axes survive erasing.
    const kPoint axis = screenOf(w, 0, 25);
    QVERIFY(hasColourNear(w, axis, QColor(0, 0, 0), 1));
  }

  void otherCaretMovesRedrawUpToTheCaret() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    pressInEditor(w, Qt::Key_End, 1, Qt::ControlModifier);
    QCOMPARE(w.curLine, w.reditNcFile->document()->blockCount());  // the empty line after the last break
    QCOMPARE(markedLine(w), w.curLine);
    QVERIFY(hasColourNear(w, screenOf(w, 22.5, 20), kGreen));
    pressInEditor(w, Qt::Key_Home, 1, Qt::ControlModifier);
    QCOMPARE(w.curLine, 1);
    QVERIFY(!hasColourNear(w, screenOf(w, 22.5, 20), kGreen));

    // A click on line 5 makes it current.
    const QTextBlock line5 = w.reditNcFile->document()->findBlockByNumber(4);
    QTextCursor at(line5);
    const QPoint click = w.reditNcFile->cursorRect(at).center();
    QTest::mouseClick(w.reditNcFile->viewport(), Qt::LeftButton, {}, click);
    QCOMPARE(w.curLine, 5);
    QCOMPARE(markedLine(w), 5);
    QVERIFY(hasColourNear(w, screenOf(w, 22.5, 20), kGreen));

    w.bbtnDown->click();
    QCOMPARE(w.curLine, 10);
    w.bbtnUp->click();
    QCOMPARE(w.curLine, 1);
    QCOMPARE(caretLine(w.reditNcFile), 1);
  }

  void wrappedLinesKeepTheirBlockNumber() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    const QString longLine = "G01 X1. (" + QString(400, 'A') + ")";
    w.dropNcFile(f.writeLines("wrap.nc", {longLine, "G01 X2.", "G01 X3."}));
    QCOMPARE(w.curLine, 1);
    int presses = 0;
    while (w.curLine == 1 && presses++ < 50) pressInEditor(w, Qt::Key_Down);
    QVERIFY(presses > 1);  // the first presses move inside the wrapped line
    QCOMPARE(w.curLine, 2);
    QCOMPARE(w.leditX->text(), QString("X2.000"));
  }

  void nothingHappensBeforeALoad() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    w.bbtnDownClick();
    w.Image1MouseDown(QPoint(10, 10));
    QCOMPARE(w.curLine, 0);
    QVERIFY(!w.reditNcFile->isEnabled());
  }
};

QTEST_MAIN(EditorNavigationTest)
#include "EditorNavigation_test.moc"
