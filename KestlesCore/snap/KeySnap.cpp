#include "KestlesCore/snap/KeySnap.hpp"

#include <algorithm>
#include <cmath>

#include "KestlesCore/snap/Snapper.hpp"
#include "KestlesCore/tiling/Neighbour.hpp"

namespace kestles {
namespace {

KeySnap::Plan movingTo(const KeySnap::Planner& planner, const CGRect& frame,
                       const std::string& displayID) {
  KeySnap::Plan plan;
  plan.window = planner.window;
  plan.frames.emplace(planner.window, frame);
  plan.frame = frame;
  plan.displayID = displayID;
  return plan;
}

std::optional<KeySnap::Plan> onDisplay(const KeySnap::Planner& planner,
                                       std::optional<CGRect> frame) {
  if (!frame) return std::nullopt;
  return movingTo(planner, *frame, planner.display.id);
}

std::optional<KeySnap::Plan> restored(const KeySnap::Planner& planner) {
  auto entry = planner.memory.entry(planner.window);
  if (!entry) return std::nullopt;
  // A frame left on no display (its display was disconnected) is not given back: the window
  // would vanish off screen.
  auto display = planner.setup.display(entry->original);
  if (!display || display->frame.intersectionArea(entry->original) <= 0) return std::nullopt;
  auto plan = movingTo(planner, entry->original, display->id);
  plan.forgets = true;
  return plan;
}

std::optional<KeySnap::Plan> carried(const KeySnap::Planner& planner, int direction) {
  auto order = KeySnap::displayOrder(planner.setup);
  if (order.size() < 2) return std::nullopt;
  auto here = std::find_if(order.begin(), order.end(),
                           [&](const DisplayInfo& d) { return d.id == planner.display.id; });
  if (here == order.end()) return std::nullopt;
  auto count = static_cast<std::ptrdiff_t>(order.size());
  auto index = ((here - order.begin()) + direction + count) % count;
  const DisplayInfo& target = order[static_cast<std::size_t>(index)];
  return movingTo(planner,
                  Snapper::carried(planner.frame, planner.display.visibleFrame, target.visibleFrame,
                                   planner.gaps),
                  target.id);
}

std::optional<KeySnap::Plan> filled(const KeySnap::Planner& planner) {
  std::vector<CGRect> others;
  others.reserve(planner.sessionFrames.size());
  for (const auto& [window, frame] : planner.sessionFrames)
    if (window != planner.window) others.push_back(frame);
  return onDisplay(planner, Snapper::fillSpace(planner.frame, others, planner.display.visibleFrame,
                                               planner.gaps));
}

/// The frames the tiles show: each window at its tile, a zoomed one over the whole area.
std::map<std::uint32_t, CGRect> shownFrames(const LiveTiles& session, const Tiling& tiling,
                                            const DisplayInfo& display) {
  auto frames = tiling.frames(display.visibleFrame, session.gaps, session.minimums());
  if (tiling.zoomed)
    if (auto whole = Snapper::placeFrame(SnapAction::maximize, display.visibleFrame, session.gaps))
      frames[*tiling.zoomed] = *whole;
  return frames;
}

/// The plan after the display's tiling changed: every window whose shown frame changed moves.
KeySnap::Plan retiled(const KeySnap::Planner& planner, const DisplayInfo& display,
                      const Tiling& changed) {
  const auto& session = *planner.session;
  auto before = shownFrames(session, *session.tiling(display.id), display);
  auto after = shownFrames(session, changed, display);
  KeySnap::Plan plan;
  plan.window = planner.window;
  plan.displayID = display.id;
  plan.frame = after.count(planner.window) ? after.at(planner.window) : planner.frame;
  for (const auto& [window, frame] : after) {
    auto old = before.find(window);
    if (old == before.end() || old->second != frame) plan.frames.emplace(window, frame);
  }
  plan.context = changed.solve(display.visibleFrame, session.gaps, session.minimums()).tileFrames;
  plan.session = session;
  plan.session->tilings[display.id] = changed;
  return plan;
}

/// The tile that covers most of the place; among tiles covering about as much, the window's own
/// tile, then the one nearest to it, then the lower slot. Nothing when no tile meets the place.
std::optional<int> slotCovering(const CGRect& place, int own, const std::vector<CGRect>& tiles) {
  const CGPoint from = tiles[static_cast<std::size_t>(own)].center();
  auto distance = [&](const CGRect& tile) {
    return std::hypot(tile.midX() - from.x, tile.midY() - from.y);
  };
  // Rounded tiles differ by a point here and there: areas within a two-point strip along the
  // place's longer side count as equal.
  const double tie = 2 * std::max(place.width(), place.height());
  std::optional<int> best;
  double bestArea = 0;
  for (int i = 0; i < static_cast<int>(tiles.size()); ++i) {
    const CGRect& tile = tiles[static_cast<std::size_t>(i)];
    double area = tile.intersectionArea(place);
    if (area <= 0.5) continue;
    bool wins = !best || area > bestArea + tie;
    if (!wins && std::abs(area - bestArea) <= tie)
      wins = *best != own &&
             (i == own || distance(tile) < distance(tiles[static_cast<std::size_t>(*best)]));
    if (wins) {
      best = i;
      bestArea = area;
    }
  }
  return best;
}

/// The slot a place or move sends the window to: for a move the neighbouring tile that way,
/// for a place the tile covering most of the place.
std::optional<int> tradedSlot(SnapAction action, int slot, const std::vector<CGRect>& tiles,
                              const DisplayInfo& display, const Gaps& gaps) {
  if (auto edge = Snapper::moveEdge(action)) {
    auto beside = neighbour(static_cast<std::size_t>(slot), *edge, tiles);
    if (!beside) return std::nullopt;
    return static_cast<int>(*beside);
  }
  auto place = Snapper::placeFrame(action, display.visibleFrame, gaps);
  if (!place) return std::nullopt;
  return slotCovering(*place, slot, tiles);
}

std::optional<KeySnap::Plan> traded(SnapAction action, const KeySnap::Planner& planner,
                                    const DisplayInfo& display, const Tiling& tiling) {
  const auto& session = *planner.session;
  auto slot = tiling.tileOf(planner.window);
  auto tiles = tiling.solve(display.visibleFrame, session.gaps, session.minimums()).tileFrames;
  auto target = tradedSlot(action, *slot, tiles, display, session.gaps);
  if (!target || *target == *slot) return std::nullopt;
  Tiling changed = tiling;
  if (!changed.swap(*slot, *target)) return std::nullopt;
  return retiled(planner, display, changed);
}

std::optional<KeySnap::Plan> zoomedPlan(const KeySnap::Planner& planner, const DisplayInfo& display,
                                        const Tiling& tiling, bool zooming) {
  Tiling changed = tiling;
  if (!changed.zoom(zooming ? std::optional(planner.window) : std::nullopt)) return std::nullopt;
  auto plan = retiled(planner, display, changed);
  plan.zooms = zooming;
  return plan;
}

/// Carries a tiled window to another display: it leaves its tile (the tile stays, empty) and
/// takes the first empty tile of the target's tiling, else the carried free frame.
std::optional<KeySnap::Plan> carriedOut(const KeySnap::Planner& planner, int direction) {
  auto free = carried(planner, direction);
  if (!free) return std::nullopt;
  auto session = *planner.session;
  Tiling& left = session.tilings[planner.display.id];
  left.remove(planner.window);
  if (left.zoomed == planner.window) left.zoomed.reset();
  free->context.clear();
  auto target = session.tilings.find(free->displayID);
  auto display = planner.setup.displayWithID(free->displayID);
  if (target != session.tilings.end() && display && target->second.restore(planner.window, -1)) {
    auto frames = target->second.frames(display->visibleFrame, session.gaps, session.minimums());
    free->frame = frames.at(planner.window);
    free->frames[planner.window] = free->frame;
  }
  free->session = std::move(session);
  return free;
}

}  // namespace

void KeySnap::Plan::record(SnapMemory& memory, const CGRect& previous) const {
  if (forgets)
    memory.forget(window);
  else
    memory.remember(window, previous, frame);
  for (const auto& [other, moved] : frames)
    if (other != window) memory.updateFrame(other, moved);
}

std::optional<KeySnap::Plan> KeySnap::tiledPlan(SnapAction action, const Planner& planner) {
  const Tiling* tiling = planner.session ? planner.session->tiling(planner.display.id) : nullptr;
  if (!tiling || !tiling->contains(planner.window)) return std::nullopt;
  switch (action) {
    case SnapAction::maximize:
    case SnapAction::almostMaximize:
      return zoomedPlan(planner, planner.display, *tiling, true);
    case SnapAction::restore:
      return zoomedPlan(planner, planner.display, *tiling, false);
    case SnapAction::nextDisplay:
      return carriedOut(planner, 1);
    case SnapAction::previousDisplay:
      return carriedOut(planner, -1);
    case SnapAction::fillSpace:
    case SnapAction::larger:
    case SnapAction::smaller:
    case SnapAction::maximizeHeight:
    case SnapAction::maximizeWidth:
      return std::nullopt;
    default:
      return traded(action, planner, planner.display, *tiling);
  }
}

std::optional<KeySnap::Plan> KeySnap::plan(SnapAction action, const Planner& planner) {
  if (planner.session)
    if (const Tiling* tiling = planner.session->tiling(planner.display.id);
        tiling && tiling->contains(planner.window))
      return tiledPlan(action, planner);
  switch (action) {
    case SnapAction::fillSpace:
      return filled(planner);
    case SnapAction::restore:
      return restored(planner);
    case SnapAction::nextDisplay:
      return carried(planner, 1);
    case SnapAction::previousDisplay:
      return carried(planner, -1);
    case SnapAction::moveLeft:
    case SnapAction::moveRight:
    case SnapAction::moveUp:
    case SnapAction::moveDown:
    case SnapAction::larger:
    case SnapAction::smaller:
      return onDisplay(planner, Snapper::frame(action, planner.frame, planner.display.visibleFrame,
                                               planner.gaps));
    default: {
      auto frame =
          Snapper::frame(action, planner.frame, planner.display.visibleFrame, planner.gaps);
      if (frame && Snapper::edgesWithin(*frame, planner.frame, Snapper::placeTolerance))
        return std::nullopt;
      return onDisplay(planner, frame);
    }
  }
}

std::optional<KeySnap::Plan> KeySnap::push(TileEdge edge, const Planner& planner) {
  return onDisplay(planner, Snapper::pushEdge(edge, planner.frame, planner.display.visibleFrame,
                                              planner.gaps.outer));
}

std::vector<DisplayInfo> KeySnap::displayOrder(const DisplaySetup& setup) {
  auto order = setup.displays;
  std::stable_sort(order.begin(), order.end(), [](const DisplayInfo& a, const DisplayInfo& b) {
    if (a.frame.minX() != b.frame.minX()) return a.frame.minX() < b.frame.minX();
    return a.frame.minY() < b.frame.minY();
  });
  return order;
}

}  // namespace kestles
