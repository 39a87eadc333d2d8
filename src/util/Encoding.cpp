// Decoding and encoding of NC program bytes: code page 932 (Shift-JIS with the NEC and IBM extensions), and
// UTF-8 or UTF-16 when the file starts with a byte-order mark.
#include "util/Encoding.hpp"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "util/Text.hpp"

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool isTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
bool isSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code page 932 mapping, taken once from the C library's converter so that no table has to be kept here.
// Code page 932 has duplicate codes (NEC row 13 and the IBM extensions repeat some characters, and the NEC
// selection of the IBM extensions repeats the IBM rows); they all decode, and each character encodes to the
// one code the converter chooses for it, so such codes do not survive a round trip byte for byte.
struct Cp932Tables {
  std::array<char16_t, 256> single{};  // U+FFFD where the byte is not a character of its own
  std::array<bool, 256> isLead{};
  std::vector<char16_t> pairs;         // (lead - 0x80) * 256 + trail; U+FFFD where not assigned
  std::vector<std::uint16_t> encoded;  // by character: its code (one or two bytes), 0 for none

  Cp932Tables() : pairs(128 * 256, kReplacement), encoded(0x10000, 0) {
    single.fill(kReplacement);
    for (int b = 0; b < 0x80; ++b) single[b] = static_cast<char16_t>(b);
    for (int b = 0; b < 0x100; ++b) isLead[b] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    build();
  }

  char16_t pair(unsigned char lead, unsigned char trail) const { return pairs[(lead - 0x80) * 256 + trail]; }

 private:
  // Owns an iconv descriptor.
  struct Converter {
    iconv_t cd;
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Converter() {
      if (ok()) iconv_close(cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`; the number of output bytes, or -1 when the input is invalid or incomplete.
    int convert(const char* in, size_t inLength, char* out, size_t outSize) {
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      char* inPtr = const_cast<char*>(in);
      char* outPtr = out;
      size_t outLeft = outSize;
      if (iconv(cd, &inPtr, &inLength, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLength != 0) return -1;
      return static_cast<int>(outSize - outLeft);
    }
  };

  static char16_t unitOf(const char* utf16le) {
    return static_cast<char16_t>(static_cast<unsigned char>(utf16le[0]) |
                                 (static_cast<unsigned char>(utf16le[1]) << 8));
  }

  void build() {
    Converter decoder("UTF-16LE", "CP932");
    Converter encoder("CP932", "UTF-16LE");
    if (!decoder.ok() || !encoder.ok()) return;  // only ASCII is known then
    char out[16];
    for (int b = 0x80; b < 0x100; ++b) {
      const char in[1] = {static_cast<char>(b)};
      if (decoder.convert(in, 1, out, sizeof out) == 2) single[b] = unitOf(out);
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
      if (!isLead[lead]) continue;
      for (int trail = 0x40; trail < 0x100; ++trail) {
        if (!isTrailByte(static_cast<unsigned char>(trail))) continue;
        const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        if (decoder.convert(in, 2, out, sizeof out) != 2) continue;
        const char16_t c = unitOf(out);
        if (c == kReplacement || isSurrogate(c)) continue;
        pairs[(lead - 0x80) * 256 + trail] = c;
      }
    }
    for (int b = 0x80; b < 0x100; ++b) addEncoding(encoder, single[b]);
    for (char16_t c : pairs) addEncoding(encoder, c);
  }

  void addEncoding(Converter& encoder, char16_t c) {
    if (c == kReplacement || c < 0x80 || encoded[c] != 0) return;
    const char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    unsigned char out[8];
    const int length = encoder.convert(in, 2, reinterpret_cast<char*>(out), sizeof out);
    if (length == 1) encoded[c] = out[0];
    if (length == 2) encoded[c] = static_cast<std::uint16_t>(out[0] << 8 | out[1]);
  }
};

const Cp932Tables& cp932() {
  static const Cp932Tables tables;
  return tables;
}

// Copies the ASCII bytes at the front of [p, end) to dst, eight at a time where possible; returns the new p.
const unsigned char* copyAscii(const unsigned char* p, const unsigned char* end, char16_t*& dst) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & kHighBits) break;
    for (int k = 0; k < 8; ++k) dst[k] = p[k];
    p += 8;
    dst += 8;
  }
  while (p < end && *p < 0x80) *dst++ = *p++;
  return p;
}

std::u16string decodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2 + 1);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    out += static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  if (bytes.size() % 2 != 0) out += kReplacement;
  // A surrogate that is not half of a pair is not a character.
  for (size_t i = 0; i < out.size(); ++i) {
    if (isHighSurrogate(out[i]) && i + 1 < out.size() && isLowSurrogate(out[i + 1])) {
      ++i;
    } else if (isSurrogate(out[i])) {
      out[i] = kReplacement;
    }
  }
  return out;
}

std::string encodeUtf16(std::u16string_view text, bool bigEndian) {
  std::string out(bigEndian ? kUtf16BeBom : kUtf16LeBom);
  out.reserve(2 + 2 * text.size());
  for (char16_t c : text) {
    const auto high = static_cast<char>(c >> 8);
    const auto low = static_cast<char>(c & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  }
  return out;
}

}  // namespace

TextEncoding encodingByMark(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) return TextEncoding::Utf8Bom;
  if (bytes.starts_with(kUtf16LeBom)) return TextEncoding::Utf16LeBom;
  if (bytes.starts_with(kUtf16BeBom)) return TextEncoding::Utf16BeBom;
  return TextEncoding::ShiftJis;
}

DecodedText decodeText(std::string_view bytes) {
  const TextEncoding encoding = encodingByMark(bytes);
  switch (encoding) {
    case TextEncoding::Utf8Bom:
      return {fromUtf8(bytes.substr(kUtf8Bom.size())), encoding};
    case TextEncoding::Utf16LeBom:
      return {decodeUtf16(bytes.substr(kUtf16LeBom.size()), false), encoding};
    case TextEncoding::Utf16BeBom:
      return {decodeUtf16(bytes.substr(kUtf16BeBom.size()), true), encoding};
    case TextEncoding::ShiftJis:
      break;
  }
  return {decodeShiftJis(bytes), TextEncoding::ShiftJis};
}

std::u16string decodeShiftJis(std::string_view bytes) {
  std::u16string out;
  decodeShiftJisInto(bytes, out);
  return out;
}

void decodeShiftJisInto(std::string_view bytes, std::u16string& out) {
  out.resize(bytes.size());  // never more characters than bytes
  char16_t* dst = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  const Cp932Tables* tables = nullptr;  // looked up only when a byte is not ASCII
  while ((p = copyAscii(p, end, dst)) < end) {
    if (tables == nullptr) tables = &cp932();
    const unsigned char b = *p;
    if (!tables->isLead[b]) {
      *dst++ = tables->single[b];
      ++p;
    } else if (end - p >= 2 && tables->pair(b, p[1]) != kReplacement) {
      *dst++ = tables->pair(b, p[1]);
      p += 2;
    } else {
      // A broken pair: an ASCII (or non-trail) byte after it is read afresh, so that no line break or letter
      // is swallowed; an unassigned code with a non-ASCII trail byte is one bad character.
      *dst++ = kReplacement;
      p += (end - p >= 2 && p[1] >= 0x80 && isTrailByte(p[1])) ? 2 : 1;
    }
  }
  out.resize(static_cast<size_t>(dst - out.data()));
}

std::string encodeShiftJis(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  const Cp932Tables* tables = nullptr;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    if (tables == nullptr) tables = &cp932();
    const std::uint16_t code = tables->encoded[c];
    if (code > 0xFF) out += static_cast<char>(code >> 8);
    out += code == 0 ? '?' : static_cast<char>(code & 0xFF);
    // A character outside the BMP is one '?', not two.
    if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) ++i;
  }
  return out;
}

std::string encodeText(std::u16string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom:
      return std::string(kUtf8Bom) + toUtf8(text);
    case TextEncoding::Utf16LeBom:
      return encodeUtf16(text, false);
    case TextEncoding::Utf16BeBom:
      return encodeUtf16(text, true);
    case TextEncoding::ShiftJis:
      break;
  }
  return encodeShiftJis(text);
}
