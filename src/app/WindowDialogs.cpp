// The real dialogs of the main window (see WindowDialogs.hpp).
#include "app/WindowDialogs.hpp"

#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "app/Messagedlg.hpp"

void QtWindowDialogs::message(QWidget* owner, const QString& caption, const QString& text) {
  QMessageBox::information(owner, caption, text, QMessageBox::Ok);
}

int QtWindowDialogs::messageLines(QWidget* owner, int buttons, int textWidth, const QStringList& lines) {
  return TMessageDlg_Form::showLines(owner, buttons, textWidth, lines);
}

QString QtWindowDialogs::saveFileName(QWidget* owner, const QString& title, const QString& filter,
                                      const QString& defaultSuffix, const QString& folder) {
  QFileDialog dialog(owner, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filter.split(QStringLiteral(";;")));
  dialog.setDefaultSuffix(defaultSuffix);
  if (!folder.isEmpty()) dialog.setDirectory(folder);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

std::optional<QFont> QtWindowDialogs::font(QWidget* owner, const QFont& initial) {
  bool chosen = false;
  const QFont font = QFontDialog::getFont(&chosen, initial, owner);
  if (!chosen) return std::nullopt;
  return font;
}

QString QtWindowDialogs::openFileName(QWidget* owner, const QString& title, const QString& filter,
                                      const QString& folder) {
  return QFileDialog::getOpenFileName(owner, title, folder, filter);
}

std::optional<int> QtWindowDialogs::lineNumber(QWidget* owner, int current, int last) {
  bool chosen = false;
  const int line =
      QInputDialog::getInt(owner, QStringLiteral("Go to line"), QStringLiteral("Line (1 - %1):").arg(last),
                           current, 1, std::max(last, 1), 1, &chosen);
  if (!chosen) return std::nullopt;
  return line;
}

bool QtWindowDialogs::question(QWidget* owner, const QString& caption, const QString& text) {
  return QMessageBox::question(owner, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}
