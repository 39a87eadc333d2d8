// Loading programs into the window: text and blocks, encodings, errors, and abort during a large load.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "WindowFixture.hpp"
#include "app/ProblemList.hpp"

namespace {
QByteArray largeProgram(int lines) {
  QByteArray text;
  text.reserve(lines * 24);
  for (int i = 0; i < lines; ++i)
    text += "G01 X" + QByteArray::number(i % 97) + ".5 Y" + QByteArray::number(i % 89) + ". F300\n";
  return text;
}
}  // namespace

class LoadingTest : public QObject {
  Q_OBJECT

 private slots:
  void loadFillsEditorAndStore() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    QCOMPARE(w.reditNcFile->lineCount(), 10);
    QCOMPARE(w.reditNcFile->caretLine(), 1);
    QCOMPARE(w.document().geometry().blockCount, 11);  // block 0 and ten lines
    QCOMPARE(w.document().lastRead().status, ReadResult::Status::Ok);
    QVERIFY(w.document().scale() > 0);
    QVERIFY(w.bbtnAbort->isHidden());
    QVERIFY(w.reditNcFile->isEnabled());
    QVERIFY(f.dialogs.messages.isEmpty());
    // The figures of the program: the extents reach over the arcs' tops (Y 20, Y 40) and down to Z50 from
    // the initial Z500; no tool is named.
    QVERIFY2(w.pnlFigures->text().startsWith("X -10.000…22.500  Y -10.000…40.000  Z 50.000…500.000  |  feed "),
             qPrintable(w.pnlFigures->text()));
    QVERIFY(w.pnlFigures->text().contains("|  time ≈ 0:00:"));
    QVERIFY(!w.pnlFigures->text().contains(" T"));
  }

  void shiftJisAndByteOrderMarks() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    // "(加工)" in Shift-JIS, then the same program as UTF-8 with a byte-order mark.
    w.dropNcFile(f.write("sjis.nc", QByteArray("G01 X1. (\x89\xc1\x8d\x48)\n")));
    QCOMPARE(w.reditNcFile->source()->lineText(1), QString("G01 X1. (加工)"));
    QCOMPARE(w.document().encoding(), TextEncoding::ShiftJis);
    w.dropNcFile(f.write("utf8.nc", QByteArray("\xef\xbb\xbfG01 X2. (加工)\n")));
    QCOMPARE(w.reditNcFile->source()->lineText(1), QString("G01 X2. (加工)"));
    QCOMPARE(w.document().encoding(), TextEncoding::Utf8Bom);
  }

  void commentSyntaxErrorIsReportedAndTheWindowStays() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    w.dropNcFile(f.writeLines("bad.nc", {"G00 X0 Y0", "G01 X10. )", "G01 Y10."}));
    QCOMPARE(f.dialogs.messages, QStringList{"Message: コメント構文エラー\nLine 2"});
    // The problems list names it too.
    QVERIFY(w.gridProblems->isVisible());
    QCOMPARE(w.problemModel->lineAt(0), 2);
    QVERIFY(w.isVisible());
    QVERIFY(w.reditNcFile->isEnabled());
  }

  void textIsReadLikeAFile() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    const double scale = w.document().scale();
    w.prepareForLoad();
    QCOMPARE(w.problemModel->problemCount(), 0);
    QCOMPARE(w.reditNcFile->lineCount(), 0);
    w.loadNcText(kSampleProgram.join('\n') + '\n');
    QCOMPARE(w.document().geometry().blockCount, 11);
    QCOMPARE(w.reditNcFile->lineCount(), 10);
    // The faulty arc and the radius G41 D05 leaves unknown, found again.
    QCOMPARE(w.problemModel->problemCount(), 2);
    QCOMPARE(w.document().scale(), scale);
    QCOMPARE(w.document().currentLine(), 1);
  }

  void missingFileLoadsNothing() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    w.prepareForLoad();
    w.loadNcFile(f.path("none.nc"));
    QCOMPARE(w.document().geometry().blockCount, 1);
    QCOMPARE(w.reditNcFile->lineCount(), 0);
    QVERIFY(f.dialogs.messages.isEmpty());
    // A file that cannot be read says so, naming it.
    w.loadNcFile("/proc/self/mem");
    QCOMPARE(f.dialogs.messages, QStringList{"File Open Error: No Open /proc/self/mem"});
    QVERIFY(!w.document().hasProgram());
  }

  void abortStopsTheReadingAndKeepsTheText() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    constexpr int kLines = 400000;
    const QString big = f.write("big.nc", largeProgram(kLines));
    // Press abort once the editor holds the text and the reader has started.
    int blocksAtAbort = 0;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
      if (w.bbtnAbort->isVisible() && w.document().geometry().blockCount > 1000 && blocksAtAbort == 0) {
        blocksAtAbort = w.document().geometry().blockCount;
        QTest::mouseClick(w.bbtnAbort, Qt::LeftButton);
      }
    });
    presser.start(1);
    w.dropNcFile(big);
    presser.stop();
    if (blocksAtAbort == 0) QSKIP("the reading ended before the abort could be pressed");
    QCOMPARE(w.document().lastRead().status, ReadResult::Status::Cancelled);
    QVERIFY(w.document().geometry().blockCount < kLines);
    QVERIFY(w.document().geometry().blockCount >= blocksAtAbort);
    QCOMPARE(w.reditNcFile->lineCount(), kLines);
    QVERIFY(w.bbtnAbort->isHidden());
    QVERIFY(w.pnlSelectEdit->isEnabled());
    // The status line says where the reading stopped, the lines after it are grey, and the caret is on the
    // last line read, so that the drawing shows all that was read.
    const int read = w.document().geometry().blockCount - 1;
    QCOMPARE(w.pnlReadState->text(), QString("reading stopped at line %1 of %2").arg(read).arg(kLines));
    QCOMPARE(w.reditNcFile->interpretedLineCount(), std::optional<int>(read));
    QCOMPARE(w.document().currentLine(), read);
    QTRY_VERIFY(!w.document().redrawing());
    const kPoint last = screenOf(w, w.document().geometry().xAt(read), w.document().geometry().yAt(read));
    QVERIFY(hasColourNear(w, last, QColor(0, 0, 0), 3));
    // The blocks read so far can be navigated; the next load starts afresh.
    pressInEditor(w, Qt::Key_Up, 2);
    QCOMPARE(w.document().currentLine(), read - 2);
    w.dropNcFile(f.writeLines("sample.nc", kSampleProgram));
    QCOMPARE(w.document().lastRead().status, ReadResult::Status::Ok);
    QCOMPARE(w.document().geometry().blockCount, 11);
    QCOMPARE(w.pnlReadState->text(), QString());
    QCOMPARE(w.reditNcFile->interpretedLineCount(), std::nullopt);
  }

  void aLargeProgramIsDrawnInPiecesBetweenEvents() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    w.dropNcFile(f.write("big.nc", largeProgram(400000)));
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(1);
    pressInEditor(w, Qt::Key_End, 1, Qt::ControlModifier);
    if (!w.document().redrawing()) QSKIP("the whole drawing fitted in its first piece");
    // A step while the picture is unfinished: the drawing starts again for the new line.
    pressInEditor(w, Qt::Key_Up);
    QCOMPARE(w.document().currentLine(), 399999);
    QCOMPARE(redLines(w), QList<int>{399999});
    QTRY_VERIFY(!w.document().redrawing());
    QVERIFY(ticks > 1);
    QVERIFY(hasColourNear(w, screenOf(w, 96.5, 88), QColor(0, 0, 0), 3));

    // "SetScale" shows its busy sign until the picture is complete.
    w.cboxScale->setEditText("5");
    w.btnScale->click();
    if (w.document().redrawing()) QCOMPARE(w.bbtnAbort->text(), QString("描画中！"));
    QCOMPARE(w.bbtnAbort->isVisible(), w.document().redrawing());
    QTRY_VERIFY(w.bbtnAbort->isHidden());
    QVERIFY(!w.document().redrawing());
  }

  void busySignClickHasNoLaterEffect() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    w.bbtnAbortClick();  // outside a load: the busy sign of SetScale
    w.dropNcFile(f.writeLines("again.nc", kSampleProgram));
    QCOMPARE(w.document().lastRead().status, ReadResult::Status::Ok);
    QCOMPARE(w.document().geometry().blockCount, 11);
  }
};

QTEST_MAIN(LoadingTest)
#include "Loading_test.moc"
