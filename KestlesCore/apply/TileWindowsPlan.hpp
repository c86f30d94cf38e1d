#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"

namespace kestles {

/// What tiling a display's windows reads beside the world.
struct TileContext {
  std::optional<std::uint32_t> front;  // the focused window; else the front-most one counts
  const Tilings* tilings = nullptr;    // the displays' current tilings, if any
};

/// The windows of the display (all, the front app's, or the app named by the name rule
/// among the running apps) tiled in the style, titled "Tile Windows" or "Tile App Windows".
/// Windows already in the display's tiling keep their order and come first, the others
/// follow front to back; windows beyond the style's largest count stay where they are. The
/// arrangement comes from `chooseArrangement`, so that tiling the same windows again steps
/// on. No moves when the display is not connected or no window qualifies.
ApplyPlan tileWindowsPlan(std::string_view displayID, const TileApps& apps, TilingStyle style,
                          const World& world, const Gaps& gaps, const TileContext& context);

/// Every connected display's windows tiled in the style, merged into one plan titled "Tile
/// All Displays": the active display's moves come last, and its arrangement names (else the
/// first tiled display's) are the plan's.
ApplyPlan tileAllDisplaysPlan(TilingStyle style, const World& world, const Gaps& gaps,
                              const TileContext& context);

/// The focused window when the world has it, else the front-most window in sight (neither
/// minimized nor of a hidden app); nothing when there is none.
std::optional<std::uint32_t> frontWindowOf(const World& world,
                                           std::optional<std::uint32_t> focused);

/// The app the name picks among the world's running apps by the name rule, or null.
const AppSnapshot* appNamed(std::string_view name, const World& world);

}  // namespace kestles
