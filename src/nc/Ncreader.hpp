// Reads an NC program into the block store: one block per line, prepared as the window loads it
// (upper case, "VAR" lines cut to their name, "*" lines blanked), with progress and cancellation.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "eval/Evalue.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncline.hpp"
#include "nc/Nctext.hpp"
#include "util/Encoding.hpp"

struct ReadProgress {
  int linesRead = 0;
  std::uint64_t charsDone = 0;
  std::uint64_t charsTotal = 0;
};

struct ReaderCallbacks {
  // Called between lines, every few hundred lines and after the last; returning false cancels the reading.
  std::function<bool(const ReadProgress&)> progress;
};

// How a program is read; every choice gives the same blocks and problems.
struct ReadOptions {
  // Plain ASCII lines are read in one pass over their bytes (Ncplain); off, every line is read as text.
  bool onePass = true;
  // Threads that scan lines ahead of the interpreter: 0 none, -1 as many as pay on this machine (none on
  // fewer than four cores).
  int scanThreads = -1;
  // A file whose first bytes are not a program's text (binary data, NetCDF, HDF5) is refused (NotText).
  bool refuseNonText = false;
  // Set from another thread, stops an evaluation (the window's stop button).
  const std::atomic<bool>* stop = nullptr;
};

struct ReadResult {
  enum class Status { Ok, Cancelled, NotFound, IsFolder, OpenFailed, NotText };
  Status status = Status::Ok;
  std::string message;      // for NotFound, IsFolder, OpenFailed, NotText: what went wrong, with the path
  int linesRead = 0;        // lines handed to interpretBlock (the extra blank block included)
  int plainLines = 0;       // of which read in one pass over their bytes
  int syntaxErrorLine = 0;  // line (= block) of a comment syntax error; reading stopped after it
  TextEncoding encoding = TextEncoding::ShiftJis;
  // The program used variables, flow or calls and was executed: its blocks are the executed blocks.
  bool evaluated = false;
  // Evaluation stopped at a limit or an error before the program's end (the problems say where).
  bool evaluationCutShort = false;
  std::vector<EvalProblem> evalProblems;
};

inline constexpr char16_t kCommentSyntaxError[] = u"コメント構文エラー";

// How a reading answers for a program text that could not be opened.
ReadResult::Status readStatusOf(kNcText::Status status);
// Restarts `geometry` with the window's comment delimiters, then reads the file at `path` into it; the store
// keeps the file's text for its block texts.
ReadResult readNcFile(const std::string& path, kNcGeometry& geometry, const ReaderCallbacks& callbacks = {},
                      const ReadOptions& options = {});
// Restarts `geometry` and reads the program `text` into it; the store keeps `text` for its block texts. `path`
// names the program's file: called programs are looked for beside it.
ReadResult readNcProgram(std::shared_ptr<const kNcText> text, kNcGeometry& geometry,
                         const ReaderCallbacks& callbacks = {}, const ReadOptions& options = {},
                         const std::string& path = {});
// The same for a text the caller keeps: it must outlive the store's blocks (until the store's next reading
// or restart), whose texts are read from it.
ReadResult readNcProgram(const kNcText& text, kNcGeometry& geometry, const ReaderCallbacks& callbacks = {},
                         const ReadOptions& options = {}, const std::string& path = {});
// The same for a text already decoded (the editor's text when an edit is re-read); the store keeps a copy.
ReadResult readNcText(std::u16string_view text, kNcGeometry& geometry, const ReaderCallbacks& callbacks = {},
                      const ReadOptions& options = {});
// Lines as the editor counts them: ends at CR LF, a lone CR or LF; an empty last line is not counted.
int editorLineCount(std::u16string_view text);
