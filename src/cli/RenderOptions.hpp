// The arguments of `velmora-cli render`, read by velmora-cli before it hands them on and by velmora-render.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.hpp"

inline constexpr const char* kRenderUsage =
    "usage: velmora-cli render OUT.png FILE [--size WxH] [--upto K] [--step K1,K2,...] [--trace FILE.jsonl]\n"
    "                          [--preview]\n";

struct RenderOptions {
  static constexpr int kDefaultWidth = 800;
  static constexpr int kDefaultHeight = 600;

  std::string output;
  std::string input;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  std::optional<int> upto;
  std::vector<int> steps;
  std::string trace;
  // The whole program in a light pen under the path, the current move highlighted.
  bool preview = false;
};

// False for wrong usage.
bool parseRenderOptions(const Args& args, RenderOptions& options);
