// Tests of the path, file, backup and safe-saving helpers.
#include "util/Files.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "dxf/TempFolder.hpp"

namespace {

TEST(Files, SplitsPathsWithEitherSeparator) {
  struct Case {
    const char* path;
    PathParts parts;
  };
  const Case cases[] = {
      {"C:\\Tools\\NC\\part.nc", {"C:", "\\Tools\\NC\\", "part", ".nc"}},
      {"/home/user/part.rev.nc", {"", "/home/user/", "part.rev", ".nc"}},
      {"C:\\a.b\\file", {"C:", "\\a.b\\", "file", ""}},
      {"file.tar.gz", {"", "", "file.tar", ".gz"}},
      {"mixed\\dir/name.txt", {"", "mixed\\dir/", "name", ".txt"}},
      {"folder/", {"", "folder/", "", ""}},
      {"d:x.nc", {"d:", "", "x", ".nc"}},
      {"", {"", "", "", ""}},
  };
  for (const Case& c : cases) {
    const PathParts parts = splitPath(c.path);
    EXPECT_EQ(parts.drive, c.parts.drive) << c.path;
    EXPECT_EQ(parts.folder, c.parts.folder) << c.path;
    EXPECT_EQ(parts.name, c.parts.name) << c.path;
    EXPECT_EQ(parts.ext, c.parts.ext) << c.path;
    EXPECT_EQ(parts.drive + parts.folder + parts.name + parts.ext, c.path);
  }
  EXPECT_EQ(baseNameOf("C:\\x\\part.nc"), "part");
  EXPECT_EQ(pathWithoutExt("C:\\x\\part.nc"), "C:\\x\\part");
  EXPECT_EQ(fileNameOf("/cam/part.rev.nc"), "part.rev.nc");
  EXPECT_EQ(fileExtOf("C:\\a.b\\file"), "");
}

TEST(Files, CreatesMeasuresAndDeletesFiles) {
  TempFolder folder;
  const std::string file = folder / "a.txt";
  writeBytes(file, "content");
  EXPECT_TRUE(fileExists(file));
  EXPECT_FALSE(isDirectory(file));
  EXPECT_TRUE(isDirectory(folder.path()));
  EXPECT_FALSE(fileExists(folder.path()));
  EXPECT_EQ(fileLength(file), 7);

  EXPECT_TRUE(createEmptyFile(file).ok);
  EXPECT_EQ(fileLength(file), 0);

  EXPECT_TRUE(deleteFile(file));
  EXPECT_FALSE(fileExists(file));
  EXPECT_FALSE(deleteFile(file));
  EXPECT_FALSE(deleteFile(folder.path()));
  EXPECT_EQ(fileLength(file), -1);
  EXPECT_FALSE(isDirectory(folder / "missing"));

  const FileResult failed = createEmptyFile(folder / "missing/b.txt");
  EXPECT_FALSE(failed.ok);
  EXPECT_NE(failed.message.find(folder / "missing/b.txt"), std::string::npos) << failed.message;
}

TEST(Files, ReadsLinesWithAnyLineBreakAndEncoding) {
  TempFolder folder;
  const std::string file = folder / "lines.txt";
  writeBytes(file, "one\rtwo\nthree\r\n\r\nfive\r\n");
  std::vector<std::u16string> list{u"kept"};
  ASSERT_TRUE(appendFileLines(list, file));
  EXPECT_EQ(list, (std::vector<std::u16string>{u"kept", u"one", u"two", u"three", u"", u"five"}));

  writeBytes(file, "\x83\x65\x83\x58\x83\x67\nlast");  // "テスト" in Shift-JIS, no break at the end
  TextLines sjis = readFileLines(file);
  ASSERT_TRUE(sjis.ok);
  EXPECT_EQ(sjis.lines, (std::vector<std::u16string>{u"テスト", u"last"}));
  EXPECT_EQ(sjis.encoding, TextEncoding::ShiftJis);

  writeBytes(file, "\xEF\xBB\xBF\xE3\x83\x86\r\n");
  TextLines utf8 = readFileLines(file);
  EXPECT_EQ(utf8.lines, std::vector<std::u16string>{u"テ"});
  EXPECT_EQ(utf8.encoding, TextEncoding::Utf8Bom);

  EXPECT_FALSE(appendFileLines(list, folder / "missing.txt"));
  EXPECT_FALSE(appendFileLines(list, folder.path()));
  EXPECT_EQ(list.size(), 6u);
  const TextLines missing = readFileLines(folder / "missing.txt");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.message.find("missing.txt"), std::string::npos);
}

TEST(Files, FindsTheExecutableAndItsSettingsFile) {
  const std::string exe = executablePath();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe, std::filesystem::canonical("/proc/self/exe").string());
  const std::string folder = executableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(folder + fileNameOf(exe), exe);
  EXPECT_EQ(settingsPathPart(3), baseNameOf(exe) + ".INI");
  EXPECT_EQ(settingsPathPart(0), folder + settingsPathPart(3));
  EXPECT_EQ(settingsPathPart(2), folder);
  EXPECT_EQ(settingsPathPart(1), "");
  EXPECT_EQ(settingsPathPart(7), "");
}

TEST(Files, SavingKeepsEveryPreviousVersionUnderTheFirstFreeBackupName) {
  TempFolder folder;
  const std::string path = folder / "part.dxf";
  const std::string expectedBackups[] = {"", folder / "part_old.dxf", folder / "part_old-01.dxf",
                                         folder / "part_old-02.dxf"};
  for (int version = 0; version < 4; ++version) {
    const SaveResult saved = saveWithBackup(path, "version " + std::to_string(version));
    ASSERT_TRUE(saved.ok) << saved.message;
    EXPECT_EQ(saved.backupPath, expectedBackups[version]);
  }
  EXPECT_EQ(readBytes(path), "version 3");
  EXPECT_EQ(readBytes(folder / "part_old.dxf"), "version 0");
  EXPECT_EQ(readBytes(folder / "part_old-01.dxf"), "version 1");
  EXPECT_EQ(readBytes(folder / "part_old-02.dxf"), "version 2");
  EXPECT_EQ(folder.entryCount(), 4u);  // no temporary file left behind

  writeBytes(folder / "noext", "x");
  EXPECT_EQ(backupNameFor(folder / "noext"), folder / "noext_old");
  // The numbering runs past two digits.
  for (int n = 1; n <= 99; ++n)
    writeBytes(folder / ("part_old-" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".dxf"), "");
  EXPECT_EQ(backupNameFor(path), folder / "part_old-100.dxf");
}

TEST(Files, MoveToBackupNeverReplacesAFile) {
  TempFolder folder;
  const std::string path = folder / "a.nc";
  writeBytes(path, "new");
  writeBytes(folder / "a_old.nc", "older");
  const SaveResult moved = moveToBackup(path);
  ASSERT_TRUE(moved.ok) << moved.message;
  EXPECT_EQ(moved.backupPath, folder / "a_old-01.nc");
  EXPECT_EQ(readBytes(folder / "a_old.nc"), "older");
  EXPECT_EQ(readBytes(folder / "a_old-01.nc"), "new");
  EXPECT_FALSE(fileExists(path));

  const SaveResult missing = moveToBackup(path);
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.message.find(path), std::string::npos);
}

TEST(Files, AtomicWriteReplacesContentsAndKeepsTheFileMode) {
  TempFolder folder;
  const std::string path = folder / "out.txt";
  ASSERT_TRUE(writeFileAtomically(path, "first").ok);
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(writeFileAtomically(path, "second").ok);
  EXPECT_EQ(readBytes(path), "second");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folder.entryCount(), 1u);

  std::filesystem::create_directory(folder / "sub");
  EXPECT_FALSE(writeFileAtomically(folder / "sub", "x").ok);
  EXPECT_FALSE(saveWithBackup(folder / "sub", "x").ok);
  EXPECT_TRUE(isDirectory(folder / "sub"));
}

TEST(Files, FailedSavesLeaveEverythingAsItWas) {
  TempFolder folder;
  // A folder below a regular file cannot be written by anybody, root included.
  const std::string notAFolder = folder / "plain";
  writeBytes(notAFolder, "plain");
  const std::string target = notAFolder + "/part.dxf";
  const FileResult atomic = writeFileAtomically(target, "x");
  EXPECT_FALSE(atomic.ok);
  EXPECT_NE(atomic.message.find(target), std::string::npos) << atomic.message;
  const SaveResult saved = saveWithBackup(target, "x");
  EXPECT_FALSE(saved.ok);
  EXPECT_TRUE(saved.backupPath.empty());
  EXPECT_EQ(readBytes(notAFolder), "plain");
  EXPECT_EQ(folder.entryCount(), 1u);

  // An existing file in a folder nobody may create files in: it stays, no backup is made.
  const std::string before = readBytes("/proc/version");
  const SaveResult procSave = saveWithBackup("/proc/version", "x");
  EXPECT_FALSE(procSave.ok);
  EXPECT_EQ(readBytes("/proc/version"), before);
}

TEST(Files, ReadOnlyFolderKeepsTheOriginal) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions do not stop root from writing";
  TempFolder folder;
  const std::string sub = folder / "ro/";
  std::filesystem::create_directory(sub);
  writeBytes(sub + "part.dxf", "original");
  ::chmod(sub.c_str(), 0555);
  const SaveResult saved = saveWithBackup(sub + "part.dxf", "new");
  ::chmod(sub.c_str(), 0755);
  EXPECT_FALSE(saved.ok);
  EXPECT_NE(saved.message.find(sub + "part.dxf"), std::string::npos) << saved.message;
  EXPECT_EQ(readBytes(sub + "part.dxf"), "original");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sub), {}), 1);
}

}  // namespace
