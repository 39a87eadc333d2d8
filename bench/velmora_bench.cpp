// Reading + interpreting speed and memory for generated CAM-style and hand-written programs of 10k, 100k and
// 1M lines.
//   velmora_bench [LINES...]   (default 10000 100000 1000000)
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ProgramGenerator.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncproblems.hpp"
#include "nc/Ncreader.hpp"

namespace {

// A reading as the window and `check` do it: the program, then its problems.
double secondsToRead(const std::string& path) {
  kNcGeometry geometry;
  const auto start = std::chrono::steady_clock::now();
  readNcFile(path, geometry);
  programProblems(geometry);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Memory {
  long bytesPerBlock;
  long textBytesPerBlock;
};

// Measured in a child process, so that memory freed by earlier runs does not hide the cost.
Memory memoryPerBlock(const std::string& path) {
  int fds[2];
  if (pipe(fds) != 0) return {0, 0};
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    const long before = residentBytes();
    auto* geometry = new kNcGeometry();
    readNcFile(path, *geometry);
    const long blocks = geometry->blockCount;
    long text = 0;
    for (int k = 0; k < geometry->blockCount; ++k) text += geometry->blockTextAt(k).size() * 2;
    Memory m{(residentBytes() - before) / blocks, text / blocks};
    if (write(fds[1], &m, sizeof m) != sizeof m) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  Memory m{0, 0};
  if (read(fds[0], &m, sizeof m) != sizeof m) m = {0, 0};
  close(fds[0]);
  waitpid(child, nullptr, 0);
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int a = 1; a < argc; ++a) sizes.push_back(std::atoi(argv[a]));
  if (sizes.empty()) sizes = {10000, 100000, 1000000};
  const struct {
    const char* name;
    std::string (*generate)(int);
  } kinds[] = {{"cam", generateCamProgram}, {"hand", generateHandWrittenProgram}};
  std::printf("%6s %10s %12s %14s %14s %16s\n", "kind", "lines", "seconds", "lines/second", "bytes/block",
              "of which text");
  for (int lines : sizes) {
    for (const auto& kind : kinds) {
      const std::string path = "/tmp/velmora_bench_" + std::to_string(getpid()) + ".nc";
      {
        std::ofstream out(path, std::ios::binary);
        out << kind.generate(lines);
      }
      double best = 1e9;
      for (int run = 0; run < 5; ++run) best = std::min(best, secondsToRead(path));
      const Memory memory = memoryPerBlock(path);
      std::printf("%6s %10d %12.4f %14.0f %14ld %16ld\n", kind.name, lines, best, lines / best,
                  memory.bytesPerBlock, memory.textBytesPerBlock);
      std::remove(path.c_str());
    }
  }
  return 0;
}
