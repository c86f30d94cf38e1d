#include "KestlesCore/tiling/KeptTiles.hpp"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Lossy.hpp"
#include "KestlesCore/tiling/DisplayWindows.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"

namespace kestles {
namespace {

/// What changed on one kept display since the last look.
struct Look {
  DisplayInfo display;
  std::set<WindowID> present;     // the windows that count there now
  std::set<WindowID> gone;        // tiled there, no longer present
  std::vector<WindowID> waiting;  // present and known there, without a tile; by window number
  std::vector<WindowID> fresh;    // present, neither known nor tiled there; by window number
  std::optional<WindowID> front;  // the frontmost of its tiled windows that stayed
  int emptied = 0;                // empty tiles to close: a display's first look only

  /// Whether the look changes the display's tiles.
  bool changes() const { return !gone.empty() || !fresh.empty() || emptied > 0; }
  /// Whether tiles close, which makes room for waiting windows.
  bool closes() const { return !gone.empty() || emptied > 0; }

  /// The windows that take tiles as far as there is room: the waiting ones, which opened
  /// first, then the new ones.
  std::vector<WindowID> untiled() const {
    auto windows = waiting;
    windows.insert(windows.end(), fresh.begin(), fresh.end());
    return windows;
  }
};

const Tiling* tilingOf(const Tilings& tilings, const std::string& displayID) {
  auto found = tilings.find(displayID);
  return found == tilings.end() ? nullptr : &found->second;
}

Look look(const DisplayInfo& display, const std::vector<const WindowSnapshot*>& visible,
          const World& world, const std::set<WindowID>& known, const std::set<WindowID>& floating,
          const Tiling* tiling) {
  Look result{display, {}, {}, {}, {}, std::nullopt, 0};
  std::int64_t frontZ = 0;
  for (const auto* window : visible) {
    if (world.floating.contains(window->bundleID)) continue;
    result.present.insert(window->id);
    bool tiled = tiling && tiling->contains(window->id);
    if (!tiled && !floating.contains(window->id))
      (known.contains(window->id) ? result.waiting : result.fresh).push_back(window->id);
    if (tiled && (!result.front || window->zIndex < frontZ)) {
      result.front = window->id;
      frontZ = window->zIndex;
    }
  }
  // Window numbers grow as windows are made, so this is the order they opened in.
  std::sort(result.waiting.begin(), result.waiting.end());
  std::sort(result.fresh.begin(), result.fresh.end());
  if (tiling)
    for (auto window : tiling->windowIDs())
      if (!result.present.contains(window)) result.gone.insert(window);
  return result;
}

/// Hands the tiles of gone windows to waiting windows, the one that waited longest first and
/// the tiles in slot order, before any tile closes: a freed tile goes to a window that had
/// none without moving anyone else. The windows served leave `waiting` and the gone windows
/// whose tiles they took leave `gone`; returns how many were placed.
int handOver(Tiling& tiling, Look& look) {
  std::vector<std::pair<int, WindowID>> freed;
  for (auto window : look.gone)
    if (auto slot = tiling.tileOf(window)) freed.emplace_back(*slot, window);
  std::sort(freed.begin(), freed.end());
  int placed = 0;
  auto next = look.waiting.begin();
  for (const auto& [slot, window] : freed) {
    if (next == look.waiting.end()) break;
    if (tiling.zoomed == window) tiling.zoomed.reset();
    tiling.remove(window);
    tiling.restore(*next++, slot);
    look.gone.erase(window);
    ++placed;
  }
  look.waiting.erase(look.waiting.begin(), next);
  return placed;
}

/// The rearrange manner: the tiled windows that stay, in slot order, then the waiting and
/// the new ones, in the style's shape for their count (the current shape when the count is
/// the same). Waiting windows first take the tiles of gone ones where those stood.
std::optional<Tiling> rearranged(const Tiling* current, Look look, TilingStyle style) {
  std::optional<Tiling> handed;
  if (current) {
    handed = *current;
    handOver(*handed, look);
    current = &*handed;
  }
  std::vector<WindowID> windows;
  if (current)
    for (auto window : current->windowIDs())
      if (!look.gone.contains(window)) windows.push_back(window);
  auto untiled = look.untiled();
  windows.insert(windows.end(), untiled.begin(), untiled.end());
  auto count = std::min<std::size_t>(windows.size(),
                                     largestTileCount(style, look.display.visibleFrame.size));
  if (count == 0) return std::nullopt;
  windows.resize(count);
  if (current && current->tileCount() == count) {
    Tiling kept = *current;
    for (std::size_t slot = 0; slot < count; ++slot)
      kept.windows[slot] = windows[slot];
    if (kept.zoomed && kept.tileOf(*kept.zoomed) != current->tileOf(*kept.zoomed))
      kept.zoomed.reset();
    return kept;
  }
  auto shape = shapeForCount(static_cast<int>(count), look.display.visibleFrame.size, style);
  return Tiling::make(look.display.id, std::move(shape), std::nullopt, windows);
}

/// Closes the tiles of gone windows from the last slot to the first, each giving its room to
/// a neighbour; the last tile only empties.
void closeGone(Tiling& tiling, const std::set<WindowID>& gone) {
  std::vector<std::pair<int, WindowID>> slots;
  for (auto window : gone)
    if (auto slot = tiling.tileOf(window)) slots.emplace_back(*slot, window);
  std::sort(slots.rbegin(), slots.rend());
  for (const auto& [slot, window] : slots) {
    auto before = tiling.tileCount();
    if (before > 1) tiling.closeTile(*tiling.tileOf(window), true);
    if (tiling.tileCount() == before) tiling.remove(window);
  }
}

/// Closes the empty tiles from the last slot to the first, each giving its room to a
/// neighbour; the last tile stays.
void closeEmpty(Tiling& tiling) {
  for (int slot = tiling.tileCount() - 1; slot >= 0 && tiling.tileCount() > 1; --slot)
    if (!tiling.windows[static_cast<std::size_t>(slot)]) tiling.closeTile(slot, true);
}

/// The edge a tile is split on, or nothing when a half would be smaller than the limits: a
/// tile at least as wide as it is tall splits side by side, the new tile on the right;
/// otherwise top and bottom, the new tile at the bottom.
std::optional<TileEdge> splitEdge(const CGRect& tile) {
  if (tile.height() <= tile.width()) {
    if (tile.width() / 2 >= KeptTiles::kSmallestHalfWidth &&
        tile.height() >= KeptTiles::kSmallestHalfHeight)
      return TileEdge::right;
    return std::nullopt;
  }
  if (tile.width() >= KeptTiles::kSmallestHalfWidth &&
      tile.height() / 2 >= KeptTiles::kSmallestHalfHeight)
    return TileEdge::bottom;
  return std::nullopt;
}

int biggestTile(const std::vector<CGRect>& tiles) {
  int biggest = 0;
  for (int i = 1; i < static_cast<int>(tiles.size()); ++i)
    if (tiles[i].area() > tiles[biggest].area()) biggest = i;
  return biggest;
}

/// Gives the window a tile: an empty tile when there is one (nothing needs to make room),
/// else a split of the front window's tile, else of the biggest tile. False when no tile
/// can be split.
bool splitFor(Tiling& tiling, WindowID window, std::optional<WindowID> front,
              const DisplayInfo& display, const Gaps& gaps, const World& world) {
  if (auto empty = std::find(tiling.windows.begin(), tiling.windows.end(), std::nullopt);
      empty != tiling.windows.end()) {
    tiling.restore(window, static_cast<int>(empty - tiling.windows.begin()));
    return true;
  }
  auto tiles = solved(tiling, display, gaps, world).tileFrames;
  std::vector<int> candidates;
  if (auto frontSlot = front ? tiling.tileOf(*front) : std::nullopt)
    candidates.push_back(*frontSlot);
  if (!tiles.empty()) candidates.push_back(biggestTile(tiles));
  for (int candidate : candidates) {
    auto edge = splitEdge(tiles[candidate]);
    if (!edge) continue;
    if (auto added = tiling.insert(candidate, *edge)) {
      tiling.restore(window, *added);
      return true;
    }
  }
  return false;
}

/// The in-place manner on an existing tiling; nothing when no window is left in it. The tiles
/// of gone windows go to waiting windows before any closes; the waiting windows left try for
/// a tile only when tiles closed, since only that makes room.
std::optional<Tiling> inPlace(const Tiling& current, Look look, const Gaps& gaps,
                              const World& world, int& placed) {
  Tiling tiling = current;
  placed += handOver(tiling, look);
  closeGone(tiling, look.gone);
  if (look.emptied > 0) closeEmpty(tiling);
  for (auto window : look.closes() ? look.untiled() : look.fresh)
    if (splitFor(tiling, window, look.front, look.display, gaps, world)) ++placed;
  if (tiling.windowIDs().empty()) return std::nullopt;
  return tiling;
}

/// The moves that bring the tiling's windows into their tiles, each within its size limits.
void addMoves(std::vector<KeptTiles::Move>& moves, const Tiling& tiling, const DisplayInfo& display,
              const Gaps& gaps, const World& world) {
  auto tiles = solved(tiling, display, gaps, world).tileFrames;
  for (std::size_t slot = 0; slot < tiling.windows.size() && slot < tiles.size(); ++slot) {
    const WindowSnapshot* window =
        tiling.windows[slot] ? windowWithID(world, *tiling.windows[slot]) : nullptr;
    if (!window) continue;
    CGRect to = SizeLimits{window->minimumSize, window->maximumSize}.applied(tiles[slot],
                                                                             display.visibleFrame);
    if (differsByMoreThanHalfAPoint(window->frame, to))
      moves.push_back({window->id, display.id, window->frame, to});
  }
}

/// A window that joined a kept display leaves the slot it still had in a tiling the check did
/// not look at; that tiling's tiles stay as they are.
void leaveOtherTilings(Tilings& tilings, const std::set<std::string>& changed) {
  for (const auto& displayID : changed) {
    auto found = tilings.find(displayID);
    if (found == tilings.end()) continue;
    for (auto window : found->second.windowIDs())
      for (auto& [otherID, other] : tilings)
        if (!changed.contains(otherID)) other.remove(window);
  }
}

}  // namespace

std::string KeptTiles::Plan::message() const {
  if (placed > 0 && closed == 0)
    return "Keep Tiled made room for " + std::to_string(placed) +
           (placed == 1 ? " window" : " windows");
  return std::string(messageKey());
}

std::string_view KeptTiles::Plan::messageKey() const {
  if (placed > 0 && closed == 0) return kMadeRoomMessage;
  if (closed > 0 && placed == 0) return kClosedUpMessage;
  return kRearrangedMessage;
}

void KeptTiles::keep(const std::set<WindowID>& only) {
  auto gone = [&](WindowID window) { return !only.contains(window); };
  for (auto& [displayID, windows] : known)
    std::erase_if(windows, gone);
  std::erase_if(floating, gone);
}

std::set<WindowID> KeptTiles::windows() const {
  std::set<WindowID> all = floating;
  for (const auto& [displayID, windows] : known)
    all.insert(windows.begin(), windows.end());
  return all;
}

std::optional<KeptTiles::Plan> KeptTiles::check(const std::set<std::string>& displayIDs,
                                                const World& world, const Tilings& tilings,
                                                const Gaps& gaps, TilingStyle style,
                                                TileChanges changes) {
  auto visible = visibleWindowsByDisplay(world);
  static const std::vector<const WindowSnapshot*> kNone;
  Plan plan;
  plan.tilings = tilings;
  std::set<std::string> changed;
  std::vector<DisplayInfo> changedDisplays;
  for (const auto& display : world.setup.ordered()) {
    if (!displayIDs.contains(display.id)) {
      known.erase(display.id);
      continue;
    }
    auto windows = visible.find(display.id);
    const Tiling* current = tilingOf(tilings, display.id);
    bool firstLook = !known.contains(display.id);
    Look seen = look(display, windows == visible.end() ? kNone : windows->second, world,
                     known[display.id], floating, current);
    known[display.id] = seen.present;
    // A display just kept has its tiling tidied too: tiles that lost their windows while
    // nobody kept it close.
    if (firstLook && current)
      seen.emptied = static_cast<int>(
          std::count(current->windows.begin(), current->windows.end(), std::nullopt));
    // A floated window that took a tile again floats no more.
    if (current)
      for (auto window : seen.present)
        if (current->contains(window)) floating.erase(window);
    if (!seen.changes()) continue;

    std::optional<Tiling> next;
    int placed = 0;
    if (changes == TileChanges::inPlace && current) {
      next = inPlace(*current, seen, gaps, world, placed);
    } else {
      next = rearranged(current, seen, style);
      for (auto window : seen.untiled())
        placed += next && next->contains(window) ? 1 : 0;
    }
    plan.placed += placed;
    plan.closed += static_cast<int>(seen.gone.size()) + seen.emptied;
    if (next)
      plan.tilings.insert_or_assign(display.id, std::move(*next));
    else
      plan.tilings.erase(display.id);
    changed.insert(display.id);
    changedDisplays.push_back(display);
  }
  if (changed.empty()) return std::nullopt;
  leaveOtherTilings(plan.tilings, changed);
  for (const auto& display : changedDisplays)
    if (const Tiling* tiling = tilingOf(plan.tilings, display.id))
      addMoves(plan.moves, *tiling, display, gaps, world);
  if (plan.moves.empty() && plan.tilings == tilings) return std::nullopt;
  return plan;
}

void to_json(nlohmann::json& json, const KeptTiles& kept) {
  json = nlohmann::json{{"known", nlohmann::json::object()}};
  for (const auto& [displayID, windows] : kept.known)
    json["known"][displayID] = windows;
  if (!kept.floating.empty()) json["floating"] = kept.floating;
}

void from_json(const nlohmann::json& json, KeptTiles& kept) {
  coding::requireObject(json, "kept tiles");
  kept.known.clear();
  for (const auto& [displayID, windows] : coding::lossyMap<nlohmann::json>(json, "known")) {
    if (!windows.is_array()) continue;
    auto numbers = coding::lossyList<WindowID>(windows);
    kept.known[displayID] = std::set<WindowID>(numbers.begin(), numbers.end());
  }
  auto floating = coding::lossyList<WindowID>(json, "floating");
  kept.floating = std::set<WindowID>(floating.begin(), floating.end());
}

}  // namespace kestles
