// Where the tool radius of compensation comes from: the block's G41.1/G42.1 diameter, the profile's tool table
// or its diameters by offset number, or the diameter a comment gave the tool.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "nc/Ncprofile.hpp"

// Diameters of a tool table file (lines such as `T1 P1 D10.0 Z5 ;drill`), by tool and by pocket number.
struct ToolTable {
  std::map<int, double> byTool, byPocket;
};
ToolTable parseToolTable(std::string_view text);
// The table the profile names ([tools] table = FILE, relative to the profile's folder); empty when none is
// named or it cannot be read.
ToolTable readProfileToolTable(const ControlProfile& profile);

// What decides the radius when compensation comes into force.
struct RadiusQuery {
  std::optional<double> blockDiameter;  // the D of G41.1/G42.1
  std::optional<int> offset;            // the D word in force, when one was given
  int tool = 0;                         // the T word in force
  std::optional<double> commentDiameter;
};
// The tool radius, or nullopt when nothing tells it. D0 is radius 0.
std::optional<double> toolRadius(const RadiusQuery& query, const ControlProfile& profile, const ToolTable& table);
