#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/layout/LayoutSolver.hpp"
#include "KestlesCore/layout/SizeLimits.hpp"
#include "KestlesCore/layout/TileEdge.hpp"
#include "KestlesCore/layout/TileShape.hpp"
#include "KestlesCore/tiling/Retile.hpp"
#include "KestlesCore/world/WindowID.hpp"

namespace kestles {

/// A tiled display: its tiles and the window in each tile.
///
/// Invariant kept by every operation: one slot per tile of the shape's tile order, and a
/// window in at most one slot. Reshaping keeps each window with its tile (by tile id);
/// whenever the zoomed window changes slot or loses its slot, it is forgotten.
struct Tiling {
  std::string displayID;
  TileShape shape;
  std::optional<LayoutRef> layout;  // where the shape came from; cleared on a change by hand
  std::vector<std::optional<WindowID>> windows;  // slot i: the window in tile i, if any
  std::optional<WindowID> zoomed;                // the window zoomed to fill the display

  /// A tiling of the shape with the windows in tile order; windows beyond the tiles are left
  /// out and empty tiles get empty slots.
  static Tiling make(std::string displayID, TileShape shape, std::optional<LayoutRef> layout,
                     const std::vector<WindowID>& windows);

  // Derived queries.

  /// The windows present, in slot order.
  std::vector<WindowID> windowIDs() const;
  std::size_t tileCount() const { return windows.size(); }
  bool contains(WindowID window) const { return tileOf(window).has_value(); }
  /// The slot of the window, or nothing when it has no tile here.
  std::optional<int> tileOf(WindowID window) const;
  /// The window in the slot, or nothing for an empty or unknown slot.
  std::optional<WindowID> windowIn(int slot) const;
  /// The tile id of the slot, or nothing for an unknown slot.
  std::optional<UUID> tileID(int slot) const;
  /// The slot of the tile id, or nothing when the shape has no such tile.
  std::optional<int> tileIndex(const UUID& tile) const;

  // Operations.

  /// Takes a new shape and layout reference; the windows present fill its tiles in slot
  /// order. Returns the windows that no longer have a tile.
  std::vector<WindowID> apply(TileShape newShape, std::optional<LayoutRef> newLayout);
  /// Moves every window k occupied tiles on (empty tiles stay empty). False with fewer than
  /// two windows.
  bool rotate(int by);
  /// Mirrors the shape (horizontal: along columns; vertical: along rows), windows keeping
  /// their tiles. False when the shape does not change.
  bool flip(Retile::Flip axis);
  /// Toggles the split of the window's tile's parent, else of the root. False for drawn tiles
  /// and for a tree without a container.
  bool turn(std::optional<WindowID> around);
  /// Evens out every group of siblings. False for drawn tiles or when nothing changes.
  bool evenOut();
  /// Carries out a rearrangement; `around` is the front window, used by a turn.
  bool retile(const Retile& retile, std::optional<WindowID> around);

  /// Empties the window's slot, keeping the tile. Returns that slot, or nothing when the
  /// window was not here.
  std::optional<int> remove(WindowID window);
  /// Puts the window back into the slot; a window already tiled here moves there. When the
  /// slot is unknown or holds another window, a tiled window stays where it is and an
  /// untiled one takes the first empty slot (none empty: nothing changes). Returns the
  /// window's slot afterwards.
  std::optional<int> restore(WindowID window, int slot);
  /// Trades the windows of two slots. False for an unknown slot or the same slot twice.
  bool swap(int first, int second);
  /// Zooms the window (it must be here), or with nothing puts the zoomed window back.
  /// False when nothing changes.
  bool zoom(std::optional<WindowID> window);

  /// Adds an empty tile on the edge of the slot's tile, sharing that tile's room. Returns
  /// the new tile's slot; nothing for an unknown slot.
  std::optional<int> insert(int beside, TileEdge toward);
  /// Closes the slot's tile, optionally giving its room to a neighbour, and returns the
  /// window that sat there. The last tile is never closed (nothing happens).
  std::optional<WindowID> closeTile(int slot, bool givingRoomToNeighbour);
  /// Moves a divider (of a tree) to a position along its axis, as the fraction of that
  /// position between the divider's start and end. False when nothing changes.
  bool move(const Divider& divider, double position);
  /// Draws a new tile at a unit rectangle (clamped to the unit square). A tree first becomes
  /// drawn tiles at its unit frames, keeping its tile ids. Returns the new tile's slot;
  /// nothing for a rectangle with no area.
  std::optional<int> draw(const CGRect& unit);
  /// Gives a drawn tile a new unit rectangle (clamped). False for a tree, an unknown slot, a
  /// rectangle with no area, or no change.
  bool setUnit(const CGRect& unit, int ofTile);

  // Geometry.

  /// The tile frames within the visible frame; minimums are keyed by window number.
  LayoutSolution solve(const CGRect& visibleFrame, const Gaps& gaps,
                       const std::map<WindowID, MinimumSize>& minimums = {}) const;
  /// The frame of each window's tile.
  std::map<WindowID, CGRect> frames(const CGRect& visibleFrame, const Gaps& gaps,
                                    const std::map<WindowID, MinimumSize>& minimums = {}) const;
  /// The dividers of a tree; drawn tiles have none.
  std::vector<Divider> dividers(const CGRect& visibleFrame, const Gaps& gaps,
                                const std::map<WindowID, MinimumSize>& minimums = {}) const;

  bool operator==(const Tiling&) const = default;

 private:
  void reshape(TileShape newShape);
  void forgetZoomUnlessAt(std::optional<int> zoomedSlot);
  std::vector<MinimumSize> minimumsBySlot(const std::map<WindowID, MinimumSize>& minimums) const;
};

/// Slots as a JSON array of window numbers and nulls.
nlohmann::json slotsJSON(const std::vector<std::optional<std::uint32_t>>& slots);
/// Slots read from a JSON array, an unreadable item being an empty slot; no slots when the
/// value is missing (null) or no array.
std::vector<std::optional<std::uint32_t>> slotsFromJSON(const nlohmann::json* array);

/// Keys "displayID", "shape", "windows" (numbers or null), and "layout" and "zoomed" when
/// present. Reading mends the invariant: slots are padded or cut to the tile count, a
/// window seen twice keeps its first slot, and a zoomed window without a slot is dropped.
void to_json(nlohmann::json& json, const Tiling& tiling);
void from_json(const nlohmann::json& json, Tiling& tiling);

}  // namespace kestles

/// Every field (display, shape, layout, slots, zoomed window), consistent with `==`.
template <>
struct std::hash<kestles::Tiling> {
  std::size_t operator()(const kestles::Tiling& tiling) const noexcept;
};
