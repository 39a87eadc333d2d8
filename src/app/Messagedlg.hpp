// TMessageDlg_Form: the one multi-line message window, shown modally beside the main window's corner.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QPushButton;
class QTextEdit;
class QWidget;

class TMessageDlg_Form : public QDialog {
  Q_OBJECT

 public:
  explicit TMessageDlg_Form(QWidget* owner);

  // 1 OK; 2 OK and Cancel; 3 OK, Cancel and Abort; any other mode no button (buttonMode 0).
  void setButtons(int mode);
  // The text area gets `pixels` of width, the dialog 30 more.
  void setTextWidth(int pixels);
  void addMessageLine(const QString& line);
  // Places the dialog beside the owner's corner and shows the collected lines; runs when the dialog is shown.
  void FormActivate();
  // exec() unless a test has set `execHook`, which then gets the activated dialog instead.
  int showModal();

  // Builds, shows and destroys one message dialog with the main window as owner.
  static int showLines(QWidget* owner, int buttons, int textWidth, const QStringList& lines);

  // Tests set this to inspect a dialog instead of running it modally; the result stands for exec()'s.
  static inline std::function<int(TMessageDlg_Form&)> execHook;

  QTextEdit* reditMsg = nullptr;
  QWidget* Panel1 = nullptr;
  QPushButton* bbtnOK = nullptr;
  QPushButton* bbtnCancel = nullptr;
  QPushButton* bbtnAbort = nullptr;

  QStringList messageLines;
  int buttonMode = 1;
  int ownerTop = 0;
  int ownerLeft = 0;

  static constexpr int kAbortResult = 3;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layoutParts();
  int textWidth = 314;
};
