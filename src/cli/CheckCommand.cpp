// velmora-cli check: the problems of NC programs as compilers report them, so that editors and CI can point
// at them; several files are read in parallel and reported in the order they were named.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli/Commands.hpp"
#include "cli/Json.hpp"
#include "cli/Sarif.hpp"
#include "cli/Support.hpp"
#include "eval/Evalue.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Nclint.hpp"
#include "nc/Ncproblems.hpp"
#include "nc/Ncreader.hpp"
#include "toolpath/Compensation.hpp"
#include "util/Text.hpp"

namespace {

constexpr const char* kCheckUsage =
    "usage: velmora-cli check [--format text|json|sarif] [--werror] [--stock-top Z] [--control NAME]\n"
    "                         [--config FILE|--no-config] FILE...\n"
    "       velmora-cli check --list-rules\n";

// Exit statuses; a file that cannot be read outweighs errors in the others, which are still reported.
constexpr int kClean = 0;
constexpr int kUnreadable = 2;
constexpr int kHasErrors = 3;

enum class Format { text, json, sarif };

struct CheckOptions {
  Format format = Format::text;
  bool werror = false;
  bool listRules = false;
  std::optional<double> stockTop;  // --stock-top, over the profile's
  std::vector<std::string> files;
  ProfileOptions profile;
};

// The value of an option given as "--name VALUE" or "--name=VALUE"; nullopt when `args[i]` is not it.
std::optional<std::string> optionValue(const Args& args, std::size_t& i, std::string_view name) {
  const std::string& arg = args[i];
  if (arg == name && i + 1 < args.size()) return args[++i];
  if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
    return arg.substr(name.size() + 1);
  }
  return std::nullopt;
}

std::optional<Format> formatNamed(const std::string& name) {
  if (name == "text") return Format::text;
  if (name == "json") return Format::json;
  if (name == "sarif") return Format::sarif;
  return std::nullopt;
}

// A finite number written whole, as a Z height is.
std::optional<double> heightOf(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool parseOptions(const Args& args, CheckOptions& options) {
  bool optionsEnd = false;
  std::string error;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
      options.files.push_back(arg);
    } else if (takeProfileOption(args, i, options.profile, error)) {
      if (!error.empty()) return false;
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--werror") {
      options.werror = true;
    } else if (arg == "--list-rules") {
      options.listRules = true;
    } else if (const std::optional<std::string> format = optionValue(args, i, "--format")) {
      const std::optional<Format> named = formatNamed(*format);
      if (!named) return false;
      options.format = *named;
    } else if (const std::optional<std::string> top = optionValue(args, i, "--stock-top")) {
      options.stockTop = heightOf(*top);
      if (!options.stockTop) return false;
    } else {
      return false;
    }
  }
  return options.listRules ? options.files.empty() : !options.files.empty();
}

// Every rule: its id, its severity, the controls it is on for, and why it exists.
std::string ruleList() {
  std::string out;
  char row[512];
  std::snprintf(row, sizeof row, "%-26s %-8s %-38s %s\n", "RULE", "SEVERITY", "ON FOR", "WHY");
  out += row;
  for (int r = 0; r < kRuleCount; ++r) {
    const Rule rule = static_cast<Rule>(r);
    std::string controls;
    int on = 0;
    for (int c = 0; c < kControlCount; ++c) {
      if (!ruleOnFor(rule, static_cast<Control>(c))) continue;
      controls += (on++ > 0 ? ", " : "") + std::string(controlName(static_cast<Control>(c)));
    }
    if (on == kControlCount) controls = "all";
    if (on == 0) controls = "none (enable it in [rules])";
    const RuleInfo& info = ruleInfo(rule);
    std::snprintf(row, sizeof row, "%-26.*s %-8.*s %-38s %.*s\n", static_cast<int>(info.id.size()), info.id.data(),
                  static_cast<int>(severityName(info.severity).size()), severityName(info.severity).data(),
                  controls.c_str(), static_cast<int>(ruleNote(rule).why.size()), ruleNote(rule).why.data());
    out += row;
  }
  // What evaluation reports holds for every control.
  for (int r = 0; r < kEvalRuleCount; ++r) {
    const auto rule = static_cast<EvalRule>(r);
    std::snprintf(row, sizeof row, "%-26s %-8s %-38s %s\n", evalRuleId(rule),
                  evalRuleIsError(rule) ? "error" : "warning", "all", evalRuleWhy(rule));
    out += row;
  }
  return out;
}

struct FileReport {
  std::string out;  // for stdout
  std::string err;  // for stderr
  int status = kClean;
  SarifFile sarif;  // what a SARIF log takes of the file
};

// FILE:LINE:COLUMN: as compilers write it; a line or column of 0 (none) is left out.
void appendLocation(std::string& out, const std::string& file, const NcProblem& p) {
  out += file;
  if (p.line > 0) out += ':' + std::to_string(p.line);
  if (p.line > 0 && p.column > 0) out += ':' + std::to_string(p.column);
}

// "controls":{"strict":"rejected","linuxcnc":"accepted"} for an arc problem.
void appendControls(std::string& out, const NcProblem& p) {
  if (p.controlsJudged == 0) return;
  out += ",\"controls\":{";
  bool first = true;
  for (int c = 0; c < kControlCount; ++c) {
    if ((p.controlsJudged >> c & 1) == 0) continue;
    out += first ? "\"" : ",\"";
    out += controlName(static_cast<Control>(c));
    out += (p.controlsRejecting >> c & 1) != 0 ? "\":\"rejected\"" : "\":\"accepted\"";
    first = false;
  }
  out += '}';
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
    appendControls(out, p);
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
  ControlProfile profile = resolveProfile(options.profile, file);
  if (options.stockTop) profile.stockTop = options.stockTop;
  geometry.setProfile(profile);
  // Several files already keep the cores busy, one each.
  ReadOptions reading;
  if (options.files.size() > 1) reading.scanThreads = 0;
  reading.refuseNonText = true;
  const ReadResult result = readNcFile(file, geometry, {}, reading);
  report.sarif.file = file;
  if (result.status != ReadResult::Status::Ok) {
    report.err = "velmora-cli: " + result.message + "\n";
    report.status = kUnreadable;
    report.sarif.readable = false;
    return report;
  }
  int errors = 0, warnings = 0;
  const CompensatedPath path = compensate(geometry, geometry.profile());
  ProblemReport problems = checkedProblems(geometry, path.findings);
  for (const NcProblem& p : problems.problems) {
    const Severity severity = options.werror ? Severity::error : p.severity;
    ++(severity == Severity::error ? errors : warnings);
    appendProblem(report.out, file, p, severity, options.format == Format::json);
  }
  const int suppressed = static_cast<int>(problems.suppressed.size());
  report.status = errors > 0 ? kHasErrors : kClean;
  if (options.format == Format::sarif) {
    report.out.clear();
    report.sarif.problems = std::move(problems.problems);
    report.sarif.suppressed = std::move(problems.suppressed);
    return report;
  }
  report.out += "{\"summary\":{\"file\":";
  appendJsonString(report.out, fromUtf8(file));
  report.out += ',';
  appendSummaryFields(report.out, geometry, result);
  appendField(report.out, "errors", errors);
  appendField(report.out, "warnings", warnings);
  appendField(report.out, "suppressed", suppressed);
  report.out += "}}\n";
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
  if (options.listRules) {
    const std::string list = ruleList();
    std::fwrite(list.data(), 1, list.size(), stdout);
    return std::fflush(stdout) == 0 ? kClean : kUnreadable;
  }
  bool unreadable = false, errors = false;
  std::vector<SarifFile> sarif;
  ParallelChecks checks(options);
  checks.start();
  for (std::size_t i = 0; i < options.files.size(); ++i) {
    FileReport report = checks.take(i);
    std::fwrite(report.out.data(), 1, report.out.size(), stdout);
    if (!report.err.empty()) {
      std::fflush(stdout);
      std::fputs(report.err.c_str(), stderr);
    }
    unreadable = unreadable || report.status == kUnreadable;
    errors = errors || report.status == kHasErrors;
    if (options.format == Format::sarif) sarif.push_back(std::move(report.sarif));
  }
  if (options.format == Format::sarif) {
    const std::string log = sarifLog(sarif, options.werror);
    std::fwrite(log.data(), 1, log.size(), stdout);
  }
  if (std::fflush(stdout) != 0) return kUnreadable;
  return unreadable ? kUnreadable : (errors ? kHasErrors : kClean);
}
