#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/layout/TileShape.hpp"

namespace kestles {

/// Picking windows by letter and choosing how to tile them.
struct PickToTile {
  /// One way of tiling the picked windows.
  struct Choice {
    std::string name;
    TileShape shape;
    std::optional<LayoutRef> layout;
    bool operator==(const Choice&) const = default;
  };

  /// The picked windows, in pick order, the display they go to and the way to tile them.
  struct Pick {
    std::vector<std::uint32_t> windows;
    std::string displayID;
    Choice choice;
    bool operator==(const Pick&) const = default;
  };
};

}  // namespace kestles
