#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/x11/support/XSession.hpp"

namespace kestles::testing {

/// A client size in pixels.
struct ClientSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

/// A test window, the outer frame asked of it and the client size its hints force on it.
struct PlacementCase {
  const char* name;
  std::vector<std::string> flags;  // for the test client
  Frame target;
  /// The size the client must take; nothing: what the target leaves inside the frame.
  std::optional<ClientSize> client = std::nullopt;
  /// The client has increments of 6×13 above a base of 4×4.
  bool cells = false;
};

/// Whether the manager rounds a requested size down to the client's increments (xfwm4 does
/// not for a tool's request).
inline bool roundsToIncrements(WindowManager manager) {
  return manager == WindowManager::openbox;
}

/// Where the case must land: at the target's origin, the client's size plus the frame
/// `extents` (left, right, top, bottom) that the manager put around it.
inline Frame landingOf(const PlacementCase& c, const std::vector<std::uint32_t>& extents,
                       WindowManager manager) {
  auto left = std::int32_t(extents.at(0)), right = std::int32_t(extents.at(1));
  auto top = std::int32_t(extents.at(2)), bottom = std::int32_t(extents.at(3));
  auto client =
      c.client.value_or(ClientSize{c.target.width - left - right, c.target.height - top - bottom});
  if (c.cells && roundsToIncrements(manager)) {
    client.width = 4 + (client.width - 4) / 6 * 6;
    client.height = 4 + (client.height - 4) / 13 * 13;
  }
  return {c.target.x, c.target.y, client.width + left + right, client.height + top + bottom};
}

inline const PlacementCase kManagedPlacements[] = {
    {"no hints", {}, {100, 120, 500, 400}},
    {"static gravity", {"--gravity", "10"}, {300, 250, 640, 480}},
    {"south-east gravity", {"--gravity", "9"}, {40, 60, 700, 500}},
    {"min and max",
     {"--min", "300x200", "--max", "500x350"},
     {50, 50, 900, 900},
     ClientSize{500, 350}},
    {"below the minimum", {"--min", "300x200"}, {50, 50, 100, 100}, ClientSize{300, 200}},
    {"fixed size",
     {"--size", "320x240", "--min", "320x240", "--max", "320x240"},
     {70, 80, 900, 700},
     ClientSize{320, 240}},
    {"increments",
     {"--inc", "6x13", "--base", "4x4", "--size", "484x316"},
     {10, 10, 600, 400},
     std::nullopt,
     true},
};

}  // namespace kestles::testing
