// What the top panel shows of the current block: its motion or cycle code, the distance mode, the cutter
// compensation, the end point and, for an arc, its centre in the arc plane's own axes, its radius and whether
// it is faulty.
#pragma once

#include <array>
#include <string>

class kNcGeometry;

// Default-constructed, it is the empty panel of a window without a program.
struct BlockInfo {
  int block = 0;  // the block shown: the line, clamped to the program
  // pnlGCode: the cycle's code (81, 83 ...) while the block is in a drilling cycle, else the motion's; -1 none.
  int code = -1;
  std::u16string codeText;  // "G01", "G81"
  int distance = 0;         // 90 absolute, 91 incremental; 0 none
  std::u16string distanceText;
  // pnlG40: "G41 D05 " (the D word's number) while G41 or G42 is in force, else "G40".
  bool compensated = false;
  std::u16string compText = u"G40";
  std::u16string xText, yText, zText;
  bool isArc = false;
  // leditCX, leditCY, leditR: the labels say which axes the centre is given in ("CX" "CY" in G17, "CX" "CZ"
  // in G18, "CY" "CZ" in G19; "CX" "CY" for a block that is no arc); the texts are empty for such a block.
  std::array<std::u16string, 3> arcLabels{u"CX", u"CY", u"R"};
  std::array<std::u16string, 3> arcTexts;
  // The arc fields are marked: the block is an arc whose radius misses its start or end point.
  bool faultyArc = false;
};

// The information of block `line` (line k of the editor is block k); a line past the program shows its
// last block.
BlockInfo blockInfoAt(const kNcGeometry& geometry, int line);
