// The program texts of an evaluation: split into prepared lines and indexed by program and sequence number;
// called programs looked for in the same file, then beside it, then in the search path.
#include "eval/Evalfiles.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "nc/Ncline.hpp"
#include "nc/Nctext.hpp"
#include "util/Text.hpp"

namespace {

namespace fs = std::filesystem;

std::int64_t labelKey(int header, int n) {
  return (static_cast<std::int64_t>(header) << 32) | static_cast<std::uint32_t>(n);
}

// The line `key` maps to in `index`, or -1.
template <typename Index, typename Key>
int lineIn(const Index& index, const Key& key) {
  const auto found = index.find(key);
  return found == index.end() ? -1 : found->second;
}

std::u16string wholeText(const kNcText& text) {
  std::u16string all;
  text.decode(0, text.isWide() ? text.wideText().size() : text.bytes().size(), all);
  return all;
}

std::string lowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The N number a line starts with (after blanks and a block delete), or -1.
int sequenceNumber(std::u16string_view line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == u' ' || line[i] == u'\t' || line[i] == u'/')) ++i;
  if (i >= line.size() || line[i] != u'N') return -1;
  ++i;
  while (i < line.size() && line[i] == u' ') ++i;
  long long n = 0;
  const std::size_t start = i;
  for (; i < line.size() && isDigit(line[i]) && i - start < 9; ++i)
    n = n * 10 + (line[i] - u'0');
  return i == start ? -1 : static_cast<int>(n);
}

// The label of an "O… SUB" line ("100" or "<NAME>"), or "".
std::u16string subLabel(std::u16string_view line) {
  std::u16string code;
  for (char16_t c : line) {
    if (c == u'(' || c == u';') break;
    if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') code += c;
  }
  if (code.size() < 5 || code[0] != u'O' || !code.ends_with(u"SUB") || code.ends_with(u"ENDSUB")) return {};
  return code.substr(1, code.size() - 4);
}

// A "/*" comment over lines is closed on each of its lines ("/*" before a line that starts inside it, "*/"
// after one that leaves it open), so that each line executed reads on its own the way the plain reading reads
// it in sequence: evaluation hands lines on as written or rebuilt, in the order they run. A comment that never
// closes is left as written, open to the end as in the plain reading.
void closeCommentsOverLines(EvalFile& file) {
  const std::size_t n = file.lines.size();
  if (n == 0) return;
  std::vector<bool> leaves(n);
  for (std::size_t i = 0; i < n; ++i)
    leaves[i] = i + 1 < n ? file.inComment[i + 1] : leavesCommentOpen(file.lines[i], file.inComment[i]);
  // closes[i]: the comment open after line i is closed by a later line.
  std::vector<bool> closes(n, false);
  for (std::size_t i = n - 1; i-- > 0;)
    closes[i] = leaves[i] && (file.lines[i + 1].find(u"*/") != std::u16string::npos || closes[i + 1]);
  for (std::size_t i = 0; i < n; ++i) {
    std::u16string& line = file.lines[i];
    if (leaves[i] && closes[i]) {
      std::size_t end = line.size();
      while (end > 0 && (line[end - 1] == u'\n' || line[end - 1] == u'\r')) --end;
      line.insert(end, u"*/");
    }
    if (file.inComment[i] && i > 0 && closes[i - 1]) {
      line.insert(0, u"/*");
      file.inComment[i] = false;
    }
  }
}

}  // namespace

EvalFiles::EvalFiles(Dialect dialect, std::vector<std::string> searchPath) : dialect_(dialect) {
  folders_.emplace_back(".");
  for (std::string& folder : searchPath) folders_.push_back(std::move(folder));
}

void EvalFiles::addMain(const kNcText& text, const std::string& path) {
  addMainLines(wholeText(text), path);
}

void EvalFiles::addMainLines(std::u16string_view text, const std::string& path) {
  if (!path.empty()) {
    const fs::path parent = fs::path(path).parent_path();
    folders_[0] = parent.empty() ? "." : parent.string();
  }
  addFile(path, text);
}

int EvalFiles::addFile(std::string path, std::u16string_view text) {
  auto file = std::make_unique<EvalFile>();
  file->path = std::move(path);
  int header = -1;
  bool inComment = false;
  for (std::size_t begin = 0; begin < text.size();) {
    std::size_t end = text.find(u'\n', begin);
    end = end == std::u16string_view::npos ? text.size() : end + 1;
    std::u16string line(text.substr(begin, end - begin));
    if (line.size() >= 2 && line[line.size() - 2] == u'\r' && line.back() == u'\n') line.erase(line.size() - 2, 1);
    prepareLine(line);
    const int index = static_cast<int>(file->lines.size());
    // A line that starts inside a comment holds no program, subroutine or sequence number.
    if (inComment) {
    } else if (const int number = headerNumber(line); number >= 0) {
      header = index;
      file->programs.try_emplace(number, index);
    } else if (const std::u16string label = subLabel(line); !label.empty()) {
      file->subs.try_emplace(label, index);
    }
    if (const int n = inComment ? -1 : sequenceNumber(line); n >= 0)
      file->labels.try_emplace(labelKey(header, n), index);
    file->programOf.push_back(header);
    file->inComment.push_back(inComment);
    inComment = leavesCommentOpen(line, inComment);
    file->lines.push_back(std::move(line));
    begin = end;
  }
  closeCommentsOverLines(*file);
  file->parsed.resize(file->lines.size());
  files_.push_back(std::move(file));
  return static_cast<int>(files_.size()) - 1;
}

const ParsedLine& EvalFiles::line(int fileIndex, int lineIndex) {
  EvalFile& f = file(fileIndex);
  auto& slot = f.parsed[static_cast<std::size_t>(lineIndex)];
  if (!slot) {
    slot = std::make_unique<ParsedLine>();
    const std::size_t at = static_cast<std::size_t>(lineIndex);
    parseLine(f.lines[at], dialect_, *slot, f.inComment[at]);
  }
  return *slot;
}

int EvalFiles::findLabel(int fileIndex, int at, int n) const {
  const EvalFile& f = *files_[static_cast<std::size_t>(fileIndex)];
  const int header =
      at >= 0 && at < static_cast<int>(f.programOf.size()) ? f.programOf[static_cast<std::size_t>(at)] : -1;
  return lineIn(f.labels, labelKey(header, n));
}

int EvalFiles::openFile(const std::string& path) {
  if (const auto known = opened_.find(path); known != opened_.end()) return known->second;
  kNcText text;
  int index = -1;
  if (text.open(path).status == kNcText::Status::Ok) index = addFile(path, wholeText(text));
  opened_.emplace(path, index);
  return index;
}

// The first file of `names` (letter case ignored) in the folders, in order.
std::string EvalFiles::findBeside(const std::vector<std::string>& names) const {
  for (const std::string& folder : folders_) {
    std::error_code error;
    std::vector<std::pair<std::string, std::string>> entries;  // lower-case name, path
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
      if (!entry.is_regular_file(error)) continue;
      const std::string name = entry.path().filename().string();
      entries.emplace_back(lowerAscii(name), folder == "." ? name : entry.path().string());
    }
    for (const std::string& name : names) {
      const std::string wanted = lowerAscii(name);
      for (const auto& [lower, path] : entries) {
        if (lower == wanted) return path;
      }
    }
  }
  return {};
}

int EvalFiles::openBeside(const std::vector<std::string>& names) {
  const std::string path = findBeside(names);
  return path.empty() ? -1 : openFile(path);
}

std::pair<int, int> EvalFiles::findProgram(int number, int from) {
  for (const int index : {from, 0}) {
    if (const int header = lineIn(file(index).programs, number); header >= 0) return {index, header};
  }
  for (int index = 0; index < fileCount(); ++index) {
    if (const int header = lineIn(file(index).programs, number); header >= 0) return {index, header};
  }
  const std::string digits = std::to_string(number);
  std::string padded = digits;
  if (padded.size() < 4) padded.insert(0, 4 - padded.size(), '0');
  std::vector<std::string> names;
  for (const std::string& n : {padded, digits}) {
    for (const char* form : {"O%", "O%.nc", "%.nc", "O%.ngc", "%.ngc"}) {
      std::string name = form;
      name.replace(name.find('%'), 1, n);
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
  }
  const int index = openBeside(names);
  if (index < 0) return {-1, -1};
  // A file without its own header runs from its first line.
  return {index, lineIn(file(index).programs, number)};
}

std::pair<int, int> EvalFiles::findSub(const std::u16string& label, int from) {
  for (const int index : {from, 0}) {
    if (const int sub = lineIn(file(index).subs, label); sub >= 0) return {index, sub};
  }
  std::string name;
  for (char16_t c : label) {
    if (c != u'<' && c != u'>') name += static_cast<char>(c < 128 ? c : '_');
  }
  const int index = openBeside({lowerAscii(name) + ".ngc", lowerAscii(name) + ".nc"});
  return index < 0 ? std::pair{-1, -1} : std::pair{index, lineIn(file(index).subs, label)};
}
