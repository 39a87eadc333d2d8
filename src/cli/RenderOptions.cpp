// The arguments of the render command.
#include "cli/RenderOptions.hpp"

#include <charconv>
#include <string_view>

namespace {

// Keeps a mistyped size from asking for gigabytes.
constexpr int kMaxSide = 16384;

std::optional<int> parseCount(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

bool parseSize(std::string_view text, RenderOptions& options) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return false;
  const std::optional<int> w = parseCount(text.substr(0, x));
  const std::optional<int> h = parseCount(text.substr(x + 1));
  if (!w || !h || *w < 1 || *h < 1 || *w > kMaxSide || *h > kMaxSide) return false;
  options.width = *w;
  options.height = *h;
  return true;
}

bool parseSteps(std::string_view text, RenderOptions& options) {
  while (true) {
    const std::size_t comma = text.find(',');
    const std::optional<int> k = parseCount(text.substr(0, comma));
    if (!k) return false;
    options.steps.push_back(*k);
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

}  // namespace

bool parseRenderOptions(const Args& args, RenderOptions& options) {
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    bool ok = true;
    if (arg == "--size" && hasValue) {
      ok = parseSize(args[++i], options);
    } else if (arg == "--upto" && hasValue) {
      options.upto = parseCount(args[++i]);
      ok = options.upto.has_value();
    } else if (arg == "--step" && hasValue) {
      ok = parseSteps(args[++i], options);
    } else if (arg == "--trace" && hasValue) {
      options.trace = args[++i];
      ok = !options.trace.empty();
    } else if (arg == "--preview") {
      options.preview = true;
    } else if (!arg.empty() && arg[0] != '-') {
      files.push_back(arg);
    } else {
      ok = false;
    }
    if (!ok) return false;
  }
  if (files.size() != 2) return false;
  options.output = files[0];
  options.input = files[1];
  return true;
}
