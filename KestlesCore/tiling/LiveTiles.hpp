#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/layout/SizeLimits.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"
#include "KestlesCore/world/WindowID.hpp"

namespace kestles {

/// The working session of a tiled set of displays, shared by keep tiled, snapping, dragging
/// and the keyboard modes: the displays, the gaps and the tilings, and beside them what the
/// session learned about its windows. The app keeps it in its session state.
///
/// Bookkeeping: a window that enters a tile (`adopt`) joins the placement `order` and, the
/// first time, leaves its frame as `original`; a window that leaves every tile leaves the
/// order but keeps its original frame, so it can still be put back; `release` and `keep`
/// forget a window altogether. Minimum sizes only grow: the session keeps the largest
/// minimum it learned from the world or the engine, and solves its tiles with them.
class LiveTiles {
 public:
  DisplaySetup setup;
  Gaps gaps;
  Tilings tilings;  // by display id

  LiveTiles() = default;
  LiveTiles(DisplaySetup displays, Gaps room, Tilings tiled = {})
      : setup(std::move(displays)), gaps(room), tilings(std::move(tiled)) {}

  /// Takes the tilings after a change (a keep-tiled plan, a snap, a drag) and does the
  /// bookkeeping: windows new to the tiles join the order in slot order, display by display,
  /// with their world frame as original; windows no longer tiled leave the order; the
  /// world's minimum sizes of the tiled windows are learned.
  void adopt(Tilings changed, const World& world);
  /// Learns that the window needs at least this size; a smaller value changes nothing.
  void learn(WindowID window, MinimumSize minimum);
  /// Forgets the window: its place in the order, its original frame and its minimum. Returns
  /// the original frame, to put the window back; nothing when the session never placed it.
  std::optional<CGRect> release(WindowID window);
  /// Forgets every window not in the set (windows that no longer exist), also in tilings,
  /// whose slots empty.
  void keep(const std::set<WindowID>& only);

  /// Every window the session knows: placed, remembered or tiled.
  std::set<WindowID> windows() const;
  /// The windows in the order they were placed.
  const std::vector<WindowID>& order() const { return order_; }
  /// The frame the window had before the session first placed it.
  std::optional<CGRect> original(WindowID window) const;
  /// The minimum the session knows for the window (zero when none).
  MinimumSize minimum(WindowID window) const;
  /// Every minimum the session knows, by window.
  const std::map<WindowID, MinimumSize>& minimums() const { return minimums_; }

  /// The tiling of the display, or null.
  const Tiling* tiling(const std::string& displayID) const;
  /// The tile frames of the display's tiling with the session's gaps and minimums; nothing
  /// when the display has no tiling or is not in the setup.
  std::optional<LayoutSolution> solved(const std::string& displayID) const;
  /// The frame of each tiled window of the display (empty without a tiling).
  std::map<WindowID, CGRect> frames(const std::string& displayID) const;

  bool operator==(const LiveTiles&) const = default;

  friend void to_json(nlohmann::json& json, const LiveTiles& live);
  friend void from_json(const nlohmann::json& json, LiveTiles& live);

 private:
  std::vector<WindowID> order_;
  std::map<WindowID, CGRect> original_;
  std::map<WindowID, MinimumSize> minimums_;
};

/// Keys "displays" (the setup's displays), "gaps", "tilings" (display id to `Tiling`),
/// "order" (window numbers), "original" (window number, as text, to frame) and "minimums"
/// (window number, as text, to size). Reading needs an object and is tolerant: a missing key
/// is empty (gaps: the defaults), and a damaged display, tiling, number or entry is dropped
/// on its own; a window seen twice in the order keeps its first place, and each tiling takes
/// the display id it is filed under.
void to_json(nlohmann::json& json, const LiveTiles& live);
void from_json(const nlohmann::json& json, LiveTiles& live);

}  // namespace kestles
