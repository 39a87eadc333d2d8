// The program the window shows and works on: its text, its blocks, the drawing of its tool path, the current
// line and the view. Each operation is one of the window's commands; the window turns events into these calls
// and shows what they answer.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "graphics/Kcanvas.hpp"
#include "nc/Ncfigures.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncproblems.hpp"
#include "nc/Ncreader.hpp"
#include "nc/Nctext.hpp"
#include "render/Blockinfo.hpp"
#include "render/Toolpath.hpp"
#include "util/Files.hpp"

// The zoom factor of turning the wheel by `notches` (fractions from high-resolution wheels; negative: out):
// 1.25 per notch, so that zooming in and out again comes back to the same scale.
double wheelZoomFactor(double notches);

class kNcDocument {
 public:
  // Told while a program is read; either may be left empty.
  struct LoadCallbacks {
    // The text is there (lineCount, lineText); its blocks are read next.
    std::function<void()> textReady;
    // Between lines; false stops the reading, and the blocks read so far stay.
    std::function<bool(const ReadProgress&)> progress;
  };
  struct SaveOutcome {
    SaveResult saved;
    // False when a character had no form in the encoding and was written as '?'.
    bool lossless = true;
  };

  // `indicators` (not owned; nullptr: none) shows the scale whenever a drawing starts.
  explicit kNcDocument(ToolPathIndicators* indicators = nullptr);
  ~kNcDocument();
  kNcDocument(const kNcDocument&) = delete;
  kNcDocument& operator=(const kNcDocument&) = delete;

  // ---- The program
  // No program: no text, block 0 only, no current line; a drawing in pieces stops. The encoding a save
  // writes stays that of the last file read.
  void clear();
  // Reads the file at `path`, its text once for both the lines shown and the blocks. A missing file or a
  // folder leaves the document cleared (NotFound, IsFolder), as does a file that cannot be read or is no text
  // (NotText: binary data, NetCDF, HDF5).
  ReadResult loadFile(const std::string& path, const LoadCallbacks& callbacks = {});
  // An edited text (lines broken by LF), read as a file is; a save writes it as the last file was written.
  ReadResult loadText(std::u16string text, const LoadCallbacks& callbacks = {});
  // ---- The control
  // The control chosen in the window, for the programs read from now on (an edited text re-read included);
  // a `.velmora.ini` in a file's folder or the nearest folder above wins over it when that file is loaded.
  void setControl(Control control);
  Control chosenControl() const { return chosenControl_; }
  // The profile the latest reading followed; its sourceFile is "" when it is the window's choice.
  const ControlProfile& profile() const { return store.profile(); }

  // A file or a text was read (its lines may be none).
  bool hasProgram() const { return current > 0; }
  int lineCount() const { return text.lineCount(); }
  // Line `line` (from 1) without its line break; "" outside the text.
  std::u16string lineText(int line) const { return text.lineText(line); }
  // The whole text with LF line breaks, ending with one when the text does.
  std::u16string wholeText() const;
  bool endsWithLineBreak() const;
  const kNcText& programText() const { return text; }
  // How a save encodes the text.
  TextEncoding encoding() const { return saveEncoding; }
  const kNcGeometry& geometry() const { return store; }
  const ReadResult& lastRead() const { return lastReading; }
  // What the reading and the compensation found: the problems to show and those silenced in the program.
  ProblemReport problemReport() const { return checkedProblems(store, path.toolCentre().findings); }
  std::vector<NcProblem> problems() const { return problemReport().problems; }
  // The figures of the blocks read (extents, lengths, estimated time, tools), made once per reading.
  const ProgramFigures& programFigures() const { return figures; }
  // The rapid rate the next reading's time is estimated with, in units per minute (0 or less: the default).
  void setRapidRate(double unitsPerMinute) { rapidRate = unitsPerMinute; }

  // ---- The current line, which is the current block
  // 0 while there is no program. Of an evaluated program: the line of the file shown.
  int currentLine() const { return isEvaluated() ? caretLine : current; }
  int previousLine() const { return previous; }
  BlockInfo currentBlock() const { return blockInfoAt(store, current); }
  // Makes `line` (clamped to the text) current. With `step`, a complete picture follows by a step drawing
  // (true); otherwise, or when the picture is not complete, it must be drawn again (false). Of an evaluated
  // program, `line` is a line of the file shown, and its first execution becomes the current block; a statement
  // (a loop, an assignment) takes the block before it first ran, and a line never executed takes that of the
  // nearest executed line above it (block 0 when there is none).
  bool moveTo(int line, bool step);

  // ---- An evaluated program: its blocks are the executed ones in execution order, each from a line of the
  // main program or of a called program's file. A plain program's blocks are its lines, all of them executed.
  bool isEvaluated() const { return store.isEvaluated(); }
  int currentBlockIndex() const { return current; }
  // Makes `block` (clamped) current and shows the file and line it came from; returns as moveTo does.
  bool moveToBlock(int block, bool step);
  // The next (`forward`) or previous executed block, as moveToBlock with a step; nothing moves past either end.
  bool stepExecution(bool forward);
  // The file whose lines are shown (0: the main program); showing another puts the caret on line 1.
  int shownFile() const { return shown; }
  void showFile(int file);
  // The shown file's name without its folder ("" for an edited text without a file).
  std::string shownFileName() const;
  // The name without its folder of file `file` of an evaluated program (0 and any out of range: the main one).
  std::string fileName(int file) const;
  const kNcText& shownText() const;
  int shownLineCount() const { return shownText().lineCount(); }
  std::u16string shownLineText(int line) const { return shownText().lineText(line); }
  // Line `line` of the shown file ran at least once, as a block or as a statement (assignment, loop, jump,
  // call); every line of a plain program counts as run.
  bool lineExecuted(int line) const;
  // The current block came from the current line of the file shown (false on a statement or a line not run).
  bool currentBlockOnLine() const;
  // The current block's rank among the executions of its source line, and their number: {3, 12}.
  std::pair<int, int> currentPass() const;
  // The innermost call the current block runs in (line 0: none).
  const kNcGeometry::CallSite& currentCall() const { return store.callOf(current); }

  // ---- The view: pixels per program unit and the program point drawn at the picture's centre
  // The scale asked for; 0 when it was not a number.
  double scale() const { return path.viewScale; }
  // The scale drawn at: a scale of 0 draws at 1.
  double drawnScale() const { return canvas.getScale(); }
  // -offset() is the program point drawn at the centre of the picture.
  kPoint offset() const { return path.viewOffset; }
  // Fits the program's extents into a picture of this size.
  void fitView(int width, int height);
  // |scale|; 0 (not a number) is kept and drawn at 1.
  void setScale(double newScale);
  // Scales the drawing by `factor` about `pixel`: the program point there stays there.
  void zoomAt(const kPoint& pixel, double factor);
  // Shifts the drawing so that the program point at pixel `from` comes to pixel `to`.
  void moveView(const kPoint& from, const kPoint& to);
  // The program point at a pixel of the picture (at a scale of 0: pixels from the origin, y down).
  kPoint programPointAt(const kPoint& pixel) const;
  // Where a program point is drawn, and the program point drawn at a pixel (at a scale of 0, which draws at 1,
  // as drawn: y up).
  kPoint pixelAt(const kPoint& programPoint) const;
  kPoint pointDrawnAt(const kPoint& pixel) const;
  // The line of the block whose drawn move passes nearest `pixel`, within 8 pixels (the latest block wins a
  // tie); 0 for none. Indexes the drawn moves first when continueIndexing has not finished.
  int lineNear(const kPoint& pixel);
  // The block itself (lineNear gives an evaluated program's block's source line).
  int blockNear(const kPoint& pixel);
  // Indexes the drawn moves for lineNear for about `budget` (a million moves take a few tenths of a second,
  // too long for one turn of a window's events); true when the index is complete.
  bool continueIndexing(std::chrono::microseconds budget);

  // ---- The drawing, on a surface of the window's (not owned)
  // Starts a fresh picture of width × height on `surface`: white, the axes, then the blocks up to and
  // including the current line, drawn by continueRedraw. The surface is used until detachSurface().
  void startRedraw(DrawingSurface& surface, int width, int height);
  // Goes on drawing for about `budget`; true when the picture is complete.
  bool continueRedraw(std::chrono::microseconds budget);
  // startRedraw and continueRedraw to the end.
  void redraw(DrawingSurface& surface, int width, int height);
  bool redrawing() const { return surface != nullptr && !path.redrawDone(); }
  // A white picture with nothing drawn, on which nothing is stepped (edit mode).
  void blank(DrawingSurface& surface, int width, int height);
  // The surface goes away: nothing is drawn until the next startRedraw or blank.
  void detachSurface();
  // Drawings show the whole program in a light pen under the path travelled, on the layers of the surface,
  // with the current move highlighted. Takes effect with the next drawing.
  void setPreview(bool on);
  bool previewShown() const { return path.preview; }
  // Drawings show the tool centre path of compensation over the programmed path (the next drawing does).
  void setToolCentreShown(bool on);
  bool toolCentreShown() const { return path.showToolCentre; }

  // ---- Files
  // Writes the text to `path` in the encoding read and with the line breaks of the file it replaces, which
  // is kept under its backup name.
  SaveOutcome save(const std::string& path) const;
  // The DXF drawing of the blocks, an existing file kept under its backup name.
  SaveResult exportDxf(const std::string& path) const;

 private:
  ReadResult readProgram(const LoadCallbacks& callbacks, bool going);
  // Makes `block` current without touching the file shown or the caret's line.
  bool makeCurrent(int block, bool step);
  // Indexes an evaluated program's executions per source line and opens the called programs' files.
  void indexExecutions();
  // The first execution of `line` of `file`, or of the nearest executed line above it (of a statement, the block
  // before it first ran); 0 for none.
  int executionAt(int file, int line) const;
  void bindSurface(DrawingSurface& target, int width, int height);
  kPoint pictureCentre() const;

  kNcText text;
  // The file the text came from: a macro program's called programs are looked for beside it.
  std::string programFile;
  kNcGeometry store;
  Control chosenControl_ = Control::strict;
  kCanvas canvas;
  ToolPathIndicators noIndicators;
  kToolPath path;
  ReadResult lastReading;
  ProgramFigures figures;
  double rapidRate = kDefaultRapidRate;
  TextEncoding saveEncoding = TextEncoding::ShiftJis;
  LineBreak saveLineBreak = LineBreak::Lf;
  int current = 0;
  int previous = 0;
  // Of an evaluated program: per file and line (from 1), the first block from it and how many there are.
  struct LineRuns {
    int first = 0;
    int count = 0;
  };
  std::vector<std::vector<LineRuns>> runs;
  // The texts of the called programs' files, by file (file 0 is `text`).
  std::vector<std::unique_ptr<kNcText>> calledTexts;
  int shown = 0;
  int caretLine = 0;
  DrawingSurface* surface = nullptr;
  int pictureWidth = 0;
  int pictureHeight = 0;
  // The picture shows the blocks through the current line, complete: a step may follow it.
  bool pictureCurrent = false;
};
