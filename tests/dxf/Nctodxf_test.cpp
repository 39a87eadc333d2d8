// Tests of the DXF writer: entity texts, the conversion of blocks into entities, templates and saving.
#include "dxf/Nctodxf.hpp"

#include <gtest/gtest.h>

#include <initializer_list>

#include "dxf/DxfExport.hpp"
#include "dxf/TempFolder.hpp"
#include "nc/StoreFixture.hpp"

namespace {

using Lines = std::vector<std::u16string>;

std::u16string line(double x1, double y1, double x2, double y2, int kind) {
  return kNcToDxf::lineEntity(x1, y1, x2, y2, kind);
}

// Templates of one header line "HEAD" and two footer lines.
class DxfWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    writeBytes(templates / "Hedder.dat", "HEAD\r\n");
    writeBytes(templates / "Footer.dat", "FOOT1\nFOOT2");
  }
  // The list after the header line.
  Lines convert(const Program& program) {
    kNcToDxf writer(program.g, templates.path());
    Lines list{u"left over"};
    const FileResult built = writer.buildDxf(list);
    EXPECT_TRUE(built.ok) << built.message;
    if (list.empty() || list.front() != u"HEAD") return {u"header missing"};
    return Lines(list.begin() + 1, list.end());
  }
  TempFolder templates;
};

TEST(DxfEntities, TextsAreExactWithTheirLayerCodes) {
  EXPECT_EQ(line(0, -3, 12.5, 5.00006, 6),
            u"  0\nLINE\n  8\nNomal\n 10\n0.0000\n 20\n-3.0000\n 11\n12.5000\n 21\n5.0001");
  EXPECT_EQ(kNcToDxf::circleEntity(20, 30, 5, 8),
            u"  0\nCIRCLE\n 8\nCycle\n 10\n20.0000\n 20\n30.0000\n 40\n5.0000");
  EXPECT_EQ(kNcToDxf::arcEntity(1, 2, 10, 0, 90, 7),
            u"  0\nARC\n 8\nCompensation\n 10\n1.0000\n 20\n2.0000\n 40\n10.0000\n 50\n0.0000\n 51\n90.0000");
  EXPECT_EQ(kNcToDxf::arcEntity(1, 2, 10, 45, 405, 6), kNcToDxf::circleEntity(1, 2, 10, 6));
  const char16_t* names[] = {u"Other", u"Center",       u"Circle", u"Move",       u"Line", u"Arc",
                             u"Nomal", u"Compensation", u"Cycle",  u"ToolCentre", u"Other"};
  for (int kind = 0; kind <= 10; ++kind) EXPECT_EQ(kNcToDxf::layerName(kind), names[kind]) << kind;
}

TEST_F(DxfWriter, StraightMovesGiveAxesAndOneLinePerBlock) {
  const Program program{u"G00X0Y0", u"G01X10.Y0", u"G01X10.Y5."};
  EXPECT_EQ(convert(program), (Lines{line(0, 0, 10, 0, 1), line(0, 0, 0, 5, 1), line(0, 0, 0, 0, 3),
                                     line(0, 0, 10, 0, 6), line(10, 0, 10, 5, 6), u"FOOT1", u"FOOT2"}));
}

TEST_F(DxfWriter, ArcsRunCounterClockwiseAndFullTurnsBecomeCircles) {
  const Lines ccw = convert(Program{u"G00X10.Y0", u"G03X0Y10.I-10.J0"});
  const Lines cw = convert(Program{u"G00X0Y10.", u"G02X10.Y0I0J-10."});
  const std::u16string quarter = kNcToDxf::arcEntity(0, 0, 10, 0, 90, 6);
  ASSERT_EQ(ccw.size(), 6u);
  EXPECT_EQ(ccw[3], quarter);
  ASSERT_EQ(cw.size(), 6u);
  EXPECT_EQ(cw[3], quarter);

  const Lines full = convert(Program{u"G00X10.Y0", u"G41D1G02X10.Y0I-10.J0"});
  ASSERT_EQ(full.size(), 6u);
  EXPECT_EQ(full[3], kNcToDxf::circleEntity(0, 0, 10, 7));
}

TEST_F(DxfWriter, CycleHolesAndSidewaysArcs) {
  const Lines hole = convert(Program{u"G00X5.Y5.", u"G81X20.Y30.Z-5.R2.", u"G80"});
  ASSERT_EQ(hole.size(), 8u);
  EXPECT_EQ(hole[2], line(0, 0, 5, 5, 3));
  EXPECT_EQ(hole[3], kNcToDxf::circleEntity(20, 30, 5, 8));
  EXPECT_EQ(hole[4], line(5, 5, 20, 30, 3));
  EXPECT_EQ(hole[5], line(20, 30, 20, 30, 3));

  const Lines sideways = convert(Program{u"G01X5.Y0", u"G18G02X10.Z-5.I2.5K0"});
  ASSERT_EQ(sideways.size(), 6u);
  EXPECT_EQ(sideways[3], line(5, 0, 10, 0, 6));

  // A tool change under G02 is a straight line to the tool-change point.
  const Lines toolChange = convert(Program{u"G01X5.Y0", u"G02X10.Y5.I5.", u"T2M6"});
  ASSERT_EQ(toolChange.size(), 7u);
  EXPECT_EQ(toolChange[4], line(10, 5, 0, 0, 6));
}

TEST_F(DxfWriter, WithoutMovementTheDrawingIsEmptyButComplete) {
  const Lines footerOnly{u"FOOT1", u"FOOT2"};
  EXPECT_EQ(convert(Program{u"G00Z10.", u"M05"}), footerOnly);
  EXPECT_EQ(convert(Program{}), footerOnly);
}

TEST_F(DxfWriter, MissingTemplates) {
  std::filesystem::remove(templates / "Footer.dat");
  // No X word at all: the X axis spans from 0 to the largest extent.
  EXPECT_EQ(convert(Program{u"G01Y2."}), (Lines{line(0, 0, 2, 0, 1), line(0, 2, 0, 2, 1), line(0, 0, 0, 2, 6)}));

  std::filesystem::remove(templates / "Hedder.dat");
  const Program program{u"G01X1.Y2."};
  kNcToDxf writer(program.g, templates.path());
  Lines list{u"untouched"};
  const FileResult built = writer.buildDxf(list);
  EXPECT_FALSE(built.ok);
  EXPECT_NE(built.message.find(templates / "Hedder.dat"), std::string::npos) << built.message;
  EXPECT_EQ(list, Lines{u"untouched"});

  TempFolder out;
  const SaveResult saved = exportDxf(program.g, out / "part.dxf", templates.path());
  EXPECT_FALSE(saved.ok);
  EXPECT_EQ(out.entryCount(), 0u);
}

// 10^308 written out: finite, but twice it is not.
std::u16string huge(std::u16string_view before, std::u16string_view after = u"") {
  return std::u16string(before) + u"1" + std::u16string(308, u'0') + u"." + std::u16string(after);
}

TEST_F(DxfWriter, NumbersBeyondTheLargestAreRefusedNamingTheLine) {
  struct Case {
    Program program;
    std::string_view line;
  };
  const Case cases[] = {
      // An incremental sum that overflows, in a line, a cycle hole and an arc.
      {Program{u"G91G01X1.", huge(u"X"), huge(u"X"), u"X1."}, "line 3:"},
      {Program{u"G91G00X1.", huge(u"X"), huge(u"G81X", u"Z-1.R1.")}, "line 3:"},
      {Program{huge(u"G91G01X"), huge(u"G02X", u"Y0") + huge(u"I", u"J0")}, "line 2:"},
      // A thread draws nothing, but its end point leaves the axis lines without an end.
      {Program{u"G01X1.", huge(u"G91G33X"), huge(u"X")}, "line 3:"},
  };
  for (const Case& c : cases) {
    kNcToDxf writer(c.program.g, templates.path());
    Lines list{u"untouched"};
    const FileResult built = writer.buildDxf(list);
    EXPECT_FALSE(built.ok);
    EXPECT_TRUE(built.message.starts_with(c.line)) << built.message;
    EXPECT_EQ(list, Lines{u"untouched"});

    TempFolder out;
    const SaveResult saved = exportDxf(c.program.g, out / "part.dxf", templates.path());
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.message, built.message);
    EXPECT_EQ(out.entryCount(), 0u);
  }
  // The largest finite numbers are still written.
  const Lines largest = convert(Program{huge(u"G01X")});
  ASSERT_EQ(largest.size(), 5u);
  EXPECT_EQ(largest[2], line(0, 0, 1e308, 0, 6));
}

TEST_F(DxfWriter, SavedBytesUseCrLfAndTheHeaderEncoding) {
  EXPECT_EQ(dxfBytes({u"  0\nEOF", u"ｱ"}, TextEncoding::ShiftJis), std::string("  0\nEOF\r\n\xB1\r\n"));
  writeBytes(templates / "Hedder.dat", "\xEF\xBB\xBFHEAD\n");
  const Program program{u"G01X1.Y1."};
  TempFolder out;
  const SaveResult saved = exportDxf(program.g, out / "part.dxf", templates.path());
  ASSERT_TRUE(saved.ok) << saved.message;
  EXPECT_EQ(readBytes(out / "part.dxf").substr(0, 9), "\xEF\xBB\xBFHEAD\r\n");
}

TEST_F(DxfWriter, ExportGoesBesideTheNcFileAndKeepsOlderDrawings) {
  EXPECT_EQ(dxfPathFor("/cam/part.rev.nc"), "/cam/part.rev.dxf");
  EXPECT_EQ(dxfPathFor("C:\\cam\\part.nc"), "C:\\cam\\part.dxf");
  EXPECT_EQ(dxfPathFor("part"), "part.dxf");

  TempFolder out;
  const std::string dxf = dxfPathFor(out / "part.nc");
  const Program first{u"G01X1.Y1."};
  const Program second{u"G01X2.Y2."};
  ASSERT_TRUE(exportDxf(first.g, dxf, templates.path()).ok);
  const std::string firstBytes = readBytes(dxf);
  EXPECT_EQ(exportDxf(second.g, dxf, templates.path()).backupPath, out / "part_old.dxf");
  EXPECT_EQ(exportDxf(second.g, dxf, templates.path()).backupPath, out / "part_old-01.dxf");
  EXPECT_EQ(readBytes(out / "part_old.dxf"), firstBytes);
  EXPECT_NE(readBytes(dxf), firstBytes);
}

TEST(DxfTemplates, ShippedTemplatesOpenAndCloseTheEntities) {
  const Program program{u"G01X1.Y1."};
  kNcToDxf writer(program.g, VELMORA_SOURCE_DIR "/data/TempFile");
  EXPECT_EQ(writer.headerPath, VELMORA_SOURCE_DIR "/data/TempFile/Hedder.dat");
  Lines list;
  ASSERT_TRUE(writer.buildDxf(list).ok);
  ASSERT_GE(list.size(), 4u);
  EXPECT_EQ(list[list.size() - 8], u"ENTITIES");
  EXPECT_EQ(Lines(list.end() - 4, list.end()), (Lines{u"  0", u"ENDSEC", u"  0", u"EOF"}));
  EXPECT_EQ(writer.encoding, TextEncoding::ShiftJis);
}

}  // namespace
