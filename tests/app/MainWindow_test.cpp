// The main window as a whole: designed state, file arrival (argument, drops, folders) and settings.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
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
    // A folder as argument is refused, naming it, and the program stays.
    w.FormActivate(f.dir.path());
    QCOMPARE(f.dialogs.messages, QStringList{"File Open Error: Is a folder, not a file: " + f.dir.path()});
    QCOMPARE(w.file().path, program);
    QVERIFY(w.reditNcFile->isEnabled());
    QVERIFY(w.btnScale->isEnabled());
    QCOMPARE(w.document().geometry().blockCount, 11);
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

  void refusedFilesLeaveTheWindowAsItWas_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // "" with a name ending in "/": a folder
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("message");
    const struct {
      const char* name;
      QByteArray bytes;
      const char* message;
    } kinds[] = {
        {"missing.nc", {}, "No such file: "},
        {"folder/", {}, "Is a folder, not a file: "},
        {"binary.nc",
         QByteArray("\x7f"
                    "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0",
                    20),
         "Not a text file"},
        {"data.nc", QByteArray("CDF\x01\0\0\0\x02", 8), "A NetCDF data file"},
        {"data4.nc", QByteArray("\x89HDF\r\n\x1a\n\0\0", 10), "An HDF5 data file"},
    };
    for (const auto& kind : kinds)
      for (const char* way : {"drop", "argument", "open", "recent"})
        QTest::newRow(qPrintable(QString("%1 by %2").arg(kind.name, way)))
            << QString(kind.name) << kind.bytes << QString(way) << QString(kind.message);
  }

  // A file that cannot be a program says so, naming it; the program, the commands and the drawing stay.
  void refusedFilesLeaveTheWindowAsItWas() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, way);
    QFETCH(QString, message);
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    pressInEditor(w, Qt::Key_Down, 3);
    const QString sample = w.file().path;
    const QImage picture = w.Image1->picture().copy();
    const QString title = w.windowTitle();
    QString path = f.path(name);
    if (name.endsWith('/')) {
      QDir().mkpath(path);
      path.chop(1);
    } else if (name != "missing.nc") {
      path = f.write(name, bytes);
    }
    if (way == "drop") dropUrls(w, {QUrl::fromLocalFile(path)});
    if (way == "argument") w.FormActivate(path);
    f.dialogs.nextOpenName = path;
    if (way == "open") QTest::keyClick(w.reditNcFile, Qt::Key_O, Qt::ControlModifier);
    if (way == "recent") w.openRecentFile(path);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].startsWith("File Open Error: " + message), qPrintable(f.dialogs.messages[0]));
    QVERIFY(f.dialogs.messages[0].endsWith(path));
    QCOMPARE(w.file().path, sample);
    QCOMPARE(w.menuFileName->text(), sample);
    QCOMPARE(w.windowTitle(), title);
    QVERIFY(w.reditNcFile->isEnabled() && w.Image1->isEnabled());
    QVERIFY(w.btnScale->isEnabled() && w.bbtnReset->isEnabled());
    QVERIFY(w.bbtnReplace->isVisible() && w.bbtnDXF->isVisible());
    QCOMPARE(w.reditNcFile->lineCount(), 10);
    QCOMPARE(w.document().currentLine(), 4);
    QCOMPARE(w.document().geometry().blockCount, 11);
    QCOMPARE(w.Image1->picture(), picture);
    // Only the file that went missing leaves the recent files; the others were never in it.
    QCOMPARE(w.settings().recentFiles, QStringList{sample});
  }

  // The last ten files opened, latest first, kept in the settings; a recent file that went missing is
  // reported and leaves the list.
  void recentFilesAreKeptLatestFirst() {
    WindowFixture f;
    TVelmora_Form1& w = f.open();
    QStringList opened;
    for (int i = 1; i <= 12; ++i) opened.prepend(f.writeLines(QString("part%1.nc").arg(i), {"G00 X1"}));
    for (auto it = opened.crbegin(); it != opened.crend(); ++it) w.dropNcFile(*it);
    w.dropNcFile(opened[3]);  // again: to the front, not twice
    QStringList expected = opened.mid(0, 10);
    expected.move(3, 0);
    QCOMPARE(w.settings().recentFiles, expected);
    QCOMPARE(w.menuRecent->actions().size(), 10);
    QCOMPARE(w.menuRecent->actions()[0]->text(), opened[3]);

    w.menuRecent->actions()[4]->trigger();
    QCOMPARE(w.file().path, expected[4]);
    expected.move(4, 0);
    QCOMPARE(w.settings().recentFiles, expected);

    // The list is written in the background; a window closing has written everything.
    QVERIFY(w.close());
    TVelmora_Form1 again(f.path("velmora.INI"), nullptr, &f.dialogs);
    QCOMPARE(again.settings().recentFiles, expected);
    QFile::remove(expected[2]);
    again.menuRecent->actions()[2]->trigger();
    QCOMPARE(f.dialogs.messages, QStringList{"File Open Error: No such file: " + expected[2]});
    expected.removeAt(2);
    QCOMPARE(again.settings().recentFiles, expected);
    QCOMPARE(again.menuRecent->actions().size(), 9);
    QVERIFY(!again.document().hasProgram());
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
