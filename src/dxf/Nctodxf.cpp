// The DXF writer: entity texts, layers and the conversion of every block of the store.
#include "dxf/Nctodxf.hpp"

#include <cmath>
#include <initializer_list>

#include "graphics/Geometry.hpp"
#include "util/Format.hpp"

namespace {

constexpr double kNoMinimum = 9999;
constexpr double kNoMaximum = -9999;
constexpr int kPlaneXY = 17;
constexpr int kNumberDecimals = 4;

void appendNumber(std::u16string& text, std::u16string_view code, double value) {
  text += code;
  appendFormatReal(text, value, kNumberDecimals);
  text += u'\n';
}

// Header of an entity up to and including its layer line.
std::u16string entityStart(std::u16string_view type, std::u16string_view layerCode, int kind) {
  std::u16string text = u"  0\n";
  text += type;
  text += u'\n';
  text += layerCode;
  text += kNcToDxf::layerName(kind);
  text += u'\n';
  return text;
}

bool allFinite(std::initializer_list<double> values) {
  for (double value : values) {
    if (!std::isfinite(value)) return false;
  }
  return true;
}

// CAD programs reject a DXF with "inf" or "nan" in it, and such a file would not show what the program does.
FileResult notFinite(int block) {
  return {false,
          "line " + std::to_string(block) + ": a coordinate is not a finite number, so the DXF is not written"};
}

std::string withTrailingSlash(std::string_view folder) {
  std::string result(folder);
  if (!result.empty() && result.back() != '/') result += '/';
  return result;
}

// The start and end angles (degrees, from 0 to 360) of a DXF arc from `from` to `to` about `centre`: DXF arcs
// run counter-clockwise from start to end, so a clockwise arc's are swapped.
void dxfArcAngles(const kPoint& centre, const kPoint& from, const kPoint& to, bool clockwise, double& a1,
                  double& a2) {
  a1 = angleOf(centre, from);
  a2 = angleOf(centre, to);
  if (a1 < 0) a1 += 360;
  if (a2 < 0) a2 += 360;
  if (clockwise) swapReals(a1, a2);
}

}  // namespace

kNcToDxf::kNcToDxf(const kNcGeometry& store) : kNcToDxf(store, defaultTemplateFolder()) {}

kNcToDxf::kNcToDxf(const kNcGeometry& store, std::string_view folder)
    : programFolder(executableFolder()),
      templateFolder(withTrailingSlash(folder)),
      headerPath(templateFolder + headerName),
      footerPath(templateFolder + footerName),
      geometry(&store) {}

std::u16string kNcToDxf::layerName(int kind) {
  switch (kind) {
    case kLayerCenter:
      return u"Center";
    case kLayerCircle:
      return u"Circle";
    case kLayerMove:
      return u"Move";
    case kLayerLine:
      return u"Line";
    case kLayerArc:
      return u"Arc";
    case kLayerNomal:
      return u"Nomal";
    case kLayerCompensation:
      return u"Compensation";
    case kLayerCycle:
      return u"Cycle";
    case kLayerToolCentre:
      return u"ToolCentre";
    default:
      return u"Other";
  }
}

std::u16string kNcToDxf::lineEntity(double x1, double y1, double x2, double y2, int kind) {
  std::u16string text = entityStart(u"LINE", u"  8\n", kind);
  appendNumber(text, u" 10\n", x1);
  appendNumber(text, u" 20\n", y1);
  appendNumber(text, u" 11\n", x2);
  appendNumber(text, u" 21\n", y2);
  text.pop_back();
  return text;
}

std::u16string kNcToDxf::circleEntity(double cx, double cy, double r, int kind) {
  std::u16string text = entityStart(u"CIRCLE", u" 8\n", kind);
  appendNumber(text, u" 10\n", cx);
  appendNumber(text, u" 20\n", cy);
  appendNumber(text, u" 40\n", r);
  text.pop_back();
  return text;
}

std::u16string kNcToDxf::arcEntity(double cx, double cy, double r, double start, double end, int kind) {
  if (end - start == 360) return circleEntity(cx, cy, r, kind);
  std::u16string text = entityStart(u"ARC", u" 8\n", kind);
  appendNumber(text, u" 10\n", cx);
  appendNumber(text, u" 20\n", cy);
  appendNumber(text, u" 40\n", r);
  appendNumber(text, u" 50\n", start);
  appendNumber(text, u" 51\n", end);
  text.pop_back();
  return text;
}

FileResult kNcToDxf::buildDxf(std::vector<std::u16string>& list) {
  TextLines header = readFileLines(headerPath);
  if (!header.ok) return {false, "DXF header template missing or unreadable: " + header.message};
  encoding = header.encoding;
  std::vector<std::u16string> drawing = std::move(header.lines);
  const kNcGeometry& store = *geometry;
  const bool moved =
      store.minX != kNoMinimum || store.maxX != kNoMaximum || store.minY != kNoMinimum || store.maxY != kNoMaximum;
  if (moved) {
    if (!appendAxes(drawing)) return notFinite(firstUnboundedBlock());
    kPoint pen(0, 0);
    for (int block = 1; block < store.blockCount; ++block) {
      if (!appendBlock(drawing, block, pen)) return notFinite(block);
    }
    if (toolCentre != nullptr) {
      for (const CompPiece& piece : toolCentre->pieces) {
        if (!appendPiece(drawing, piece)) return notFinite(piece.block);
      }
    }
  }
  // Without any X or Y movement the drawing is empty, but still closed: a header alone is no DXF file.
  appendFileLines(drawing, footerPath);
  list = std::move(drawing);
  return {true, {}};
}

bool kNcToDxf::appendAxes(std::vector<std::u16string>& list) const {
  double minX = geometry->minX, maxX = geometry->maxX, minY = geometry->minY, maxY = geometry->maxY;
  // An axis no block moved along still gets a line, as long as the other one.
  const double hi = maxOf(0, maxOf(maxX, maxY));
  const double lo = minOf(0, minOf(minX, minY));
  if (minX == kNoMinimum) minX = lo;
  if (minY == kNoMinimum) minY = lo;
  if (maxX == kNoMaximum) maxX = hi;
  if (maxY == kNoMaximum) maxY = hi;
  if (!allFinite({minX, maxX, minY, maxY})) return false;
  list.push_back(lineEntity(minX, 0, maxX, 0, kLayerCenter));
  list.push_back(lineEntity(0, minY, 0, maxY, kLayerCenter));
  return true;
}

int kNcToDxf::firstUnboundedBlock() const {
  const kNcGeometry& store = *geometry;
  for (int block = 1; block < store.blockCount; ++block) {
    const double cx = store.centreXAt(block), cy = store.centreYAt(block), r = store.radiusAt(block);
    if (!allFinite({store.xAt(block), store.yAt(block), cx - r, cx + r, cy - r, cy + r})) return block;
  }
  return 0;
}

bool kNcToDxf::appendBlock(std::vector<std::u16string>& list, int block, kPoint& pen) const {
  const kNcGeometry& store = *geometry;
  const kPoint end(store.xAt(block), store.yAt(block));
  int kind = store.cutterCompAt(block) != 0 ? kLayerCompensation : kLayerNomal;
  if (store.inCycleAt(block)) {
    kind = kLayerCycle;
    const double radius = store.toolDiameterAt(block) / 2;
    if (!allFinite({end.x, end.y, radius})) return false;
    list.push_back(circleEntity(end.x, end.y, radius, kLayerCycle));
  }
  const bool arcMotion = store.isArcCwAt(block) || store.isArcCcwAt(block);
  // A move to a fixed point under G02/G03 is a straight line.
  if (arcMotion && store.isArcAt(block) && gNumberAt(store.groupPlane, block) == kPlaneXY)
    return appendArc(list, block, kind, pen);
  // Other motions (a thread) draw nothing; arcs in the XZ or YZ plane are seen edge-on from above: a line.
  if (!store.isRapidAt(block) && !store.isLinearAt(block) && !arcMotion) return true;
  if (store.isRapidAt(block)) kind = kLayerMove;
  if (!allFinite({end.x, end.y})) return false;
  list.push_back(lineEntity(pen.x, pen.y, end.x, end.y, kind));
  pen = end;
  return true;
}

bool kNcToDxf::appendArc(std::vector<std::u16string>& list, int block, int kind, kPoint& pen) const {
  const kNcGeometry& store = *geometry;
  const kPoint end(store.xAt(block), store.yAt(block));
  const kPoint centre(store.centreXAt(block), store.centreYAt(block));
  const double radius = store.radiusAt(block);
  double a1 = 0, a2 = 0;
  dxfArcAngles(centre, pen, end, store.isArcCwAt(block), a1, a2);
  if (!allFinite({end.x, end.y, centre.x, centre.y, radius, a1, a2})) return false;
  pen = end;
  const double sweep = absOf(a2 - a1);
  if (sweep == 0 || sweep == 360) {
    list.push_back(circleEntity(centre.x, centre.y, radius, kind));
  } else {
    list.push_back(arcEntity(centre.x, centre.y, radius, a1, a2, kind));
  }
  return true;
}

bool kNcToDxf::appendPiece(std::vector<std::u16string>& list, const CompPiece& p) const {
  if (!allFinite({p.sx, p.sy, p.ex, p.ey, p.cx, p.cy})) return false;
  // Arcs outside the XY plane are seen edge-on from above, as the programmed ones are.
  if (!p.isArc() || p.plane != kPlaneXY) {
    if (p.sx != p.ex || p.sy != p.ey) list.push_back(lineEntity(p.sx, p.sy, p.ex, p.ey, kLayerToolCentre));
    return true;
  }
  const kPoint centre(p.cx, p.cy);
  const double radius = std::hypot(p.sx - p.cx, p.sy - p.cy);
  double a1 = 0, a2 = 0;
  dxfArcAngles(centre, kPoint(p.sx, p.sy), kPoint(p.ex, p.ey), p.kind == PieceKind::arcCw, a1, a2);
  if (a1 == a2) {
    list.push_back(circleEntity(p.cx, p.cy, radius, kLayerToolCentre));
  } else {
    list.push_back(arcEntity(p.cx, p.cy, radius, a1, a2, kLayerToolCentre));
  }
  return true;
}

std::string defaultTemplateFolder() {
  const std::string besideProgram = executableFolder() + "TempFile/";
  if (fileExists(besideProgram + "Hedder.dat")) return besideProgram;
  const std::string installed = executableFolder() + "../share/velmora/TempFile/";
  if (fileExists(installed + "Hedder.dat")) return installed;
  return besideProgram;
}

std::string dxfBytes(const std::vector<std::u16string>& list, TextEncoding encoding) {
  std::u16string text;
  for (const std::u16string& item : list) {
    text += item;
    text += u"\r\n";
  }
  return encodeText(text, encoding);
}
