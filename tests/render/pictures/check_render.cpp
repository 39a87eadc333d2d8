// Runs velmora-cli render on the sample program and checks the picture's pixels: rapid moves blue dotted,
// feeds black, compensated moves green 2 pixels wide, the faulty arc red, the cycle's hole purple; after
// steps back, erased to white; with --preview, the moves ahead in light grey and the current one in orange.
// Also the trace file and the exit codes of bad calls.
//
// usage: render_check VELMORA_CLI SAMPLE.nc WORK_FOLDER
#include <sys/wait.h>

#include <QColor>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const QColor kWhite(255, 255, 255), kBlack(0, 0, 0), kBlue(0, 0, 255), kGreen(0, 128, 0), kRed(255, 0, 0),
    kPurple(128, 0, 128), kGrey(200, 200, 200), kOrange(255, 140, 0);

int failures = 0;

void check(bool ok, const std::string& what) {
  if (!ok) {
    ++failures;
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  }
}

int run(const std::string& command) {
  const int status = std::system((command + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

QColor at(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

// Counts the pixels of each colour along a column (or row) between two positions, both included.
int countAlong(const QImage& image, bool column, int fixed, int from, int to, const QColor& color) {
  int n = 0;
  for (int i = from; i <= to; ++i) n += (column ? at(image, fixed, i) : at(image, i, fixed)) == color;
  return n;
}

bool near(const QImage& image, int x, int y, const QColor& color) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx)
      if (at(image, x + dx, y + dy) == color) return true;
  return false;
}

int countAll(const QImage& image, const QColor& color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += at(image, x, y) == color;
  return n;
}

// The sample at 300 x 300 is fitted at 2.1 pixels per unit: world x 20 is column 67, x 100 column 235,
// y 100 row 66, y 20 row 234; the axes run along column 25 and row 276; the faulty arc is drawn as the whole
// circle about (118, 234) with radius 53; the hole of the last block (the tool's diameter 10 about (60, 60)) is
// the circle about (151, 150) with radius 10.
void checkFullDrawing(const QImage& image) {
  const int blue = countAlong(image, true, 67, 80, 180, kBlue);
  const int white = countAlong(image, true, 67, 80, 180, kWhite);
  check(blue > 20 && white > 20 && blue + white == 101, "rapid move blue and dotted");
  check(countAlong(image, false, 66, 80, 220, kBlack) == 141, "feed move black and solid");
  check(countAlong(image, false, 234, 180, 230, kBlack) == 51, "second feed move black");
  check(countAlong(image, true, 235, 80, 220, kGreen) == 141, "compensated move green");
  check(
      countAlong(image, true, 234, 80, 220, kGreen) == 141 || countAlong(image, true, 236, 80, 220, kGreen) == 141,
      "compensated move 2 pixels wide");
  check(near(image, 118, 181, kRed) && near(image, 118, 287, kRed) && near(image, 65, 234, kRed),
        "faulty arc red, as a whole circle");
  const int axisBlack = countAlong(image, false, 276, 0, 80, kBlack);
  check(axisBlack > 30 && axisBlack < 81, "centre line dash-dot");
  check(near(image, 161, 150, kPurple) && near(image, 141, 150, kPurple) && near(image, 151, 160, kPurple) &&
            near(image, 151, 140, kPurple),
        "cycle hole purple, as a whole circle");
}

// With the preview, stepped back to block 2: the moves after it in light grey (the feed move of block 3
// erased down to it), block 2's rapid move highlighted in orange.
void checkPreviewAfterStepsBack(const QImage& image) {
  check(countAlong(image, false, 66, 80, 220, kGrey) == 141, "feed move ahead in the preview's grey");
  check(countAlong(image, true, 235, 80, 220, kGrey) == 141, "compensated move ahead in grey");
  check(countAlong(image, true, 67, 80, 180, kOrange) == 101, "the current move highlighted");
  check(countAll(image, kGreen) == 0 && countAll(image, kRed) == 0, "nothing ahead in the path's pens");
}

void checkAfterStepsBack(const QImage& image) {
  check(countAlong(image, true, 67, 80, 180, kBlue) > 20, "rapid move before the cursor still drawn");
  check(countAlong(image, false, 66, 80, 220, kWhite) == 141, "feed move erased");
  check(countAll(image, kGreen) == 0, "compensated move erased");
  check(countAll(image, kRed) == 0, "faulty arc erased");
  check(countAll(image, kPurple) == 0, "cycle hole erased");
}

QImage render(const std::string& cli, const std::string& sample, const std::string& png,
              const std::string& extra) {
  const int rc = run(quoted(cli) + " render " + quoted(png) + " " + quoted(sample) + " --size 300x300 " + extra);
  check(rc == 0, "render exits with 0 (" + extra + ")");
  QImage image(QString::fromStdString(png));
  check(image.width() == 300 && image.height() == 300, "picture of the size asked for");
  return image.convertToFormat(QImage::Format_RGB32);
}

std::vector<std::string> readLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: render_check VELMORA_CLI SAMPLE.nc WORK_FOLDER\n", stderr);
    return 2;
  }
  const std::string cli = argv[1], sample = argv[2], work = argv[3];
  std::filesystem::create_directories(work);
  const std::string png = work + "/full.png", stepped = work + "/stepped.png", trace = work + "/trace.jsonl";

  const QImage full = render(cli, sample, png, "");
  if (!full.isNull()) checkFullDrawing(full);
  check(countAll(full, kGrey) == 0 && countAll(full, kOrange) == 0, "no preview unless asked for");
  const QImage preview = render(cli, sample, work + "/preview.png", "--upto 3 --step 7,2 --preview");
  if (!preview.isNull()) checkPreviewAfterStepsBack(preview);

  const QImage back = render(cli, sample, stepped, "--upto 3 --step 7,2 --trace " + quoted(trace));
  if (!back.isNull()) checkAfterStepsBack(back);
  const std::vector<std::string> lines = readLines(trace);
  check(!lines.empty() &&
            lines.front() == R"({"op":"fill","left":0,"top":0,"right":300,"bottom":300,"color":16777215})",
        "trace starts with the fill");
  int steps = 0;
  for (const std::string& line : lines) steps += line.rfind(R"({"op":"step",)", 0) == 0;
  check(steps == 2, "one step line per step");
  check(std::find(lines.begin(), lines.end(), R"({"op":"step","from":7,"to":2})") != lines.end(), "step 7 to 2");

  check(run(quoted(cli) + " render") == 1, "no arguments: usage");
  check(run(quoted(cli) + " render " + quoted(png) + " " + quoted(sample) + " --size 0x5") == 1,
        "bad size: usage");
  check(run(quoted(cli) + " render " + quoted(png) + " " + quoted(sample) + " --step 3,x") == 1,
        "bad step: usage");
  check(run(quoted(cli) + " render " + quoted(png) + " " + quoted(work + "/missing.nc")) == 2, "missing input");
  check(run(quoted(cli) + " render " + quoted(work + "/no/such/folder/x.png") + " " + quoted(sample)) == 2,
        "unwritable output");
  check(run(quoted(cli) + " render " + quoted(sample) + " " + quoted(sample)) == 2, "output over the input");
  check(std::filesystem::file_size(sample) > 0, "input kept");

  if (failures == 0) std::puts("render checks passed");
  return failures == 0 ? 0 : 1;
}
