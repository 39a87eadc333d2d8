// Reading speed and memory, and velmora-cli check beside LinuxCNC's rs274 in the same run.
//   velmora_bench [LINES...]      generated CAM-style and hand-written programs (default 10000 100000 1000000),
//                                 each read as text only, in one pass, and in one pass with 1, 2 and all
//                                 cores scanning ahead: best of 5 in seconds, and peak resident bytes per
//                                 block beyond the file
//   velmora_bench --versus-rs274 [FILE] [--runs N]
//                                 `velmora-cli check FILE` and `rs274 -g FILE /dev/null` taken turn about,
//                                 N times (default 5): best wall times, their ratio, and check's resident bytes
//                                 per block beyond the file (FILE: a generated 1M-line CAM program by default)
//   velmora_bench --write FILE [LINES] [hand]
//                                 writes a generated CAM-style (or hand-written) program of LINES lines (1M)
//   velmora_bench --evaluation [PASSES]
//                                 a macro loop of PASSES passes (1M): evaluation alone (executed lines and
//                                 blocks per second), then the whole reading beside a plain program of as many
//                                 blocks: best of 5
//   velmora_bench --figures [LINES]
//                                 the program's figures (the status line's, velmora-cli stats) and a find
//                                 that matches nothing, over a read program of LINES lines (1M): best of 5
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ProgramGenerator.hpp"
#include "eval/Evaluator.hpp"
#include "nc/Ncfigures.hpp"
#include "nc/Ncfind.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncproblems.hpp"
#include "nc/Ncreader.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Way {
  const char* name;
  ReadOptions options;
};

std::vector<Way> waysOfReading() {
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  return {{"text", {false, 0}},
          {"one-pass", {true, 0}},
          {"1 scanner", {true, 1}},
          {"2 scanners", {true, 2}},
          {"all cores", {true, cores}}};
}

// A reading as the window and `check` do it: the program, then its problems.
double secondsToRead(const std::string& path, const ReadOptions& options) {
  kNcGeometry geometry;
  const Clock::time_point start = Clock::now();
  readNcFile(path, geometry, {}, options);
  programProblems(geometry);
  return secondsSince(start);
}

// The peak resident memory of this process (VmHWM), in bytes.
long peakResidentBytes() {
  long kb = 0;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) kb = std::atol(line.c_str() + 6);
  }
  return kb * 1024;
}

// One reading in this fresh process: the peak resident bytes beyond what it held before and beyond the file,
// which is mapped and read whole, per block.
int memoryOfOneReading(const std::string& path, bool onePass, int threads, long fileBytes) {
  const long before = residentBytes();
  auto* geometry = new kNcGeometry();
  readNcFile(path, *geometry, {}, {onePass, threads});
  programProblems(*geometry);
  std::printf("%ld\n", (peakResidentBytes() - before - fileBytes) / geometry->blockCount);
  return 0;
}

std::string ownFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "./";
  const std::string self(path, static_cast<std::size_t>(length));
  return self.substr(0, self.rfind('/') + 1);
}

// Measured in a process of its own, so that memory the benchmark's heap already holds does not hide the cost.
long bytesPerBlock(const std::string& path, const ReadOptions& options, long fileBytes) {
  const std::string command = ownFolder() + "velmora_bench --memory " + path + " " +
                              std::to_string(options.onePass) + " " + std::to_string(options.scanThreads) + " " +
                              std::to_string(fileBytes);
  FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) return 0;
  long perBlock = 0;
  if (std::fscanf(child, "%ld", &perBlock) != 1) perBlock = 0;
  pclose(child);
  return perBlock;
}

std::string writeProgram(const std::string& text, const std::string& name) {
  const std::string path = "/tmp/velmora_bench_" + std::to_string(getpid()) + "_" + name + ".nc";
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

int readingSpeeds(std::vector<int> sizes) {
  if (sizes.empty()) sizes = {10000, 100000, 1000000};
  const struct {
    const char* name;
    std::string (*generate)(int);
  } kinds[] = {{"cam", generateCamProgram}, {"hand", generateHandWrittenProgram}};
  std::printf("%5s %9s %11s %9s %13s %12s\n", "kind", "lines", "way", "seconds", "lines/second", "bytes/block");
  for (int lines : sizes) {
    for (const auto& kind : kinds) {
      const std::string text = kind.generate(lines);
      const std::string path = writeProgram(text, kind.name);
      for (const Way& way : waysOfReading()) {
        double best = 1e9;
        for (int run = 0; run < 5; ++run) best = std::min(best, secondsToRead(path, way.options));
        const long perBlock = bytesPerBlock(path, way.options, static_cast<long>(text.size()));
        std::printf("%5s %9d %11s %9.4f %13.0f %12ld\n", kind.name, lines, way.name, best, lines / best, perBlock);
      }
      std::remove(path.c_str());
    }
  }
  return 0;
}

struct Run {
  double seconds = 0;
  long peakBytes = 0;
  int status = -1;
};

// Runs a program with its output thrown away; the wall time and the peak resident memory of the child.
Run runProgram(const std::vector<std::string>& argv) {
  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  return {secondsSince(start), usage.ru_maxrss * 1024L, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

long lineCount(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  long lines = 0;
  char last = '\n';
  for (char c; in.get(c); last = c) lines += c == '\n';
  return lines + (last != '\n');
}

int versusRs274(std::string path, int runs) {
  std::string generated;
  if (path.empty()) path = generated = writeProgram(generateCamProgram(1000000), "cam");
  const std::string cli = ownFolder() + "velmora-cli";
  const std::string empty = writeProgram("", "empty");
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  const long fileBytes = static_cast<long>(file.tellg());
  const long blocks = lineCount(path) + 1;
  Run bestCheck{1e9}, bestRs274{1e9}, emptyCheck = runProgram({cli, "check", empty});
  for (int run = 0; run < runs; ++run) {
    const Run check = runProgram({cli, "check", path});
    const Run rs274 = runProgram({"rs274", "-g", path, "/dev/null"});
    if (check.seconds < bestCheck.seconds) bestCheck = check;
    if (rs274.seconds < bestRs274.seconds) bestRs274 = rs274;
  }
  std::printf("program           %s (%ld lines, %ld bytes)\n", path.c_str(), blocks - 1, fileBytes);
  std::printf("velmora-cli check %.3f s (exit %d), peak %ld KB\n", bestCheck.seconds, bestCheck.status,
              bestCheck.peakBytes / 1024);
  std::printf("rs274 -g          %.3f s (exit %d), peak %ld KB\n", bestRs274.seconds, bestRs274.status,
              bestRs274.peakBytes / 1024);
  std::printf("check is          %.1f times as fast as rs274 (best of %d each, taken turn about)\n",
              bestRs274.seconds / bestCheck.seconds, runs);
  std::printf("check holds       %ld resident bytes a block beyond the file and its start-up (%ld KB)\n",
              (bestCheck.peakBytes - emptyCheck.peakBytes - fileBytes) / blocks, emptyCheck.peakBytes / 1024);
  std::remove(empty.c_str());
  if (!generated.empty()) std::remove(generated.c_str());
  return 0;
}

// The passes over a program read once: its figures, and a find through every line that finds nothing.
int figuresSpeed(int lines) {
  const struct {
    const char* name;
    std::string (*generate)(int);
  } kinds[] = {{"cam", generateCamProgram}, {"hand", generateHandWrittenProgram}};
  std::printf("%5s %9s %15s %15s %15s\n", "kind", "lines", "figures s", "ns/block", "find-none s");
  for (const auto& kind : kinds) {
    auto text = std::make_shared<kNcText>();
    text->setBytes(kind.generate(lines));
    kNcGeometry store;
    readNcProgram(text, store);
    double figures = 1e9, find = 1e9;
    double sink = 0;
    for (int run = 0; run < 5; ++run) {
      Clock::time_point start = Clock::now();
      sink += programFigures(store).totalSeconds();
      figures = std::min(figures, secondsSince(start));
      start = Clock::now();
      sink += findInText(*text, u"NOT IN THE PROGRAM", TextSpot{}, true).has_value();
      find = std::min(find, secondsSince(start));
    }
    std::printf("%5s %9d %15.4f %15.1f %15.4f\n", kind.name, lines, figures, figures * 1e9 / store.blockCount,
                find);
    if (sink < 0) std::puts("");
  }
  return 0;
}

// A Fanuc macro loop: four lines a pass, one of them a block with two evaluated words.
std::string macroLoopProgram(int passes) {
  return "O0001\nG90 G01 F500.\n#1=0\nWHILE [#1 LT " + std::to_string(passes) +
         "] DO1\nG01 X[#1 MOD 100] Y[FIX[#1/100]*0.5]\n#1=#1+1\nEND1\nM30\n";
}

int evaluationSpeed(int passes) {
  auto loop = std::make_shared<kNcText>();
  loop->setBytes(macroLoopProgram(passes));
  double alone = 1e9, evaluated = 1e9, plain = 1e9;
  std::int64_t lines = 0, blocks = 0;
  for (int run = 0; run < 5; ++run) {
    EvalFiles files(Dialect::fanuc, {});
    files.addMain(*loop, "");
    EvalOptions options;
    Evaluator evaluator(files, options, nullptr);
    std::int64_t handed = 0;
    Clock::time_point start = Clock::now();
    evaluator.run([&](std::u16string_view, int, int) { ++handed; });
    alone = std::min(alone, secondsSince(start));
    lines = evaluator.linesExecuted();
    blocks = handed;
  }
  auto cam = std::make_shared<kNcText>();
  cam->setBytes(generateCamProgram(passes));
  for (int run = 0; run < 5; ++run) {
    kNcGeometry store;
    Clock::time_point start = Clock::now();
    readNcProgram(loop, store);
    evaluated = std::min(evaluated, secondsSince(start));
    kNcGeometry plainStore;
    start = Clock::now();
    readNcProgram(cam, plainStore);
    plain = std::min(plain, secondsSince(start));
  }
  std::printf("evaluation alone: %lld lines, %lld blocks in %.4f s: %.2f M lines/s, %.2f M blocks/s\n",
              static_cast<long long>(lines), static_cast<long long>(blocks), alone, lines / alone / 1e6,
              blocks / alone / 1e6);
  std::printf("reading: %d-pass loop %.4f s, %d-line plain program %.4f s, ratio %.2f\n", passes, evaluated,
              passes, plain, evaluated / plain);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--evaluation") == 0) {
    return evaluationSpeed(argc >= 3 ? std::atoi(argv[2]) : 1000000);
  }
  if (argc == 6 && std::strcmp(argv[1], "--memory") == 0) {
    return memoryOfOneReading(argv[2], std::atoi(argv[3]) != 0, std::atoi(argv[4]), std::atol(argv[5]));
  }
  if (argc >= 3 && std::strcmp(argv[1], "--write") == 0) {
    const int lines = argc >= 4 ? std::atoi(argv[3]) : 1000000;
    const bool hand = argc >= 5 && std::strcmp(argv[4], "hand") == 0;
    std::ofstream(argv[2], std::ios::binary)
        << (hand ? generateHandWrittenProgram(lines) : generateCamProgram(lines));
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--versus-rs274") == 0) {
    std::string path;
    int runs = 5;
    for (int a = 2; a < argc; ++a) {
      if (std::strcmp(argv[a], "--runs") == 0 && a + 1 < argc) {
        runs = std::max(1, std::atoi(argv[++a]));
      } else {
        path = argv[a];
      }
    }
    return versusRs274(path, runs);
  }
  if (argc >= 2 && std::strcmp(argv[1], "--figures") == 0)
    return figuresSpeed(argc >= 3 ? std::atoi(argv[2]) : 1000000);
  std::vector<int> sizes;
  for (int a = 1; a < argc; ++a) sizes.push_back(std::atoi(argv[a]));
  return readingSpeeds(sizes);
}
