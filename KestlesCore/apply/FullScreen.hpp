#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// Taking windows out of full screen before they are placed.
struct FullScreen {
  /// Windows on their way out of full screen.
  struct Exit {
    std::vector<std::uint32_t> windows;  // taken out of full screen
    bool hasSwitched = false;            // a Space switch has been observed

    /// Whether the windows have settled, looking at the world after a cue (a window's
    /// full-screen change, a Space switch, the 1.5 s mark): not before a Space switch or
    /// 1.5 s, and not while one of them is still full screen, by its own flag or the
    /// world's full-screen map.
    bool isSettled(const World& world, double elapsedSeconds) const;

    bool operator==(const Exit&) const = default;
  };
};

}  // namespace kestles
