// The program texts an evaluation runs: the main file and every file a call finds, split into prepared lines,
// with their programs (O numbers, o-word subs) and sequence numbers indexed once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "eval/Evalline.hpp"

class kNcText;

struct EvalFile {
  std::string path;                                 // as found ("" for the main text when it has no path)
  std::vector<std::u16string> lines;                // prepared as the reader prepares them, line feeds kept
  std::vector<int> programOf;                       // per line: the line of its O header, -1 before any
  std::vector<bool> inComment;                      // per line: a "/*" comment is open where it starts
  std::unordered_map<int, int> programs;            // O number → header line
  std::unordered_map<std::u16string, int> subs;     // o-word label ("100", "<NAME>") → its sub line
  std::unordered_map<std::int64_t, int> labels;     // (program header line, N) → line
  std::vector<std::unique_ptr<ParsedLine>> parsed;  // made on first execution
};

class EvalFiles {
 public:
  EvalFiles(Dialect dialect, std::vector<std::string> searchPath);
  // The main text (already opened); `path` names it and gives the folder called programs are looked for in.
  void addMain(const kNcText& text, const std::string& path);
  // The same for a text given as lines (tests, the fuzz target).
  void addMainLines(std::u16string_view text, const std::string& path);

  EvalFile& file(int index) { return *files_[static_cast<std::size_t>(index)]; }
  int fileCount() const { return static_cast<int>(files_.size()); }
  const ParsedLine& line(int file, int line);
  // A program O`number`: (file, header line) in the file `from`, the main file, files already read, then files
  // beside the main program and in the search path; file -1 when none is found.
  std::pair<int, int> findProgram(int number, int from);
  // An o-word subroutine (label "100" or "<NAME>"): (file, sub line), or file -1.
  std::pair<int, int> findSub(const std::u16string& label, int from);
  // The line of N`n` in the program holding line `at` of `file`; -1 when there is none.
  int findLabel(int file, int at, int n) const;

 private:
  int addFile(std::string path, std::u16string_view text);
  int openFile(const std::string& path);
  // The first file of `names` found beside the program (see findBeside), opened: its index, or -1.
  int openBeside(const std::vector<std::string>& names);
  std::string findBeside(const std::vector<std::string>& names) const;

  Dialect dialect_;
  std::vector<std::string> folders_;  // the main file's folder first, then the search path
  std::vector<std::unique_ptr<EvalFile>> files_;
  std::unordered_map<std::string, int> opened_;
};
