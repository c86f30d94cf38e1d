#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/tiling/TileChanges.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"
#include "KestlesCore/world/WindowID.hpp"

namespace kestles {

/// Keeps displays tiled as windows come and go: remembers the windows each kept display
/// already knows, and turns the windows that arrived or left into moves and new tilings.
///
/// A window counts on a display while it is visible there (not minimized, not full screen,
/// its app not hidden, its app not among the world's floating apps) and the display shows
/// most of its frame. It is *new* when the display neither knows it nor has it in a tile;
/// it is *gone* when it has a tile there but no longer counts there; it is *waiting* when the
/// display knows it but has no tile for it (the style had no room, or a tiling left it out).
/// Whenever tiles change, waiting windows take tiles before new ones, so a display whose
/// tiled windows close stays tiled with the windows it still has. A window the user floats
/// out of its tile is left alone until it takes a tile again; a minimized window gives up
/// its tile and takes one again when it comes back, and a window moved to another kept
/// display leaves its tile on the first and is new on the second.
struct KeptTiles {
  /// The smallest half a tile may be split into, in points.
  static constexpr double kSmallestHalfWidth = 360;
  static constexpr double kSmallestHalfHeight = 240;

  /// One window's change of frame.
  struct Move {
    WindowID window = 0;
    std::string displayID;  // the display the window is tiled on
    CGRect from;            // its frame in the world
    CGRect to;              // the frame its tile (and its size limits) give it
    bool operator==(const Move&) const = default;
  };

  /// What a check changes.
  struct Plan {
    std::vector<Move> moves;  // displays in display order, each in tile order
    Tilings tilings;          // every tiling after the change; a dropped one is missing
    int placed = 0;           // new windows that got a tile
    int closed = 0;           // windows that left their tiles

    /// The sentence shown after the change: "Keep Tiled made room for 2 windows" when
    /// windows only arrived, "Keep Tiled closed up the tiles" when they only left, else
    /// "Keep Tiled rearranged the tiles".
    std::string message() const;
    /// The same sentence's localization key; new windows use the inflected
    /// "Keep Tiled made room for ^[%lld window](inflect: true)".
    std::string_view messageKey() const;

    bool operator==(const Plan&) const = default;
  };

  static constexpr std::string_view kRearrangedMessage = "Keep Tiled rearranged the tiles";
  static constexpr std::string_view kClosedUpMessage = "Keep Tiled closed up the tiles";
  static constexpr std::string_view kMadeRoomMessage =
      "Keep Tiled made room for ^[%lld window](inflect: true)";

  std::map<std::string, std::set<WindowID>> known;  // by display id
  std::set<WindowID> floating;  // floated out of their tiles by the user: left alone

  /// Drops every window not in the set from `known` and `floating` (windows that no longer
  /// exist).
  void keep(const std::set<WindowID>& only);
  /// Every window it knows, on any display, floating ones included.
  std::set<WindowID> windows() const;

  /// Looks at the listed displays (the kept ones) and updates `known` to the windows that
  /// count there now. Displays of the list that are not connected are skipped and keep what
  /// they knew; connected displays that are not listed are forgotten, so turning keep tiled
  /// on again starts afresh and tiles every window, and on that first look the empty tiles of
  /// the display's tiling (windows that closed while it was not kept) close too. A display without
  /// a tiling, and every display with `rearrange`, is arranged again in the style; with `inPlace`
  /// gone windows' tiles close and new windows split tiles. Nothing when no window arrived or left,
  /// or when the changes move no window and leave the tilings as they were.
  std::optional<Plan> check(const std::set<std::string>& displayIDs, const World& world,
                            const Tilings& tilings, const Gaps& gaps, TilingStyle style,
                            TileChanges changes);

  bool operator==(const KeptTiles&) const = default;
};

/// {"known": {display id: [window numbers]}} and "floating" (window numbers) when not empty;
/// reading drops unreadable numbers one by one.
void to_json(nlohmann::json& json, const KeptTiles& kept);
void from_json(const nlohmann::json& json, KeptTiles& kept);

}  // namespace kestles
