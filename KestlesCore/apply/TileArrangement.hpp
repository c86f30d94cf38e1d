#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/layout/SizeLimits.hpp"
#include "KestlesCore/layout/TileShape.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"

namespace kestles {

/// One way of tiling a display's windows that a tile request can show.
struct TileArrangement {
  std::string name;  // shown as the plan's `arrangement`
  TileShape shape;
  bool operator==(const TileArrangement&) const = default;
};

/// Which arrangement a tile request shows, and which a repeat of it would show.
struct TileArrangementChoice {
  TileArrangement chosen;
  std::optional<std::string> next;  // none when there is nothing else to step to
};

/// Windows whose frames lie within this distance of their tiles' frames already show an
/// arrangement, so tiling them again steps on to the next one.
inline constexpr double kArrangementTolerance = 24;

/// The arrangements the styles offer `count` windows on the display, the asked style first
/// and then the other styles in their usual order; a style whose tiles fall exactly where an
/// earlier one's do is left out. Each style takes at most its own largest tile count.
std::vector<TileArrangement> styleArrangements(int count, const DisplayInfo& display,
                                               TilingStyle style, const Gaps& gaps);

/// The one place that decides which arrangement a tile request takes: the first of the
/// candidates, unless the windows (in tile order) already sit within 24 points in the tiles
/// of one of them, then the one after that (wrapping); a repeat would show the one after the
/// chosen one. The
/// suggestions board plugs in here by handing its ranked arrangements as the candidates.
/// `minimums` go with the windows, tile by tile. `candidates` must not be empty.
TileArrangementChoice chooseArrangement(const std::vector<TileArrangement>& candidates,
                                        const std::vector<CGRect>& windowFrames,
                                        const std::vector<MinimumSize>& minimums,
                                        const DisplayInfo& display, const Gaps& gaps);

}  // namespace kestles
