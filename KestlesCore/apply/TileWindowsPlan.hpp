#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/library/SavedLayout.hpp"
#include "KestlesCore/tiling/SuggestionStep.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"

namespace kestles {

/// What tiling a display's windows reads beside the world.
struct TileContext {
  std::optional<std::uint32_t> front;  // the focused window; else the front-most one counts
  const Tilings* tilings = nullptr;    // the displays' current tilings, if any
  std::span<const SavedLayout> savedLayouts{};     // offered on the suggestions board
  const TilingMemory* memory = nullptr;            // earlier picks; none: no memory bonus
  const SuggestionStep* lastSuggestion = nullptr;  // the step a repeated request continues
  // The style was asked for by name: its own shape leads the board, and a step that another
  // lead began starts afresh.
  bool styleLeads = false;
};

/// The windows of the display (all, the front app's, or the app named by the name rule
/// among the running apps), titled "Tile Windows" or "Tile App Windows", laid out as a
/// suggestion of the display's suggestions board (the style's own shape is one of its
/// candidates; it comes first when `context.styleLeads`). `chooseSuggestion` picks it, so that
/// tiling the same windows again steps on to the next suggestion; `arrangement` and
/// `nextArrangement` are the suggestions' titles and `suggestions` holds what to remember. The
/// front-most windows up to the style's largest count are tiled, the others stay where they are. No
/// moves when the display is not connected or no window qualifies.
ApplyPlan tileWindowsPlan(std::string_view displayID, const TileApps& apps, TilingStyle style,
                          const World& world, const Gaps& gaps, const TileContext& context);

/// Every connected display's windows tiled as `tileWindowsPlan` tiles them, merged into one
/// plan titled "Tile All Displays": the active display's moves and applied suggestion come
/// last, and its arrangement names (else the first tiled display's) are the plan's.
ApplyPlan tileAllDisplaysPlan(TilingStyle style, const World& world, const Gaps& gaps,
                              const TileContext& context);

/// The focused window when the world has it, else the front-most window in sight (neither
/// minimized nor of a hidden app); nothing when there is none.
std::optional<std::uint32_t> frontWindowOf(const World& world,
                                           std::optional<std::uint32_t> focused);

/// The app the name picks among the world's running apps by the name rule, or null.
const AppSnapshot* appNamed(std::string_view name, const World& world);

}  // namespace kestles
