#include "KestlesCore/apply/PlanBuilding.hpp"

#include <algorithm>

#include "KestlesCore/layout/LayoutSolver.hpp"

namespace kestles::planning {

WorldIndex::WorldIndex(const World& world) : world_(world) {
  windows_.reserve(world.windows.size());
  for (const auto& window : world.windows)
    windows_.emplace(window.id, &window);
  for (const auto& app : world.apps)
    if (app.isHidden) hiddenPIDs_.insert(app.pid);
  for (const auto& [displayID, window] : world.fullScreen)
    fullScreenIDs_.insert(window);
}

const WindowSnapshot* WorldIndex::window(std::uint32_t id) const {
  auto found = windows_.find(id);
  return found == windows_.end() ? nullptr : found->second;
}

bool WorldIndex::isFullScreen(const WindowSnapshot& window) const {
  return window.isFullScreen || fullScreenIDs_.count(window.id) > 0;
}

bool WorldIndex::isOutOfSight(const WindowSnapshot& window) const {
  return window.isMinimized || isAppHidden(window.pid);
}

bool WorldIndex::isTileable(const WindowSnapshot& window) const {
  return !isOutOfSight(window) && !isFullScreen(window) &&
         world_.floating.count(window.bundleID) == 0;
}

std::vector<const WindowSnapshot*> windowsOnDisplay(const WorldIndex& index,
                                                    const DisplayInfo& display) {
  std::vector<const WindowSnapshot*> found;
  for (const auto& window : index.world().windows) {
    if (!index.isTileable(window)) continue;
    auto home = index.world().setup.display(window.frame);
    if (home && home->id == display.id) found.push_back(&window);
  }
  return found;
}

std::vector<CGRect> tileFrames(const Tiling& tiling, const DisplayInfo& display,
                               const WorldIndex& index, const Gaps& gaps) {
  std::vector<MinimumSize> minimums(tiling.windows.size());
  for (std::size_t slot = 0; slot < tiling.windows.size(); ++slot)
    if (tiling.windows[slot])
      if (const auto* window = index.window(*tiling.windows[slot]))
        minimums[slot] = window->minimumSize;
  return LayoutSolver::solve(tiling.shape, display.visibleFrame, gaps, minimums).tileFrames;
}

std::vector<ApplyPlan::Move> placeTiling(ApplyPlan& plan, const Tiling& tiling,
                                         const std::vector<CGRect>& frames,
                                         const WorldIndex& index) {
  plan.tilings[tiling.displayID] = tiling;
  plan.layouts[tiling.displayID] = tiling.layout;
  std::vector<ApplyPlan::Move> moves;
  for (std::size_t slot = 0; slot < tiling.windows.size() && slot < frames.size(); ++slot) {
    if (!tiling.windows[slot]) continue;
    const auto* window = index.window(*tiling.windows[slot]);
    if (!window) continue;
    moves.push_back(
        {window->id, window->pid, tiling.displayID, static_cast<int>(slot), frames[slot]});
    if (window->isMinimized) plan.unminimize.push_back(window->id);
    if (index.isAppHidden(window->pid) &&
        std::find(plan.unhide.begin(), plan.unhide.end(), window->pid) == plan.unhide.end())
      plan.unhide.push_back(window->pid);
  }
  return moves;
}

void addTiling(ApplyPlan& plan, const Tiling& tiling, const DisplayInfo& display,
               const WorldIndex& index, const Gaps& gaps) {
  auto moves = placeTiling(plan, tiling, tileFrames(tiling, display, index, gaps), index);
  plan.moves.insert(plan.moves.end(), moves.begin(), moves.end());
}

}  // namespace kestles::planning
