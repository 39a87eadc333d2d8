// The block store the tests work on: prepared as the window and the command line prepare it, then given its
// lines one at a time.
#pragma once

#include <initializer_list>
#include <string_view>

#include "nc/Ncgeometry.hpp"

struct Point3 {
  double x, y, z;
};

struct Program {
  Program() {
    g.restart();
    g.setCommentDelimiters(kProgramDelimiters);
  }
  explicit Program(std::initializer_list<std::u16string_view> lines) : Program() {
    for (std::u16string_view line : lines) g.interpretBlock(line);
  }
  // The lines read as for the control of `profile`.
  Program(const ControlProfile& profile, std::initializer_list<std::u16string_view> lines) : Program() {
    g.setProfile(profile);
    for (std::u16string_view line : lines) g.interpretBlock(line);
  }
  // Block k's end point, block 0 being itself.
  Point3 at(int k) const { return {g.absX.get(k), g.absY.get(k), g.absZ.get(k)}; }

  kNcGeometry g;
};
