#include "KestlesCore/tiling/SwapMove.hpp"

#include "KestlesCore/tiling/Neighbour.hpp"

namespace kestles {

std::optional<SwapMove::Plan> SwapMove::make(std::uint32_t front, TileEdge toward,
                                             const World& world, const Tilings& tilings,
                                             const Gaps& gaps) {
  const Tiling* current = tilingHolding(tilings, front);
  if (!current) return std::nullopt;
  auto display = displayOf(*current, world);
  if (!display) return std::nullopt;
  int slot = *current->tileOf(front);
  auto tiles = solved(*current, *display, gaps, world).tileFrames;
  auto beside = neighbour(static_cast<std::size_t>(slot), toward, tiles);
  if (!beside) return std::nullopt;
  auto partner = current->windowIn(static_cast<int>(*beside));
  if (!partner) return std::nullopt;

  Tiling changed = *current;
  changed.swap(slot, static_cast<int>(*beside));
  auto frames = changed.frames(display->visibleFrame, gaps, knownMinimums(world));
  Plan plan;
  plan.partner = *partner;
  plan.frames = {{front, frames.at(front)}, {*partner, frames.at(*partner)}};
  plan.tilings.emplace(changed.displayID, std::move(changed));
  return plan;
}

}  // namespace kestles
