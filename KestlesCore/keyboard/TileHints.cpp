#include "KestlesCore/keyboard/TileHints.hpp"

#include <algorithm>

#include "KestlesCore/snap/TileDrag.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {
namespace {

/// The split of a tile: side by side when it is wider than tall; the incoming window takes
/// the half that comes later in reading order, so the occupant keeps its left or upper part.
DropTarget splitOf(int tile, const CGRect& frame) {
  return DropTarget::beside(tile,
                            frame.width() > frame.height() ? TileEdge::right : TileEdge::bottom);
}

std::vector<DisplayInfo> leftToRight(const DisplaySetup& setup) {
  auto displays = setup.displays;
  std::stable_sort(displays.begin(), displays.end(), [](const auto& a, const auto& b) {
    if (a.frame.minX() != b.frame.minX()) return a.frame.minX() < b.frame.minX();
    return a.frame.minY() < b.frame.minY();
  });
  return displays;
}

std::set<std::uint32_t> tiledWindows(const Tilings& tilings) {
  std::set<std::uint32_t> tiled;
  for (const auto& [displayID, tiling] : tilings)
    for (auto window : tiling.windowIDs())
      tiled.insert(window);
  return tiled;
}

/// Where the window lands when the hint's tile is split: the tree is solved again after the
/// split (and after the window's own tile closes), so only the plan knows the frame.
std::optional<CGRect> splitPreview(const TileHints::Hint& hint, std::uint32_t window,
                                   const LiveTiles& session, const World& world) {
  auto plan = TileHints::plan(hint, true, window, session, world);
  if (!plan) return std::nullopt;
  auto frames = plan->session.frames(hint.displayID);
  auto landed = frames.find(window);
  return landed == frames.end() ? std::nullopt : std::optional(landed->second);
}

}  // namespace

std::vector<TileHints::Hint> TileHints::hints(WindowID window, const LiveTiles& session,
                                              const World& world) {
  std::vector<Hint> hints;
  for (const auto& display : leftToRight(session.setup)) {
    const Tiling* tiling = session.tiling(display.id);
    auto solution = session.solved(display.id);
    if (!tiling || !solution) continue;
    const auto& frames = solution->tileFrames;
    for (int tile = 0; tile < static_cast<int>(frames.size()); ++tile) {
      auto occupant = tiling->windowIn(tile);
      if (occupant == window) continue;
      if (hints.size() == keys.size()) return hints;
      Hint hint{keys[hints.size()], display.id, tile,         frames[tile],
                std::nullopt,       occupant,   std::nullopt, std::nullopt};
      if (occupant) {
        hint.split = splitPreview(hint, window, session, world);
        if (const auto* snapshot = windowWithID(world, *occupant)) {
          hint.bundleID = snapshot->bundleID;
          hint.appName = snapshot->appName;
        }
      }
      hints.push_back(std::move(hint));
    }
  }
  return hints;
}

std::optional<TileHints::Plan> TileHints::plan(const Hint& hint, bool splitting, WindowID window,
                                               const LiveTiles& session, const World& world) {
  if (!session.tiling(hint.displayID)) return std::nullopt;
  bool splits = splitting && hint.occupant;
  TileDrag drag;
  drag.window = window;
  drag.session = session;
  drag.offered = {hint.displayID};
  TileDrag::Landing landing{hint.displayID,
                            splits ? splitOf(hint.tile, hint.frame) : DropTarget::tile(hint.tile),
                            {},
                            splits ? std::nullopt : hint.occupant};
  Tilings after = drag.dropped(landing);

  Plan plan{window, hint.displayID, landing.target, {}, session, landing.occupant, {}, {}};
  plan.session.adopt(after, world);
  auto before = tiledWindows(session.tilings);
  for (auto tiled : tiledWindows(after))
    if (!before.contains(tiled)) plan.joined.insert(tiled);
  for (const auto& [displayID, tiling] : after) {
    const Tiling* old = session.tiling(displayID);
    if (old && *old == tiling) continue;
    for (const auto& [id, frame] : plan.session.frames(displayID)) {
      const auto* snapshot = windowWithID(world, id);
      if (!snapshot || differsByMoreThanHalfAPoint(snapshot->frame, frame)) plan.frames[id] = frame;
    }
  }
  // An occupant trading with a free window leaves the tiles for that window's old place.
  if (landing.occupant && !tiledWindows(after).contains(*landing.occupant))
    if (const auto* moved = windowWithID(world, window))
      plan.frames[*landing.occupant] = moved->frame;
  if (auto solution = plan.session.solved(hint.displayID)) plan.tiles = solution->tileFrames;
  return plan;
}

}  // namespace kestles
