// Window tests of edit mode, "更新", "ファイル保存" with backups, "DXF作成" and the editor font.
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextBlock>
#include <QToolButton>
#include <cstdio>

#include "WindowFixture.hpp"
#include "app/EditorLines.hpp"
#include "util/Encoding.hpp"

namespace {

const QString kTwoMoves = QStringLiteral("G00X10.Y10.\nG01X20.Y15.F100\n");

QByteArray shiftJis(const QString& text) {
  const std::string bytes = encodeShiftJis(text.toStdU16String());
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool allWhite(const QImage& picture) {
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (picture.pixel(x, y) != qRgb(255, 255, 255)) return false;
  return true;
}

// Lines from a list, for the editor fill.
struct ListLines : TextLineSource {
  QStringList texts;
  int lineCount() const override { return int(texts.size()); }
  QString lineText(int line) const override { return texts.at(line - 1); }
};

// Edit mode, the editor's whole text replaced, then "更新".
void editAndUpdate(TVelmora_Form1& w, const QString& text) {
  w.rbtnEdit->click();
  w.reditEdit->setPlainText(text);
  w.bbtnRead->click();
}

}  // namespace

class EditSaveTest : public QObject {
  Q_OBJECT

 private slots:
  void enteringEditModeMakesAYellowWritableEditorAndABlankDrawing() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    f.write("part.nc", kTwoMoves.toLatin1());
    w.dropNcFile(f.path("part.nc"));
    QVERIFY(!allWhite(w.Image1->picture()));
    QVERIFY(w.pnlEditBottom->isVisible());

    pressInEditor(w, Qt::Key_Down);
    w.rbtnEdit->click();
    QCOMPARE(w.pnlText->currentWidget(), w.reditEdit);
    QVERIFY(!w.reditEdit->isReadOnly());
    QVERIFY(w.reditEdit->isEnabled() && w.reditEdit->hasFocus());
    QCOMPARE(w.reditEdit->palette().color(QPalette::Base), QColor(255, 255, 0));
    // The editor holds the program as it was read, its caret on the current line.
    QCOMPARE(w.reditEdit->toPlainText(), kTwoMoves);
    QCOMPARE(w.reditEdit->textCursor().blockNumber(), 1);
    QVERIFY(allWhite(w.Image1->picture()));
    // The jump buttons move the editor's caret; the drawing stays blank.
    w.bbtnUp->click();
    QCOMPARE(w.reditEdit->textCursor().blockNumber(), 0);
    w.bbtnDown->click();
    QCOMPARE(w.reditEdit->textCursor().blockNumber(), 2);
    QVERIFY(allWhite(w.Image1->picture()));
    QCOMPARE(w.document().currentLine(), 2);
    QVERIFY(w.rbtnCheck->isHidden());
    QVERIFY(w.bbtnRead->isVisible());
    QVERIFY(w.pnlEditBottom->isHidden());

    w.bbtnRead->click();
    QCOMPARE(w.pnlText->currentWidget(), w.reditNcFile);
    QVERIFY(w.rbtnCheck->isVisible() && w.rbtnCheck->isChecked());
    QVERIFY(w.bbtnRead->isHidden());
    QVERIFY(w.reditEdit->toPlainText().isEmpty());  // the editor's copy goes once the text is read
    QVERIFY(!allWhite(w.Image1->picture()));
    QVERIFY(w.pnlEditBottom->isVisible() && w.bbtnReplace->isVisible());
  }

  void updateRereadsTheEditedTextAndKeepsTheCurrentFile() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    f.write("part.nc", kTwoMoves.toLatin1());
    w.dropNcFile(f.path("part.nc"));
    editAndUpdate(w, QStringLiteral("g00x1.y2.\nvar a = 5\nG01X3.\n"));
    QCOMPARE(w.document().geometry().blockCount, 4);
    QCOMPARE(w.document().geometry().xAt(3), 3.0);
    QCOMPARE(w.document().currentLine(), 1);
    QCOMPARE(w.reditNcFile->lineCount(), 3);
    QCOMPARE(w.reditNcFile->source()->lineText(2), QString("var a = 5"));
    QCOMPARE(redLines(w), QList<int>{1});
    QCOMPARE(w.file().path, f.path("part.nc"));
    QCOMPARE(f.read("part.nc"), kTwoMoves.toLatin1());
    // The line the caret was on when "更新" was pressed stays the current one.
    w.rbtnEdit->click();
    caretToLine(w.reditEdit, 3);
    w.bbtnRead->click();
    QCOMPARE(w.document().currentLine(), 3);
    QCOMPARE(redLines(w), QList<int>{3});

    // An emptied editor interprets nothing and leaves editor and drawing disabled.
    editAndUpdate(w, QString());
    QVERIFY(!w.reditNcFile->isEnabled());
    QVERIFY(!w.Image1->isEnabled());
    QCOMPARE(w.reditNcFile->lineCount(), 0);
    QCOMPARE(w.document().geometry().blockCount, 4);
    // Editing again starts from the emptied text.
    w.rbtnEdit->click();
    QVERIFY(w.reditEdit->toPlainText().isEmpty());
  }

  // A change on disk is read again at once when nothing would be lost, keeping the caret's line; with edits
  // not saved the user is asked first. Replacing the file by rename is followed; the window's own save is no
  // change.
  void theFileIsReadAgainWhenItChangesOnDisk() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    const QString part = w.file().path;
    pressInEditor(w, Qt::Key_Down, 4);
    const auto replaceByRename = [&](const QStringList& lines) {
      QVERIFY(::rename(qPrintable(f.writeLines("part.tmp", lines)), qPrintable(part)) == 0);
    };
    QStringList lines = kSampleProgram;
    const struct {
      const char* how;
      bool edited;
      bool answer;
      bool read;
    } changes[] = {
        {"written in place", false, false, true},
        {"replaced by rename", false, false, true},
        {"after the window's own save", false, false, true},
        {"with unsaved edits, kept", true, false, false},
        {"with unsaved edits, read", true, true, true},
    };
    for (const auto& change : changes) {
      if (QString(change.how).contains("own save")) {
        editAndUpdate(w, lines.join('\n') + "\nG00 Z60\n");
        lines << "G00 Z60";
        pressInEditor(w, Qt::Key_Down, 4);
        w.bbtnReplace->click();
        QTest::qWait(400);
        QCOMPARE(f.dialogs.questions, QStringList());
      }
      if (change.edited) editAndUpdate(w, "G00 X1\n");
      f.dialogs.questions.clear();
      f.dialogs.nextAnswer = change.answer;
      lines << "G01 X" + QString::number(lines.size());
      if (QString(change.how).contains("rename"))
        replaceByRename(lines);
      else
        f.writeLines("sample.nc", lines);
      if (change.edited) QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.questions.size(), 1, 3000);
      const int expected = change.read ? int(lines.size()) : 1;
      QTRY_COMPARE_WITH_TIMEOUT(w.reditNcFile->lineCount(), expected, 3000);
      QTest::qWait(300);
      QCOMPARE(w.reditNcFile->lineCount(), expected);
      QCOMPARE(f.dialogs.questions.size(), change.edited ? 1 : 0);
      // The caret stays where it was: on line 5, or on line 1 of the one-line edit.
      if (change.read) QCOMPARE(w.document().currentLine(), change.edited ? 1 : 5);
      QCOMPARE(w.file().path, part);
    }

    // Opening another file or closing on edits not saved asks first; No keeps the window and the edits.
    editAndUpdate(w, "G00 X2\n");
    f.dialogs.questions.clear();
    f.dialogs.nextAnswer = false;
    w.dropNcFile(f.writeLines("other.nc", {"G00 X3"}));
    QVERIFY(!w.close());
    QCOMPARE(f.dialogs.questions.size(), 2);
    QVERIFY(f.dialogs.questions[0].contains("Open other.nc and lose them?"));
    QCOMPARE(w.document().lineText(1), u"G00 X2");
    QCOMPARE(w.file().path, part);
    f.dialogs.nextAnswer = true;
    QVERIFY(w.close());
  }

  void aProgramTypedIntoTheEmptyEditorIsUpdatedAndSavedUnderAChosenName() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    w.rbtnEdit->click();
    QVERIFY(w.reditEdit->isEnabled());
    QTest::keyClicks(w.reditEdit, QStringLiteral("G00X5.Y5."));
    QTest::keyClick(w.reditEdit, Qt::Key_Return);
    QTest::keyClicks(w.reditEdit, QStringLiteral("G01X9.Y7.F50"));
    w.bbtnRead->click();
    QCOMPARE(w.document().geometry().blockCount, 3);
    QCOMPARE(w.document().geometry().yAt(2), 7.0);
    QVERIFY(w.file().path.isEmpty());
    QVERIFY(w.bbtnReplace->isVisible());

    // Cancelling the save dialog writes nothing.
    w.bbtnReplace->click();
    QCOMPARE(f.dialogs.askedSaves,
             QStringList{QStringLiteral("保存するファイル名|NCファイル (*.nc);;すべてのファイル (*.*)|nc")});
    QVERIFY(f.dialogs.lineDialogs.isEmpty());
    QCOMPARE(QDir(f.dir.path()).entryList({"*.nc"}), QStringList{});

    f.dialogs.nextSaveName = f.path("typed.nc");
    w.bbtnReplace->click();
    QCOMPARE(f.read("typed.nc"), QByteArray("G00X5.Y5.\nG01X9.Y7.F50"));
    QCOMPARE(f.dialogs.lineDialogs,
             (QList<QStringList>{{f.path("typed.nc"), QStringLiteral("File saved successfully.")}}));

    QCOMPARE(w.file().path, f.path("typed.nc"));
    QCOMPARE(w.file().name, QStringLiteral("typed.nc"));
    QCOMPARE(w.file().folder, f.dir.path());
    QCOMPARE(w.menuFileName->text(), f.path("typed.nc"));

    // Now there is a current file: the next save asks nothing and keeps the previous version.
    w.bbtnReplace->click();
    QCOMPARE(f.dialogs.askedSaves.size(), 2);
    QCOMPARE(f.read("typed_old.nc"), QByteArray("G00X5.Y5.\nG01X9.Y7.F50"));
  }

  void aChosenNameThatIsTakenKeepsTheFileThere() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    f.write("taken.nc", "taken before");
    editAndUpdate(w, QStringLiteral("G00X1.\n"));
    f.dialogs.nextSaveName = f.path("taken.nc");
    w.bbtnReplace->click();
    QCOMPARE(f.read("taken_old.nc"), QByteArray("taken before"));
    QCOMPARE(f.read("taken.nc"), QByteArray("G00X1.\n"));
    QCOMPARE(f.dialogs.lineDialogs.last().size(), 3);
  }

  void threeSavesKeepEveryPreviousVersionOldestFirst() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    f.write("part.nc", "G00X1.\n");
    w.dropNcFile(f.path("part.nc"));
    for (const char* text : {"G00X2.\n", "G00X3.\n", "G00X4.\n"}) {
      editAndUpdate(w, QString::fromLatin1(text));
      w.bbtnReplace->click();
    }
    QCOMPARE(f.read("part_old.nc"), QByteArray("G00X1.\n"));
    QCOMPARE(f.read("part_old-01.nc"), QByteArray("G00X2.\n"));
    QCOMPARE(f.read("part_old-02.nc"), QByteArray("G00X3.\n"));
    QCOMPARE(f.read("part.nc"), QByteArray("G00X4.\n"));
    QVERIFY(f.dialogs.askedSaves.isEmpty());
    QCOMPARE(f.dialogs.lineDialogs.size(), 3);
    QCOMPARE(f.dialogs.lineDialogs.last(),
             (QStringList{f.path("part.nc"), QStringLiteral("File saved successfully."),
                          QStringLiteral("The original file was saved with \"old\" added.")}));
    QVERIFY(f.dialogs.messages.isEmpty());
  }

  void aSaveWritesTheTextBackAsItWasRead() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    struct Case {
      const char* name;
      QByteArray bytes;
    };
    const QString japanese = QStringLiteral("G00X1.(工具 Ｄ＝１０)\r\nG01Y2.\r\n");
    const QList<Case> cases = {
        {"crlf-sjis.nc", shiftJis(japanese)},
        {"lf-sjis.nc", shiftJis(QString(japanese).remove(QLatin1Char('\r')))},
        {"utf8-bom.nc", QByteArray("\xEF\xBB\xBF") + japanese.toUtf8()},
    };
    for (const Case& c : cases) {
      f.write(c.name, c.bytes);
      w.dropNcFile(f.path(c.name));
      w.bbtnReplace->click();
      QCOMPARE(f.read(c.name), c.bytes);
    }
    // A character Shift-JIS cannot hold is written as '?' and the save says so.
    editAndUpdate(w, QStringLiteral("G00X1.(\u00e9)\n"));
    w.bbtnReplace->click();
    QCOMPARE(f.read("utf8-bom.nc"), QByteArray("\xEF\xBB\xBFG00X1.(\xC3\xA9)\r\n"));
    w.dropNcFile(f.path("lf-sjis.nc"));
    editAndUpdate(w, QStringLiteral("G00X1.(\u00e9)\n"));
    w.bbtnReplace->click();
    QCOMPARE(f.read("lf-sjis.nc"), QByteArray("G00X1.(?)\n"));
    QVERIFY(f.dialogs.lineDialogs.last().last().contains(QStringLiteral("Shift-JIS")));
  }

  void aFailedSaveSaysSoAndLosesNothing() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    // Folders nobody can write to, root included: below a regular file, and /proc.
    f.write("plain", "x");
    editAndUpdate(w, QStringLiteral("G00X1.\n"));
    f.dialogs.nextSaveName = f.path("plain/new.nc");
    w.bbtnReplace->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].startsWith(QStringLiteral("Message: ")));
    QVERIFY(f.dialogs.messages[0].contains(f.path("plain/new.nc")));
    QVERIFY(f.dialogs.lineDialogs.isEmpty());
    QVERIFY(w.file().path.isEmpty());
    QCOMPARE(QString::fromStdU16String(w.document().wholeText()), QStringLiteral("G00X1.\n"));

    // The current file cannot be moved aside: nothing is written over it.
    const QByteArray before = f.read(QStringLiteral("/proc/version"));
    w.dropNcFile(QStringLiteral("/proc/version"));
    const qsizetype shownBefore = f.dialogs.messages.size();
    w.bbtnReplace->click();
    QCOMPARE(f.dialogs.messages.size(), shownBefore + 1);
    QVERIFY(f.dialogs.lineDialogs.isEmpty());
    QCOMPARE(f.read(QStringLiteral("/proc/version")), before);
  }

  void aSaveIntoAReadOnlyFolderKeepsTheFile() {
    if (::geteuid() == 0) QSKIP("running as root: folder permissions do not stop root from writing");
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    QDir(f.dir.path()).mkdir(QStringLiteral("locked"));
    f.write("locked/part.nc", "G00X1.\n");
    QFile::setPermissions(f.path("locked"), QFile::ReadOwner | QFile::ExeOwner);
    w.dropNcFile(f.path("locked/part.nc"));
    editAndUpdate(w, QStringLiteral("G00X2.\n"));
    w.bbtnReplace->click();
    QFile::setPermissions(f.path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.lineDialogs.isEmpty());
    QCOMPARE(f.read("locked/part.nc"), QByteArray("G00X1.\n"));
    QCOMPARE(QDir(f.path("locked")).entryList(QDir::Files), QStringList{"part.nc"});
  }

  void dxfIsWrittenBesideTheProgramAndThePreviousOneKept() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    f.write("part.nc", kTwoMoves.toLatin1());
    w.dropNcFile(f.path("part.nc"));
    w.bbtnDXF->click();
    const QByteArray first = f.read("part.dxf");
    QVERIFY(first.contains("\nLINE"));
    QVERIFY(first.endsWith("EOF\r\n"));
    QCOMPARE(f.dialogs.lineDialogs,
             (QList<QStringList>{{f.path("part.dxf"), QStringLiteral("DXF_File saved successfully.")}}));
    QCOMPARE(w.file().dxfPath, f.path("part.dxf"));
    QCOMPARE(w.file().dxfBaseName, QStringLiteral("part"));

    // After an update the export still goes beside the loaded file.
    editAndUpdate(w, QStringLiteral("G00X30.Y30.\n"));
    w.bbtnDXF->click();
    QCOMPARE(f.read("part_old.dxf"), first);
    QVERIFY(f.read("part.dxf").contains("30.0000"));
    w.bbtnDXF->click();
    QVERIFY(QFile::exists(f.path("part_old-01.dxf")));
    QVERIFY(f.dialogs.askedSaves.isEmpty());
    QVERIFY(f.dialogs.messages.isEmpty());
  }

  void dxfWithoutACurrentFileAsksForTheName() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    editAndUpdate(w, kTwoMoves);
    w.bbtnDXF->click();
    QCOMPARE(f.dialogs.askedSaves, QStringList{QStringLiteral("保存するDXFファイル名|DXFファイル (*.dxf)|dxf")});
    QVERIFY(f.dialogs.lineDialogs.isEmpty());

    f.write("chosen.dxf", "previous");
    f.dialogs.nextSaveName = f.path("chosen.dxf");
    w.bbtnDXF->click();
    QCOMPARE(f.read("chosen_old.dxf"), QByteArray("previous"));
    QVERIFY(f.read("chosen.dxf").contains("\nLINE"));
    QCOMPARE(f.dialogs.lineDialogs.size(), 1);

    // An existing DXF that cannot be moved aside: reported, nothing written.
    const QByteArray before = f.read(QStringLiteral("/proc/version"));
    f.dialogs.nextSaveName = QStringLiteral("/proc/version");
    w.bbtnDXF->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.lineDialogs.size(), 1);
    QCOMPARE(f.read(QStringLiteral("/proc/version")), before);
  }

  void aPendingFontIsAppliedAtTheFirstLoad() {
    WindowFixture f;
    f.write("velmora.INI", "[FONT]\nName=DejaVu Sans\nSize=15\nBold=1\n");
    TVelmora_Form1& w = f.open();
    QVERIFY(w.settings().fontPending);
    w.Font1Click();  // no file yet: the text pane is disabled and the font waits
    QVERIFY(w.settings().fontPending);

    f.write("part.nc", kTwoMoves.toLatin1());
    w.dropNcFile(f.path("part.nc"));
    QVERIFY(!w.settings().fontPending);
    for (const QWidget* pane :
         {static_cast<const QWidget*>(w.reditNcFile), static_cast<const QWidget*>(w.reditEdit)}) {
      const QFont font = pane->font();
      QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
      QCOMPARE(font.pointSize(), 15);
      QVERIFY(font.bold());
    }
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(redLines(w), QList<int>{1});
  }

  void aChosenFontLeavesOnlyTheCurrentLineRed() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    f.write("part.nc", kTwoMoves.toLatin1());
    w.dropNcFile(f.path("part.nc"));
    w.bbtnDownClick();
    QCOMPARE(w.document().currentLine(), 2);
    // Cancelled: nothing changes.
    const QFont before = w.reditNcFile->font();
    w.Font1Click();
    QCOMPARE(w.reditNcFile->font(), before);
    QFont wanted(QStringLiteral("DejaVu Sans Mono"));
    wanted.setPointSize(17);
    f.dialogs.nextFont = wanted;
    w.Font1Click();
    QCOMPARE(w.reditNcFile->font().family(), wanted.family());
    QCOMPARE(w.reditNcFile->font().pointSize(), 17);
    QCOMPARE(redLines(w), QList<int>{2});
    QCOMPARE(w.reditNcFile->caretLine(), 2);
  }

  void theEditorIsFilledInPiecesAndItsCaretPlaced() {
    QPlainTextEdit editor;
    ListLines lines;
    lines.texts = {"G01X1.", "", "(加工)"};
    fillEditorLines(&editor, lines, true, nullptr);
    QCOMPARE(editor.toPlainText(), QString("G01X1.\n\n(加工)\n"));
    fillEditorLines(&editor, lines, false, nullptr);
    QCOMPARE(editor.toPlainText(), QString("G01X1.\n\n(加工)"));
    QVERIFY(!editor.document()->isUndoAvailable());
    caretToLine(&editor, 3);
    QCOMPARE(editor.textCursor().blockNumber(), 2);
    caretToLine(&editor, 99);
    QCOMPARE(editor.textCursor().blockNumber(), 2);
    QCOMPARE(editorText(&editor, nullptr), QString("G01X1.\n\n(加工)"));

    // Ten thousand lines: the window gets its events between pieces, told how far the fill is.
    lines.texts.clear();
    for (int i = 1; i <= 10000; ++i) lines.texts << QString("N%1").arg(i);
    QList<int> pauses;
    fillEditorLines(&editor, lines, true, [&](int done) { pauses << done; });
    QVERIFY(pauses.size() > 1 && std::is_sorted(pauses.begin(), pauses.end()) && pauses.last() < 10000);
    QCOMPARE(editor.document()->blockCount(), 10001);
    QCOMPARE(editor.document()->findBlockByNumber(9999).text(), QString("N10000"));
    // Read back the same way: the lines joined by LF, the final break kept.
    pauses.clear();
    const QString text = editorText(&editor, [&](int done) { pauses << done; });
    QCOMPARE(text, lines.texts.join('\n') + '\n');
    QVERIFY(pauses.size() > 1);
  }
};

QTEST_MAIN(EditSaveTest)
#include "EditSave_test.moc"
