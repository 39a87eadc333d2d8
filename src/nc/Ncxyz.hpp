// Word holders with the modal rules of NC programs: coordinates, T/H/D and F repeat when left out,
// arc-centre offsets I/J/K are 0 when left out. They hold the values of the latest block; the block store
// keeps every block's.
#pragma once

#include <string>
#include <string_view>

#include "nc/Ncword.hpp"

class kNcXY {
 public:
  virtual ~kNcXY() = default;
  int readBlock(std::u16string_view block) { return readBlock(wordsOf(ScannedBlock(block))); }
  int readBlock(const BlockWords& words);
  int addBlock(double x, double y);

  kNcWord x{u'X'};
  kNcWord y{u'Y'};
  int coordCount = 0;

 protected:
  void resetCoords();
};

class kNcXYZ : public kNcXY {
 public:
  int readBlock(std::u16string_view block) { return readBlock(wordsOf(ScannedBlock(block))); }
  int readBlock(const BlockWords& words);
  int addBlock(double x, double y, double z);

  kNcWord z{u'Z'};

 protected:
  void resetCoords();
};

class kNcXYZIJK : public kNcXYZ {
 public:
  int readBlock(std::u16string_view block) { return readBlock(wordsOf(ScannedBlock(block))); }
  int readBlock(const BlockWords& words);
  int addBlock(double x, double y, double z, double i, double j, double k);
  // Empties every word for a new program.
  void reset() { resetCoords(); }

  kNcWord i{u'I'};
  kNcWord j{u'J'};
  kNcWord k{u'K'};

 protected:
  void resetCoords();
};

class kNcTool {
 public:
  virtual ~kNcTool() = default;
  int readBlock(std::u16string_view block) { return readBlock(wordsOf(ScannedBlock(block))); }
  int readBlock(const BlockWords& words);
  int addBlock(int t, int h, int d);
  void reset();

  kNcWord t{u'T'};
  kNcWord h{u'H'};
  kNcWord d{u'D'};
  int toolCount = 0;
};

class kNcFeed {
 public:
  virtual ~kNcFeed() = default;
  int readBlock(std::u16string_view block) { return readBlock(wordsOf(ScannedBlock(block))); }
  int readBlock(const BlockWords& words);
  // The feed text of the latest block without its letter, e.g. "200" ("" while no F has been seen).
  const std::u16string& valueText() const { return valueText_; }
  // The latest block gave a feed text other than the block before it.
  bool textChanged() const { return textChanged_; }
  void reset();

  kNcWord feedWord{u'F'};
  int feedCount = 0;

 private:
  std::u16string valueText_;
  bool textChanged_ = false;
};
