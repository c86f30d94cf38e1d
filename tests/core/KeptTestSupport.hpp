#pragma once

#include <cstdint>
#include <vector>

#include "KestlesCore/tiling/KeptTiles.hpp"
#include "tests/core/TilingTestSupport.hpp"

namespace kestles::kept_testing {

using tiling_testing::mainDisplay;
using tiling_testing::rightDisplay;
using tiling_testing::tiledWith;
using tiling_testing::windowAt;
using tiling_testing::worldOf;

/// A 1512 × 982 built-in display with a 32-point menu bar.
inline DisplayInfo laptop() {
  return {"laptop", "Laptop", {0, 0, 1512, 982}, {0, 32, 1512, 950}, true, true};
}

/// A 2560 × 1440 display to the right of the laptop, without a bar.
inline DisplayInfo wide() {
  return {"wide", "Wide", {1512, 0, 2560, 1440}, {1512, 0, 2560, 1440}, false, false};
}

/// A 1080 × 1920 portrait display to the right of the wide one.
inline DisplayInfo portrait() {
  return {"portrait", "Portrait", {4072, 0, 1080, 1920}, {4072, 0, 1080, 1920}, false, false};
}

/// A display of the given visible size at the origin, without a bar.
inline DisplayInfo plainDisplay(double width, double height) {
  return {"plain", "Plain", {0, 0, width, height}, {0, 0, width, height}, false, true};
}

/// A window with a stacking position; 0 is the front.
inline WindowSnapshot windowAt(std::uint32_t id, CGRect frame, std::int64_t zIndex,
                               std::int32_t pid) {
  auto window = windowAt(id, frame, pid);
  window.zIndex = zIndex;
  return window;
}

/// The world after the engine carried out the moves.
inline World afterMoves(World world, const std::vector<KeptTiles::Move>& moves) {
  for (const auto& move : moves)
    for (auto& window : world.windows)
      if (window.id == move.window) window.frame = move.to;
  return world;
}

/// The world without the window.
inline World without(World world, std::uint32_t id) {
  std::erase_if(world.windows, [&](const WindowSnapshot& window) { return window.id == id; });
  return world;
}

/// The world with one more window.
inline World with(World world, WindowSnapshot window) {
  world.windows.push_back(std::move(window));
  return world;
}

}  // namespace kestles::kept_testing
