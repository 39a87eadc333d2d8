// TAboutBox: version, product name, picture, logo, web address and the version history of the program.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// The project's logo (52 x 55), for the About box and the main window's logo panel.
QPixmap projectLogo();

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* owner);

  // Places the box beside the owner's corner; runs when the box is shown.
  void FormActivate();
  // Opens the project's web page.
  void Image2Click();
  // exec() unless a test has set `execHook`, which then gets the activated box instead.
  int showModal();

  // Builds, shows and destroys one About box with the main window as owner.
  static int showFor(QWidget* owner);

  static inline std::function<int(TAboutBox&)> execHook;

  QWidget* Panel2 = nullptr;
  QWidget* Panel3 = nullptr;
  QLabel* Version = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* ProgramIcon = nullptr;
  QLabel* Image2 = nullptr;
  QLabel* Comments = nullptr;
  QLabel* WebAddress = nullptr;
  QPushButton* OKButton = nullptr;
  QPlainTextEdit* Memo = nullptr;

  int ownerTop = 0;
  int ownerLeft = 0;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildUpperPanel();
  void buildLowerPanel();
};
