// Window tests of the message dialog, "Help", the About box and the web page behind the logos.
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include "WindowFixture.hpp"
#include "app/Aboutbox.hpp"
#include "app/HelpText.hpp"
#include "app/Messagedlg.hpp"

namespace {

constexpr QChar kIdeographicSpace(0x3000);

// Records the addresses handed to QDesktopServices instead of opening them.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public slots:
  void open(const QUrl& url) { opened << url; }
};

int leadingIdeographicSpaces(const QString& line) {
  int n = 0;
  while (n < line.size() && line[n] == kIdeographicSpace) ++n;
  return n;
}

QStringList visibleButtons(const TMessageDlg_Form& dialog) {
  QStringList shown;
  for (QPushButton* button : {dialog.bbtnOK, dialog.bbtnCancel, dialog.bbtnAbort})
    if (!button->isHidden()) shown << button->text();
  return shown;
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  TVelmora_Form1* window = nullptr;
  UrlRecorder urls;

 private slots:
  void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("https"), &urls, "open"); }

  void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

  void init() {
    f = std::make_unique<WindowFixture>();
    window = &f->open();
    window->move(120, 80);
    urls.opened.clear();
  }

  void cleanup() {
    f.reset();
    TMessageDlg_Form::execHook = nullptr;
    TAboutBox::execHook = nullptr;
  }

  void messageDialogShowsTheChosenButtons() {
    struct Case {
      int mode;
      int buttonMode;
      QStringList buttons;
    };
    const QList<Case> cases = {
        {1, 1, {"OK"}}, {2, 2, {"OK", "Cancel"}}, {3, 3, {"OK", "Cancel", "Abort"}}, {0, 0, {}}, {7, 0, {}},
    };
    TMessageDlg_Form dialog(window);
    QCOMPARE(dialog.buttonMode, 1);
    QCOMPARE(visibleButtons(dialog), QStringList{"OK"});
    for (const Case& c : cases) {
      dialog.setButtons(c.mode);
      QCOMPARE(dialog.buttonMode, c.buttonMode);
      QCOMPARE(visibleButtons(dialog), c.buttons);
    }
    dialog.setTextWidth(300);
    QCOMPARE(dialog.reditMsg->width(), 300);
    QCOMPARE(dialog.width(), 330);
    QVERIFY(dialog.reditMsg->isReadOnly());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Message"));
  }

  void messageDialogOpensBesideTheMainWindowWithItsLines() {
    // Run modally for real; the dialog is read and closed from inside its own event loop.
    QPoint shownAt;
    QString shownText;
    QTimer::singleShot(0, this, [&] {
      auto* dialog = qobject_cast<TMessageDlg_Form*>(QApplication::activeModalWidget());
      if (!dialog) return;
      shownAt = dialog->pos();
      shownText = dialog->reditMsg->toPlainText();
      dialog->bbtnOK->click();
    });
    const int result = TMessageDlg_Form::showLines(window, 1, 300, {"Error!", "[ x ]"});
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(shownAt, window->frameGeometry().topLeft() + QPoint(50, 50));
    QCOMPARE(shownText, QStringLiteral("Error!\n[ x ]"));
  }

  void helpShowsTheSixteenUsageLines() {
    window->Help1->trigger();
    QCOMPARE(f->dialogs.lineDialogs.size(), 1);
    QCOMPARE(f->dialogs.lineDialogWidths, QList<int>{480});
    const QStringList lines = f->dialogs.lineDialogs[0];
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines, helpLines());
    QCOMPARE(lines.first(), QStringLiteral("使用方法"));
    QCOMPARE(lines[8], QStringLiteral("・「Edit」チェックで編集モードへ入る"));
    QCOMPARE(lines.last(), QStringLiteral("・「ResetScale」で初期の描画状態へ戻る"));
  }

  void aboutShowsVersionProductAndHistory() {
    QString title, version, product, address;
    QStringList memo;
    QPoint at;
    TAboutBox::execHook = [&](TAboutBox& box) {
      title = box.windowTitle();
      version = box.Version->text();
      product = box.ProductName->text();
      address = box.WebAddress->text();
      for (QTextBlock b = box.Memo->document()->begin(); b.isValid(); b = b.next()) memo << b.text();
      at = box.pos();
      return int(QDialog::Accepted);
    };
    window->About1->trigger();
    QCOMPARE(title, QStringLiteral("バージョン情報"));
    QCOMPARE(version, QStringLiteral("3.41"));
    QCOMPARE(product, QStringLiteral("Velmora.exe"));
    QCOMPARE(address, kWebAddress);
    QCOMPARE(at, window->frameGeometry().topLeft() + QPoint(50, 50));

    QCOMPARE(memo.size(), 33);
    const int indents[33] = {0, 1, 0, 0,  1, 1, 1,  1, 1, 0,  1, 1,  1, 13, 1,  13, 1,
                             1, 1, 1, 13, 0, 1, 13, 1, 1, 13, 1, 13, 1, 13, 13, 0};
    for (int i = 0; i < 33; ++i) QCOMPARE(leadingIdeographicSpaces(memo[i]), indents[i]);
    for (int empty : {3, 10, 22, 33}) QVERIFY(memo[empty - 1].isEmpty());
    const QString is(kIdeographicSpace);
    QCOMPARE(memo[0], QStringLiteral("概要"));
    QCOMPARE(memo[3], QStringLiteral("改定履歴") + is);
    QCOMPARE(memo[4], is + "Ver1.0" + is + "2020.08" + is + QStringLiteral("初期バージョン"));
    QCOMPARE(memo[7],
             is + "Ver1.3" + is + "2020.09  " + QStringLiteral("クリック時の動作不具合修正、レイアウト変更"));
    QCOMPARE(memo[13], QString(13, kIdeographicSpace) + QStringLiteral("サイトアイコン表示。色変更"));
    QCOMPARE(memo[31], QString(13, kIdeographicSpace) + QStringLiteral("起動時に反映。"));
  }

  void theLogosOpenTheProjectPage() {
    TAboutBox box(window);
    QTest::mouseClick(box.Image2, Qt::LeftButton);
    window->Panel3Click();
    QCOMPARE(urls.opened, (QList<QUrl>{QUrl(kWebAddress), QUrl(kWebAddress)}));
    QVERIFY(QUrl(kWebAddress).isValid());
    QCOMPARE(projectLogo().size(), QSize(52, 55));
  }
};

QTEST_MAIN(DialogsTest)
#include "Dialogs_test.moc"
