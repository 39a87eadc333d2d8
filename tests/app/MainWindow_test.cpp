// The main window as a whole: designed state, file arrival (argument, drops, folders) and settings.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableView>
#include <QUrl>

#include "WindowFixture.hpp"

namespace {
void dropUrls(TVelmora_Form1& w, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPointF at(500, 300);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
}
}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void designedState() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    QCOMPARE(w.windowTitle(), QString("Velmora Ver3.41 "));
    QVERIFY(w.rbtnCheck->isChecked());
    QCOMPARE(w.bbtnRead->text(), QString("更新"));
    QVERIFY(w.bbtnRead->isHidden());
    QVERIFY(w.pnlEditBottom->isHidden());
    QCOMPARE(w.bbtnDXF->text(), QString("DXF作成"));
    QCOMPARE(w.bbtnReplace->text(), QString("ファイル保存"));
    QCOMPARE(w.pnlG40->text(), QString("G40"));
    QCOMPARE(w.cboxScale->count(), 15);
    QCOMPARE(w.cboxScale->itemText(14), QString("200"));
    QCOMPARE(w.pnlGCode->geometry(), QRect(355, 8, 70, 25));
    QVERIFY(!w.reditNcFile->isEnabled());
    QVERIFY(!w.btnScale->isEnabled());
    QVERIFY(w.btnReDrow->isHidden() && w.cboxFeed->isHidden() && w.bbtnFeedReplace->isHidden());
    QVERIFY(w.gridProblems->isHidden());
    QCOMPARE(w.pnlProblemCount->text(), QString());
    QCOMPARE(w.leditCYLabel->text(), QString("CY"));
  }

  void argumentFileShowsDxfButNotSave() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    const QString program = f.writeLines("sample.nc", kSampleProgram);
    w.FormActivate(program);
    QCOMPARE(w.file().name, QString("sample.nc"));
    QCOMPARE(w.file().folder, f.dir.path());
    QVERIFY(w.bbtnDXF->isVisible() && w.bbtnDXF->isEnabled());
    QVERIFY(w.bbtnReplace->isHidden());
    QCOMPARE(w.document().geometry().blockCount, 11);
    // A folder as argument loads nothing but is kept as the path.
    w.FormActivate(f.dir.path());
    QCOMPARE(w.file().path, f.dir.path());
    QVERIFY(!w.reditNcFile->isEnabled());
    QVERIFY(!w.btnScale->isEnabled());
    QCOMPARE(w.document().geometry().blockCount, 1);
    QVERIFY(!w.document().hasProgram());
  }

  void dropLoadsTheFirstItemOnly() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    const QString first = f.writeLines("first.nc", kSampleProgram);
    const QString second = f.writeLines("second.nc", {"G00 X1"});
    dropUrls(w, {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    QCOMPARE(w.file().path, first);
    QCOMPARE(w.menuFileName->text(), first);
    QCOMPARE(w.reditNcFile->lineCount(), 10);
    QVERIFY(w.bbtnReplace->isVisible() && w.bbtnDXF->isVisible());
    QVERIFY(w.Image1->isEnabled());
  }

  void droppedFolderDisablesTheFileCommands() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    dropUrls(w, {QUrl::fromLocalFile(f.dir.path())});
    QCOMPARE(w.file().path, QString());
    QCOMPARE(w.menuFileName->text(), QString());
    QVERIFY(!w.reditNcFile->isEnabled());
    QVERIFY(!w.Image1->isEnabled());
    QVERIFY(!w.btnScale->isEnabled() && !w.bbtnReset->isEnabled());
    QVERIFY(w.bbtnReplace->isHidden() && w.bbtnDXF->isHidden());
    QCOMPARE(w.reditNcFile->lineCount(), 0);
    QCOMPARE(w.document().geometry().blockCount, 1);
  }

  void settingsAreWrittenAndReadBack() {
    WindowFixture f;
    {
      TVelmora_Form1& w = f.open();
      w.move(120, 140);
      w.resize(900, 600);
      QFont font = w.reditNcFile->font();
      font.setBold(true);
      font.setPointSize(12);
      w.reditNcFile->setFont(font);
      w.close();
    }
    QSettings ini(f.path("velmora.INI"), QSettings::IniFormat);
    QCOMPARE(ini.value("WINDOW/Width").toString(), QString("900"));
    QCOMPARE(ini.value("WINDOW/Height").toString(), QString("600"));
    QCOMPARE(ini.value("FONT/Size").toString(), QString("12"));
    QCOMPARE(ini.value("FONT/Bold").toString(), QString("1"));
    QCOMPARE(ini.value("FONT/Italic").toString(), QString("0"));
    for (const char* key : {"WINDOW/Top", "WINDOW/Left", "FONT/Name", "FONT/UnderLine", "FONT/StrikeOut"})
      QVERIFY2(ini.contains(key), key);

    TVelmora_Form1 again(f.path("velmora.INI"), nullptr, &f.dialogs);
    QCOMPARE(again.size(), QSize(900, 600));
    QCOMPARE(again.settings().winLeft, ini.value("WINDOW/Left").toInt());
    QVERIFY(again.settings().fontBold);
    QVERIFY(again.settings().fontPending);
    QVERIFY(again.reditNcFile->font().bold());
    QCOMPARE(again.reditNcFile->font().pointSize(), 12);
  }

  void unwritableSettingsAreReportedAndStillClose() {
    WindowFixture f;
    TVelmora_Form1& w = f.open("missing-folder/velmora.INI");
    QCOMPARE(f.dialogs.messages, (QStringList{"File Open Error: No Open " + f.path("missing-folder/velmora.INI"),
                                              "Message: Can't InitialFile\n"}));
    QVERIFY(!w.saveSettings());
    QVERIFY(w.close());
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
