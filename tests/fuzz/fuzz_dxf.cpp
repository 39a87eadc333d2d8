// Fuzz target: any bytes read as a program file and turned into DXF text between two templates.
#include <fstream>
#include <vector>

#include "FuzzSupport.hpp"
#include "dxf/Nctodxf.hpp"

namespace {

constexpr const char* kHeader = "  0\nSECTION\n  2\nENTITIES\n";
constexpr const char* kFooter = "  0\nENDSEC\n  0\nEOF\n";

// The template folder, made once for the whole run.
struct Templates {
  Templates() {
    std::ofstream(folder.path() + "Hedder.dat", std::ios::binary) << kHeader;
    std::ofstream(folder.path() + "Footer.dat", std::ios::binary) << kFooter;
  }
  ScratchFolder folder;
};

const std::string& templateFolder() {
  static const Templates templates;
  return templates.folder.path();
}

bool isNonFiniteText(std::u16string_view line) {
  return line == u"inf" || line == u"-inf" || line == u"nan" || line == u"-nan";
}

void checkDrawing(const std::vector<std::u16string>& list) {
  require(list.size() >= 8, "the drawing holds both templates");
  require(list.front() == u"  0" && list[3] == u"ENTITIES", "the drawing starts with the header");
  require(list.back() == u"EOF", "the drawing ends with the footer");
  for (const std::u16string& entity : list) {
    std::size_t start = 0;
    while (start <= entity.size()) {
      std::size_t end = entity.find(u'\n', start);
      if (end == std::u16string::npos) end = entity.size();
      require(!isNonFiniteText(std::u16string_view(entity).substr(start, end - start)), "every number is finite");
      start = end + 1;
    }
  }
  require(!dxfBytes(list, TextEncoding::ShiftJis).empty(), "the drawing has bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kNcGeometry geometry;
  readProgramBytes(bytesOf(data, size), geometry);
  kNcToDxf writer(geometry, templateFolder());
  std::vector<std::u16string> list;
  const FileResult built = writer.buildDxf(list);
  if (built.ok) {
    checkDrawing(list);
  } else {
    require(list.empty(), "a refused drawing leaves the list as it was");
    require(built.message.find("not a finite number") != std::string::npos, "only numbers refuse a drawing");
  }
  return 0;
}
