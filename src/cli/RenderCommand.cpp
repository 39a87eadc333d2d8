// velmora-cli render: interprets an NC program and draws its tool path into a PNG picture as the window's
// redraw command does, optionally followed by cursor steps, with an optional trace of every drawing call.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/Commands.hpp"
#include "cli/Support.hpp"
#include "graphics/RecordingSurface.hpp"
#include "qtsurface/QPainterSurface.hpp"
#include "render/Toolpath.hpp"
#include "util/Files.hpp"

namespace {

constexpr const char* kRenderUsage =
    "usage: velmora-cli render OUT.png FILE [--size WxH] [--upto K] [--step K1,K2,...] [--trace FILE.jsonl]\n";
constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
// Keeps a mistyped size from asking for gigabytes.
constexpr int kMaxSide = 16384;

struct RenderOptions {
  std::string output;
  std::string input;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  std::optional<int> upto;
  std::vector<int> steps;
  std::string trace;
};

// The window has nothing to show here.
class NoIndicators : public ToolPathIndicators {
 public:
  void showScale(const std::u16string&) override {}
};

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

bool parseOptions(const Args& args, RenderOptions& options) {
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

std::string traceText(const std::vector<SurfaceCall>& calls) {
  std::string text;
  for (const SurfaceCall& call : calls) {
    text += traceJson(call);
    text += '\n';
  }
  return text;
}

// Draws the program on `surface`; `recorder`, when given, is that surface and also logs the steps.
void draw(const kNcGeometry& geometry, const RenderOptions& options, DrawingSurface& surface,
          RecordingSurface* recorder) {
  kCanvas canvas;
  NoIndicators indicators;
  kToolPath path(geometry, canvas, indicators);
  path.fitToExtents(options.width, options.height);
  path.curLine = options.upto.value_or(geometry.blockCount);
  path.redrawView(surface, options.width, options.height);
  int from = path.curLine;
  for (int to : options.steps) {
    if (recorder) recorder->markStep(from, to);
    path.stepDrawing(from, to);
    from = to;
  }
}

int fail(const std::string& message) { return commandFailure("render", message); }

}  // namespace

int runRender(const Args& args) {
  RenderOptions options;
  if (!parseOptions(args, options)) {
    std::fputs(kRenderUsage, stderr);
    return 1;
  }
  kNcGeometry geometry;
  if (!readWholeProgram("render", options.input, geometry)) return 2;
  for (const std::string& out : {options.output, options.trace}) {
    if (!out.empty() && isSameFile(out, options.input)) return fail("the output would replace the NC file " + out);
  }

  QImage image(options.width, options.height, QImage::Format_RGB32);
  if (image.isNull()) return fail("cannot create a picture of the size asked for");
  std::vector<SurfaceCall> calls;
  {
    QPainterSurface painter(image);
    if (options.trace.empty()) {
      draw(geometry, options, painter, nullptr);
    } else {
      RecordingSurface recorder(&painter);
      draw(geometry, options, recorder, &recorder);
      calls = std::move(recorder.calls);
    }
  }

  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return fail("cannot encode the picture as PNG");
  const FileResult written = writeFileAtomically(options.output, std::string_view(png.constData(), png.size()));
  if (!written.ok) return fail(written.message);
  if (!options.trace.empty()) {
    const FileResult traced = writeFileAtomically(options.trace, traceText(calls));
    if (!traced.ok) return fail(traced.message);
  }
  return 0;
}
