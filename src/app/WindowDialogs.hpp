// The questions and messages of the main window: the window asks through this interface, which shows the
// real dialogs; tests hand the window one that records them and answers.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

class WindowDialogs {
 public:
  virtual ~WindowDialogs() = default;
  // A short message in a box with one OK button.
  virtual void message(QWidget* owner, const QString& caption, const QString& text) = 0;
  // The multi-line message dialog (TMessageDlg_Form) with its button mode and text width; its result.
  virtual int messageLines(QWidget* owner, int buttons, int textWidth, const QStringList& lines) = 0;
  // A file name to save under, starting in `folder`; "" when the user cancels.
  virtual QString saveFileName(QWidget* owner, const QString& title, const QString& filter,
                               const QString& defaultSuffix, const QString& folder) = 0;
  // The font dialog started from `initial`; nothing when the user cancels.
  virtual std::optional<QFont> font(QWidget* owner, const QFont& initial) = 0;
  // A file to open, starting in `folder`; "" when the user cancels.
  virtual QString openFileName(QWidget* owner, const QString& title, const QString& filter,
                               const QString& folder) = 0;
  // A line number from 1 to `last`, offered as `current`; nothing when the user cancels.
  virtual std::optional<int> lineNumber(QWidget* owner, int current, int last) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool question(QWidget* owner, const QString& caption, const QString& text) = 0;
};

// The real dialogs, modal over the owner.
class QtWindowDialogs : public WindowDialogs {
 public:
  void message(QWidget* owner, const QString& caption, const QString& text) override;
  int messageLines(QWidget* owner, int buttons, int textWidth, const QStringList& lines) override;
  QString saveFileName(QWidget* owner, const QString& title, const QString& filter, const QString& defaultSuffix,
                       const QString& folder) override;
  std::optional<QFont> font(QWidget* owner, const QFont& initial) override;
  QString openFileName(QWidget* owner, const QString& title, const QString& filter,
                       const QString& folder) override;
  std::optional<int> lineNumber(QWidget* owner, int current, int last) override;
  bool question(QWidget* owner, const QString& caption, const QString& text) override;
};
