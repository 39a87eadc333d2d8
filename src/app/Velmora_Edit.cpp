// The main window's edit mode, update and save, the DXF command, Help, About, the logo and the editor font.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QUrl>
#include <memory>

#include "app/Aboutbox.hpp"
#include "app/EditorLines.hpp"
#include "app/HelpText.hpp"
#include "app/Messagedlg.hpp"
#include "app/Velmora_.hpp"
#include "dxf/DxfExport.hpp"
#include "util/Files.hpp"

namespace {

constexpr int kOkButton = 1;
constexpr int kWideText = 480;
const QColor kEditBackground(255, 255, 0);
// A fill that takes longer than this shows its progress.
constexpr int kProgressAfterMs = 200;

}  // namespace

QWidget* TVelmora_Form1::textPane() const {
  return rbtnEdit->isChecked() ? static_cast<QWidget*>(reditEdit) : static_cast<QWidget*>(reditNcFile);
}

void TVelmora_Form1::rbtnEditClick() {
  const bool editing = rbtnEdit->isChecked();
  if (editing) {
    rbtnCheck->hide();
    // The drawing no longer matches the text once it may change.
    clearDrawing();
    pnlEditBottom->hide();
    QPalette palette = reditEdit->palette();
    palette.setColor(QPalette::Base, kEditBackground);
    reditEdit->setPalette(palette);
    // Shown before it is filled: a shown editor lays out each piece as it comes, a hidden one all of them
    // at once when it is shown.
    pnlText->setCurrentWidget(reditEdit);
    fillEditor();
  } else {
    showCheckMode();
  }
  textPane()->setEnabled(true);
  bbtnRead->setVisible(editing);
  textPane()->setFocus();
}

// Between pieces of a long editor fill or read the window takes its events, and after a moment shows how far
// it is.
std::function<void(int)> TVelmora_Form1::editorPause(int total) {
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  return [this, started, total](int linesDone) {
    if (started->elapsed() >= kProgressAfterMs) {
      barProgress->setRange(0, std::max(total, 1));
      barProgress->setValue(linesDone);
      barProgress->show();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  };
}

// The editor gets the text the pane shows, the document's; the caret starts on the current line.
void TVelmora_Form1::fillEditor() {
  if (!reditNcFile->source()) {
    reditEdit->clear();
    return;
  }
  // The main program is what an edit changes, whichever file the pane shows.
  if (doc->shownFile() != 0) {
    doc->showFile(0);
    reditNcFile->reloadLines();
  }
  loading = true;
  setCommandsDuringLoad(false);
  reditEdit->setReadOnly(true);
  fillEditorLines(reditEdit, *lines, doc->endsWithLineBreak(), editorPause(doc->lineCount()));
  reditEdit->setReadOnly(false);
  reditEdit->document()->setModified(false);
  barProgress->hide();
  setCommandsDuringLoad(true);
  loading = false;
  caretToLine(reditEdit, std::max(doc->currentLine(), 1));
}

void TVelmora_Form1::showCheckMode() {
  pnlText->setCurrentWidget(reditNcFile);
  // The edited text lives in the document once read: the editor's copy goes.
  reditEdit->clear();
}

void TVelmora_Form1::bbtnReadClick() {
  // The line just fixed stays the current one.
  const int caretLine = reditEdit->textCursor().blockNumber() + 1;
  loading = true;
  setCommandsDuringLoad(false);
  const QString text = editorText(reditEdit, editorPause(reditEdit->document()->blockCount()));
  barProgress->hide();
  setCommandsDuringLoad(true);
  loading = false;
  rbtnCheck->show();
  rbtnCheck->setChecked(true);
  rbtnEditClick();
  if (text.isEmpty()) {
    // Nothing to read: the blocks stay as they were, the pane shows the emptied text and goes grey.
    reditNcFile->setSource(nullptr);
    reditNcFile->setEnabled(false);
    Image1->setEnabled(false);
    return;
  }
  // The edited text is read as a loaded file would be; the current file stays what it was.
  prepareForLoad();
  loadNcText(text);
  unsavedEdits = true;
  showLine(caretLine);
  reditNcFile->setFocus();
  pnlEditBottom->show();
  for (QPushButton* command : {bbtnReplace, bbtnDXF}) {
    command->show();
    command->setEnabled(true);
  }
}

void TVelmora_Form1::bbtnReplaceClick() {
  QString target = fileState.path;
  if (target.isEmpty()) {
    target = dialogs->saveFileName(this, QStringLiteral("保存するファイル名"),
                                   QStringLiteral("NCファイル (*.nc);;すべてのファイル (*.*)"),
                                   QStringLiteral("nc"), fileState.folder);
    if (target.isEmpty()) return;
  }
  const kNcDocument::SaveOutcome outcome = doc->save(target.toStdString());
  if (!outcome.saved.ok) {
    showMessage(QStringLiteral("Message"), QString::fromStdString(outcome.saved.message));
    return;
  }
  setCurrentFile(target);
  menuFileName->setText(fileState.path);
  // The window's own save is no change from outside: what is on disk now is what the window holds.
  unsavedEdits = false;
  rememberRecent(fileState.path);
  watchCurrentFile();
  QStringList lines{fileState.path, QStringLiteral("File saved successfully.")};
  if (!outcome.saved.backupPath.empty())
    lines << QStringLiteral("The original file was saved with \"old\" added.");
  if (!outcome.lossless) lines << QStringLiteral("Characters without a Shift-JIS form were written as \"?\".");
  dialogs->messageLines(this, kOkButton, kWideText, lines);
  textPane()->setFocus();
}

void TVelmora_Form1::bbtnDXFClick() {
  QString target;
  if (fileState.name.isEmpty()) {
    target = dialogs->saveFileName(this, QStringLiteral("保存するDXFファイル名"),
                                   QStringLiteral("DXFファイル (*.dxf)"), QStringLiteral("dxf"), fileState.folder);
    if (target.isEmpty()) return;
  } else {
    fileState.dxfBaseName = QString::fromStdString(baseNameOf(fileState.name.toStdString()));
    target = QString::fromStdString(dxfPathFor(QDir(fileState.folder).filePath(fileState.name).toStdString()));
  }
  const SaveResult saved = doc->exportDxf(target.toStdString());
  if (!saved.ok) {
    showMessage(QStringLiteral("Message"), QString::fromStdString(saved.message));
    return;
  }
  fileState.dxfPath = target;
  dialogs->messageLines(this, kOkButton, kWideText,
                        {fileState.dxfPath, QStringLiteral("DXF_File saved successfully.")});
}

void TVelmora_Form1::Font1Click() {
  if (!textPane()->isEnabled()) return;
  if (!settingsState.fontPending) {
    const std::optional<QFont> chosen = dialogs->font(this, dialogFont);
    if (chosen) {
      dialogFont = *chosen;
      applyEditorFont();
    }
  } else {
    applyEditorFont();
  }
  settingsState.fontPending = false;
}

void TVelmora_Form1::setEditorFont(const QFont& font) {
  reditNcFile->setFont(font);
  reditEdit->setFont(font);
}

void TVelmora_Form1::applyEditorFont() {
  setEditorFont(dialogFont);
  // In edit mode the drawing is blank and the caret belongs to the user: only the font changes.
  if (rbtnEdit->isChecked() || !doc->hasProgram()) return;
  btnReDrowClick();
}

void TVelmora_Form1::Help1Click() { dialogs->messageLines(this, kOkButton, kWideText, helpLines()); }

void TVelmora_Form1::About1Click() { TAboutBox::showFor(this); }

void TVelmora_Form1::Panel3Click() {
  QDesktopServices::openUrl(QUrl(kWebAddress));
  if (textPane()->isEnabled()) textPane()->setFocus();
}
