#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KestlesCore/world/World.hpp"

namespace kestles::keyboard_testing {

/// A 1440 × 900 laptop panel whose visible frame starts below a 25-point menu bar.
inline DisplayInfo laptop() {
  return {"L", "Laptop", {0, 0, 1440, 900}, {0, 25, 1440, 875}, true, true};
}

/// A 1920 × 1080 display to the laptop's right, without a bar.
inline DisplayInfo external() {
  return {"E", "External", {1440, 0, 1920, 1080}, {1440, 0, 1920, 1080}, false, false};
}

/// A window of the app; its zIndex is its place in the list it is put in.
inline WindowSnapshot window(std::uint32_t id, std::string appName, CGRect frame) {
  WindowSnapshot made;
  made.id = id;
  made.pid = static_cast<std::int32_t>(id);
  made.bundleID = "app." + appName;
  made.appName = std::move(appName);
  made.title = "Window " + std::to_string(id);
  made.frame = frame;
  return made;
}

/// The windows front to back on the displays, the first display active.
inline World worldOf(std::vector<WindowSnapshot> windows,
                     std::vector<DisplayInfo> displays = {laptop()}) {
  World world;
  world.setup.displays = std::move(displays);
  world.activeDisplayID = world.setup.displays.front().id;
  for (std::size_t i = 0; i < windows.size(); ++i)
    windows[i].zIndex = static_cast<std::int64_t>(i);
  world.windows = std::move(windows);
  return world;
}

}  // namespace kestles::keyboard_testing
