// The laid-out text of the few lines around the screen of the text view: only these lines of a program are
// ever read and shaped.
#pragma once

#include <QFont>
#include <QTextLayout>
#include <QTextOption>
#include <memory>
#include <vector>

class TextLineSource;

class NcTextViewLines {
 public:
  NcTextViewLines();
  ~NcTextViewLines();

  // Layouts are made in `font`; a new font drops every layout.
  void setFont(const QFont& font);
  // Drops every layout (the source changed).
  void clear();
  // The layout of `line` (from 1; past the end of `source`: an empty line), made on first use, with its one
  // text line at (0, 0). Valid until the next keepOnly, setFont or clear.
  const QTextLayout& of(const TextLineSource* source, int line);
  // Drops the layouts of lines outside [first, last].
  void keepOnly(int first, int last);
  std::size_t size() const { return entries.size(); }

 private:
  struct Entry {
    int line;
    std::unique_ptr<QTextLayout> layout;
  };

  QFont font;
  QTextOption option;
  std::vector<Entry> entries;
};
