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
  /// Windows on their way out of full screen, and what the last look saw of them.
  struct Exit {
    /// What one look saw of one window.
    struct Seen {
      bool isFullScreen = false;
      bool isMinimized = false;
      CGRect frame;
      bool operator==(const Seen&) const = default;
    };

    std::vector<std::uint32_t> windows;  // taken out of full screen
    bool hasSwitched = false;            // a Space switch has been observed
    std::optional<std::map<std::uint32_t, Seen>> last;

    /// Whether the windows have settled: not before a Space switch or 1.5 s; never while
    /// one of them is still full screen; otherwise when this look sees the exit windows
    /// and the other windows of their displays exactly as the previous look did. Each
    /// look past the first condition becomes `last`.
    bool isSettled(const World& world, double elapsedSeconds);

    bool operator==(const Exit&) const = default;
  };
};

}  // namespace kestles
