// The program document: reading a file or an edited text once for both its lines and its blocks, the
// current line, and saving the text or its DXF drawing.
#include "document/Ncdocument.hpp"

#include <algorithm>
#include <future>

#include "dxf/DxfExport.hpp"
#include "toolpath/Compensation.hpp"
#include "util/Savefile.hpp"

namespace {

// How often the caller hears from work done on a worker thread.
constexpr std::chrono::milliseconds kProgressInterval(10);

// Runs `work` on a worker thread and calls `progress` on this one until it is done: reading a file and
// indexing a million lines takes tens of milliseconds, through which a window must go on taking its events.
// Returns false when progress asked to stop (the work is finished all the same).
bool runWithProgress(const std::function<void()>& work, const std::function<bool(const ReadProgress&)>& progress) {
  if (!progress) {
    work();
    return true;
  }
  std::future<void> done = std::async(std::launch::async, work);
  bool going = true;
  while (done.wait_for(kProgressInterval) != std::future_status::ready) going = progress(ReadProgress{}) && going;
  done.get();
  return going;
}

}  // namespace

kNcDocument::kNcDocument(ToolPathIndicators* indicators)
    : store(u"(", u")", u"", u"", u"", u""), path(store, canvas, indicators ? *indicators : noIndicators) {}

kNcDocument::~kNcDocument() = default;

void kNcDocument::clear() {
  figures = ProgramFigures();
  text.clear();
  store.restart();
  path.programChanged();
  lastReading = {};
  current = previous = 0;
  runs.clear();
  calledTexts.clear();
  shown = caretLine = 0;
  pictureCurrent = false;
}

void kNcDocument::setControl(Control control) {
  chosenControl_ = control;
  if (store.profile().sourceFile.empty()) store.setProfile(defaultProfile(control));
}

ReadResult kNcDocument::loadFile(const std::string& filePath, const LoadCallbacks& callbacks) {
  clear();
  const std::string profileFile = findProfileFile(filePath);
  store.setProfile(profileFile.empty() ? defaultProfile(chosenControl_) : loadProfileFile(profileFile));
  programFile = filePath;
  // Nothing touches the text while the worker opens it: the caller shows it only from textReady on.
  kNcText::OpenResult opened;
  const auto open = [&] {
    opened = text.open(filePath);
    // The line index too, however the text makes it (at once or on first use): it is a pass over the bytes.
    text.lineCount();
  };
  const bool going = runWithProgress(open, callbacks.progress);
  if (opened.status != kNcText::Status::Ok) {
    lastReading.status = readStatusOf(opened.status);
    lastReading.message = opened.message;
    return lastReading;
  }
  if (const FileKind kind = text.contentKind(); kind != FileKind::Text) {
    text.clear();
    lastReading.status = ReadResult::Status::NotText;
    lastReading.message = refusalMessage(kind, filePath);
    return lastReading;
  }
  saveEncoding = text.encoding();
  saveLineBreak = text.lineBreak();
  return readProgram(callbacks, going);
}

ReadResult kNcDocument::loadText(std::u16string edited, const LoadCallbacks& callbacks) {
  clear();
  const auto take = [&] {
    text.setText(std::move(edited), saveEncoding, saveLineBreak);
    text.lineCount();
  };
  const bool going = runWithProgress(take, callbacks.progress);
  return readProgram(callbacks, going);
}

ReadResult kNcDocument::readProgram(const LoadCallbacks& callbacks, bool going) {
  current = previous = caretLine = 1;
  if (callbacks.textReady) callbacks.textReady();
  ReaderCallbacks reader;
  reader.progress = callbacks.progress;
  // Stopped while the text was opened: the text is shown, no line is read.
  if (!going) reader.progress = [](const ReadProgress&) { return false; };
  lastReading = readNcProgram(text, store, reader, {}, programFile);
  path.programChanged();
  // Passes over every block: on the worker as well, so that a window goes on taking its events meanwhile. The
  // worker's tool centre path goes to the drawing only on this thread, once the worker is done: a drawing made
  // meanwhile (from a progress call) compensates by itself.
  CompensatedPath centre;
  runWithProgress(
      [this, &centre] {
        indexExecutions();
        centre = compensate(store, store.profile());
        figures = ::programFigures(store, rapidRate, toolCentreLengths(centre));
      },
      callbacks.progress);
  path.setToolCentre(std::move(centre));
  return lastReading;
}

bool kNcDocument::endsWithLineBreak() const {
  if (text.isWide()) {
    const std::u16string_view wide = text.wideText();
    return !wide.empty() && (wide.back() == u'\n' || wide.back() == u'\r');
  }
  // A line break byte is never part of a Shift-JIS or UTF-8 character.
  const std::string_view bytes = text.bytes();
  return !bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r');
}

std::u16string kNcDocument::wholeText() const {
  std::u16string whole;
  const int lines = text.lineCount();
  const bool finalBreak = endsWithLineBreak();
  for (int line = 1; line <= lines; ++line) {
    whole += text.lineText(line);
    if (line < lines || finalBreak) whole += u'\n';
  }
  return whole;
}

bool kNcDocument::moveTo(int line, bool step) {
  if (!isEvaluated()) return makeCurrent(std::clamp(line, 1, std::max(lineCount(), 1)), step);
  caretLine = std::clamp(line, 1, std::max(shownLineCount(), 1));
  return makeCurrent(executionAt(shown, caretLine), step);
}

bool kNcDocument::makeCurrent(int block, bool step) {
  const int from = current;
  previous = from;
  current = block;
  if (!step || !surface || !pictureCurrent) return false;
  path.stepDrawing(from, current);
  if (current < from && !path.preview) {
    // Erasing paints white over everything the erased moves touched, the axes included: draw them again.
    canvas.bind(*surface, pictureWidth, pictureHeight, path.viewScale);
    canvas.setScale(path.viewScale);
    canvas.drawCentreLines(path.viewOffset);
  }
  return true;
}

kNcDocument::SaveOutcome kNcDocument::save(const std::string& target) const {
  // The line breaks of the file the text replaces, so that a save changes no more than the edits.
  const EncodedText encoded = encodeNcText(wholeText(), saveEncoding, lineBreakOfFile(target));
  return {saveWithBackup(target, encoded.bytes), encoded.lossless};
}

SaveResult kNcDocument::exportDxf(const std::string& target) const { return ::exportDxf(store, target); }
