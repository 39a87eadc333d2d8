// The tool-path drawing of an interpreted program up to the current block, and the step drawing that
// follows the cursor. (Interface agreed with the window; the drawing engine implements it.)
#pragma once

#include <array>
#include <string>
#include <vector>

#include "graphics/Kcanvas.hpp"
#include "graphics/Kpoint.hpp"
#include "graphics/Surface.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Vlist.hpp"

// What the drawing shows in the window besides the picture. (The top panel is not drawn: it shows the
// current block alone, which the window takes from blockInfoAt, whatever block a drawing ends with.)
class ToolPathIndicators {
 public:
  virtual ~ToolPathIndicators() = default;
  // cboxScale shows the view scale with 3 decimals.
  virtual void showScale(const std::u16string& text) = 0;
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
  // draws the centre lines through viewOffset, then redrawProgram.
  void redrawView(DrawingSurface& surface, int width, int height);
  // Shows the scale and draws blocks 0 .. curLine - 1 and their holes in the six pens. The shapes are built once
  // per reading (after programChanged()) and reused by later redraws, which draw the same picture.
  void redrawProgram();
  // One shape and one drawing kind per block, each block drawn from the end of the block before it, and
  // the holes of the blocks in a cycle.
  void buildShapes();
  // Sorts blocks 0 .. n - 1 and their holes into the six lists.
  void fillDisplayLists(int n);
  // Scale and offset that fit the program's extents into a picture of the given size.
  void fitToExtents(int pictureWidth, int pictureHeight);
  // Makes `circle` the shape of arc block i from p1 to p2; false when the radius does not fit the end
  // points (the block store's verdict).
  bool buildArc(int i, const kPoint& p1, const kPoint& p2, GCircle& circle);
  // Block b's hole: the whole circle of the tool's diameter about its end point, for a block b >= 1 in a
  // drilling cycle; false when it has none (or a tool of diameter 0).
  bool holeOf(int b, GCircle& hole) const;
  // Draws blocks from+1..to (each move, then its hole), or erases from..to+1 when to < from.
  void stepDrawing(int from, int to);
  // The canvas takes the pen of a drawing kind, or the erase pen: the canvas's background colour,
  // 2 pixels wide (so it draws solid and covers lines of width 1 and 2), style unchanged.
  void selectPen(DrawingKind kind);
  void selectErasePen();
  const GPen& penOf(DrawingKind kind) const;
  // The program was read again: shapes built from the old one are stale.
  void programChanged();

  // The shapes of the blocks drawn in the list of one drawing kind, as indexes into allShapes' lines and
  // circles: the display lists name the shapes instead of copying them. The holes drawn are the first
  // displayedHoles() of holeBlocks.
  const std::vector<int>& displayedLines(DrawingKind kind) const { return selections[kind].lines; }
  const std::vector<int>& displayedCircles(DrawingKind kind) const { return selections[kind].circles; }
  int displayedHoles() const { return holesShown; }

  GList allShapes;
  kIntList blockKinds;
  // The blocks with a hole, in block order. A hole is made from its block when drawn: a drilling program
  // may hold a million of them.
  std::vector<int> holeBlocks;
  // Pens and visibility of the six lists (their shapes are the selections above).
  GList compList, feedList, fastFeedList, rapidList, cycleList, errorList;
  GPen compPen, feedPen, fastFeedPen, rapidPen, cyclePen, errorPen;
  double viewScale = 1.0;
  kPoint viewOffset;
  int curLine = 0;

 private:
  struct Selection {
    std::vector<int> lines;
    std::vector<int> circles;
  };

  bool shapesCurrent() const;
  int clampBlock(int i) const;
  kPoint endOf(int i) const;
  int motionOf(int i) const;
  const std::u16string& feedOf(int i) const;
  // The kind by motion, compensation and the given feed text (block i's own in a redraw).
  DrawingKind kindOf(int i, const std::u16string& feed) const;
  // Builds block i's shape (drawn from the end of block i - 1) into `line` or `circle`; returns its kind.
  DrawingKind shapeBlock(int i, GLine& line, GCircle& circle, bool& isLine);
  void buildHoles();
  void drawSelection(const GList& list, DrawingKind kind);
  void drawHoles(const GList& list);
  void drawBlockRange(int first, int last, bool erase);

  const kNcGeometry& geometry;
  kCanvas& canvas;
  ToolPathIndicators& indicators;
  std::array<Selection, kDrawingKindCount> selections;
  int holesShown = 0;
  bool shapesBuilt = false;
};
