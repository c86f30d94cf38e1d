// How a kestle becomes a plan: its arrangement's pins take the apps' windows, tile by tile.
#include <algorithm>
#include <map>
#include <set>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/apply/ArrangementChoice.hpp"
#include "KestlesCore/apply/PlanBuilding.hpp"

namespace kestles {
namespace {

/// Each app's windows that may take a pinned tile, best first, handed out one at a time.
class Candidates {
 public:
  explicit Candidates(const planning::WorldIndex& index) {
    for (const auto& window : index.world().windows)
      if (!index.isFullScreen(window)) groups_[window.bundleID].windows.push_back(&window);
    // Windows in sight before minimized ones and those of hidden apps; nearer the front first.
    for (auto& [bundleID, group] : groups_)
      std::stable_sort(group.windows.begin(), group.windows.end(), [&](auto* a, auto* b) {
        bool aAway = index.isOutOfSight(*a), bAway = index.isOutOfSight(*b);
        if (aAway != bAway) return bAway;
        return a->zIndex < b->zIndex;
      });
  }

  /// The app's next unused window, or null when it has none left.
  const WindowSnapshot* take(const std::string& bundleID) {
    auto found = groups_.find(bundleID);
    if (found == groups_.end()) return nullptr;
    auto& group = found->second;
    return group.next < group.windows.size() ? group.windows[group.next++] : nullptr;
  }

 private:
  struct Group {
    std::vector<const WindowSnapshot*> windows;
    std::size_t next = 0;
  };
  std::map<std::string, Group> groups_;
};

struct DisplayMoves {
  std::string displayID;
  std::vector<ApplyPlan::Move> moves;
};

void addPendingTile(ApplyPlan& plan, const AppRef& app, bool isRunning,
                    ApplyPlan::PendingTile tile) {
  auto launch = std::find_if(plan.launches.begin(), plan.launches.end(),
                             [&](const auto& l) { return l.app.bundleID == app.bundleID; });
  if (launch == plan.launches.end()) {
    plan.launches.push_back({app, isRunning, {}});
    launch = std::prev(plan.launches.end());
  }
  launch->tiles.push_back(std::move(tile));
}

/// Other displays' moves first, the active display's last; focus goes to the lowest tile
/// of the active display, else of the plan's first display.
void orderMovesAndFocus(ApplyPlan& plan, const std::vector<DisplayMoves>& displays,
                        const std::optional<std::string>& activeDisplayID) {
  const DisplayMoves* active = nullptr;
  for (const auto& display : displays) {
    if (activeDisplayID && display.displayID == *activeDisplayID) {
      active = &display;
      continue;
    }
    plan.moves.insert(plan.moves.end(), display.moves.begin(), display.moves.end());
  }
  if (active) plan.moves.insert(plan.moves.end(), active->moves.begin(), active->moves.end());
  const DisplayMoves* focused = active ? active : (displays.empty() ? nullptr : &displays[0]);
  if (focused && !focused->moves.empty()) plan.focus = focused->moves.front().window;
}

}  // namespace

ApplyPlan ApplyPlan::forKestle(const Kestle& kestle, const World& world, const Gaps& gaps) {
  ApplyPlan plan;
  plan.title = kestle.name;
  plan.kestleID = kestle.id;
  plan.raises = true;
  auto choice = ArrangementChoice::forSetup(kestle, world.setup);
  if (!choice) return plan;
  if (choice->isDerived)
    plan.derivedArrangement = DerivedArrangement{world.setup.fingerprint(), choice->arrangement};

  planning::WorldIndex index(world);
  std::set<std::string> running, withWindows;
  for (const auto& app : world.apps)
    running.insert(app.bundleID);
  for (const auto& window : world.windows)
    withWindows.insert(window.bundleID);
  Candidates candidates(index);

  std::vector<DisplayMoves> displays;
  for (const auto& screen : choice->arrangement.screens) {
    auto display = world.setup.displayWithID(screen.display.displayID);
    // A second screen for a display already planned would take its windows twice.
    if (!display || plan.tilings.count(display->id)) continue;
    Tiling tiling{display->id, screen.shape, screen.layout, {}, std::nullopt};
    tiling.windows.resize(screen.shape.tileCount());
    std::vector<std::pair<int, AppRef>> pending;
    for (std::size_t tile = 0; tile < tiling.windows.size() && tile < screen.pins.size(); ++tile) {
      if (!screen.pins[tile]) continue;
      const AppRef& app = *screen.pins[tile];
      if (const auto* window = candidates.take(app.bundleID)) {
        tiling.windows[tile] = window->id;
      } else if (!withWindows.count(app.bundleID) && kestle.opensApps) {
        pending.emplace_back(static_cast<int>(tile), app);
      } else if (running.count(app.bundleID)) {
        plan.missing.push_back(app);
      }
    }
    auto frames = planning::tileFrames(tiling, *display, index, gaps);
    displays.push_back({display->id, planning::placeTiling(plan, tiling, frames, index)});
    for (const auto& [tile, app] : pending)
      if (static_cast<std::size_t>(tile) < frames.size())
        addPendingTile(plan, app, running.count(app.bundleID) > 0,
                       {display->id, tile, frames[static_cast<std::size_t>(tile)]});
  }
  orderMovesAndFocus(plan, displays, world.activeDisplayID);
  return plan;
}

}  // namespace kestles
