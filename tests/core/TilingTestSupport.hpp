#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles::testing {

/// A 1000 × 625 display whose visible frame is 1000 × 600 below a 25-point bar.
inline DisplayInfo mainDisplay() {
  return {"main", "Main", {0, 0, 1000, 625}, {0, 25, 1000, 600}, true, true};
}

/// A 1000 × 600 display to the right of the main one, without a bar.
inline DisplayInfo rightDisplay() {
  return {"right", "Right", {1000, 0, 1000, 600}, {1000, 0, 1000, 600}, false, false};
}

inline WindowSnapshot windowAt(std::uint32_t id, CGRect frame, std::int32_t pid = 1) {
  WindowSnapshot window;
  window.id = id;
  window.pid = pid;
  window.bundleID = "app." + std::to_string(pid);
  window.frame = frame;
  return window;
}

inline World worldOf(std::vector<WindowSnapshot> windows,
                     std::vector<DisplayInfo> displays = {mainDisplay()}) {
  World world;
  world.setup.displays = std::move(displays);
  world.activeDisplayID = world.setup.displays.front().id;
  world.windows = std::move(windows);
  return world;
}

/// The tilings map holding one tiling of a template on the main display.
inline Tilings tiledWith(const char* templateID, std::vector<std::uint32_t> windows,
                         std::string displayID = "main") {
  Tilings tilings;
  tilings.emplace(displayID, Tiling::make(displayID, Template::withID(templateID)->shape,
                                          LayoutRef::templateLayout(templateID), windows));
  return tilings;
}

}  // namespace kestles::testing
