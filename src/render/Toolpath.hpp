// The tool-path drawing of an interpreted program up to the current block, and the step drawing that
// follows the cursor.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/Kcanvas.hpp"
#include "graphics/Kpoint.hpp"
#include "graphics/Surface.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncprofile.hpp"
#include "render/Movepick.hpp"
#include "toolpath/Comppiece.hpp"

// What the drawing shows in the window besides the picture. (The top panel is not drawn: it shows the
// current block alone, which the window takes from blockInfoAt, whatever block a drawing ends with.)
class ToolPathIndicators {
 public:
  virtual ~ToolPathIndicators() = default;
  // cboxScale shows the view scale with 3 decimals; drawings without a window show nothing.
  virtual void showScale(const std::u16string&) {}
};

// What a shape is drawn as. A block's move has one of the first five kinds; kindCycle is the hole a block
// in a drilling cycle adds besides its move.
enum DrawingKind {
  kindRapid = 0,
  kindFeed = 1,
  kindCompensated = 2,
  kindFastFeed = 3,
  kindArcError = 4,
  kindCycle = 5
};
inline constexpr int kDrawingKindCount = 6;

class kToolPath {
 public:
  kToolPath(const kNcGeometry& geometry, kCanvas& canvas, ToolPathIndicators& indicators);

  // The redraw command's picture: binds the canvas to `surface`, restores viewScale, clears to white,
  // draws the centre lines through viewOffset, then redrawProgram. With `preview`, each layer is cleared
  // and the axes go on the preview layer.
  void redrawView(DrawingSurface& surface, int width, int height);
  // Shows the scale and draws blocks 0 .. curLine - 1 and their holes, list by list in the six pens. With
  // `preview`, every block is drawn first in previewPen on the preview layer, the lists then go on the path
  // layer, and block curLine - 1's move last in highlightPen on the highlight layer.
  void redrawProgram();
  // The same drawing in pieces, for a window that must keep taking events meanwhile: beginRedraw does what
  // redrawView does before the program; each continueRedraw goes on over about `blockBudget` blocks and
  // says whether the picture is complete. The calls it makes are those of redrawView, in the same order.
  void beginRedraw(DrawingSurface& surface, int width, int height);
  // Binds the canvas to `surface` and clears the picture (every layer with `preview`) to white.
  void blankView(DrawingSurface& surface, int width, int height);
  bool continueRedraw(int blockBudget);
  bool redrawDone() const { return pass >= kPassCount; }
  // A redraw in pieces ends where it stands.
  void stopRedraw() { pass = kPassCount; }
  // Classifies every block (its drawing kind, its shape, its hole); a redraw classifies the blocks it
  // draws on its own. Once per reading: later redraws reuse it until programChanged().
  void buildShapes();
  // The drawing kind of block b's move, classified as the redraw classifies it.
  DrawingKind drawingKindAt(int b);
  // Scale and offset that fit the program's extents into a picture of the given size.
  void fitToExtents(int pictureWidth, int pictureHeight);
  // Makes `circle` the shape of arc block i from p1 to p2; false when the radius does not fit the end
  // points (the block store's verdict).
  bool buildArc(int i, const kPoint& p1, const kPoint& p2, GCircle& circle);
  // Block b's hole: the whole circle of the tool's diameter about its end point, for a block b >= 1 in a
  // drilling cycle; false when it has none (or a tool of diameter 0).
  bool holeOf(int b, GCircle& hole) const;
  // Draws blocks from+1..to (each move, then its hole), or erases from..to+1 when to < from. With
  // `preview`, on the path layer, and the highlight moves to block `to`'s move.
  void stepDrawing(int from, int to);
  // The canvas takes the pen of a drawing kind, or the erase pen: the canvas's background colour,
  // 2 pixels wide (so it draws solid and covers lines of width 1 and 2), style unchanged.
  void selectPen(DrawingKind kind);
  void selectErasePen();
  const GPen& penOf(DrawingKind kind) const;
  // Block b's move as the drawing draws it; false when it draws none.
  bool drawnMoveOf(int b, DrawnMove& move);
  // The block whose drawn move (or tool centre piece, while shown) passes nearest the program point p, within
  // `radius` program units (the latest block wins a tie); 0 for none. A search before the moves are indexed
  // indexes them all first.
  int nearestBlock(const kPoint& p, double radius);
  // Indexes the drawn moves for nearestBlock in pieces of about `blockBudget` blocks, once per reading; true
  // when the index is complete.
  bool indexMoves(int blockBudget);
  // The program was read again: what was classified of the old one is stale.
  void programChanged();

  // The compensated tool centre path, computed once per reading (store profile) on first use unless given.
  const CompensatedPath& toolCentre() const;
  // The tool centre path of the program read, computed elsewhere with the store's profile.
  void setToolCentre(CompensatedPath computed);

  GPen compPen, feedPen, fastFeedPen, rapidPen, cyclePen, errorPen;
  // The tool centre path over the programmed one, drawn while showToolCentre.
  GPen toolCentrePen;
  bool showToolCentre = true;
  // The whole program under the path, and the mark on the current move.
  GPen previewPen, highlightPen;
  // Drawings show the whole program on layers (see SurfaceLayer); off, they make the calls they always did.
  bool preview = false;
  double viewScale = 1.0;
  kPoint viewOffset;
  int curLine = 0;

 private:
  // Per block, one byte: the drawing kind of its move, whether the move is drawn as a line or an arc (or not
  // at all), and whether it makes a hole. A redraw goes over these once per list and builds only the shapes
  // it draws: a million blocks keep a megabyte, not their shapes.
  enum : std::uint8_t { kMarkKind = 7, kMarkLine = 8, kMarkArc = 16, kMarkHole = 32 };
  // One pass per list and shape type: the lines, then the arcs of each list in drawing order; before them,
  // the preview's lines and its arcs and holes, skipped without the preview.
  static constexpr int kPreviewPasses = 2;
  static constexpr int kPassCount = kPreviewPasses + 2 * kDrawingKindCount;

  int clampBlock(int i) const;
  kPoint endOf(int i) const;
  int motionOf(int i) const;
  // The kind by motion, compensation and the given feed text (block i's own in a redraw).
  DrawingKind kindOf(int i, const std::u16string& feed) const;
  // Builds block i's move (drawn from the end of block i - 1) into `circle` when it is an arc; returns its
  // kind and says whether it is a line, an arc, or nothing to draw.
  DrawingKind shapeBlock(int i, GCircle& circle, std::uint8_t& shape);
  // The shape alone (kMarkLine, kMarkArc or 0), without the kind: an arc whose radius does not fit its end
  // points is built as it is drawn, and arcFits says so.
  std::uint8_t moveShape(int i, GCircle& circle, bool& arcFits);
  // Draws block i's move as shapeBlock built it.
  void drawMove(int i, std::uint8_t shape, const GCircle& circle);
  // Draws block i's move as its mark says it is drawn: a line between its end points, or an arc built again
  // (the marks keep kinds and shapes, not circles).
  void drawMarkedMove(int i, bool line, GCircle& circle);
  void markBlocks(int upTo);
  void startPasses();
  void runPass(int& budget);
  void runPreviewPass(int stop);
  void passDone();
  void stepBlocks(int from, int to);
  // Draws (or erases) the tool centre pieces of blocks first .. last.
  void drawToolCentre(int first, int last, bool erase = false);
  void drawPiece(const CompPiece& piece);
  void initToolCentrePen();
  // The block of the tool centre piece nearest p within `radius` when it is no farther than `distance`, which
  // it then becomes; 0 for none.
  int nearestToolCentreBlock(const kPoint& p, double radius, double& distance);
  // Moves the highlight to block b's move (none for block 0 or a block without a move).
  void drawHighlight(int b);

  const kNcGeometry& geometry;
  kCanvas& canvas;
  ToolPathIndicators& indicators;
  std::vector<std::uint8_t> marks;
  kMoveIndex moveIndex;
  // Given once a reading is done (setToolCentre), else computed on first use by the thread that draws and lists
  // the problems.
  mutable CompensatedPath toolCentrePieces;
  mutable bool toolCentreKnown = false;
  // Where a redraw in pieces stands: the pass, the next block of that pass, and the blocks it draws.
  int pass = kPassCount;
  int nextBlock = 0;
  int drawEnd = 0;
  // The pixels the highlight covers (right == left: none), cleared when it moves.
  int highlightBox[4] = {0, 0, 0, 0};
};
