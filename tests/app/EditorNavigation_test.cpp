// The window's navigation: keys, clicks, jump buttons and the problems list move the current block; the red
// line, the top panel (its arc fields yellow for a faulty arc only) and the drawing follow it.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

#include "WindowFixture.hpp"
#include "app/FindBar.hpp"
#include "app/ProblemList.hpp"

namespace {
const QColor kGreen(0, 128, 0);

}  // namespace

class EditorNavigationTest : public QObject {
  Q_OBJECT

 private slots:
  void keysMoveTheBlockAndThePanelFollows() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    QCOMPARE(w.document().currentLine(), 1);
    QCOMPARE(redLines(w), QList<int>{1});

    pressInEditor(w, Qt::Key_Down, 2);
    QCOMPARE(w.document().currentLine(), 3);
    QCOMPARE(w.document().previousLine(), 2);
    QCOMPARE(redLines(w), QList<int>{3});
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
    QVERIFY(!arcFieldsYellow(w));

    pressInEditor(w, Qt::Key_Down, 2);  // onto the G03 whose radius misses its end point
    QCOMPARE(w.document().currentLine(), 6);
    QCOMPARE(w.pnlGCode->text(), QString("G03"));
    QVERIFY(arcFieldsYellow(w));
    w.btnScaleClick();  // a redraw keeps the current block's mark
    QVERIFY(arcFieldsYellow(w));
    pressInEditor(w, Qt::Key_Down);
    QVERIFY(!arcFieldsYellow(w));

    pressInEditor(w, Qt::Key_Up, 3);
    QCOMPARE(w.document().currentLine(), 4);
    QCOMPARE(redLines(w), QList<int>{4});
    pressInEditor(w, Qt::Key_Up, 5);
    QCOMPARE(w.document().currentLine(), 1);
    QCOMPARE(redLines(w), QList<int>{1});

    // Yellow belongs to the current block alone: not to the last line, drawn after the faulty arc, nor to
    // line 1 of a fresh reading.
    pressInEditor(w, Qt::Key_End, 1, Qt::ControlModifier);
    QVERIFY(w.document().currentLine() > 6);
    QCOMPARE(w.leditCX->text(), QString());
    QVERIFY(!arcFieldsYellow(w));
    w.dropNcFile(f.path("sample.nc"));
    QCOMPARE(w.document().currentLine(), 1);
    QCOMPARE(w.pnlGCode->text(), QString("G00"));
    QVERIFY(!arcFieldsYellow(w));
  }

  void panelShowsCyclesAndTheArcPlanesAxes() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWith("planes.nc", kPlanesAndCycleProgram);
    struct Row {
      int line;
      const char* code;
      const char* labels[2];
      const char* centre[2];
    };
    const Row rows[] = {
        {2, "G02", {"CX", "CZ"}, {"5.0000", "10.0000"}},
        {3, "G00", {"CX", "CY"}, {"", ""}},
        {4, "G03", {"CY", "CZ"}, {"5.0000", "7.0000"}},
        {6, "G81", {"CX", "CY"}, {"", ""}},
        {7, "G81", {"CX", "CY"}, {"", ""}},
        {8, "G00", {"CX", "CY"}, {"", ""}},
    };
    for (const Row& row : rows) {
      pressInEditor(w, Qt::Key_Down, row.line - w.document().currentLine());
      QCOMPARE(w.document().currentLine(), row.line);
      QCOMPARE(w.pnlGCode->text(), QString(row.code));
      QCOMPARE(w.leditCXLabel->text(), QString(row.labels[0]));
      QCOMPARE(w.leditCYLabel->text(), QString(row.labels[1]));
      QCOMPARE(w.leditCX->text(), QString(row.centre[0]));
      QCOMPARE(w.leditCY->text(), QString(row.centre[1]));
      QVERIFY(!arcFieldsYellow(w));
    }
    // The hole of line 6 (radius 3 about (30, 20)) appears with its step and goes with the step back. (Its
    // left, where no move passes: at line 6 the highlight of its move lies over the rest.)
    const kPoint rim = screenOf(w, 27, 20);
    const QColor purple(128, 0, 128);
    QVERIFY(hasColourNear(w, rim, purple, 1));
    pressInEditor(w, Qt::Key_Up, 2);
    QCOMPARE(w.document().currentLine(), 6);
    QVERIFY(hasColourNear(w, rim, purple, 1));
    pressInEditor(w, Qt::Key_Up);
    QVERIFY(!hasColourNear(w, rim, purple, 1));
  }

  void problemRowsTakeTheCaretToTheirLine() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    QVERIFY(w.gridProblems->isVisible());
    // G41 D05 without a known radius (line 3), then the faulty arc (line 6).
    QCOMPARE(w.problemModel->rowCount(), 2);
    QCOMPARE(w.problemModel->index(1, ProblemListModel::columnLine).data().toString(), QString("6"));
    QCOMPARE(w.problemModel->index(1, ProblemListModel::columnSeverity).data().toString(), QString("error"));
    QCOMPARE(w.problemModel->index(1, ProblemListModel::columnRule).data().toString(),
             QString("arc-radius-mismatch"));
    // The message, which its column may cut, is whole in the tooltip.
    const QModelIndex message = w.problemModel->index(1, ProblemListModel::columnMessage);
    QVERIFY(message.data().toString().startsWith("arc radius"));
    QCOMPARE(message.data(Qt::ToolTipRole).toString(), message.data().toString());
    QCOMPARE(w.pnlProblemCount->text(), QString("1 error, 1 warning"));

    // Enter on the row: line 6 is current, red, in the panel, and drawn up to.
    w.gridProblems->setFocus();
    w.gridProblems->setCurrentIndex(w.problemModel->index(1, 0));
    QTest::keyClick(w.gridProblems, Qt::Key_Return);
    QCOMPARE(w.document().currentLine(), 6);
    QCOMPARE(w.reditNcFile->caretLine(), 6);
    QCOMPARE(redLines(w), QList<int>{6});
    QVERIFY(arcFieldsYellow(w));
    QVERIFY(hasColourNear(w, screenOf(w, 22.5, 20), kGreen));
    QVERIFY(w.reditNcFile->hasFocus());

    // A double-click does the same from anywhere.
    w.bbtnUp->click();
    QCOMPARE(w.document().currentLine(), 1);
    const QRect cell = w.gridProblems->visualRect(w.problemModel->index(1, ProblemListModel::columnMessage));
    // As a window system delivers it: a click, then the second press as a double-click.
    QTest::mouseClick(w.gridProblems->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(w.document().currentLine(), 1);
    QTest::mouseDClick(w.gridProblems->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(w.document().currentLine(), 6);

    // Many problems: every one is counted and every row can be reached; a problem of the whole program
    // (line 0) leaves the caret where it is.
    std::vector<NcProblem> many;
    for (int line = 1; line <= 5000; ++line)
      many.push_back({line % 10 + 1, 0, line % 2 ? Severity::warning : Severity::error, "test", "message"});
    many.push_back({0, 0, Severity::warning, "nothing-to-draw", "no movement"});
    w.showProblems(std::move(many));
    QCOMPARE(w.pnlProblemCount->text(), QString("2500 errors, 2501 warnings"));
    while (w.problemModel->canFetchMore({})) w.problemModel->fetchMore({});
    QCOMPARE(w.problemModel->rowCount(), 5001);
    w.gridProblemsActivated(4998);  // the problem made with line 4999 % 10 + 1
    QCOMPARE(w.document().currentLine(), 10);
    w.gridProblemsActivated(5000);
    QCOMPARE(w.document().currentLine(), 10);

    // A problem silenced by a comment is counted, not listed.
    w.dropNcFile(
        f.writeLines("silenced.nc", {"G00 X0 Y0", "G01 X10 (velmora: disable=feed-undefined)", "G01 X20 F0"}));
    QCOMPARE(w.problemModel->rowCount(), 1);
    QCOMPARE(w.problemModel->lineAt(0), 3);
    QCOMPARE(w.pnlProblemCount->text(), QString("1 error, 0 warnings, 1 suppressed"));

    // A program without problems hides the list; a folder (refused, no reading) leaves the counts.
    w.dropNcFile(f.writeLines("clean.nc", {"G00 X0 Y0", "G01 X10 F100"}));
    QVERIFY(w.gridProblems->isHidden());
    QCOMPARE(w.pnlProblemCount->text(), QString("0 errors, 0 warnings"));
    w.dropNcFile(f.dir.path());
    QCOMPARE(w.pnlProblemCount->text(), QString("0 errors, 0 warnings"));
  }

  void stepsDrawAndEraseTheMovesPassed() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    const kPoint onBlock5 = screenOf(w, 22.5, 20);  // middle of the compensated G01 Y30
    QVERIFY(!hasColourNear(w, onBlock5, kGreen));
    pressInEditor(w, Qt::Key_Down, 4);
    QCOMPARE(w.document().currentLine(), 5);
    QVERIFY(hasColourNear(w, onBlock5, kOrange));  // the current move, highlighted
    pressInEditor(w, Qt::Key_Down);
    QVERIFY(hasColourNear(w, onBlock5, kGreen));
    QVERIFY(!hasColourNear(w, onBlock5, kOrange));
    // Erased back to the preview under it.
    pressInEditor(w, Qt::Key_Up, 2);
    QVERIFY(!hasColourNear(w, onBlock5, kGreen));
    QVERIFY(hasColourNear(w, onBlock5, kPreviewGrey, 0));
    // The axes survive erasing (below the program, where no move covers them).
    const kPoint axis = screenOf(w, 0, -5);
    QVERIFY(hasColourNear(w, axis, QColor(0, 0, 0), 1));
  }

  void otherCaretMovesRedrawUpToTheCaret() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    pressInEditor(w, Qt::Key_End, 1, Qt::ControlModifier);
    QCOMPARE(w.document().currentLine(), 10);  // a break at the end starts no further line
    QCOMPARE(redLines(w), QList<int>{10});
    QCOMPARE(w.pnlGCode->text(), QString("G00"));
    QVERIFY(hasColourNear(w, screenOf(w, 22.5, 20), kGreen));
    pressInEditor(w, Qt::Key_Home, 1, Qt::ControlModifier);
    QCOMPARE(w.document().currentLine(), 1);
    QVERIFY(!hasColourNear(w, screenOf(w, 22.5, 20), kGreen));

    // A click on line 5 makes it current.
    QTest::mouseClick(w.reditNcFile->viewport(), Qt::LeftButton, {}, w.reditNcFile->lineRect(5).center());
    QCOMPARE(w.document().currentLine(), 5);
    QCOMPARE(redLines(w), QList<int>{5});
    QVERIFY(hasColourNear(w, screenOf(w, 22.5, 20), kOrange));
    // Line 7 is still compensated, though the redraw ends with line 8, which cancels it.
    QTest::mouseClick(w.reditNcFile->viewport(), Qt::LeftButton, {}, w.reditNcFile->lineRect(7).center());
    QCOMPARE(w.document().currentLine(), 7);
    QCOMPARE(w.pnlG40->text(), QString("G41 D05 "));

    w.bbtnDown->click();
    QCOMPARE(w.document().currentLine(), 10);
    QCOMPARE(redLines(w), QList<int>{10});
    w.bbtnUp->click();
    QCOMPARE(w.document().currentLine(), 1);
    QCOMPARE(w.reditNcFile->caretLine(), 1);
    QCOMPARE(redLines(w), QList<int>{1});
  }

  void longLinesKeepTheirBlockNumber() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    const QString longLine = "G01 X1. (" + QString(400, 'A') + ")";
    w.dropNcFile(f.writeLines("long.nc", {longLine, "G01 X2.", "G01 X3."}));
    QCOMPARE(w.document().currentLine(), 1);
    // Lines do not wrap: End goes sideways along line 1, Down goes to line 2.
    pressInEditor(w, Qt::Key_End);
    QCOMPARE(w.document().currentLine(), 1);
    pressInEditor(w, Qt::Key_Down);
    QCOMPARE(w.document().currentLine(), 2);
    QCOMPARE(w.leditX->text(), QString("X2.000"));
  }

  // Ctrl+F, F3, Shift+F3 and the bar's buttons find in any case and wrap; the found line becomes the current
  // one and is drawn; Ctrl+G goes to a line. In Edit mode the editor finds and goes.
  void findAndGoToLine() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    QTest::keyClick(w.reditNcFile, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(w.findBar->isVisible() && w.findBar->edit->hasFocus());
    QTest::keyClicks(w.findBar->edit, "g01");
    QCOMPARE(w.reditNcFile->highlightText(), QString("g01"));
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers mods;
      int line;
      const char* note;
    } steps[] = {
        {Qt::Key_Return, {}, 3, ""},
        {Qt::Key_F3, {}, 5, ""},
        {Qt::Key_F3, {}, 7, ""},
        {Qt::Key_F3, {}, 3, "wrapped"},
        {Qt::Key_F3, Qt::ShiftModifier, 7, "wrapped"},
        {Qt::Key_F3, Qt::ShiftModifier, 5, ""},
    };
    for (const auto& step : steps) {
      QTest::keyClick(w.findBar->edit, step.key, step.mods);
      QCOMPARE(w.document().currentLine(), step.line);
      QCOMPARE(w.reditNcFile->selectedText(), QString("G01"));
      QCOMPARE(w.findBar->note(), QString(step.note));
    }
    // The found lines were drawn afresh; the bar keeps the keyboard for the next Enter.
    QVERIFY(w.findBar->edit->hasFocus());
    QCOMPARE(redLines(w), QList<int>{5});
    QVERIFY(hasColourNear(w, screenOf(w, 22.5, 20), kOrange));  // the move of line 5, drawn as the current one
    w.findBar->previousButton->click();
    QCOMPARE(w.document().currentLine(), 3);
    w.findBar->edit->setText("zzz");
    w.findBar->nextButton->click();
    QCOMPARE(w.findBar->note(), QString("not found"));
    QCOMPARE(w.document().currentLine(), 3);
    QTest::keyClick(w.findBar->edit, Qt::Key_Escape);
    QVERIFY(w.findBar->isHidden());
    QCOMPARE(w.reditNcFile->highlightText(), QString());

    f.dialogs.nextLine = 8;
    QTest::keyClick(w.reditNcFile, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(w.document().currentLine(), 8);
    QCOMPARE(redLines(w), QList<int>{8});
    f.dialogs.nextLine.reset();
    w.goToLineClick();
    QCOMPARE(w.document().currentLine(), 8);

    w.rbtnEdit->click();
    w.findBar->edit->setText("X0 y");
    w.findNext();  // from line 8 on: round the end to line 2, the only match
    QCOMPARE(w.reditEdit->textCursor().blockNumber(), 1);
    QCOMPARE(w.reditEdit->textCursor().selectedText(), QString("X0 Y"));
    QCOMPARE(w.findBar->note(), QString("wrapped"));
    f.dialogs.nextLine = 6;
    w.goToLineClick();
    QCOMPARE(w.reditEdit->textCursor().blockNumber(), 5);
  }

  void f10FollowsTheExecutedBlocksIntoTheSubprogramsFile() {
    WindowFixture f;
    f.writeLines("O9010.nc",
                 {"%", "O9010 (SQUARE)", "G91 G01 X10 F300", "Y10", "X-10", "Y-10", "G90", "M99", "%"});
    TVelmora_Form1& w = f.openWith("main.nc", {"%", "O1000", "G90 G00 X0 Y0 Z5", "#1 = 0", "WHILE [#1 LT 3] DO1",
                                               "G00 X[#1 * 20] Y0", "M98 P9010", "#1 = #1 + 1", "END1",
                                               "IF [#1 LT 5] GOTO 20", "G00 X0 Y40", "N20 G00 Z50", "M30", "%"});
    QVERIFY(w.document().isEvaluated());
    // The branch jumped over is grey; the loop's statements ran and are not.
    QVERIFY(!w.reditNcFile->source()->lineExecuted(11));
    QVERIFY(w.reditNcFile->source()->lineExecuted(5));

    pressInEditor(w, Qt::Key_Down, 5);
    QCOMPARE(w.pnlExecution->text(), QString("main.nc  |  pass 1 of 3"));
    QTest::keyClick(w.reditNcFile, Qt::Key_F10);
    QCOMPARE(w.reditNcFile->source()->lineText(3), QString("G91 G01 X10 F300"));
    QCOMPARE(w.reditNcFile->caretLine(), 3);
    QCOMPARE(w.pnlExecution->text(), QString("O9010.nc  |  pass 1 of 3  |  in O9010, called from line 7"));
    QCOMPARE(redLines(w), QList<int>{3});
    QVERIFY(w.reditNcFile->source()->lineExecuted(2));  // the O line, entered by the call
    QVERIFY(!w.reditNcFile->source()->lineExecuted(1));
    pressInEditor(w, Qt::Key_F10, 5);  // through the subprogram, back to the loop's top
    QCOMPARE(w.reditNcFile->source()->lineText(6), QString("G00 X[#1 * 20] Y0"));
    QCOMPARE(w.pnlExecution->text(), QString("main.nc  |  pass 2 of 3"));
    QCOMPARE(w.leditX->text(), QString("X20.000"));
    QTest::keyClick(w.reditNcFile, Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(w.reditNcFile->caretLine(), 7);
    QCOMPARE(w.pnlExecution->text(), QString("O9010.nc  |  pass 1 of 3  |  in O9010, called from line 7"));

    // Double-clicking the second square's top edge takes that pass, in the file it came from.
    pressInEditor(w, Qt::Key_F10);
    const kPoint edge = screenOf(w, 25, 10);
    w.Image1DblClick(QPoint(static_cast<int>(edge.x), static_cast<int>(edge.y)));
    QCOMPARE(w.reditNcFile->caretLine(), 5);
    QCOMPARE(w.pnlExecution->text(), QString("O9010.nc  |  pass 2 of 3  |  in O9010, called from line 7"));

    // A problem, a find or a caret move on a line never run.
    QTest::keyClick(w.reditNcFile, Qt::Key_F10, Qt::ShiftModifier);
    while (w.document().shownFile() != 0) QTest::keyClick(w.reditNcFile, Qt::Key_F10);
    w.reditNcFile->setCaretLine(11);
    QCOMPARE(w.pnlExecution->text(), QString("main.nc  |  not executed"));
    w.reditNcFile->setCaretLine(1);
    QCOMPARE(w.pnlExecution->text(), QString("main.nc  |  pass 1 of 1"));

    // A problem of a called program's line: its row shows that file.
    f.writeLines("O9020.nc", {"O9020", "G90 G01 X10 Y0 F100", "G02 X30 Y0 R5", "M98 P9030", "M99"});
    f.writeLines("O9030.nc", {"O9030", "G01 X40 Y0", "M99"});
    w.dropNcFile(f.writeLines("arc.nc", {"G00 X0 Y0", "M98 P9020", "M30"}));
    QVERIFY(w.problemModel->rowCount() > 0);
    QVERIFY(w.problemModel->messageAt(0).find("O9020.nc: ") != std::string::npos);
    w.gridProblemsActivated(0);
    QCOMPARE(w.document().shownFile(), 1);
    QCOMPARE(w.reditNcFile->caretLine(), 3);
    QCOMPARE(w.pnlExecution->text(), QString("O9020.nc  |  pass 1 of 1  |  in O9020, called from line 2"));
    // A call from a subprogram names the file of its line.
    QTest::keyClick(w.reditNcFile, Qt::Key_F10);
    QCOMPARE(w.pnlExecution->text(),
             QString("O9030.nc  |  pass 1 of 1  |  in O9030, called from line 4 of O9020.nc"));
  }

  void nothingHappensBeforeALoad() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    w.bbtnDownClick();
    w.Image1MouseDown(QPoint(10, 10));
    QCOMPARE(w.document().currentLine(), 0);
    QVERIFY(!w.reditNcFile->isEnabled());
  }
};

QTEST_MAIN(EditorNavigationTest)
#include "EditorNavigation_test.moc"
