// Files arriving (first argument, drops), resize and splitter redraws, and closing the window.
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <cstdlib>

#include "app/Velmora_.hpp"
#include "util/Files.hpp"

void TVelmora_Form1::setFileCommands(bool fileGiven, bool showSave) {
  for (QWidget* command :
       {static_cast<QWidget*>(btnScale), static_cast<QWidget*>(bbtnReset), static_cast<QWidget*>(reditNcFile),
        static_cast<QWidget*>(Image1), static_cast<QWidget*>(bbtnFeedReplace), static_cast<QWidget*>(bbtnReplace),
        static_cast<QWidget*>(bbtnDXF)})
    command->setEnabled(fileGiven);
  if (!fileGiven) return;
  pnlEditBottom->show();
  bbtnDXF->show();
  if (showSave) bbtnReplace->show();
}

void TVelmora_Form1::FormActivate(const QString& argument) {
  if (argument.isEmpty()) {
    setCurrentFile(QString());
    setFileCommands(false, false);
    return;
  }
  arriveFile(argument, false);
}

void TVelmora_Form1::dropNcFile(const QString& path) {
  if (loading) return;
  activateWindow();
  raise();
  if (arriveFile(path, true)) btnReDrow->setEnabled(true);
}

void TVelmora_Form1::setCurrentFile(const QString& path) {
  fileState.path = path;
  fileState.folder = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
  fileState.name = path.isEmpty() ? QString() : QFileInfo(path).fileName();
}

void TVelmora_Form1::loadAndDraw(const QString& path) {
  loadNcFile(path);
  if (settingsState.fontPending) Font1Click();
  btnReDrowClick();
}

void TVelmora_Form1::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!loading && !urls.isEmpty() && urls.first().isLocalFile()) event->acceptProposedAction();
}

void TVelmora_Form1::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  dropNcFile(urls.first().toLocalFile());
}

void TVelmora_Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (closing || !doc) return;
  ++resizeCount;
  // Large programs take long to draw: one resize event more between redraws for every 15 kB of file.
  const std::int64_t bytes = fileState.path.isEmpty() ? -1 : fileLength(fileState.path.toStdString());
  const std::int64_t k = bytes >= 0 ? bytes / 1000 : 1;
  const int w = width();
  const int h = height();
  const int d = std::abs((w - lastWidth) + (h - lastHeight));
  if (k / 15 < resizeCount) {
    resizeCount = 0;
    if (reditNcFile->isEnabled() && !loading) btnReDrowClick();
  }
  lastWidth = w;
  lastHeight = h;
  if (d != 0) btnReDrow->setEnabled(true);
}

void TVelmora_Form1::Splitter1Moved() { btnScaleClick(); }

bool TVelmora_Form1::confirmLosingEdits(const QString& going) {
  const QString program = fileState.path.isEmpty() ? QStringLiteral("The program") : fileState.path;
  return dialogs->question(this, QStringLiteral("Message"),
                           QStringLiteral("%1\nhas edits that are not saved. %2 and lose them?").arg(program, going));
}

void TVelmora_Form1::closeEvent(QCloseEvent* event) {
  if (!closing && hasUnsavedEdits() && !confirmLosingEdits(QStringLiteral("Close"))) {
    event->ignore();
    return;
  }
  closing = true;
  if (loading) abortRequested = true;
  Settings& s = settingsState;
  s.winTop = y();
  s.winLeft = x();
  s.winWidth = width();
  s.winHeight = height();
  const QFont font = reditNcFile->font();
  s.fontName = font.family();
  s.fontSize = QFontInfo(font).pointSize();
  s.fontBold = font.bold();
  s.fontItalic = font.italic();
  s.fontUnderline = font.underline();
  s.fontStrikeOut = font.strikeOut();
  saveSettings();
  event->accept();
}
