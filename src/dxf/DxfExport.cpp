// The DXF export as one call: output location, conversion and saving with a backup.
#include "dxf/DxfExport.hpp"

#include <vector>

#include "dxf/Nctodxf.hpp"

std::string dxfPathFor(const std::string& ncPath) { return pathWithoutExt(ncPath) + ".dxf"; }

SaveResult exportDxf(const kNcGeometry& geometry, const std::string& dxfPath, const std::string& templateFolder,
                     const CompensatedPath* toolCentre) {
  kNcToDxf writer = templateFolder.empty() ? kNcToDxf(geometry) : kNcToDxf(geometry, templateFolder);
  writer.toolCentre = toolCentre;
  std::vector<std::u16string> lines;
  const FileResult built = writer.buildDxf(lines);
  if (!built.ok) return {false, {}, built.message};
  return saveWithBackup(dxfPath, dxfBytes(lines, writer.encoding));
}
