// Tests of control profiles: names, profile files and their notes, and the file a program finds.
#include "nc/Ncprofile.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class ProfileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(::testing::TempDir()) /
             ("velmora_profile_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string write(const std::string& name, const std::string& text) {
    const fs::path path = folder / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  fs::path folder;
};

TEST(ControlNames, RoundTripIgnoringCase) {
  for (int c = 0; c < kControlCount; ++c) {
    const auto control = static_cast<Control>(c);
    EXPECT_EQ(controlNamed(controlName(control)), control);
  }
  EXPECT_EQ(controlNamed("LinuxCNC"), Control::linuxcnc);
  EXPECT_EQ(controlNamed("siemens"), std::nullopt);
  EXPECT_EQ(defaultProfile(Control::haas).decimalInput, DecimalInput::standard);
  EXPECT_EQ(defaultProfile(Control::grbl).decimalInput, DecimalInput::calculator);
}

TEST_F(ProfileFiles, EverySectionRead) {
  const std::string path = write(".velmora.ini",
                                 "\xEF\xBB\xBF; shop settings\r\n"
                                 "[rules]\n"
                                 "comp-without-d = off\n"
                                 "[Check]\n"
                                 "decimal_input = calculator\n"
                                 "Control = Haas\n"
                                 "stock_top = 12.5\n"
                                 "arc_tolerance = 0.01\n"
                                 "[eval]\n"
                                 "max_blocks = 5000\n"
                                 "call_depth = 4\n"
                                 "subroutine_path = subs; /opt/macros\n"
                                 "[variables]\n"
                                 "#2001 = 5.0\n"
                                 "#<_x> = -1\n"
                                 "[tools]\n"
                                 "table = tools.tbl\n"
                                 "D1 = 10.0\n"
                                 "[offsets]\n"
                                 "G55 = 1, 2.5 -3\n");
  const ControlProfile p = loadProfileFile(path);
  EXPECT_TRUE(p.notes.empty()) << p.notes.front().line << ": " << p.notes.front().message;
  EXPECT_EQ(p.control, Control::haas);
  EXPECT_EQ(p.decimalInput, DecimalInput::calculator) << "the file's setting wins over the control's default";
  EXPECT_EQ(p.stockTop, 12.5);
  EXPECT_EQ(p.arcTolerance, 0.01);
  EXPECT_EQ(p.rules.at("comp-without-d"), RuleSetting::off);
  EXPECT_EQ(p.maxBlocks, 5000);
  EXPECT_EQ(p.maxCallDepth, 4);
  ASSERT_EQ(p.subroutinePath.size(), 2u);
  EXPECT_EQ(p.subroutinePath[0], (folder / "subs").string());
  EXPECT_EQ(p.subroutinePath[1], "/opt/macros");
  EXPECT_EQ(p.variables.at("#2001"), 5.0);
  EXPECT_EQ(p.variables.at("#<_x>"), -1.0);
  EXPECT_EQ(p.toolTable, (folder / "tools.tbl").string());
  EXPECT_EQ(p.toolDiameters.at(1), 10.0);
  EXPECT_EQ(p.workOffsets[1], (std::array<double, 3>{1, 2.5, -3}));
  EXPECT_EQ(p.sourceFile, path);
  EXPECT_EQ(loadProfileFile(path, Control::linuxcnc).control, Control::linuxcnc) << "the command line wins";
  EXPECT_EQ(loadProfileFile(path, Control::linuxcnc).stockTop, 12.5);
}

TEST_F(ProfileFiles, WhatCannotBeUsedIsToldByLine) {
  const std::string path = write("shop.ini",
                                 "[check]\n"
                                 "control = siemens\n"
                                 "colour = red\n"
                                 "decimal_input = sometimes\n"
                                 "stock_top = 5mm\n"
                                 "arc_tolerance = 0\n"
                                 "[rules]\n"
                                 "no-such-rule = off\n"
                                 "arc-radius-mismatch = loud\n"
                                 "[eval]\n"
                                 "max_blocks = many\n"
                                 "[tools]\n"
                                 "X1 = 3\n"
                                 "D2 = -1\n"
                                 "[offsets]\n"
                                 "G60 = 0 0 0\n"
                                 "G54 = 1 2\n"
                                 "[colours]\n"
                                 "a = b\n"
                                 "just words\n");
  const ControlProfile p = loadProfileFile(path);
  std::vector<int> lines;
  for (const ProfileNote& note : p.notes) {
    EXPECT_EQ(note.file, path);
    lines.push_back(note.line);
  }
  EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 5, 6, 8, 9, 11, 13, 14, 16, 17, 18, 20}));
  EXPECT_EQ(p.control, Control::strict);
  EXPECT_EQ(p.notes[1].message, "unknown key \"colour\" in [check]");
  EXPECT_EQ(p.notes[2].message, "unusable value \"sometimes\" for decimal_input: standard or calculator expected");
  EXPECT_TRUE(p.rules.empty());
  const ControlProfile missing = loadProfileFile((folder / "none.ini").string());
  ASSERT_EQ(missing.notes.size(), 1u);
  EXPECT_EQ(missing.notes[0].line, 0);
}

TEST_F(ProfileFiles, FoundInTheNearestFolderThatHasOne) {
  const std::string top = write(".velmora.ini", "[check]\ncontrol = grbl\n");
  const std::string near = write("a/b/.velmora.ini", "[check]\ncontrol = mach3\n");
  write("a/b/c/prog.nc", "G01X1\n");
  EXPECT_EQ(findProfileFile((folder / "a/b/c/prog.nc").string()), near);
  EXPECT_EQ(findProfileFile((folder / "a/b/prog.nc").string()), near);
  EXPECT_EQ(findProfileFile((folder / "a/prog.nc").string()), top);
  fs::create_directories(folder / "a/.velmora.ini");
  EXPECT_EQ(findProfileFile((folder / "a/prog.nc").string()), top) << "a folder of that name is no profile file";
}

}  // namespace
