#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/world/AppSnapshot.hpp"
#include "KestlesCore/world/WindowSnapshot.hpp"

namespace kestles {

/// The platform-free picture of displays, apps and standard windows that planning reads.
/// Nobody changes a world after the snapshot that made it.
struct World {
  DisplaySetup setup;
  std::optional<std::string> activeDisplayID;  // the display that counts as current
  std::vector<WindowSnapshot> windows;         // in the order they were read
  std::vector<AppSnapshot> apps;
  std::set<std::string> floating;                   // bundle ids not to be tiled
  std::map<std::string, std::uint32_t> fullScreen;  // display id -> its full-screen window
  // Windows that are open but not among `windows`, such as those of other virtual desktops:
  // nothing plans with them, but they have not closed, so what is remembered of them stays.
  std::set<std::uint32_t> elsewhere;

  bool operator==(const World&) const = default;
};

/// The display a window's frame belongs to when it is full screen and on screen, keyed for
/// `World::fullScreen`: every full-screen window of `windows` whose zIndex lies below
/// `listedCount` (it was in the on-screen list), later windows replacing earlier ones.
std::map<std::string, std::uint32_t> fullScreenWindows(const DisplaySetup& setup,
                                                       const std::vector<WindowSnapshot>& windows,
                                                       std::int64_t listedCount);

/// Keys "displays" (the setup's displays), "activeDisplayID" (written when present),
/// "windows", "apps", "floating" (sorted), "fullScreen" (display id to window id) and
/// "elsewhere" (window ids, written when not empty).
/// Reading needs an object and is tolerant: a missing key is empty, a damaged display, app
/// or window is dropped, and a window without "zIndex" takes its position in the list.
void to_json(nlohmann::json& json, const World& world);
void from_json(const nlohmann::json& json, World& world);

}  // namespace kestles
