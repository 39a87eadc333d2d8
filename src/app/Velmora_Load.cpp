// Loading a program: the editor gets the text, the reader fills the block store, the window stays alive and
// the abort button stops the reading; at the end the view is fitted to the program.
#include <QCoreApplication>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>

#include "app/EditorLines.hpp"
#include "app/Velmora_.hpp"
#include "util/Files.hpp"

namespace {
// The window takes its events at most this often while a program is read (and so answers abort within it).
constexpr int kPumpIntervalMs = 30;
// A few milliseconds of decoding.
constexpr std::size_t kDecodePieceBytes = 512 << 10;
}  // namespace

void TVelmora_Form1::prepareForLoad() {
  ncGeometry->restart();
  ncGeometry->setCommentDelimiters(u"/*", u"*/", u"//", u"", u"(", u")");
  clearDrawing();
  clearBlockInfo();
  clearProblems();
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
  const auto text = [&] { return decodeInPieces(bytes); };
  const ReadResult result =
      runLoad(text, [&](const ReaderCallbacks& callbacks) { return readNcFile(file, *ncGeometry, callbacks); });
  reportReadResult(result, path);
}

QString TVelmora_Form1::decodeInPieces(const QByteArray& bytes) {
  const std::string_view all(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  // A piece ends after a line feed, which is never part of a Shift-JIS two-byte character.
  const auto pieceEnd = [&](std::size_t from) {
    const std::size_t lf = all.find('\n', std::min(all.size(), from + kDecodePieceBytes));
    return lf == std::string_view::npos ? all.size() : lf + 1;
  };
  std::size_t end = pieceEnd(0);
  DecodedText first = decodeText(all.substr(0, end));
  textEncoding = first.encoding;
  if (textEncoding != TextEncoding::ShiftJis) return QString::fromStdU16String(decodeText(all).text);
  QString text;
  text.reserve(static_cast<qsizetype>(all.size()));  // never more characters than bytes: no copy while growing
  text += QString::fromStdU16String(first.text);
  while (end < all.size()) {
    loadProgress();
    const std::size_t from = end;
    end = pieceEnd(from);
    text += QString::fromStdU16String(decodeShiftJis(all.substr(from, end - from)));
  }
  return text;
}

void TVelmora_Form1::loadNcText(const QString& text) {
  if (loading) return;
  const std::u16string program = text.toStdU16String();
  const ReadResult result =
      runLoad([&] { return text; },
              [&](const ReaderCallbacks& callbacks) { return readNcText(program, *ncGeometry, callbacks); });
  reportReadResult(result, QString());
}

ReadResult TVelmora_Form1::runLoad(const std::function<QString()>& editorText,
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
  fillEditor(reditNcFile, editorText(), [this] { loadProgress(); });
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
  // Keys pressed while the program was read moved the caret; the load ends on line 1.
  movingCaret = true;
  caretToLine(reditNcFile, 1);
  movingCaret = false;
  for (QWidget* blocked : {static_cast<QWidget*>(pnlSelectEdit), static_cast<QWidget*>(pnlEditBottom),
                           static_cast<QWidget*>(menuBar())})
    blocked->setEnabled(true);
  loading = false;
  toolPath->programChanged();
  toolPath->fitToExtents(Image1->width(), Image1->height());
  showProblems(programProblems(*ncGeometry));
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
