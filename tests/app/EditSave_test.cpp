// Window tests of edit mode, "更新", "ファイル保存" with backups, "DXF作成" and the editor font.
#include <unistd.h>

#include <QAction>
#include <QFile>
#include <QFontDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/EditorLines.hpp"
#include "app/Messagedlg.hpp"
#include "app/Velmora_.hpp"
#include "util/Encoding.hpp"

namespace {

const QString kTwoMoves = QStringLiteral("G00X10.Y10.\nG01X20.Y15.F100\n");

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

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

// Lines shown in the red current-line colour.
QList<int> redLines(const QPlainTextEdit* editor) {
  QList<int> lines;
  for (const QTextEdit::ExtraSelection& selection : editor->extraSelections())
    if (selection.format.foreground().color() == QColor(Qt::red)) lines << selection.cursor.blockNumber() + 1;
  return lines;
}

}  // namespace

class EditSaveTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir;
  std::unique_ptr<TVelmora_Form1> window;
  QStringList boxes;           // "caption|text" of every short message
  QList<QStringList> dialogs;  // lines of every message dialog
  QStringList askedSaves;      // "title|filter|suffix" of every save dialog
  QString nextSaveName;

  QString file(const QString& name) const { return dir.filePath(name); }

  void makeWindow() {
    window = std::make_unique<TVelmora_Form1>(file(QStringLiteral("velmora.INI")));
    window->messageBoxHook = [this](const QString& caption, const QString& text) {
      boxes << caption + QLatin1Char('|') + text;
    };
    window->saveFileNameHook = [this](const QString& title, const QString& filter, const QString& suffix) {
      askedSaves << title + QLatin1Char('|') + filter + QLatin1Char('|') + suffix;
      return nextSaveName;
    };
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }

  // Edit mode, the editor's whole text replaced, then "更新".
  void editAndUpdate(const QString& text) {
    window->rbtnEdit->click();
    window->reditNcFile->setPlainText(text);
    window->bbtnRead->click();
  }

 private slots:
  void init() {
    QVERIFY(dir.isValid());
    boxes.clear();
    dialogs.clear();
    askedSaves.clear();
    nextSaveName.clear();
    TMessageDlg_Form::execHook = [this](TMessageDlg_Form& dialog) {
      dialogs << dialog.messageLines;
      return int(QDialog::Accepted);
    };
    makeWindow();
  }

  void cleanup() {
    window.reset();
    TMessageDlg_Form::execHook = nullptr;
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files)) QFile::remove(file(name));
  }

  void enteringEditModeMakesAYellowWritableEditorAndABlankDrawing() {
    writeBytes(file("part.nc"), kTwoMoves.toLatin1());
    window->dropNcFile(file("part.nc"));
    QVERIFY(!allWhite(window->Image1->picture()));
    QVERIFY(window->pnlEditBottom->isVisible());

    window->rbtnEdit->click();
    QVERIFY(!window->reditNcFile->isReadOnly());
    QVERIFY(window->reditNcFile->isEnabled());
    QCOMPARE(window->reditNcFile->palette().color(QPalette::Base), QColor(255, 255, 0));
    QVERIFY(allWhite(window->Image1->picture()));
    QVERIFY(window->rbtnCheck->isHidden());
    QVERIFY(window->bbtnRead->isVisible());
    QVERIFY(window->pnlEditBottom->isHidden());

    window->bbtnRead->click();
    QVERIFY(window->reditNcFile->isReadOnly());
    QVERIFY(window->rbtnCheck->isVisible() && window->rbtnCheck->isChecked());
    QVERIFY(window->bbtnRead->isHidden());
    QVERIFY(window->reditNcFile->palette().color(QPalette::Base) != QColor(255, 255, 0));
    QVERIFY(!allWhite(window->Image1->picture()));
    QVERIFY(window->pnlEditBottom->isVisible() && window->bbtnReplace->isVisible());
  }

  void updateRereadsTheEditedTextAndKeepsTheCurrentFile() {
    writeBytes(file("part.nc"), kTwoMoves.toLatin1());
    window->dropNcFile(file("part.nc"));
    editAndUpdate(QStringLiteral("g00x1.y2.\nvar a = 5\nG01X3.\n"));
    QCOMPARE(window->ncGeometry->blockCount, 4);
    QCOMPARE(window->ncGeometry->xAt(3), 3.0);
    QCOMPARE(window->curLine, 1);
    QCOMPARE(redLines(window->reditNcFile), QList<int>{1});
    QCOMPARE(window->ncFilePath, file("part.nc"));
    QCOMPARE(readAll(file("part.nc")), kTwoMoves.toLatin1());

    // An emptied editor interprets nothing and leaves editor and drawing disabled.
    editAndUpdate(QString());
    QVERIFY(!window->reditNcFile->isEnabled());
    QVERIFY(!window->Image1->isEnabled());
    QCOMPARE(window->ncGeometry->blockCount, 4);
  }

  void aProgramTypedIntoTheEmptyEditorIsUpdatedAndSavedUnderAChosenName() {
    window->rbtnEdit->click();
    QVERIFY(window->reditNcFile->isEnabled());
    QTest::keyClicks(window->reditNcFile, QStringLiteral("G00X5.Y5."));
    QTest::keyClick(window->reditNcFile, Qt::Key_Return);
    QTest::keyClicks(window->reditNcFile, QStringLiteral("G01X9.Y7.F50"));
    window->bbtnRead->click();
    QCOMPARE(window->ncGeometry->blockCount, 3);
    QCOMPARE(window->ncGeometry->yAt(2), 7.0);
    QVERIFY(window->ncFilePath.isEmpty());
    QVERIFY(window->bbtnReplace->isVisible());

    // Cancelling the save dialog writes nothing.
    window->bbtnReplace->click();
    QCOMPARE(askedSaves,
             QStringList{QStringLiteral("保存するファイル名|NCファイル (*.nc);;すべてのファイル (*.*)|nc")});
    QVERIFY(dialogs.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList({"*.nc"}), QStringList{});

    nextSaveName = file("typed.nc");
    window->bbtnReplace->click();
    QCOMPARE(readAll(file("typed.nc")), QByteArray("G00X5.Y5.\nG01X9.Y7.F50"));
    QCOMPARE(dialogs, (QList<QStringList>{{file("typed.nc"), QStringLiteral("File saved successfully.")}}));

    QCOMPARE(window->ncFilePath, file("typed.nc"));
    QCOMPARE(window->ncFileName, QStringLiteral("typed.nc"));
    QCOMPARE(window->ncFolder, dir.path());
    QCOMPARE(window->menuFileName->text(), file("typed.nc"));

    // Now there is a current file: the next save asks nothing and keeps the previous version.
    window->bbtnReplace->click();
    QCOMPARE(askedSaves.size(), 2);
    QCOMPARE(readAll(file("typed_old.nc")), QByteArray("G00X5.Y5.\nG01X9.Y7.F50"));
  }

  void aChosenNameThatIsTakenKeepsTheFileThere() {
    writeBytes(file("taken.nc"), "taken before");
    editAndUpdate(QStringLiteral("G00X1.\n"));
    nextSaveName = file("taken.nc");
    window->bbtnReplace->click();
    QCOMPARE(readAll(file("taken_old.nc")), QByteArray("taken before"));
    QCOMPARE(readAll(file("taken.nc")), QByteArray("G00X1.\n"));
    QCOMPARE(dialogs.last().size(), 3);
  }

  void threeSavesKeepEveryPreviousVersionOldestFirst() {
    writeBytes(file("part.nc"), "G00X1.\n");
    window->dropNcFile(file("part.nc"));
    for (const char* text : {"G00X2.\n", "G00X3.\n", "G00X4.\n"}) {
      editAndUpdate(QString::fromLatin1(text));
      window->bbtnReplace->click();
    }
    QCOMPARE(readAll(file("part_old.nc")), QByteArray("G00X1.\n"));
    QCOMPARE(readAll(file("part_old-01.nc")), QByteArray("G00X2.\n"));
    QCOMPARE(readAll(file("part_old-02.nc")), QByteArray("G00X3.\n"));
    QCOMPARE(readAll(file("part.nc")), QByteArray("G00X4.\n"));
    QVERIFY(askedSaves.isEmpty());
    QCOMPARE(dialogs.size(), 3);
    QCOMPARE(dialogs.last(), (QStringList{file("part.nc"), QStringLiteral("File saved successfully."),
                                          QStringLiteral("The original file was saved with \"old\" added.")}));
    QVERIFY(boxes.isEmpty());
  }

  void aSaveWritesTheTextBackAsItWasRead() {
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
      writeBytes(file(c.name), c.bytes);
      window->dropNcFile(file(c.name));
      window->bbtnReplace->click();
      QCOMPARE(readAll(file(c.name)), c.bytes);
    }
    // A character Shift-JIS cannot hold is written as '?' and the save says so.
    editAndUpdate(QStringLiteral("G00X1.(\u00e9)\n"));
    window->bbtnReplace->click();
    QCOMPARE(readAll(file("utf8-bom.nc")), QByteArray("\xEF\xBB\xBFG00X1.(\xC3\xA9)\r\n"));
    window->dropNcFile(file("lf-sjis.nc"));
    editAndUpdate(QStringLiteral("G00X1.(\u00e9)\n"));
    window->bbtnReplace->click();
    QCOMPARE(readAll(file("lf-sjis.nc")), QByteArray("G00X1.(?)\n"));
    QVERIFY(dialogs.last().last().contains(QStringLiteral("Shift-JIS")));
  }

  void aFailedSaveSaysSoAndLosesNothing() {
    // Folders nobody can write to, root included: below a regular file, and /proc.
    writeBytes(file("plain"), "x");
    window->rbtnEdit->click();
    window->reditNcFile->setPlainText(QStringLiteral("G00X1.\n"));
    window->bbtnRead->click();
    nextSaveName = file("plain/new.nc");
    window->bbtnReplace->click();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes[0].startsWith(QStringLiteral("Message|")));
    QVERIFY(boxes[0].contains(file("plain/new.nc")));
    QVERIFY(dialogs.isEmpty());
    QVERIFY(window->ncFilePath.isEmpty());
    QCOMPARE(window->reditNcFile->toPlainText(), QStringLiteral("G00X1.\n"));

    // The current file cannot be moved aside: nothing is written over it.
    const QByteArray before = readAll(QStringLiteral("/proc/version"));
    window->dropNcFile(QStringLiteral("/proc/version"));
    const qsizetype shownBefore = boxes.size();
    window->bbtnReplace->click();
    QCOMPARE(boxes.size(), shownBefore + 1);
    QVERIFY(dialogs.isEmpty());
    QCOMPARE(readAll(QStringLiteral("/proc/version")), before);
  }

  void aSaveIntoAReadOnlyFolderKeepsTheFile() {
    if (::geteuid() == 0) QSKIP("running as root: folder permissions do not stop root from writing");
    QDir(dir.path()).mkdir(QStringLiteral("locked"));
    writeBytes(file("locked/part.nc"), "G00X1.\n");
    QFile::setPermissions(file("locked"), QFile::ReadOwner | QFile::ExeOwner);
    window->dropNcFile(file("locked/part.nc"));
    editAndUpdate(QStringLiteral("G00X2.\n"));
    window->bbtnReplace->click();
    QFile::setPermissions(file("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(boxes.size(), 1);
    QVERIFY(dialogs.isEmpty());
    QCOMPARE(readAll(file("locked/part.nc")), QByteArray("G00X1.\n"));
    QCOMPARE(QDir(file("locked")).entryList(QDir::Files), QStringList{"part.nc"});
  }

  void dxfIsWrittenBesideTheProgramAndThePreviousOneKept() {
    writeBytes(file("part.nc"), kTwoMoves.toLatin1());
    window->dropNcFile(file("part.nc"));
    window->bbtnDXF->click();
    const QByteArray first = readAll(file("part.dxf"));
    QVERIFY(first.contains("\nLINE"));
    QVERIFY(first.endsWith("EOF\r\n"));
    QCOMPARE(dialogs, (QList<QStringList>{{file("part.dxf"), QStringLiteral("DXF_File saved successfully.")}}));
    QCOMPARE(window->dxfPath, file("part.dxf"));
    QCOMPARE(window->dxfBaseName, QStringLiteral("part"));

    // After an update the export still goes beside the loaded file.
    editAndUpdate(QStringLiteral("G00X30.Y30.\n"));
    window->bbtnDXF->click();
    QCOMPARE(readAll(file("part_old.dxf")), first);
    QVERIFY(readAll(file("part.dxf")).contains("30.0000"));
    window->bbtnDXF->click();
    QVERIFY(QFile::exists(file("part_old-01.dxf")));
    QVERIFY(askedSaves.isEmpty());
    QVERIFY(boxes.isEmpty());
  }

  void dxfWithoutACurrentFileAsksForTheName() {
    window->rbtnEdit->click();
    window->reditNcFile->setPlainText(kTwoMoves);
    window->bbtnRead->click();
    window->bbtnDXF->click();
    QCOMPARE(askedSaves, QStringList{QStringLiteral("保存するDXFファイル名|DXFファイル (*.dxf)|dxf")});
    QVERIFY(dialogs.isEmpty());

    writeBytes(file("chosen.dxf"), "previous");
    nextSaveName = file("chosen.dxf");
    window->bbtnDXF->click();
    QCOMPARE(readAll(file("chosen_old.dxf")), QByteArray("previous"));
    QVERIFY(readAll(file("chosen.dxf")).contains("\nLINE"));
    QCOMPARE(dialogs.size(), 1);

    // An existing DXF that cannot be moved aside: reported, nothing written.
    const QByteArray before = readAll(QStringLiteral("/proc/version"));
    nextSaveName = QStringLiteral("/proc/version");
    window->bbtnDXF->click();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(readAll(QStringLiteral("/proc/version")), before);
  }

  void aPendingFontIsAppliedAtTheFirstLoad() {
    window.reset();
    writeBytes(file("velmora.INI"), "[FONT]\nName=DejaVu Sans\nSize=15\nBold=1\n");
    makeWindow();
    QVERIFY(window->fontPending);
    window->Font1Click();  // no file yet: the editor is disabled and the font waits
    QVERIFY(window->fontPending);

    writeBytes(file("part.nc"), kTwoMoves.toLatin1());
    window->dropNcFile(file("part.nc"));
    QVERIFY(!window->fontPending);
    const QFont font = window->reditNcFile->font();
    QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(font.pointSize(), 15);
    QVERIFY(font.bold());
    QCOMPARE(redLines(window->reditNcFile), QList<int>{1});
  }

  void aChosenFontLeavesOnlyTheCurrentLineRed() {
    writeBytes(file("part.nc"), kTwoMoves.toLatin1());
    window->dropNcFile(file("part.nc"));
    window->bbtnDownClick();
    QCOMPARE(window->curLine, 2);
    QFont wanted(QStringLiteral("DejaVu Sans Mono"));
    wanted.setPointSize(17);
    QTimer::singleShot(0, this, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      auto* dialog = qobject_cast<QFontDialog*>(modal);
      if (!dialog) {
        if (modal) modal->close();
        return;
      }
      dialog->setCurrentFont(wanted);
      dialog->accept();
    });
    window->Font1Click();
    QCOMPARE(window->reditNcFile->font().family(), wanted.family());
    QCOMPARE(window->reditNcFile->font().pointSize(), 17);
    QCOMPARE(redLines(window->reditNcFile), QList<int>{2});
    QCOMPARE(caretLine(window->reditNcFile), 2);
  }
};

QTEST_MAIN(EditSaveTest)
#include "EditSave_test.moc"
