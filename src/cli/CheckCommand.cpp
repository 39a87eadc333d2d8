// velmora-cli check: the problems of NC programs as compilers report them, so that editors and CI can point
// at them; several files are read in parallel and reported in the order they were named.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli/Commands.hpp"
#include "cli/Json.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncproblems.hpp"
#include "nc/Ncreader.hpp"
#include "toolpath/Compensation.hpp"
#include "util/Text.hpp"

namespace {

constexpr const char* kCheckUsage = "usage: velmora-cli check [--format text|json] [--werror] FILE...\n";

// Exit statuses; a file that cannot be read outweighs errors in the others, which are still reported.
constexpr int kClean = 0;
constexpr int kUnreadable = 2;
constexpr int kHasErrors = 3;

struct CheckOptions {
  bool json = false;
  bool werror = false;
  std::vector<std::string> files;
};

bool parseOptions(const Args& args, CheckOptions& options) {
  bool optionsEnd = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
      options.files.push_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--werror") {
      options.werror = true;
    } else if ((arg == "--format" && i + 1 < args.size()) || arg.starts_with("--format=")) {
      const std::string format = arg == "--format" ? args[++i] : arg.substr(9);
      if (format != "text" && format != "json") return false;
      options.json = format == "json";
    } else {
      return false;
    }
  }
  return !options.files.empty();
}

struct FileReport {
  std::string out;  // for stdout
  std::string err;  // for stderr
  int status = kClean;
};

// FILE:LINE:COLUMN: as compilers write it; a line or column of 0 (none) is left out.
void appendLocation(std::string& out, const std::string& file, const NcProblem& p) {
  out += file;
  if (p.line > 0) out += ':' + std::to_string(p.line);
  if (p.line > 0 && p.column > 0) out += ':' + std::to_string(p.column);
}

void appendProblem(std::string& out, const std::string& file, const NcProblem& p, Severity severity, bool json) {
  if (json) {
    out += "{\"file\":";
    appendJsonString(out, fromUtf8(file));
    appendField(out, "line", p.line);
    appendField(out, "column", p.column);
    out += ",\"severity\":\"";
    out += severityName(severity);
    out += "\",\"rule\":\"";
    out += p.rule;
    out += "\",\"message\":";
    appendJsonString(out, fromUtf8(p.message));
    out += "}\n";
    return;
  }
  appendLocation(out, file, p);
  out += ": ";
  out += severityName(severity);
  out += ": ";
  out += p.message;
  out += " [";
  out += p.rule;
  out += "]\n";
}

FileReport checkFile(const std::string& file, const CheckOptions& options) {
  FileReport report;
  kNcGeometry geometry;
  // Several files already keep the cores busy, one each.
  ReadOptions reading;
  if (options.files.size() > 1) reading.scanThreads = 0;
  reading.refuseNonText = true;
  const ReadResult result = readNcFile(file, geometry, {}, reading);
  if (result.status != ReadResult::Status::Ok) {
    report.err = "velmora-cli: " + result.message + "\n";
    report.status = kUnreadable;
    return report;
  }
  int errors = 0, warnings = 0;
  const CompensatedPath path = compensate(geometry, ControlProfile{});
  for (const NcProblem& p : programProblems(geometry, path.findings)) {
    const Severity severity = options.werror ? Severity::error : p.severity;
    ++(severity == Severity::error ? errors : warnings);
    appendProblem(report.out, file, p, severity, options.json);
  }
  report.out += "{\"summary\":{\"file\":";
  appendJsonString(report.out, fromUtf8(file));
  report.out += ',';
  appendSummaryFields(report.out, geometry, result);
  appendField(report.out, "errors", errors);
  appendField(report.out, "warnings", warnings);
  report.out += "}}\n";
  report.status = errors > 0 ? kHasErrors : kClean;
  return report;
}

// The reports of all files, made by worker threads and handed out in argument order as they are ready.
class ParallelChecks {
 public:
  explicit ParallelChecks(const CheckOptions& options) : options_(options), reports_(options.files.size()) {}

  void start() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t workers = std::min<std::size_t>(cores, options_.files.size());
    for (std::size_t w = 0; w < workers; ++w) threads_.emplace_back([this] { work(); });
  }

  // Waits for report i and takes it.
  FileReport take(std::size_t i) {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [&] { return reports_[i].has_value(); });
    FileReport report = std::move(*reports_[i]);
    reports_[i].reset();
    return report;
  }

  ~ParallelChecks() {
    for (std::thread& t : threads_) t.join();
  }

 private:
  void work() {
    for (std::size_t i = next_++; i < options_.files.size(); i = next_++) {
      FileReport report = checkFile(options_.files[i], options_);
      const std::lock_guard lock(mutex_);
      reports_[i] = std::move(report);
      ready_.notify_all();
    }
  }

  const CheckOptions& options_;
  std::vector<std::optional<FileReport>> reports_;
  std::atomic<std::size_t> next_{0};
  std::mutex mutex_;
  std::condition_variable ready_;
  std::vector<std::thread> threads_;
};

}  // namespace

int runCheck(const Args& args) {
  CheckOptions options;
  if (!parseOptions(args, options)) {
    std::fputs(kCheckUsage, stderr);
    return 1;
  }
  bool unreadable = false, errors = false;
  ParallelChecks checks(options);
  checks.start();
  for (std::size_t i = 0; i < options.files.size(); ++i) {
    const FileReport report = checks.take(i);
    std::fwrite(report.out.data(), 1, report.out.size(), stdout);
    if (!report.err.empty()) {
      std::fflush(stdout);
      std::fputs(report.err.c_str(), stderr);
    }
    unreadable = unreadable || report.status == kUnreadable;
    errors = errors || report.status == kHasErrors;
  }
  if (std::fflush(stdout) != 0) return kUnreadable;
  return unreadable ? kUnreadable : (errors ? kHasErrors : kClean);
}
