// The JSON lines the command-line tools print.
#include "cli/Json.hpp"

#include <cmath>
#include <cstdio>

#include "util/Format.hpp"
#include "util/Text.hpp"

void appendJsonString(std::string& out, std::u16string_view text) {
  out += '"';
  for (char c : toUtf8(text)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void appendReal(std::string& out, double value) { out += std::isfinite(value) ? shortestReal(value) : "null"; }

void appendField(std::string& out, const char* key, double value) {
  out += ",\"";
  out += key;
  out += "\":";
  appendReal(out, value);
}

void appendField(std::string& out, const char* key, int value) {
  out += ",\"";
  out += key;
  out += "\":";
  out += std::to_string(value);
}

void appendSummaryFields(std::string& out, const kNcGeometry& g, const ReadResult& result) {
  out += "\"blocks\":";
  out += std::to_string(g.blockCount);
  appendField(out, "minX", g.minX);
  appendField(out, "maxX", g.maxX);
  appendField(out, "minY", g.minY);
  appendField(out, "maxY", g.maxY);
  appendField(out, "minZ", g.minZ);
  appendField(out, "maxZ", g.maxZ);
  out += ",\"error\":";
  if (result.syntaxErrorLine > 0) {
    out += "{\"line\":" + std::to_string(result.syntaxErrorLine) + ",\"message\":";
    appendJsonString(out, kCommentSyntaxError);
    out += "}";
  } else {
    out += "null";
  }
}

void appendSourceFile(std::string& out, const kNcGeometry& g, int b) {
  const int file = g.sourceFileOf(b);
  if (file == 0 || file >= static_cast<int>(g.sourceFiles().size())) return;
  out += ",\"file\":";
  appendJsonString(out, fromUtf8(g.sourceFiles()[static_cast<std::size_t>(file)]));
}

void flushToStdout(std::string& out) {
  std::fwrite(out.data(), 1, out.size(), stdout);
  out.clear();
}
