// The figures of a whole program read from its block store in one pass: how far the tool travels, where,
// how long the machining takes and which tools it uses.
#pragma once

#include <span>
#include <vector>

#include "nc/Ncgeometry.hpp"

// The rapid rate a program's time is estimated with unless the settings say otherwise, in units per minute.
inline constexpr double kDefaultRapidRate = 10000;

struct ProgramFigures {
  // No block moves the tool: the extents mean nothing.
  bool moves = false;
  double minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
  double feedLength = 0;   // G01, G02, G03 (arcs by their length, helices included)
  double rapidLength = 0;  // G00
  double feedSeconds = 0;
  double rapidSeconds = 0;
  double dwellSeconds = 0;
  // Feed moves before any positive F: their length counts, their time cannot.
  int untimedFeedMoves = 0;
  // Moves and dwells whose positions, length or time overflowed: left out of the sums and the extents.
  int overflowedMoves = 0;
  // T numbers in the order they are first given.
  std::vector<int> tools;

  double totalSeconds() const { return feedSeconds + rapidSeconds + dwellSeconds; }
};

// How far the tool centre travels in one block, where that is known apart from the programmed path (under
// cutter radius compensation).
struct BlockLength {
  int block = 0;
  double length = 0;
};

// The figures of every block read into `store`; rapid moves at `rapidRate` units per minute (0 or less: the
// default). A feed move of a block in `centreLengths` (in block order) counts by that length and its time.
ProgramFigures programFigures(const kNcGeometry& store, double rapidRate = kDefaultRapidRate,
                              std::span<const BlockLength> centreLengths = {});
