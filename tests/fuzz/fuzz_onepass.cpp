// Fuzz target: any bytes read in one pass where their lines are plain (with and without a thread scanning the
// lines ahead), and read as text throughout; the readings must hold the same blocks, extents and problems, for
// a file's bytes and for the same text decoded.
#include <memory>
#include <string>

#include "FuzzSupport.hpp"
#include "nc/SameReading.hpp"

namespace {

void requireSame(const kNcGeometry& onePass, const kNcGeometry& asText, const char* how) {
  const std::string difference = readingDifference(onePass, asText);
  if (difference.empty()) return;
  std::fprintf(stderr, "%s: %s\n", how, difference.c_str());
  require(false, "the one-pass reading reads as the text reading");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReadOptions asText;
  asText.onePass = false;
  auto file = std::make_shared<kNcText>();
  file->setBytes(std::string(bytesOf(data, size)));
  kNcGeometry onePass, textOnly;
  const ControlProfile profile = withFuzzBudget({});
  onePass.setProfile(profile);
  textOnly.setProfile(profile);
  readNcProgram(file, textOnly, {}, asText);
  readNcProgram(file, onePass, {}, {true, 0});
  requireSame(onePass, textOnly, "file bytes");
  // The same with the lines scanned ahead on a thread of their own.
  readNcProgram(file, onePass, {}, {true, 1});
  requireSame(onePass, textOnly, "file bytes scanned ahead");

  const std::u16string decoded = decodeText(bytesOf(data, size)).text;
  readNcText(decoded, onePass);
  readNcText(decoded, textOnly, {}, asText);
  requireSame(onePass, textOnly, "decoded text");
  return 0;
}
