// Loading a program: the document reads the text once for both the pane and the blocks, the window stays
// alive and the abort button stops the reading; at the end the view is fitted to the program.
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include "app/Velmora_.hpp"

namespace {
// The window takes its events at most this often while a program is read (and so answers abort within it).
constexpr int kPumpIntervalMs = 20;
}  // namespace

void TVelmora_Form1::prepareForLoad() {
  stopDrawing();
  // The pane reads the document's lines: it lets go before they go.
  reditNcFile->setSource(nullptr);
  doc->clear();
  clearDrawing();
  clearBlockInfo();
  clearProblems();
  pnlReadState->clear();
  pnlFigures->clear();
}

void TVelmora_Form1::loadNcFile(const QString& path) {
  if (loading) return;
  const std::string file = path.toStdString();
  runLoad([&](const kNcDocument::LoadCallbacks& callbacks) { return doc->loadFile(file, callbacks); }, path);
}

void TVelmora_Form1::loadNcText(const QString& text) {
  if (loading) return;
  runLoad(
      [&](const kNcDocument::LoadCallbacks& callbacks) { return doc->loadText(text.toStdU16String(), callbacks); },
      QString());
}

void TVelmora_Form1::runLoad(const std::function<ReadResult(const kNcDocument::LoadCallbacks&)>& read,
                             const QString& path) {
  stopDrawing();
  loading = true;
  abortRequested = false;
  setCommandsDuringLoad(false);
  pumpTimer.start();
  bool textShown = false;
  kNcDocument::LoadCallbacks callbacks;
  callbacks.textReady = [&] {
    textShown = true;
    showTextToRead();
  };
  callbacks.progress = [this](const ReadProgress&) { return loadProgress(); };
  const ReadResult result = read(callbacks);
  // The reading's last stretch and what follows it (the first piece of the drawing) would add up to one long
  // wait for the events that came meanwhile.
  QCoreApplication::processEvents(QEventLoop::AllEvents);

  bbtnAbort->hide();
  setCommandsDuringLoad(true);
  loading = false;
  if (!textShown) {
    // Nothing was read: a missing file or a folder says nothing here (their arrival was refused before), a
    // file that cannot be read or is no text says so.
    reportReadResult(result, path);
    return;
  }
  // Keys pressed while the program was read moved the caret; the load ends on line 1.
  reditNcFile->setSource(lines.get());
  doc->fitView(Image1->width(), Image1->height());
  showProblems(doc->problemReport());
  showReadState(result);
  showFigures();
  showControl();
  reportReadResult(result, path);
  // A stopped reading ends on its last line read, so that the drawing shows all that was read.
  if (result.status == ReadResult::Status::Cancelled && reditNcFile->interpretedLineCount().value_or(0) > 1)
    reditNcFile->setCaretLine(*reditNcFile->interpretedLineCount());
}

// Commands that would change the program or the file wait for the end of the load.
void TVelmora_Form1::setCommandsDuringLoad(bool enabled) {
  for (QWidget* blocked : {static_cast<QWidget*>(pnlSelectEdit), static_cast<QWidget*>(pnlEditBottom),
                           static_cast<QWidget*>(menuBar())})
    blocked->setEnabled(enabled);
}

void TVelmora_Form1::showTextToRead() {
  reditNcFile->setEnabled(true);
  Image1->setEnabled(true);
  reditNcFile->setSource(lines.get());
  reditNcFile->setFocus();
  bbtnAbort->setText(QStringLiteral("図形処理中：強制終了"));
  bbtnAbort->show();
  bbtnAbort->raise();
  pumpTimer.start();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool TVelmora_Form1::loadProgress() {
  if (pumpTimer.elapsed() >= kPumpIntervalMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    pumpTimer.restart();
  }
  return !abortRequested;
}

void TVelmora_Form1::bbtnAbortClick() {
  // Outside a load the button is only the busy sign of "SetScale": a click there means nothing.
  if (!loading) return;
  abortRequested = true;
  bbtnAbort->hide();
}

void TVelmora_Form1::reportReadResult(const ReadResult& result, const QString& path) {
  if (result.status == ReadResult::Status::OpenFailed)
    showMessage(QStringLiteral("File Open Error"), QStringLiteral("No Open %1").arg(path));
  if (result.status == ReadResult::Status::NotText)
    showMessage(QStringLiteral("File Open Error"), QString::fromStdString(result.message));
  if (result.syntaxErrorLine > 0)
    showMessage(QStringLiteral("Message"), QString::fromStdU16String(kCommentSyntaxError) +
                                               QStringLiteral("\nLine %1").arg(result.syntaxErrorLine));
}
