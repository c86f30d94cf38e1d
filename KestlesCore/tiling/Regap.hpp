#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "KestlesCore/layout/GapsChange.hpp"
#include "KestlesCore/tiling/TilePlan.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {

/// Changing the gaps of every tiled display.
struct Regap {
  /// Every tiled window present at its new frame; the tilings of connected displays,
  /// unchanged.
  struct Plan : TilePlan {
    Gaps gaps;  // the gaps to keep from now on

    bool operator==(const Plan&) const = default;
  };

  /// The new gaps and every connected display's tiling solved with them. Every tiled window
  /// gets its frame, whether or not it moves, so that all of them land together. Nothing
  /// when the change leaves the gaps as they are.
  static std::optional<Plan> make(const GapsChange& change, const Gaps& current, const World& world,
                                  const Tilings& tilings);
};

}  // namespace kestles
