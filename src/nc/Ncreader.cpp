// Reads an NC program into the block store, one block per line, as the window loads it.
#include "nc/Ncreader.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>

#include "nc/Ncevaluate.hpp"
#include "nc/Ncscan.hpp"
#include "util/Text.hpp"

namespace {

constexpr int kProgressInterval = 256;  // lines between two progress calls

// The threads that scan lines ahead: as asked, or where they pay. On two cores they gained 0 to 15 % of a
// million-line reading for the whole of the second core; a long text on four cores or more gets two.
int scanThreadsFor(const ReadOptions& options, std::size_t size) {
  if (options.scanThreads >= 0) return options.scanThreads;
  constexpr std::size_t kLongText = std::size_t{8} << 20;
  return std::thread::hardware_concurrency() >= 4 && size >= kLongText ? 2 : 0;
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
int countEditorLines(std::basic_string_view<Char> text, int lineFeeds, int crs) {
  const bool endsWithBreak = text.empty() || text.back() == Char('\n') || text.back() == Char('\r');
  return lineFeeds + crs + (endsWithBreak ? 0 : 1);
}

// The line feeds of a text, eight bytes at a time: the reader reserves a block for each.
int countLineFeeds(std::string_view text) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL, kFeeds = 0x0A0A0A0A0A0A0A0AULL;
  std::size_t count = 0, i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    const std::uint64_t x = word ^ kFeeds;  // a zero byte where a line feed was
    const std::uint64_t zeroBytes = ~((((x & kLow7) + kLow7) | x) | kLow7) >> 7;  // 1 in each such byte
    count += static_cast<std::size_t>((zeroBytes * 0x0101010101010101ULL) >> 56);
  }
  count += static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(), '\n'));
  return static_cast<int>(count);
}

int countLineFeeds(std::u16string_view text) {
  return static_cast<int>(std::count(text.begin(), text.end(), u'\n'));
}

// The lines of `text` as a text-mode read delivers them: each with its line feed (CR LF arrives as LF), a
// lone CR stays inside its line, and the last line may lack a line feed. Each line is decoded on its own:
// a line feed byte is never part of a Shift-JIS or UTF-8 character.
template <typename Char>
ReadResult interpretLines(std::basic_string_view<Char> text, const kNcText& source, kNcGeometry& geometry,
                          const ReaderCallbacks& callbacks, const ReadOptions& options) {
  ReadResult result;
  ReadProgress progress;
  progress.charsTotal = text.size();
  const int lineFeeds = countLineFeeds(text);
  geometry.reserveBlocks(lineFeeds + 2);
  kLineScanner scanner(source, geometry.textOnlyBytes(), options.onePass, scanThreadsFor(options, text.size()));
  int crs = 0;  // lone CRs
  std::u16string declined;
  while (const LineChunk* chunk = scanner.next()) {
    crs += chunk->loneCrs;
    for (const ScannedLine& line : chunk->lines) {
      if (result.linesRead % kProgressInterval == 0 && !report(callbacks, progress)) {
        result.status = ReadResult::Status::Cancelled;
        return result;
      }
      if (line.plain && geometry.readPlainLine(line.words, line.end)) {
        ++result.plainLines;
      } else if (line.plain) {
        // A plain line inside a comment left open is read as text after all.
        readLine(source, line.begin, line.end, declined);
        geometry.interpretLine(declined, line.end);
      } else {
        geometry.interpretLine(chunk->textOf(line), line.end);
      }
      progress.linesRead = ++result.linesRead;
      progress.charsDone = line.end;
      if (geometry.syntaxErrorBlock() != 0) {
        result.syntaxErrorLine = geometry.syntaxErrorBlock();
        report(callbacks, progress);
        return result;
      }
    }
  }
  // An editor line that has no file line of its own (after a lone CR) still gets a block.
  if (countEditorLines(text, lineFeeds, crs) == result.linesRead + 1) {
    geometry.interpretBlock(u" ");
    progress.linesRead = ++result.linesRead;
  }
  report(callbacks, progress);
  return result;
}

void prepareForReading(kNcGeometry& geometry) {
  geometry.restart();
  geometry.setCommentDelimiters(kProgramDelimiters);
}

}  // namespace

int editorLineCount(std::u16string_view text) {
  int crs = 0;
  for (std::size_t i = text.find(u'\r'); i != text.npos; i = text.find(u'\r', i + 1)) {
    crs += i + 1 == text.size() || text[i + 1] != u'\n';
  }
  return countEditorLines(text, countLineFeeds(text), crs);
}

ReadResult readNcProgram(std::shared_ptr<const kNcText> text, kNcGeometry& geometry,
                         const ReaderCallbacks& callbacks, const ReadOptions& options, const std::string& path) {
  prepareForReading(geometry);
  geometry.readFrom(text);
  if (programNeedsEvaluation(*text)) {
    ReadResult result = evaluateProgram(*text, path, geometry, callbacks, options);
    result.encoding = text->encoding();
    return result;
  }
  ReadResult result = text->isWide() ? interpretLines(text->wideText(), *text, geometry, callbacks, options)
                                     : interpretLines(text->bytes(), *text, geometry, callbacks, options);
  result.encoding = text->encoding();
  return result;
}

ReadResult readNcProgram(const kNcText& text, kNcGeometry& geometry, const ReaderCallbacks& callbacks,
                         const ReadOptions& options, const std::string& path) {
  // Shares nothing: the caller keeps the text alive.
  return readNcProgram(std::shared_ptr<const kNcText>(std::shared_ptr<const kNcText>(), &text), geometry,
                       callbacks, options, path);
}

ReadResult readNcText(std::u16string_view text, kNcGeometry& geometry, const ReaderCallbacks& callbacks,
                      const ReadOptions& options) {
  auto program = std::make_shared<kNcText>();
  program->setText(std::u16string(text), TextEncoding::ShiftJis, LineBreak::Lf);
  ReadResult result = readNcProgram(std::move(program), geometry, callbacks, options);
  result.encoding = TextEncoding::ShiftJis;
  return result;
}

ReadResult::Status readStatusOf(kNcText::Status status) {
  switch (status) {
    case kNcText::Status::Ok:
      return ReadResult::Status::Ok;
    case kNcText::Status::NotFound:
      return ReadResult::Status::NotFound;
    case kNcText::Status::IsFolder:
      return ReadResult::Status::IsFolder;
    default:
      return ReadResult::Status::OpenFailed;
  }
}

ReadResult readNcFile(const std::string& path, kNcGeometry& geometry, const ReaderCallbacks& callbacks,
                      const ReadOptions& options) {
  auto text = std::make_shared<kNcText>();
  const kNcText::OpenResult opened = text->open(path);
  if (opened.status != kNcText::Status::Ok) {
    prepareForReading(geometry);
    return failure(readStatusOf(opened.status), opened.message);
  }
  if (const FileKind kind = options.refuseNonText ? text->contentKind() : FileKind::Text; kind != FileKind::Text) {
    prepareForReading(geometry);
    return failure(ReadResult::Status::NotText, refusalMessage(kind, path));
  }
  return readNcProgram(std::move(text), geometry, callbacks, options, path);
}
