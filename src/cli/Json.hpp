// The JSON lines the command-line tools print: escaped strings, reals in shortest form, the summary line.
#pragma once

#include <string>
#include <string_view>

#include "nc/Ncgeometry.hpp"
#include "nc/Ncreader.hpp"

void appendJsonString(std::string& out, std::u16string_view text);
// "file" with its path as found when block b came from another file than the main one.
void appendSourceFile(std::string& out, const kNcGeometry& g, int b);
// Writes `out` on stdout and empties it.
void flushToStdout(std::string& out);
// Reals in shortest round-trip form; JSON has no infinity or NaN, which become null.
void appendReal(std::string& out, double value);
void appendField(std::string& out, const char* key, double value);
void appendField(std::string& out, const char* key, int value);
// The summary of a reading without its closing braces, so that a command can add fields: the block count,
// the extents and the comment syntax error.
void appendSummaryFields(std::string& out, const kNcGeometry& g, const ReadResult& result);
