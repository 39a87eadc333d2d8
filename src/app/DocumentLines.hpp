// The text view's lines read from the program document (of an evaluated program, the file shown): nothing is
// copied, a line is decoded when shown.
#pragma once

#include "app/NcTextView.hpp"
#include "document/Ncdocument.hpp"

class DocumentLines : public TextLineSource {
 public:
  explicit DocumentLines(const kNcDocument& document) : document(document) {}

  int lineCount() const override { return document.shownLineCount(); }
  QString lineText(int line) const override { return QString::fromStdU16String(document.shownLineText(line)); }
  int longestLineLength() const override {
    return static_cast<int>(std::min<std::size_t>(document.shownText().longestLineLength(), 1 << 20));
  }
  bool lineExecuted(int line) const override { return document.lineExecuted(line); }

 private:
  const kNcDocument& document;
};
