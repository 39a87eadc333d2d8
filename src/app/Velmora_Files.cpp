// Opening programs: the File menu with Open, the recent files and Save, the refusal of files that are no
// program, and reading the current file again when it changes on disk.
#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "app/Velmora_.hpp"
#include "util/Filekind.hpp"

namespace {

constexpr int kRecentFileCount = 10;
// A save by rename deletes, creates and writes within a few milliseconds; a look after this finds it whole.
constexpr int kDiskSettleMs = 150;
const QString kNcFileFilter = QStringLiteral("NCファイル (*.nc *.ngc *.tap *.cnc);;すべてのファイル (*)");

// What tells one version of a file from the next: its size and modification time ("" when it is not there).
QString fileStateOf(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile()) return {};
  return QString::number(info.size()) + QLatin1Char('@') +
         QString::number(info.lastModified().toMSecsSinceEpoch());
}

}  // namespace

void TVelmora_Form1::buildFileCommands() {
  menuFile = new QMenu(QStringLiteral("File"), this);
  menuBar()->insertMenu(Font1, menuFile);
  actOpen = menuFile->addAction(QStringLiteral("Open..."));
  actOpen->setShortcut(QKeySequence::Open);
  menuRecent = menuFile->addMenu(QStringLiteral("Recent files"));
  actSave = menuFile->addAction(QStringLiteral("ファイル保存"));
  actSave->setShortcut(QKeySequence::Save);
  // Shortcuts of the window's own, so they work while the menu bar waits for a load to end.
  addActions({actOpen, actSave});
  connect(actOpen, &QAction::triggered, this, [this] { openFileClick(); });
  connect(actSave, &QAction::triggered, this, [this] { saveShortcut(); });
  watcher = new QFileSystemWatcher(this);
  diskCheckTimer.setSingleShot(true);
  diskCheckTimer.setInterval(kDiskSettleMs);
  connect(watcher, &QFileSystemWatcher::fileChanged, this, [this] { diskCheckTimer.start(); });
  connect(watcher, &QFileSystemWatcher::directoryChanged, this, [this] { diskCheckTimer.start(); });
  connect(&diskCheckTimer, &QTimer::timeout, this, [this] { checkFileOnDisk(); });
  fillRecentMenu();
}

bool TVelmora_Form1::refuseFile(const QString& path) {
  const FileVerdict verdict = judgeProgramFile(path.toStdString());
  if (verdict.isText()) return false;
  showMessage(QStringLiteral("File Open Error"), QString::fromStdString(verdict.message));
  return true;
}

bool TVelmora_Form1::arriveFile(const QString& path, bool showSave) {
  if (loading || refuseFile(path)) return false;
  if (hasUnsavedEdits() && !confirmLosingEdits(QStringLiteral("Open %1").arg(QFileInfo(path).fileName())))
    return false;
  setCurrentFile(path);
  setFileCommands(true, showSave);
  menuFileName->setText(fileState.path);
  prepareForLoad();
  loadAndDraw(fileState.path);
  unsavedEdits = false;
  rememberRecent(fileState.path);
  watchCurrentFile();
  return true;
}

void TVelmora_Form1::openFileClick() {
  if (loading) return;
  const QString path =
      dialogs->openFileName(this, QStringLiteral("NCファイルを開く"), kNcFileFilter, fileState.folder);
  if (!path.isEmpty()) dropNcFile(path);
}

void TVelmora_Form1::openRecentFile(const QString& path) {
  if (loading) return;
  if (judgeProgramFile(path.toStdString()).kind == FileKind::Missing) {
    showMessage(QStringLiteral("File Open Error"),
                QString::fromStdString(refusalMessage(FileKind::Missing, path.toStdString())));
    settingsState.recentFiles.removeAll(path);
    saveRecentFiles();
    fillRecentMenu();
    return;
  }
  dropNcFile(path);
}

void TVelmora_Form1::rememberRecent(const QString& path) {
  QStringList& recent = settingsState.recentFiles;
  const QString absolute = QFileInfo(path).absoluteFilePath();
  recent.removeAll(absolute);
  recent.prepend(absolute);
  while (recent.size() > kRecentFileCount) recent.removeLast();
  saveRecentFiles();
  fillRecentMenu();
}

void TVelmora_Form1::fillRecentMenu() {
  menuRecent->clear();
  for (const QString& path : settingsState.recentFiles) {
    QAction* entry = menuRecent->addAction(path);
    connect(entry, &QAction::triggered, this, [this, path] { openRecentFile(path); });
  }
  menuRecent->setEnabled(!settingsState.recentFiles.isEmpty());
}

void TVelmora_Form1::saveShortcut() {
  if (loading || pnlEditBottom->isHidden() || bbtnReplace->isHidden() || !bbtnReplace->isEnabled()) return;
  bbtnReplaceClick();
}

void TVelmora_Form1::watchCurrentFile() {
  const QStringList watched = watcher->files() + watcher->directories();
  if (!watched.isEmpty()) watcher->removePaths(watched);
  knownFileState = fileStateOf(fileState.path);
  if (fileState.path.isEmpty()) return;
  // Editors save by writing another file and renaming it over this one: the folder sees that happen.
  watcher->addPath(fileState.path);
  watcher->addPath(fileState.folder);
}

void TVelmora_Form1::checkFileOnDisk() {
  if (fileState.path.isEmpty() || closing) return;
  if (loading) {
    diskCheckTimer.start();
    return;
  }
  const QString now = fileStateOf(fileState.path);
  // Gone, perhaps only between the steps of a replacement: the folder tells when it is back.
  if (now.isEmpty()) return;
  // A replaced file is another file under the same name: watch that one from now on.
  watcher->removePath(fileState.path);
  watcher->addPath(fileState.path);
  if (now == knownFileState) return;
  knownFileState = now;
  if (hasUnsavedEdits() &&
      !dialogs->question(this, QStringLiteral("Message"),
                         QStringLiteral("%1\nhas changed on disk. Read it again and lose the unsaved edits?")
                             .arg(fileState.path)))
    return;
  reloadFromDisk();
}

bool TVelmora_Form1::hasUnsavedEdits() const {
  return unsavedEdits || (rbtnEdit->isChecked() && reditEdit->document()->isModified());
}

void TVelmora_Form1::reloadFromDisk() {
  if (refuseFile(fileState.path)) return;
  const bool editing = rbtnEdit->isChecked();
  const int line = editing ? reditEdit->textCursor().blockNumber() + 1 : reditNcFile->caretLine();
  if (editing) {
    rbtnCheck->show();
    rbtnCheck->setChecked(true);
    rbtnEditClick();
  }
  prepareForLoad();
  loadNcFile(fileState.path);
  unsavedEdits = false;
  knownFileState = fileStateOf(fileState.path);
  showLine(line);
}

void TVelmora_Form1::showLine(int line) {
  if (!doc->hasProgram()) return;
  const int target = std::clamp(line, 1, std::max(doc->shownLineCount(), 1));
  reditNcFile->setFocus();
  // A caret move draws through its line; a caret already there does not move.
  if (target == reditNcFile->caretLine()) {
    btnReDrowClick();
    return;
  }
  reditNcFile->setCaretLine(target);
}
