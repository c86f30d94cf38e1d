#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/layout/SizeLimits.hpp"
#include "KestlesCore/layout/TileEdge.hpp"
#include "KestlesCore/snap/SnapAction.hpp"
#include "KestlesCore/snap/SnapMemory.hpp"
#include "KestlesCore/tiling/LiveTiles.hpp"
#include "KestlesCore/tiling/TileChanges.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"

namespace kestles {

/// Turns one snap key press on the front window into a plan of window moves.
struct KeySnap {
  /// The outcome of one key press.
  struct Plan {
    std::uint32_t window = 0;                // the snapped window
    std::map<std::uint32_t, CGRect> frames;  // every window that moves, the snapped one included
    CGRect frame;                            // the snapped window's new frame
    std::string displayID;                   // the display the window ends on
    std::vector<CGRect> context;             // frames drawn around the flash; empty when untiled
    bool forgets = false;       // the plan ends the window's run: its memory entry is dropped
    std::optional<bool> zooms;  // true: zooms a tiled window; false: back into its tile
    std::optional<LiveTiles> session;  // the live tiles after a snap of a tiled window

    /// Updates the memory once the plan was carried out. `previous` is the snapped window's
    /// frame before this snap: it becomes the original of a new run. Other moved windows that
    /// are in a run take their new frames.
    void record(SnapMemory& memory, const CGRect& previous) const;

    bool operator==(const Plan&) const = default;
  };

  /// Everything one plan reads. The caller narrows the displays for Stage Manager first.
  struct Planner {
    std::uint32_t window = 0;
    CGRect frame;         // the window's current frame
    DisplayInfo display;  // the display the window is on
    DisplaySetup setup;
    Gaps gaps;
    SnapMemory memory;
    /// The frames the display's live tiling session holds, by window; empty without a
    /// session. Fill space grows among the ones of other windows.
    std::map<std::uint32_t, CGRect> sessionFrames;
    /// The live tiling session; a window in a tile of its display's tiling is planned on the
    /// tiles (see `tiledPlan`).
    std::optional<LiveTiles> session;
    // Read by the branch for windows that sit in tiles.
    bool tileable = true;
    TilingStyle style = TilingStyle::grid;
    TileChanges changes = TileChanges::rearrange;
    SizeLimits limits;
  };

  /// The plan for one action; a window in its display's live tiles is planned on the tiles.
  /// Nothing when the key press changes nothing.
  static std::optional<Plan> plan(SnapAction action, const Planner& planner);
  /// The plan for a window in its display's live tiles: maximize and almost maximize zoom it,
  /// restore puts a zoomed window back, the other places and the moves trade tiles, the
  /// display moves carry the window out of its tile (into an empty tile there when there is
  /// one). Nothing for fill space, larger, smaller and the rest.
  static std::optional<Plan> tiledPlan(SnapAction action, const Planner& planner);
  /// The plan for pushing the window's edge (arrange-with-keys' "Move Edge"); nothing when the
  /// window cannot change that way.
  static std::optional<Plan> push(TileEdge edge, const Planner& planner);
  /// The displays in the order next and previous display step through: by the frame's left
  /// edge, then by its top edge; equal ones keep their listing order.
  static std::vector<DisplayInfo> displayOrder(const DisplaySetup& setup);
};

}  // namespace kestles
