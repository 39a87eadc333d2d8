// Tests of the program reader: line preparation, line breaks, encodings, errors and cancellation; files that
// are no program text; finding text in a program.
#include "nc/Ncreader.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "nc/Ncfind.hpp"
#include "nc/SameReading.hpp"
#include "util/Filekind.hpp"
#include "util/Text.hpp"

namespace {

using std::u16string;
using std::u16string_view;
namespace fs = std::filesystem;
using namespace std::string_view_literals;

TEST(Reader, LinePreparation) {
  struct Case {
    u16string_view line, prepared;
  };
  const Case cases[] = {
      {u"g01x5.f200\n", u"G01X5.F200\n"},
      {u"var Feed1 = 300\n", u"FEED1"},
      {u"var a=1\n", u"A"},
      {u"Var A = 1\n", u"A"},
      {u"VAR\tA=1\n", u"A"},
      {u"  var b=2\n", u"B"},
      {u"\u3000\tVAR C=1\n", u"C"},
      {u"VARX\n", u"X\n"},
      {u"VAR=5\n", u""},
      // Only a line that begins with VAR is a variable line.
      {u"(VARIANT 2)\n", u"(VARIANT 2)\n"},
      {u"X1.(var a=1)\n", u"X1.(VAR A=1)\n"},
      {u"* TOOL LIST\n", u" "},
      {u"*\n", u" "},
      {u"*/\n", u"*/\n"},
      {u"* end */\n", u"* END */\n"},
      {u" *abc\n", u" *ABC\n"},
      {u"ｇ０１ｘ", u"Ｇ０１Ｘ"},
      {u"(straße é)", u"(STRAßE É)"},
      // Letters whose upper case is ASCII stay as they are: they must not turn into address letters.
      {u"(\u0131\u017f\ufb00 \u01c6)x", u"(\u0131\u017f\ufb00 \u01c4)X"},
      {u"", u""},
  };
  for (const auto& c : cases) {
    u16string line(c.line);
    prepareLine(line);
    EXPECT_EQ(line, c.prepared) << toUtf8(c.line);
  }
}

TEST(Reader, EditorLineCount) {
  struct Case {
    u16string_view text;
    int lines;
  };
  const Case cases[] = {
      {u"", 0},    {u"A", 1},  {u"A\n", 1},   {u"A\nB", 2},    {u"A\r\nB\r\n", 2}, {u"A\rB\n", 2},
      {u"A\r", 1}, {u"\n", 1}, {u"A\n\n", 2}, {u"A\r\r\n", 2}, {u"\r\n\r\n", 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(editorLineCount(c.text), c.lines) << toUtf8(c.text);
    kNcText text;
    text.setText(u16string(c.text), TextEncoding::ShiftJis, LineBreak::Lf);
    EXPECT_EQ(text.lineCount(), c.lines) << toUtf8(c.text);
  }
  kNcText text;
  text.setText(u"A\r\r\nBC\rD\n", TextEncoding::ShiftJis, LineBreak::CrLf);
  const u16string lines[] = {u"", u"A", u"", u"BC", u"D", u""};
  for (int line = 0; line <= 5; ++line) EXPECT_EQ(text.lineText(line), lines[line]) << line;
  EXPECT_EQ(text.longestLineLength(), 2u);
}

std::vector<u16string> blockTexts(const kNcGeometry& g) {
  std::vector<u16string> texts;
  for (int k = 1; k < g.blockCount; ++k) texts.emplace_back(g.blockTextAt(k));
  return texts;
}

TEST(Reader, OneBlockPerLineWithItsLineFeed) {
  struct Case {
    u16string_view text;
    std::vector<u16string> blocks;
  };
  const u16string longLine = u"G01X1." + u16string(600, u'0') + u"\n";
  const Case cases[] = {
      {u"", {}},
      {u"G01X1.\nX2.", {u"G01X1.\n", u"X2."}},
      {u"G01X1.\nX2.\n", {u"G01X1.\n", u"X2.\n"}},
      {u"x1.\r\nx2.\r\n", {u"X1.\n", u"X2.\n"}},
      // A lone CR stays in its line; the editor sees one more line, which gets a blank block.
      {u"X1.\rX2.\n", {u"X1.\rX2.\n", u" "}},
      {u"\n\n", {u"\n", u"\n"}},
      {u"X1.\r", {u"X1.\r"}},
      {u"X1.\r\r\n", {u"X1.\r\n", u" "}},
      {u"*COMMENT\nvar a=1\n", {u" ", u"A"}},
      {longLine, {longLine}},
      {u"X1.\0X2.\x1a\n"sv, {u16string(u"X1.\0X2.\x1a\n"sv)}},
  };
  for (const auto& c : cases) {
    kNcGeometry g;
    const ReadResult result = readNcText(c.text, g);
    EXPECT_EQ(result.status, ReadResult::Status::Ok);
    EXPECT_EQ(blockTexts(g), c.blocks) << toUtf8(c.text);
    EXPECT_EQ(result.linesRead, static_cast<int>(c.blocks.size()));
    EXPECT_EQ(result.syntaxErrorLine, 0);
  }
}

TEST(Reader, UsesTheWindowCommentDelimiters) {
  kNcGeometry g;
  readNcText(u"G01X5./*A*/\n//B\n", g);
  EXPECT_EQ(g.commentStateAt(1), 0);
  EXPECT_EQ(g.commentStateAt(2), 1);
  EXPECT_EQ(g.xAt(1), 5.0);
}

TEST(Reader, StopsRightAfterACommentSyntaxError) {
  struct Case {
    u16string_view text;
    int errorLine, blocks;
  };
  const Case cases[] = {
      {u"X1.\n)X2.\nX3.\n", 2, 3},
      {u"X1.\n)X2.", 2, 3},  // the faulty line is the last one
      {u"((A\n", 1, 2},
      {u"X1.\r)", 1, 2},             // no extra blank block after an error
      {u"(A\nB\nC))\nX1.\n", 3, 4},  // inside a comment left open
  };
  for (const auto& c : cases) {
    kNcGeometry g;
    const ReadResult result = readNcText(c.text, g);
    EXPECT_EQ(result.status, ReadResult::Status::Ok) << toUtf8(c.text);
    EXPECT_EQ(result.syntaxErrorLine, c.errorLine) << toUtf8(c.text);
    EXPECT_EQ(g.blockCount, c.blocks) << toUtf8(c.text);
    EXPECT_EQ(g.commentStateAt(c.errorLine), -1) << toUtf8(c.text);
  }
  // A new reading starts clean.
  kNcGeometry g;
  readNcText(u")\n", g);
  const ReadResult again = readNcText(u"X1.\n", g);
  EXPECT_EQ(again.syntaxErrorLine, 0);
  EXPECT_EQ(g.syntaxErrorBlock(), 0);
  EXPECT_EQ(g.blockCount, 2);
}

TEST(Reader, CancelsBetweenLines) {
  u16string text;
  for (int n = 0; n < 2000; ++n) text += u"G01X1.\n";
  kNcGeometry g;
  ReaderCallbacks stopAtOnce;
  stopAtOnce.progress = [](const ReadProgress&) { return false; };
  EXPECT_EQ(readNcText(text, g, stopAtOnce).status, ReadResult::Status::Cancelled);
  EXPECT_EQ(g.blockCount, 1);

  int calls = 0, linesAtCancel = -1;
  ReaderCallbacks stopLater;
  stopLater.progress = [&](const ReadProgress& p) {
    EXPECT_LE(p.charsDone, p.charsTotal);
    if (++calls < 3) return true;
    linesAtCancel = p.linesRead;
    return false;
  };
  const ReadResult result = readNcText(text, g, stopLater);
  EXPECT_EQ(result.status, ReadResult::Status::Cancelled);
  EXPECT_GT(linesAtCancel, 0);
  EXPECT_LT(linesAtCancel, 2000);
  EXPECT_EQ(g.blockCount, linesAtCancel + 1) << "cancelled between two whole lines";

  int finalLines = 0;
  ReaderCallbacks watch;
  watch.progress = [&](const ReadProgress& p) {
    finalLines = p.linesRead;
    return true;
  };
  EXPECT_EQ(readNcText(text, g, watch).status, ReadResult::Status::Ok);
  EXPECT_EQ(finalLines, 2000) << "the last report comes after the last line";
}

// The one-pass reading of plain lines reads as the text reading: lines at the limits of what is plain, in
// every line-break style, the golden programs and the examples, as file bytes and as decoded text.
TEST(Reader, OnePassReadsAsTheTextReading) {
  const std::string_view lines[] = {"G90G00G17X0Y0Z5.",
                                    "G01X1.Y2.Z-3.F100",
                                    "x1.5y-2",
                                    "G1X.5",
                                    "X-",
                                    "X",
                                    "X1.2.3",
                                    "X-0",
                                    "G0G1X1",
                                    "G91X1Y1",
                                    "Z-1",
                                    "G90X1",
                                    "G17G02X10Y0I5J0",
                                    "G02X10R5",
                                    "G18G03X1Z1R-1",
                                    "G19",
                                    "G81X1Y1Z-1R2F100",
                                    "G80",
                                    "G55X1",
                                    "G98G99",
                                    "T1",
                                    "H01",
                                    "D2",
                                    "N10G01X1",
                                    "X1E5",
                                    "G1.5X1",
                                    "G.5",
                                    "G4X1",
                                    "G04P5",
                                    "G43H1Z5",
                                    "G41D1X1",
                                    "G40",
                                    "M3",
                                    "O100",
                                    "(C)",
                                    "X1(C)",
                                    "X1;C",
                                    "X$A",
                                    "VAR X=1",
                                    "var",
                                    "* STAR",
                                    " X1",
                                    "X1 Y2",
                                    "X1\tY2",
                                    std::string_view("X1\0Y2", 5),
                                    "X99999999999999999999999",
                                    "G28",
                                    "G92X1",
                                    "M06",
                                    "M99",
                                    "G-0",
                                    "G+1",
                                    "G",
                                    "GX1",
                                    "G00.",
                                    "G33Z1",
                                    "G73X1",
                                    "X1X2",
                                    "FF100",
                                    "F-1",
                                    "F1.",
                                    "F01",
                                    "R0",
                                    "I-0",
                                    "G090X1",
                                    "G091X1",
                                    "G21",
                                    "G90.1",
                                    "G2X1Y1I1J1",
                                    "G20",
                                    "G81X1Y1Z-1R1",
                                    "G91.1G21",
                                    "G2X5Y5I1",
                                    "T1M6",
                                    "X2",
                                    "G28",
                                    "X 1",
                                    "G 1X2",
                                    "X1;(C",
                                    "G1X2Y3;",
                                    ";",
                                    "X1;;",
                                    "X2; ",
                                    "G28.1",
                                    "G92.1X1",
                                    "G20G64G18",
                                    "X1#1",
                                    "X1[2]",
                                    "<A>",
                                    "X1/2",
                                    "X1*2",
                                    "X1)",
                                    "\x81\x40X1",
                                    "\xEF\xBB\xBFX1",
                                    "G2X1Y1",
                                    "G3X0Y0",
                                    "X1\r2",
                                    "G01G01G02G17",
                                    "G02X1.G03G18",
                                    "E1",
                                    "S1000",
                                    "P1",
                                    "G99999999999999999999X1",
                                    "G20",
                                    "G02X10Y-5I5J0",
                                    "G03X1.R5",
                                    "G21X7"};
  const std::string longLine = "G01X" + std::string(297, '1');
  std::vector<std::string> programs;
  for (const char* lineBreak : {"\n", "\r\n", "\r"}) {
    std::string program;
    for (std::string_view line : lines) program.append(line).append(lineBreak);
    programs.push_back(program);
    programs.push_back(program + longLine + "\n" + longLine + "1111\nX1");
  }
  programs.push_back("X1\n(A\nX2\nB)X3\nX4\n/*\nX5\n*/\nX6\n)\nX7\n");
  // Long enough for several chunks of lines scanned ahead, with a line that runs through some of them.
  std::string large;
  for (int n = 0; n < 300; ++n) large += programs[n % 2] + (n == 150 ? std::string(300000, 'X') + "\n" : "");
  programs.push_back(large);
  for (const auto& dir : {"tests/golden", "examples"}) {
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(VELMORA_SOURCE_DIR) / dir)) {
      if (entry.path().extension() != ".nc") continue;
      std::ifstream in(entry.path(), std::ios::binary);
      programs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  ReadOptions asText;
  asText.onePass = false;
  int plainLines = 0;
  // Standard decimal input scales the numbers both readings read.
  for (const std::string& bytes : programs) {
    for (const Control control : {Control::strict, Control::fanuc}) {
      auto file = std::make_shared<kNcText>();
      file->setBytes(bytes);
      kNcGeometry onePass, textOnly;
      onePass.setProfile(defaultProfile(control));
      textOnly.setProfile(defaultProfile(control));
      EXPECT_EQ(readNcProgram(file, textOnly, {}, asText).plainLines, 0);
      for (const int threads : {0, 1, 3}) {
        plainLines += readNcProgram(file, onePass, {}, {true, threads}).plainLines;
        EXPECT_EQ(readingDifference(onePass, textOnly), "") << threads << " threads: " << bytes.substr(0, 200);
      }
      const u16string decoded = decodeText(bytes).text;
      plainLines += readNcText(decoded, onePass).plainLines;
      readNcText(decoded, textOnly, {}, asText);
      EXPECT_EQ(readingDifference(onePass, textOnly), "") << bytes.substr(0, 200);
    }
  }
  EXPECT_GT(plainLines, 200) << "the plain lines were read in one pass";
}

class ReaderFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(::testing::TempDir()) /
             ("velmora_reader_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string write(const std::string& name, const std::string& bytes) {
    const fs::path path = folder / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  fs::path folder;
  kNcGeometry g;
};

TEST_F(ReaderFiles, DecodesShiftJisAndHonoursByteOrderMarks) {
  struct Case {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::vector<u16string> blocks;
    u16string firstLine = blocks.front().substr(0, blocks.front().size() - 1);
  };
  const Case cases[] = {
      {"sjis.nc", "(\x83\x41)\r\ng01x1.\r\n", TextEncoding::ShiftJis, {u"(ア)\n", u"G01X1.\n"}},
      {"invalid.nc", "X1.\xff\nX\x81\n", TextEncoding::ShiftJis, {u"X1.\uFFFD\n", u"X\uFFFD\n"}},
      {"utf8.nc", "\xEF\xBB\xBFg01x1.(\xE3\x82\xA2)\n", TextEncoding::Utf8Bom, {u"G01X1.(ア)\n"}, u"g01x1.(ア)"},
      {"utf16le.nc",
       std::string("\xFF\xFEX\0"
                   "1\0\n\0",
                   8),
       TextEncoding::Utf16LeBom,
       {u"X1\n"}},
      {"utf16be.nc",
       std::string("\xFE\xFF\0X\0"
                   "2\0\n",
                   8),
       TextEncoding::Utf16BeBom,
       {u"X2\n"}},
  };
  for (const auto& c : cases) {
    const ReadResult result = readNcFile(write(c.name, c.bytes), g);
    EXPECT_EQ(result.status, ReadResult::Status::Ok) << c.name;
    EXPECT_EQ(result.encoding, c.encoding) << c.name;
    EXPECT_EQ(blockTexts(g), c.blocks) << c.name;
    kNcText text;
    EXPECT_EQ(text.open(write(c.name, c.bytes)).status, kNcText::Status::Ok) << c.name;
    EXPECT_EQ(text.encoding(), c.encoding) << c.name;
    EXPECT_EQ(text.lineCount(), static_cast<int>(c.blocks.size())) << c.name;
    EXPECT_EQ(text.lineText(1), c.firstLine) << c.name;
  }
  EXPECT_EQ(g.xAt(0), 2.0);
}

TEST_F(ReaderFiles, FilesThatCannotBeReadAreReportedWithTheirPath) {
  readNcText(u"X5.\n", g);
  const std::string missing = (folder / "missing.nc").string();
  ReadResult result = readNcFile(missing, g);
  EXPECT_EQ(result.status, ReadResult::Status::NotFound);
  EXPECT_NE(result.message.find(missing), std::string::npos) << result.message;
  EXPECT_EQ(g.blockCount, 1) << "the store is left restarted, not with the previous program";

  result = readNcFile(folder.string(), g);
  EXPECT_EQ(result.status, ReadResult::Status::IsFolder);
  EXPECT_NE(result.message.find(folder.string()), std::string::npos) << result.message;

  result = readNcFile(write("empty.nc", ""), g);
  EXPECT_EQ(result.status, ReadResult::Status::Ok);
  EXPECT_EQ(result.linesRead, 0);
  EXPECT_EQ(g.blockCount, 1);
}

TEST_F(ReaderFiles, BinaryBytesAreJustText) {
  std::string bytes;
  for (int n = 0; n < 4096; ++n) bytes += static_cast<char>((n * 7919) % 256);
  const ReadResult result = readNcFile(write("binary.nc", bytes), g);
  EXPECT_EQ(result.status, ReadResult::Status::Ok);
  EXPECT_EQ(g.blockCount, result.linesRead + 1);
}

TEST_F(ReaderFiles, FilesThatAreNoTextAreRefusedWhenAsked) {
  // Compressed data: every byte value as often as the others.
  std::string spread;
  for (int n = 0; n < 65536; ++n) spread += static_cast<char>((n * 7919 + n / 256) % 256);
  struct Case {
    const char* name;
    std::string bytes;
    FileKind kind;
  };
  const Case cases[] = {
      {"classic.nc", std::string("CDF\x01\0\0\0\x0a", 8), FileKind::NetCdf},
      {"offset64.nc", std::string("CDF\x02\0\0\0\0", 8), FileKind::NetCdf},
      {"data64.nc", std::string("CDF\x05\0\0\0\0", 8), FileKind::NetCdf},
      {"netcdf4.nc", std::string("\x89HDF\r\n\x1a\n\0\0\0\0", 12), FileKind::Hdf5},
      {"spread.nc", spread, FileKind::Binary},
      {"zeros.nc", std::string(100, '\0'), FileKind::Binary},
      // One control byte in sixteen is still a text with a stray byte in it.
      {"stray.nc", "G01X1.\x01" + std::string(8, ' ') + "\n", FileKind::Text},
      {"tabs.nc", "%\r\n\tG00\tX1.\f\n\x1a", FileKind::Text},
      {"sjis.nc", "(\x89\xc1\x8d\x48)\nX1.\n", FileKind::Text},
      {"cdf.nc", "CDF G01 X1.\n", FileKind::Text},
      {"utf16.nc",
       std::string("\xFF\xFEX\0"
                   "1\0\n\0",
                   8),
       FileKind::Text},
      {"empty.nc", "", FileKind::Text},
  };
  ReadOptions refusing;
  refusing.refuseNonText = true;
  for (const Case& c : cases) {
    const std::string path = write(c.name, c.bytes);
    EXPECT_EQ(contentKindOf(c.bytes), c.kind) << c.name;
    const FileVerdict verdict = judgeProgramFile(path);
    EXPECT_EQ(verdict.kind, c.kind) << c.name;
    const ReadResult refused = readNcFile(path, g, {}, refusing);
    EXPECT_EQ(refused.status, c.kind == FileKind::Text ? ReadResult::Status::Ok : ReadResult::Status::NotText)
        << c.name;
    if (c.kind == FileKind::Text) continue;
    EXPECT_EQ(g.blockCount, 1) << c.name;
    EXPECT_NE(refused.message.find(path), std::string::npos) << refused.message;
    EXPECT_EQ(refused.message, verdict.message) << c.name;
    // Unless asked, the reader reads any bytes.
    EXPECT_EQ(readNcFile(path, g).status, ReadResult::Status::Ok) << c.name;
  }
  EXPECT_EQ(judgeProgramFile((folder / "missing.nc").string()).kind, FileKind::Missing);
  EXPECT_EQ(judgeProgramFile(folder.string()).kind, FileKind::Folder);
  EXPECT_EQ(judgeProgramFile("/proc/self/mem").kind, FileKind::Unreadable);
  EXPECT_NE(judgeProgramFile(folder.string()).message.find(folder.string()), std::string::npos);
}

TEST(Find, InAnyCaseBothWaysAndRoundTheEnds) {
  kNcText text;
  text.setBytes("G00 X0\ng01 x10 (Cut)\nG01 Y5\n(cut again)\n");
  struct Case {
    const char* needle;
    TextSpot from;
    bool forward;
    std::optional<TextSpot> found;
    bool wrapped;
  };
  const Case cases[] = {
      {"CUT", {1, 0}, true, TextSpot{2, 9}, false},
      {"CUT", {2, 9}, true, TextSpot{2, 9}, false},  // a match at the start is found
      {"CUT", {2, 10}, true, TextSpot{4, 1}, false},
      {"CUT", {4, 2}, true, TextSpot{2, 9}, true},  // round the end
      {"cut", {4, 1}, false, TextSpot{2, 9}, false},
      {"cut", {2, 9}, false, TextSpot{4, 1}, true},  // round the start
      {"g01", {3, 0}, false, TextSpot{2, 0}, false},
      {"g01", {3, 1}, false, TextSpot{3, 0}, false},
      {"x", {1, 5}, true, TextSpot{2, 4}, false},
      {"G00", {1, 1}, true, TextSpot{1, 0}, true},  // the only match, behind the start on its own line
      {"G00", {1, 0}, false, TextSpot{1, 0}, true},
      {"Z", {1, 0}, true, std::nullopt, false},
      {"", {1, 0}, true, std::nullopt, false},
  };
  for (const Case& c : cases) {
    bool wrapped = false;
    const u16string needle = fromUtf8(c.needle);
    EXPECT_EQ(findInText(text, needle, c.from, c.forward, &wrapped), c.found)
        << c.needle << " from " << c.from.line << ":" << c.from.column;
    EXPECT_EQ(wrapped, c.wrapped) << c.needle << " from " << c.from.line << ":" << c.from.column;
  }
}

}  // namespace
