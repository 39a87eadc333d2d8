// What the fuzz targets share: reading arbitrary bytes as a program file is read, a scratch folder that
// lives as long as the fuzzing process, and a check that stops the run on a broken promise.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "nc/Ncgeometry.hpp"
#include "nc/Ncreader.hpp"
#include "util/Encoding.hpp"

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Stops the run, so that libFuzzer keeps the input, when a promise of the code under test does not hold.
inline void require(bool holds, const char* promise) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

// Endless macro loops end at the budget of executed lines. A small one keeps each input quick: under the
// fuzzer's coverage tracing, a loop over lines of long comments ran for seconds at 100,000.
inline constexpr std::int64_t kFuzzLineBudget = 10000;

// `profile` with the fuzzing budget.
inline ControlProfile withFuzzBudget(ControlProfile profile) {
  profile.maxBlocks = kFuzzLineBudget;
  return profile;
}

// Decoded as a file is (by its byte-order mark, else as code page 932), then read line by line.
inline ReadResult readProgramBytes(std::string_view bytes, kNcGeometry& geometry,
                                   const ReadOptions& options = {}) {
  geometry.setProfile(withFuzzBudget(geometry.profile()));
  return readNcText(decodeText(bytes).text, geometry, {}, options);
}

// A fresh folder, in memory where the system offers it (the writes sync every file), removed at exit.
class ScratchFolder {
 public:
  ScratchFolder() {
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string pattern = (base / "velmora-fuzz-XXXXXX").string();
    require(::mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
    path_ = pattern + "/";
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  // Ends with '/'.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
