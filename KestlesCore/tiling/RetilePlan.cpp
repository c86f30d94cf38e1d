#include "KestlesCore/tiling/RetilePlan.hpp"

namespace kestles {

const Tiling* frontTiling(std::optional<std::uint32_t> front, const World& world,
                          const Tilings& tilings) {
  if (front)
    if (const Tiling* holding = tilingHolding(tilings, *front)) return holding;
  std::optional<std::string> displayID = world.activeDisplayID;
  if (const auto* window = front ? windowWithID(world, *front) : nullptr)
    if (auto display = world.setup.display(window->frame)) displayID = display->id;
  if (!displayID) return nullptr;
  auto found = tilings.find(*displayID);
  return found == tilings.end() ? nullptr : &found->second;
}

std::optional<Retile::Plan> Retile::Plan::make(const Retile& retile,
                                               std::optional<std::uint32_t> front,
                                               const World& world, const Tilings& tilings,
                                               const Gaps& gaps) {
  const Tiling* current = frontTiling(front, world, tilings);
  if (!current) return std::nullopt;
  auto display = displayOf(*current, world);
  if (!display) return std::nullopt;
  Tiling changed = *current;
  if (!changed.retile(retile, front)) return std::nullopt;
  Plan plan;
  plan.frames = framesToMove(changed, *display, gaps, world);
  plan.tiles = solved(changed, *display, gaps, world).tileFrames;
  plan.tilings.emplace(changed.displayID, std::move(changed));
  return plan;
}

}  // namespace kestles
