#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/session/CommandPlanner.hpp"
#include "KestlesCore/settings/Settings.hpp"
#include "KestlesCore/snap/SnapAction.hpp"
#include "KestlesCore/snap/TileDrag.hpp"

namespace kestles {

/// What dropping a dragged window with the pointer at a point would do: snap it to an edge
/// or corner zone's place, or land it among the display's tiles (trade or split); nothing
/// moves elsewhere. The outcome's message says why when the window or point is unknown.
struct DropPlan {
  /// What to show while the pointer rests here: the frame the window would take, the tiles
  /// of the display around it (for a landing among tiles) and a hint of what the drop does.
  struct Zone {
    CGRect frame;
    std::vector<CGRect> tiles;
    std::string hint;
    bool operator==(const Zone&) const = default;
  };

  CommandOutcome outcome;
  std::optional<SnapAction> place;           // an edge or corner zone's place
  std::optional<TileDrag::Landing> landing;  // a landing among tiles
  std::optional<Zone> zone;                  // with a place or a landing

  static DropPlan make(CGPoint point, std::uint32_t window, const World& world,
                       const Settings& settings, const SessionState& state);
};

/// The outcome's JSON with "drop" beside: {"place": "left-half"} or {"display", "tile",
/// "side" (a split's edge), "occupant"}; no "drop" when the window would stay where dropped.
nlohmann::json dropJSON(const DropPlan& plan, bool withState);

}  // namespace kestles
