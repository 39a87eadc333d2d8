// The SARIF log of velmora-cli check.
#include "cli/Sarif.hpp"

#include <cstdio>

#include "cli/Json.hpp"
#include "eval/Evalue.hpp"
#include "nc/Nclint.hpp"
#include "util/Text.hpp"

namespace {

void appendString(std::string& out, std::string_view utf8) { appendJsonString(out, fromUtf8(std::string(utf8))); }

std::string_view levelOf(Severity severity) { return severity == Severity::error ? "error" : "warning"; }

// The rules of the reading first, then those of evaluation.
int indexOf(std::string_view id) {
  if (const std::optional<Rule> rule = ruleNamed(id)) return static_cast<int>(*rule);
  for (int r = 0; r < kEvalRuleCount; ++r) {
    if (id == evalRuleId(static_cast<EvalRule>(r))) return kRuleCount + r;
  }
  return 0;
}

void appendRule(std::string& out, std::string_view id, std::string_view why, std::string_view level) {
  out += "{\"id\":";
  appendString(out, id);
  out += ",\"shortDescription\":{\"text\":";
  appendString(out, why);
  out += "},\"help\":{\"text\":";
  appendString(out, why);
  out += "},\"defaultConfiguration\":{\"level\":\"";
  out += level;
  out += "\"}}";
}

void appendRules(std::string& out) {
  out += "\"rules\":[";
  for (int r = 0; r < kRuleCount; ++r) {
    const Rule rule = static_cast<Rule>(r);
    const RuleInfo& info = ruleInfo(rule);
    out += r == 0 ? "\n" : ",\n";
    appendRule(out, info.id, ruleNote(rule).why,
               ruleOnFor(rule, Control::strict) ? levelOf(info.severity) : "none");
  }
  for (int r = 0; r < kEvalRuleCount; ++r) {
    const auto rule = static_cast<EvalRule>(r);
    out += ",\n";
    appendRule(out, evalRuleId(rule), evalRuleWhy(rule),
               levelOf(evalRuleIsError(rule) ? Severity::error : Severity::warning));
  }
  out += "]";
}

void appendResult(std::string& out, const std::string& file, const NcProblem& p, bool werror, bool suppressed) {
  out += "{\"ruleId\":";
  appendString(out, p.rule);
  out += ",\"ruleIndex\":" + std::to_string(indexOf(p.rule));
  out += ",\"level\":\"";
  out += levelOf(werror ? Severity::error : p.severity);
  out += "\",\"message\":{\"text\":";
  appendString(out, p.message);
  out += "},\"locations\":[{\"physicalLocation\":{\"artifactLocation\":{\"uri\":";
  appendString(out, uriOf(file));
  out += "}";
  // A problem of the whole program has no region.
  if (p.line > 0) {
    out += ",\"region\":{\"startLine\":" + std::to_string(p.line);
    if (p.column > 0) out += ",\"startColumn\":" + std::to_string(p.column);
    out += "}";
  }
  out += "}}]";
  if (suppressed) out += ",\"suppressions\":[{\"kind\":\"inSource\"}]";
  out += "}";
}

}  // namespace

std::string uriOf(const std::string& file) {
  std::string uri;
  for (const char c : file) {
    const auto u = static_cast<unsigned char>(c);
    const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                       std::string_view("-._~/").find(c) != std::string_view::npos;
    if (c == '\\') {
      uri += '/';
    } else if (plain) {
      uri += c;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", u);
      uri += escaped;
    }
  }
  return uri;
}

std::string sarifLog(const std::vector<SarifFile>& files, bool werror) {
  std::string out =
      "{\"$schema\":\"https://json.schemastore.org/sarif-2.1.0.json\",\"version\":\"2.1.0\",\"runs\":[{\n"
      "\"tool\":{\"driver\":{\"name\":\"velmora-cli\",";
  appendRules(out);
  out += "}},\n\"results\":[";
  bool first = true;
  bool successful = true;
  for (const SarifFile& f : files) {
    successful = successful && f.readable;
    for (const bool suppressed : {false, true}) {
      for (const NcProblem& p : suppressed ? f.suppressed : f.problems) {
        out += first ? "\n" : ",\n";
        first = false;
        appendResult(out, f.file, p, werror, suppressed);
      }
    }
  }
  out += "],\n\"invocations\":[{\"executionSuccessful\":";
  out += successful ? "true" : "false";
  out += "}]}]}\n";
  return out;
}
