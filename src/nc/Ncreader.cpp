// Reads an NC program into the block store, one block per line, as the window loads it.
#include "nc/Ncreader.hpp"

#include <algorithm>

#include "util/Text.hpp"

namespace {

using View = std::u16string_view;

constexpr int kProgressInterval = 256;  // lines between two progress calls

bool startsWithVar(View line) {
  std::size_t i = 0;
  while (i < line.size() && isBlank(line[i])) ++i;
  return line.substr(i, 3) == u"VAR";
}

bool report(const ReaderCallbacks& callbacks, const ReadProgress& progress) {
  return !callbacks.progress || callbacks.progress(progress);
}

ReadResult failure(ReadResult::Status status, std::string message) {
  ReadResult result;
  result.status = status;
  result.message = std::move(message);
  return result;
}

// Lines end at CR LF, a lone CR or LF; an empty last line is not counted.
template <typename Char>
int countEditorLines(std::basic_string_view<Char> text) {
  int lines = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == Char('\n') || text[i] == Char('\r')) {
      ++lines;
      if (text[i] == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ++i;
    }
  }
  const bool endsWithBreak = text.empty() || text.back() == Char('\n') || text.back() == Char('\r');
  return endsWithBreak ? lines : lines + 1;
}

// The lines of `text` as a text-mode read delivers them: each with its line feed (CR LF arrives as LF), a
// lone CR stays inside its line, and the last line may lack a line feed. Each line is decoded on its own:
// a line feed byte is never part of a Shift-JIS or UTF-8 character.
template <typename Char, typename Decode>
ReadResult interpretLines(std::basic_string_view<Char> text, Decode decode, kNcGeometry& geometry,
                          const ReaderCallbacks& callbacks) {
  ReadResult result;
  ReadProgress progress;
  progress.charsTotal = text.size();
  geometry.reserveBlocks(static_cast<int>(std::count(text.begin(), text.end(), Char('\n'))) + 2, text.size());
  std::u16string line;
  std::size_t start = 0;
  while (start < text.size()) {
    if (result.linesRead % kProgressInterval == 0 && !report(callbacks, progress)) {
      result.status = ReadResult::Status::Cancelled;
      return result;
    }
    std::size_t end = text.find(Char('\n'), start);
    end = end == std::basic_string_view<Char>::npos ? text.size() : end + 1;
    decode(text.substr(start, end - start), line);
    if (line.size() >= 2 && line[line.size() - 1] == u'\n' && line[line.size() - 2] == u'\r') {
      line.erase(line.size() - 2, 1);
    }
    start = end;
    prepareLine(line);
    geometry.interpretBlock(line);
    progress.linesRead = ++result.linesRead;
    progress.charsDone = start;
    if (geometry.syntaxErrorBlock() != 0) {
      result.syntaxErrorLine = geometry.syntaxErrorBlock();
      report(callbacks, progress);
      return result;
    }
  }
  // An editor line that has no file line of its own (after a lone CR) still gets a block.
  if (countEditorLines(text) == result.linesRead + 1) {
    geometry.interpretBlock(u" ");
    progress.linesRead = ++result.linesRead;
  }
  report(callbacks, progress);
  return result;
}

void copyLine(std::u16string_view piece, std::u16string& line) { line.assign(piece); }

void prepareForReading(kNcGeometry& geometry) {
  geometry.restart();
  geometry.setCommentDelimiters(u"/*", u"*/", u"//", u"", u"(", u")");
}

}  // namespace

void prepareLine(std::u16string& line) {
  upperCaseInPlace(line);
  if (startsWithVar(line)) {
    // A macro variable line goes on as the bare variable name.
    line = textBefore(replaceFirst(stripBlanks(line), u"VAR", u""), u"=");
  }
  if (!line.empty() && line[0] == u'*' && line.find(u"*/") == std::u16string::npos) line = u" ";
}

int editorLineCount(View text) { return countEditorLines(text); }

ReadResult readNcText(View text, kNcGeometry& geometry, const ReaderCallbacks& callbacks) {
  prepareForReading(geometry);
  return interpretLines(text, copyLine, geometry, callbacks);
}

ReadResult readNcProgram(const kNcText& text, kNcGeometry& geometry, const ReaderCallbacks& callbacks) {
  prepareForReading(geometry);
  ReadResult result;
  if (text.isWide()) {
    result = interpretLines(text.wideText(), copyLine, geometry, callbacks);
  } else if (text.encoding() == TextEncoding::Utf8Bom) {
    result = interpretLines(
        text.bytes(), [](std::string_view piece, std::u16string& line) { line = fromUtf8(piece); }, geometry,
        callbacks);
  } else {
    result = interpretLines(text.bytes(), decodeShiftJisInto, geometry, callbacks);
  }
  result.encoding = text.encoding();
  return result;
}

ReadResult readNcFile(const std::string& path, kNcGeometry& geometry, const ReaderCallbacks& callbacks) {
  kNcText text;
  const kNcText::OpenResult opened = text.open(path);
  if (opened.status != kNcText::Status::Ok) {
    prepareForReading(geometry);
    const ReadResult::Status status = opened.status == kNcText::Status::NotFound ? ReadResult::Status::NotFound
                                      : opened.status == kNcText::Status::IsFolder
                                          ? ReadResult::Status::IsFolder
                                          : ReadResult::Status::OpenFailed;
    return failure(status, opened.message);
  }
  return readNcProgram(text, geometry, callbacks);
}
