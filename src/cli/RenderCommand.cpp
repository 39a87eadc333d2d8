// velmora-render, which `velmora-cli render` runs: interprets an NC program and draws its tool path into a PNG
// picture as the window's redraw command does, optionally followed by cursor steps, with an optional trace of
// every drawing call. The only command that needs Qt, so that the others start without it.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/Commands.hpp"
#include "cli/RenderOptions.hpp"
#include "cli/Support.hpp"
#include "graphics/RecordingSurface.hpp"
#include "qtsurface/LayeredSurface.hpp"
#include "qtsurface/QPainterSurface.hpp"
#include "render/Toolpath.hpp"
#include "util/Files.hpp"

namespace {

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
  ToolPathIndicators indicators;
  kToolPath path(geometry, canvas, indicators);
  path.preview = options.preview;
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

int renderProgram(const Args& args) {
  RenderOptions options;
  if (!parseRenderOptions(args, options)) {
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
    // The preview draws on layers, composed into the picture at the end; without it, straight on the picture.
    std::optional<LayeredSurface> layers;
    std::optional<QPainterSurface> painter;
    DrawingSurface* target = nullptr;
    if (options.preview) {
      target = &layers.emplace(image.size());
    } else {
      target = &painter.emplace(image);
    }
    if (options.trace.empty()) {
      draw(geometry, options, *target, nullptr);
    } else {
      RecordingSurface recorder(target);
      draw(geometry, options, recorder, &recorder);
      calls = std::move(recorder.calls);
    }
    if (layers) layers->composeInto(image, image.rect());
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

}  // namespace

int main(int argc, char** argv) { return renderProgram(Args(argv + 1, argv + argc)); }
