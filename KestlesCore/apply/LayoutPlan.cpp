// Plans that put given windows into the tiles of one display at a time: a layout, picked
// windows, and tilings that come back.
#include <set>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/apply/ApplyTexts.hpp"
#include "KestlesCore/apply/PlanBuilding.hpp"

namespace kestles {

ApplyPlan ApplyPlan::forLayout(const LayoutEntry& entry, std::string_view displayID,
                               const World& world, const Gaps& gaps) {
  ApplyPlan plan;
  plan.title = entry.name();
  auto display = world.setup.displayWithID(displayID);
  if (!display) return plan;
  planning::WorldIndex index(world);
  Tiling tiling{display->id, entry.shape(), entry.reference(), {}, std::nullopt};
  tiling.windows.resize(entry.shape().tileCount());
  auto windows = planning::windowsOnDisplay(index, *display);
  for (std::size_t tile = 0; tile < tiling.windows.size() && tile < windows.size(); ++tile)
    tiling.windows[tile] = windows[tile]->id;
  planning::addTiling(plan, tiling, *display, index, gaps);
  return plan;
}

ApplyPlan ApplyPlan::forPick(const PickToTile::Pick& pick, const World& world, const Gaps& gaps) {
  ApplyPlan plan;
  plan.title = apply_texts::kTilePickedWindows;
  // The picked windows were chosen by hand: they come to the front and the first has focus.
  plan.raises = true;
  auto display = world.setup.displayWithID(pick.displayID);
  if (!display) return plan;
  planning::WorldIndex index(world);
  Tiling tiling{display->id, pick.choice.shape, pick.choice.layout, {}, std::nullopt};
  tiling.windows.resize(pick.choice.shape.tileCount());
  std::set<std::uint32_t> taken;
  std::size_t tile = 0;
  for (auto id : pick.windows) {
    if (tile == tiling.windows.size()) break;
    const auto* window = index.window(id);
    if (!window || index.isFullScreen(*window) || !taken.insert(id).second) continue;
    tiling.windows[tile++] = id;
  }
  planning::addTiling(plan, tiling, *display, index, gaps);
  if (!plan.moves.empty()) plan.focus = plan.moves.front().window;
  return plan;
}

ApplyPlan ApplyPlan::forTilings(const std::vector<Tiling>& tilings, const World& world,
                                const Gaps& gaps) {
  ApplyPlan plan;
  plan.title = apply_texts::kTilesComeBack;
  planning::WorldIndex index(world);
  std::set<std::uint32_t> taken;
  for (const auto& remembered : tilings) {
    auto display = world.setup.displayWithID(remembered.displayID);
    if (!display || plan.tilings.count(display->id)) continue;
    Tiling tiling = remembered;
    tiling.zoomed.reset();
    tiling.windows.resize(tiling.shape.tileCount());
    for (auto& slot : tiling.windows) {
      if (!slot) continue;
      const auto* window = index.window(*slot);
      // Windows the user put away or that went full screen since are left where they are.
      if (!window || index.isFullScreen(*window) || index.isOutOfSight(*window) ||
          !taken.insert(*slot).second)
        slot.reset();
    }
    planning::addTiling(plan, tiling, *display, index, gaps);
  }
  return plan;
}

}  // namespace kestles
