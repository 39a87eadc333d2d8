// The DXF writer: turns the interpreted program of a block store into the lines of a two-dimensional DXF
// drawing (LINE, ARC and CIRCLE entities on layers by kind of move) between a header and a footer template.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "graphics/Kpoint.hpp"
#include "nc/Ncgeometry.hpp"
#include "toolpath/Comppiece.hpp"
#include "util/Encoding.hpp"
#include "util/Files.hpp"

// Layer kinds of layerName. Only Center, Move, Nomal, Compensation and Cycle are written.
enum DxfLayer : int {
  kLayerCenter = 1,
  kLayerCircle = 2,
  kLayerMove = 3,
  kLayerLine = 4,
  kLayerArc = 5,
  kLayerNomal = 6,
  kLayerCompensation = 7,
  kLayerCycle = 8,
  kLayerToolCentre = 9,
};

class kNcToDxf {
 public:
  // Templates from defaultTemplateFolder().
  explicit kNcToDxf(const kNcGeometry& store);
  // Templates from `folder` (a trailing '/' is added when missing).
  kNcToDxf(const kNcGeometry& store, std::string_view folder);
  virtual ~kNcToDxf() = default;

  static std::u16string layerName(int kind);
  // One entity per text; its lines are joined by LF and it has no line break at its end.
  static std::u16string lineEntity(double x1, double y1, double x2, double y2, int kind);
  static std::u16string circleEntity(double cx, double cy, double r, int kind);
  // A CIRCLE instead when end - start is exactly 360.
  static std::u16string arcEntity(double cx, double cy, double r, double start, double end, int kind);

  // Replaces `list` with the header lines, the two axis lines, the entities of blocks 1 onwards (then those of
  // the tool centre path when one is given) and the footer lines (footer skipped when missing). Without X or Y
  // movement there are no entities between them. Fails, leaving `list` as it was, when the header template cannot
  // be read or a number to be written is not finite (the message names the line).
  FileResult buildDxf(std::vector<std::u16string>& list);

  std::string programFolder;   // the executable's folder, ending with '/'
  std::string templateFolder;  // ending with '/'
  std::string headerName = "Hedder.dat";
  std::string footerName = "Footer.dat";
  std::string headerPath;
  std::string footerPath;
  const kNcGeometry* geometry;
  // The compensated pieces, written on the layer ToolCentre; none when null.
  const CompensatedPath* toolCentre = nullptr;
  // The encoding the header template was read in; the saved file uses it too.
  TextEncoding encoding = TextEncoding::ShiftJis;

 private:
  // Each returns false, leaving the list incomplete, when a number it would write is not finite.
  bool appendAxes(std::vector<std::u16string>& list) const;
  bool appendBlock(std::vector<std::u16string>& list, int block, kPoint& pen) const;
  bool appendArc(std::vector<std::u16string>& list, int block, int kind, kPoint& pen) const;
  bool appendPiece(std::vector<std::u16string>& list, const CompPiece& piece) const;
  // The first block whose end point, or arc with its radius, goes beyond the largest number; 0 for none.
  int firstUnboundedBlock() const;
};

// "TempFile/" beside the executable when it holds the header template, else the installed data folder
// ("../share/velmora/TempFile/" from the executable's folder).
std::string defaultTemplateFolder();
// The bytes of the DXF file: every list item followed by CR LF, in `encoding`.
std::string dxfBytes(const std::vector<std::u16string>& list, TextEncoding encoding);
