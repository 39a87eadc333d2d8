// The reading of a program that needs evaluation (variables, flow, calls): the evaluator's blocks go into the
// block store one executed block at a time, each tied to its source line and file.
#pragma once

#include <string>

#include "nc/Ncreader.hpp"

// Whether the program uses anything that must be evaluated; a plain program is read line by line as ever.
bool programNeedsEvaluation(const kNcText& text);
// Executes the program into `geometry` (already restarted and reading from `text`).
ReadResult evaluateProgram(const kNcText& text, const std::string& path, kNcGeometry& geometry,
                           const ReaderCallbacks& callbacks, const ReadOptions& options);
