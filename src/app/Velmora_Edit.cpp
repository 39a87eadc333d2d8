// The main window's edit mode, update and save, the DXF command, Help, About, the logo and the editor font.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include "app/Aboutbox.hpp"
#include "app/EditorLines.hpp"
#include "app/HelpText.hpp"
#include "app/Messagedlg.hpp"
#include "app/Velmora_.hpp"
#include "dxf/DxfExport.hpp"
#include "util/Files.hpp"
#include "util/Savefile.hpp"

namespace {

constexpr int kOkButton = 1;
constexpr int kWideText = 480;
const QColor kEditBackground(255, 255, 0);

// The save dialog, or the test hook standing in for it; "" when the user cancels.
QString askSaveFileName(TVelmora_Form1& window, const QString& title, const QString& filter,
                        const QString& defaultSuffix) {
  if (window.saveFileNameHook) return window.saveFileNameHook(title, filter, defaultSuffix);
  QFileDialog dialog(&window, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filter.split(QStringLiteral(";;")));
  dialog.setDefaultSuffix(defaultSuffix);
  if (!window.ncFolder.isEmpty()) dialog.setDirectory(window.ncFolder);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void setEditorBackground(QPlainTextEdit* editor, const QColor& colour) {
  QPalette palette = editor->palette();
  palette.setColor(QPalette::Base, colour);
  editor->setPalette(palette);
}

QColor windowColour(const QWidget* widget) { return QApplication::palette(widget).color(QPalette::Base); }

}  // namespace

void TVelmora_Form1::rbtnEditClick() {
  const bool editing = rbtnEdit->isChecked();
  if (editing) {
    rbtnCheck->hide();
    reditNcFile->setReadOnly(false);
    setEditorBackground(reditNcFile, kEditBackground);
    // The drawing no longer matches the text once it may change.
    clearDrawing();
    pnlEditBottom->hide();
  }
  reditNcFile->setEnabled(true);
  bbtnRead->setVisible(editing);
  reditNcFile->setFocus();
}

void TVelmora_Form1::bbtnReadClick() {
  rbtnCheck->show();
  rbtnCheck->setChecked(true);
  rbtnEditClick();
  setEditorBackground(reditNcFile, windowColour(reditNcFile));
  reditNcFile->setReadOnly(true);
  if (lineCount(reditNcFile) == 0) {
    reditNcFile->setEnabled(false);
    Image1->setEnabled(false);
    return;
  }
  // The edited text is read as a loaded file would be; the current file stays what it was.
  const QString text = reditNcFile->toPlainText();
  prepareForLoad();
  loadNcText(text);
  btnReDrowClick();
  reditNcFile->setFocus();
  caretToTextStart(reditNcFile);
  pnlEditBottom->show();
  for (QPushButton* command : {bbtnReplace, bbtnDXF}) {
    command->show();
    command->setEnabled(true);
  }
}

void TVelmora_Form1::bbtnReplaceClick() {
  QString target = ncFilePath;
  if (target.isEmpty()) {
    target = askSaveFileName(*this, QStringLiteral("保存するファイル名"),
                             QStringLiteral("NCファイル (*.nc);;すべてのファイル (*.*)"), QStringLiteral("nc"));
    if (target.isEmpty()) return;
  }
  const std::string path = target.toStdString();
  const EncodedText encoded =
      encodeNcText(reditNcFile->toPlainText().toStdU16String(), textEncoding, lineBreakOfFile(path));
  const SaveResult saved = saveWithBackup(path, encoded.bytes);
  if (!saved.ok) {
    showMessageBox(QStringLiteral("Message"), QString::fromStdString(saved.message));
    return;
  }
  setCurrentFile(target);
  menuFileName->setText(ncFilePath);
  QStringList lines{ncFilePath, QStringLiteral("File saved successfully.")};
  if (!saved.backupPath.empty()) lines << QStringLiteral("The original file was saved with \"old\" added.");
  if (!encoded.lossless) lines << QStringLiteral("Characters without a Shift-JIS form were written as \"?\".");
  TMessageDlg_Form::showLines(this, kOkButton, kWideText, lines);
  reditNcFile->setFocus();
}

void TVelmora_Form1::bbtnDXFClick() {
  QString target;
  if (ncFileName.isEmpty()) {
    target = askSaveFileName(*this, QStringLiteral("保存するDXFファイル名"), QStringLiteral("DXFファイル (*.dxf)"),
                             QStringLiteral("dxf"));
    if (target.isEmpty()) return;
  } else {
    dxfBaseName = QString::fromStdString(baseNameOf(ncFileName.toStdString()));
    target = QString::fromStdString(dxfPathFor(QDir(ncFolder).filePath(ncFileName).toStdString()));
  }
  const SaveResult saved = exportDxf(*ncGeometry, target.toStdString());
  if (!saved.ok) {
    showMessageBox(QStringLiteral("Message"), QString::fromStdString(saved.message));
    return;
  }
  dxfPath = target;
  TMessageDlg_Form::showLines(this, kOkButton, kWideText,
                              {dxfPath, QStringLiteral("DXF_File saved successfully.")});
}

void TVelmora_Form1::Font1Click() {
  if (!reditNcFile->isEnabled()) return;
  if (fontPending) {
    applyEditorFont();
  } else {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, dialogFont, this);
    if (chosen) {
      dialogFont = font;
      applyEditorFont();
    }
  }
  fontPending = false;
}

void TVelmora_Form1::applyEditorFont() {
  reditNcFile->setFont(dialogFont);
  // In edit mode the drawing is blank and the caret belongs to the user: only the font changes.
  if (rbtnEdit->isChecked() || curLine < 1) return;
  caretToLine(reditNcFile, curLine);
  colorLine(reditNcFile, Qt::red, curLine);
  redrawRaised();
}

void TVelmora_Form1::Help1Click() { TMessageDlg_Form::showLines(this, kOkButton, kWideText, helpLines()); }

void TVelmora_Form1::About1Click() { TAboutBox::showFor(this); }

void TVelmora_Form1::Panel3Click() {
  QDesktopServices::openUrl(QUrl(kWebAddress));
  if (reditNcFile->isEnabled()) reditNcFile->setFocus();
}
