// Reads an NC program into the block store, one block per line, as the window loads it.
#include "nc/Ncreader.hpp"

#include "util/Utility.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

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

// The lines of `text` as a text-mode read delivers them: each with its line feed (CR LF arrives as LF), a
// lone CR stays inside its line, and the last line may lack a line feed.
ReadResult interpretLines(View text, kNcGeometry& geometry, const ReaderCallbacks& callbacks) {
  ReadResult result;
  ReadProgress progress;
  progress.charsTotal = text.size();
  geometry.reserveBlocks(static_cast<int>(std::count(text.begin(), text.end(), u'\n')) + 2, text.size());
  std::u16string line;
  std::size_t start = 0;
  while (start < text.size()) {
    if (result.linesRead % kProgressInterval == 0 && !report(callbacks, progress)) {
      result.status = ReadResult::Status::Cancelled;
      return result;
    }
    std::size_t end = text.find(u'\n', start);
    end = end == View::npos ? text.size() : end + 1;
    line.assign(text.substr(start, end - start));
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
  if (editorLineCount(text) == result.linesRead + 1) {
    geometry.interpretBlock(u" ");
    progress.linesRead = ++result.linesRead;
  }
  report(callbacks, progress);
  return result;
}

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

int editorLineCount(View text) {
  int lines = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' || text[i] == u'\r') {
      ++lines;
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    }
  }
  const char16_t last = text.empty() ? u'\n' : text.back();
  return last == u'\n' || last == u'\r' ? lines : lines + 1;
}

ReadResult readNcText(View text, kNcGeometry& geometry, const ReaderCallbacks& callbacks) {
  prepareForReading(geometry);
  return interpretLines(text, geometry, callbacks);
}

ReadResult readNcFile(const std::string& path, kNcGeometry& geometry, const ReaderCallbacks& callbacks) {
  prepareForReading(geometry);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return failure(ReadResult::Status::NotFound, "No such file: " + path);
  }
  if (S_ISDIR(info.st_mode)) return failure(ReadResult::Status::IsFolder, "Is a folder, not a file: " + path);
  std::ifstream in(path, std::ios::binary);
  if (!in) return failure(ReadResult::Status::OpenFailed, "No Open " + path + " (" + std::strerror(errno) + ")");
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(info.st_size));
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return failure(ReadResult::Status::OpenFailed, "No Open " + path + " (read error)");
  DecodedText decoded = decodeText(bytes);
  bytes = std::string();
  ReadResult result = interpretLines(decoded.text, geometry, callbacks);
  result.encoding = decoded.encoding;
  return result;
}
