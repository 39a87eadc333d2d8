// The text view's lines read from the program document: nothing is copied, a line is decoded when shown.
#pragma once

#include "app/NcTextView.hpp"
#include "document/Ncdocument.hpp"

class DocumentLines : public TextLineSource {
 public:
  explicit DocumentLines(const kNcDocument& document) : document(document) {}

  int lineCount() const override { return document.lineCount(); }
  QString lineText(int line) const override { return QString::fromStdU16String(document.lineText(line)); }
  int longestLineLength() const override {
    return static_cast<int>(std::min<std::size_t>(document.programText().longestLineLength(), 1 << 20));
  }

 private:
  const kNcDocument& document;
};
