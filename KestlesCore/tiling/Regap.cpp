#include "KestlesCore/tiling/Regap.hpp"

namespace kestles {

std::optional<Regap::Plan> Regap::make(const GapsChange& change, const Gaps& current,
                                       const World& world, const Tilings& tilings) {
  auto gaps = current.applying(change);
  if (!gaps) return std::nullopt;
  Plan plan;
  plan.gaps = *gaps;
  for (const auto& [displayID, tiling] : tilings) {
    auto display = displayOf(tiling, world);
    if (!display) continue;
    for (const auto& [id, frame] :
         tiling.frames(display->visibleFrame, *gaps, knownMinimums(world)))
      if (windowWithID(world, id)) plan.frames.emplace(id, frame);
    plan.tilings.emplace(displayID, tiling);
  }
  return plan;
}

}  // namespace kestles
