#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/layout/TileShape.hpp"
#include "KestlesCore/layout/LayoutRef.hpp"

namespace kestles {

/// A tiled display: its tiles and the window in each tile.
struct Tiling {
  std::string displayID;
  TileShape shape;
  std::optional<LayoutRef> layout;  // where the shape came from; cleared on a change by hand
  std::vector<std::optional<std::uint32_t>> windows;  // slot i: the window in tile i, if any
  std::optional<std::uint32_t> zoomed;                // the window zoomed to fill the display

  bool operator==(const Tiling&) const = default;
};

}  // namespace kestles
