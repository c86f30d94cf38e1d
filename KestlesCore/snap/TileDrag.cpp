#include "KestlesCore/snap/TileDrag.hpp"

#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {
namespace {

/// The window's display and slot among the tilings, if it is tiled.
std::optional<std::pair<std::string, int>> placeOf(const Tilings& tilings, std::uint32_t window) {
  for (const auto& [displayID, tiling] : tilings)
    if (auto slot = tiling.tileOf(window)) return std::pair{displayID, *slot};
  return std::nullopt;
}

void trade(Tilings& tilings, const TileDrag::Landing& landing, std::uint32_t window) {
  Tiling& target = tilings.at(landing.displayID);
  int index = landing.target.tileIndex();
  auto from = placeOf(tilings, window);
  if (from && from->first == landing.displayID) {
    target.swap(from->second, index);
    return;
  }
  if (landing.occupant) target.remove(*landing.occupant);
  if (from) {
    tilings.at(from->first).remove(window);
    if (landing.occupant) tilings.at(from->first).restore(*landing.occupant, from->second);
  }
  target.restore(window, index);
}

void split(Tilings& tilings, const TileDrag::Landing& landing, const DropTarget::Beside& beside,
           std::uint32_t window) {
  Tiling& target = tilings.at(landing.displayID);
  auto tile = target.tileID(beside.index);
  auto from = placeOf(tilings, window);
  if (from && from->first == landing.displayID) {
    // The same arrangement is rearranged: the tile left behind closes rather than stay a hole.
    target.closeTile(from->second, true);
  } else if (from) {
    tilings.at(from->first).remove(window);
  }
  auto index = tile ? target.tileIndex(*tile) : std::nullopt;
  if (!index) return;
  if (auto inserted = target.insert(*index, beside.edge)) target.restore(window, *inserted);
}

}  // namespace

Tilings TileDrag::settled() const {
  Tilings tilings = session.tilings;
  for (const auto& [displayID, before] : unswapped) {
    if (before)
      tilings[displayID] = *before;
    else
      tilings.erase(displayID);
  }
  return tilings;
}

std::optional<TileDrag::Landing> TileDrag::landing(CGPoint point) const {
  auto display = session.setup.display(point);
  // The setup answers the nearest display for a point off every display; a drag there is
  // over no tiles.
  if (!display || !display->frame.contains(point) || !offered.count(display->id))
    return std::nullopt;
  Tilings tilings = settled();
  auto tiling = tilings.find(display->id);
  if (tiling == tilings.end()) return std::nullopt;
  auto tiles =
      tiling->second.solve(display->visibleFrame, session.gaps, session.minimums()).tileFrames;
  auto target = DropTarget::target(point, tiles, splitBand);
  if (!target || tiling->second.windowIn(target->tileIndex()) == window) return std::nullopt;
  Landing landing{display->id, *target, {}, std::nullopt};
  if (std::holds_alternative<DropTarget::Tile>(target->value))
    landing.occupant = tiling->second.windowIn(target->tileIndex());
  auto after = dropped(landing);
  auto frames =
      after.at(display->id).frames(display->visibleFrame, session.gaps, session.minimums());
  auto frame = frames.find(window);
  if (frame == frames.end()) return std::nullopt;
  landing.frame = frame->second;
  return landing;
}

Tilings TileDrag::dropped(const Landing& landing) const {
  Tilings tilings = settled();
  if (!tilings.count(landing.displayID)) return tilings;
  if (auto beside = std::get_if<DropTarget::Beside>(&landing.target.value))
    split(tilings, landing, *beside, window);
  else
    trade(tilings, landing, window);
  return tilings;
}

std::optional<TileDrag::Landing> TileDrag::hover(CGPoint point) {
  auto found = landing(point);
  session.tilings = settled();
  unswapped.clear();
  if (!found || !found->occupant) return found;
  Tilings traded = dropped(*found);
  for (const auto& [displayID, tiling] : traded) {
    auto before = session.tilings.find(displayID);
    if (before == session.tilings.end() || before->second != tiling)
      unswapped[displayID] =
          before == session.tilings.end() ? std::nullopt : std::optional<Tiling>(before->second);
  }
  session.tilings = std::move(traded);
  return found;
}

}  // namespace kestles
