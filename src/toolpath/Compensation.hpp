// Cutter radius compensation over a block store: the pieces of the tool centre path and the problems found,
// computed in one pass as the control would while running the program.
#pragma once

#include <vector>

#include "nc/Ncfigures.hpp"
#include "nc/Ncprofile.hpp"
#include "toolpath/Comppiece.hpp"

class kNcGeometry;

// How convex corners are joined: an arc about the programmed corner, or the offset elements' intersection
// (two points and a line beyond a right angle).
enum class CornerModel : unsigned char { arcs, intersections };
CornerModel cornerModelOf(Control control);

// The compensated pieces of every block of `geometry` that compensation touches; blocks it leaves alone have
// none and run as programmed.
CompensatedPath compensate(const kNcGeometry& geometry, const ControlProfile& profile);
// How far the tool centre travels in each block that has pieces, in block order: what the figures count for
// those blocks.
std::vector<BlockLength> toolCentreLengths(const CompensatedPath& path);

// A convex corner turning less than this (radians) is a tangent joint.
inline constexpr double kTangentTurn = 0.05;
// How far (radians) an arc held back may turn beyond its programmed sweep when a corner moves its end before
// the tool would gouge. The start of an arc joined tangentially sits off its programmed radius by up to the
// tangent turn, which counts too; the value is the one on which the paths agree with rs274's.
inline constexpr double kArcGrowthTurn = 0.03;
