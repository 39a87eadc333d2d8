// Loading a program: the editor gets the text, the reader fills the block store, the window stays alive and
// the abort button stops the reading; at the end the view is fitted to the program.
#include "app/Velmora_.hpp"

#include "app/EditorLines.hpp"
#include "util/Files.hpp"

#include <QCoreApplication>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>

namespace {
// The window takes its events at most this often while a program is read (and so answers abort within it).
constexpr int kPumpIntervalMs = 30;
}  // namespace

void TVelmora_Form1::prepareForLoad() {
  ncGeometry->restart();
  ncGeometry->setCommentDelimiters(u"/*", u"*/", u"//", u"", u"(", u")");
  clearDrawing();
  reditNcFile->setExtraSelections({});
  reditNcFile->clear();
}

void TVelmora_Form1::loadNcFile(const QString& path) {
  const std::string file = path.toStdString();
  if (loading || !fileExists(file)) return;
  QFile source(path);
  if (!source.open(QIODevice::ReadOnly)) {
    showMessageBox(QStringLiteral("File Open Error"), QStringLiteral("No Open %1").arg(path));
    return;
  }
  const QByteArray bytes = source.readAll();
  source.close();
  loadedBytes = bytes.size();
  DecodedText decoded = decodeText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  textEncoding = decoded.encoding;
  const ReadResult result = runLoad(QString::fromStdU16String(decoded.text), [&](const ReaderCallbacks& callbacks) {
    return readNcFile(file, *ncGeometry, callbacks);
  });
  reportReadResult(result, path);
}

void TVelmora_Form1::loadNcText(const QString& text) {
  if (loading) return;
  const std::u16string program = text.toStdU16String();
  const ReadResult result = runLoad(text, [&](const ReaderCallbacks& callbacks) {
    return readNcText(program, *ncGeometry, callbacks);
  });
  reportReadResult(result, QString());
}

ReadResult TVelmora_Form1::runLoad(const QString& editorText,
                                   const std::function<ReadResult(const ReaderCallbacks&)>& read) {
  loading = true;
  abortRequested = false;
  // Commands that would change the program or the file must wait for the end of the load.
  for (QWidget* blocked : {static_cast<QWidget*>(pnlSelectEdit), static_cast<QWidget*>(pnlEditBottom),
                           static_cast<QWidget*>(menuBar())})
    blocked->setEnabled(false);
  reditNcFile->setEnabled(true);
  Image1->setEnabled(true);
  bbtnAbort->setText(QStringLiteral("図形処理中：強制終了"));
  bbtnAbort->show();
  bbtnAbort->raise();
  pumpTimer.start();

  movingCaret = true;
  fillEditor(reditNcFile, editorText, [this] { loadProgress(); });
  reditNcFile->setFocus();
  caretToTextStart(reditNcFile);
  prevLine = curLine = 1;
  caretToLine(reditNcFile, 1);
  colorLine(reditNcFile, Qt::red, 1);
  movingCaret = false;

  ReadResult result;
  if (abortRequested) {
    result.status = ReadResult::Status::Cancelled;
  } else {
    ReaderCallbacks callbacks;
    callbacks.progress = [this](const ReadProgress&) { return loadProgress(); };
    result = read(callbacks);
  }

  bbtnAbort->hide();
  for (QWidget* blocked : {static_cast<QWidget*>(pnlSelectEdit), static_cast<QWidget*>(pnlEditBottom),
                           static_cast<QWidget*>(menuBar())})
    blocked->setEnabled(true);
  loading = false;
  toolPath->programChanged();
  toolPath->fitToExtents(Image1->width(), Image1->height());
  lastRead = result;
  return result;
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
    showMessageBox(QStringLiteral("File Open Error"), QStringLiteral("No Open %1").arg(path));
  if (result.syntaxErrorLine > 0)
    showMessageBox(QStringLiteral("Message"), QString::fromStdU16String(kCommentSyntaxError) +
                                                  QStringLiteral("\nLine %1").arg(result.syntaxErrorLine));
}
