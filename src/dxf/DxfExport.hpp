// The DXF export as one call: where the file goes beside the NC file, and writing it with a backup of the
// previous file of that name.
#pragma once

#include <string>

#include "nc/Ncgeometry.hpp"
#include "toolpath/Comppiece.hpp"
#include "util/Files.hpp"

// The DXF file beside the NC file: only the last extension is replaced (part.rev.nc gives part.rev.dxf).
std::string dxfPathFor(const std::string& ncPath);
// Builds the DXF of `geometry` with the templates of `templateFolder` ("" for defaultTemplateFolder()) and
// saves it at `dxfPath`, an existing file there being kept under its backup name. Nothing is written when
// the header template cannot be read or the old file cannot be kept.
// With `toolCentre`, its pieces are added on the layer ToolCentre.
SaveResult exportDxf(const kNcGeometry& geometry, const std::string& dxfPath,
                     const std::string& templateFolder = {}, const CompensatedPath* toolCentre = nullptr);
