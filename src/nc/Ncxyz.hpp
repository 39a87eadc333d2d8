// Word holders with the modal rules of NC programs: coordinates, T/H/D and F repeat when left out,
// arc-centre offsets I/J/K are 0 when left out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "nc/Ncword.hpp"
#include "util/BulkAllocator.hpp"

class kNcXY {
 public:
  virtual ~kNcXY() = default;
  int readBlock(std::u16string_view block) { return readBlock(ScannedBlock(block)); }
  int readBlock(const ScannedBlock& block);
  int addBlock(double x, double y);

  kNcWord x{u"X", 1};
  kNcWord y{u"Y", 1};
  int coordCount = 0;

 protected:
  void resetCoords();
};

class kNcXYZ : public kNcXY {
 public:
  int readBlock(std::u16string_view block) { return readBlock(ScannedBlock(block)); }
  int readBlock(const ScannedBlock& block);
  int addBlock(double x, double y, double z);

  kNcWord z{u"Z", 1};

 protected:
  void resetCoords();
};

class kNcXYZIJK : public kNcXYZ {
 public:
  int readBlock(std::u16string_view block) { return readBlock(ScannedBlock(block)); }
  int readBlock(const ScannedBlock& block);
  int addBlock(double x, double y, double z, double i, double j, double k);

  kNcWord i{u"I", 1};
  kNcWord j{u"J", 1};
  kNcWord k{u"K", 1};

 protected:
  void resetCoords();
};

class kNcTool {
 public:
  virtual ~kNcTool() = default;
  int readBlock(std::u16string_view block) { return readBlock(ScannedBlock(block)); }
  int readBlock(const ScannedBlock& block);
  int addBlock(int t, int h, int d, int digits);

  kNcWord t{u"T", 0};
  kNcWord h{u"H", 0};
  kNcWord d{u"D", 0};
  int toolCount = 0;

 protected:
  void resetTool();
};

class kNcFeed {
 public:
  virtual ~kNcFeed() = default;
  int readBlock(std::u16string_view block) { return readBlock(ScannedBlock(block)); }
  int readBlock(const ScannedBlock& block);
  // The feed text without its letter for block b ("" for block 0); b must not exceed feedCount.
  const std::u16string& feedValueText(int b) const;

  kNcWord feedWord{u"F", 1};
  int feedCount = 0;

 protected:
  void resetFeed();
  void reserveFeed(int blocks) {
    feedWord.reserve(blocks);
    feedTextIds.reserve(blocks);
  }

 private:
  // Feed texts repeat from block to block: each distinct text is stored once.
  std::vector<std::uint32_t, BulkAllocator<std::uint32_t>> feedTextIds;
  std::vector<std::u16string> feedTextPool;
  std::unordered_map<std::u16string, std::uint32_t> feedTextIndex;
  std::u16string scratch;
};

// The modal carry-over: a word left out of the block repeats the previous block's text.
int recordModal(kNcWord& word, const ScannedBlock& block, bool hasPrevious);
