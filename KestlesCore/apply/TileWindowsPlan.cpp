#include "KestlesCore/apply/TileWindowsPlan.hpp"

#include <algorithm>
#include <set>

#include "KestlesCore/apply/ApplyTexts.hpp"
#include "KestlesCore/apply/PlanBuilding.hpp"
#include "KestlesCore/apply/TileArrangement.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"

namespace kestles {
namespace {

template <class... Cases>
struct Overloaded : Cases... {
  using Cases::operator()...;
};
template <class... Cases>
Overloaded(Cases...) -> Overloaded<Cases...>;

/// The bundle id the filter keeps, nothing for all apps; an empty id when no app qualifies.
std::optional<std::string> keptBundle(const TileApps& apps, const planning::WorldIndex& index,
                                      std::optional<std::uint32_t> focused) {
  return std::visit(
      Overloaded{
          [](const TileApps::All&) -> std::optional<std::string> { return std::nullopt; },
          [&](const TileApps::Front&) -> std::optional<std::string> {
            auto front = frontWindowOf(index.world(), focused);
            const auto* window = front ? index.window(*front) : nullptr;
            return window ? window->bundleID : std::string();
          },
          [&](const TileApps::Named& named) -> std::optional<std::string> {
            const auto* app = appNamed(named.name, index.world());
            return app ? app->bundleID : std::string();
          },
      },
      apps.value);
}

/// The windows to tile: those of the current tiling in slot order, then the rest front to
/// back, so that tiling again keeps the order the user arranged.
std::vector<const WindowSnapshot*> orderedWindows(std::vector<const WindowSnapshot*> windows,
                                                  const Tiling* current) {
  auto rank = [&](const WindowSnapshot* window) -> std::pair<std::int64_t, std::int64_t> {
    if (current)
      if (auto slot = current->tileOf(window->id)) return {0, *slot};
    return {1, window->zIndex};
  };
  std::stable_sort(windows.begin(), windows.end(),
                   [&](const auto* a, const auto* b) { return rank(a) < rank(b); });
  return windows;
}

const Tiling* currentTiling(const TileContext& context, const std::string& displayID) {
  if (!context.tilings) return nullptr;
  auto found = context.tilings->find(displayID);
  return found == context.tilings->end() ? nullptr : &found->second;
}

}  // namespace

std::optional<std::uint32_t> frontWindowOf(const World& world,
                                           std::optional<std::uint32_t> focused) {
  if (focused)
    for (const auto& window : world.windows)
      if (window.id == *focused) return focused;
  std::set<std::int32_t> hidden;
  for (const auto& app : world.apps)
    if (app.isHidden) hidden.insert(app.pid);
  const WindowSnapshot* front = nullptr;
  for (const auto& window : world.windows)
    if (!window.isMinimized && !hidden.count(window.pid) &&
        (!front || window.zIndex < front->zIndex))
      front = &window;
  return front ? std::optional(front->id) : std::nullopt;
}

const AppSnapshot* appNamed(std::string_view name, const World& world) {
  auto index = text::matchName(name, world.apps, [](const AppSnapshot& app) { return app.name; });
  return index ? &world.apps[*index] : nullptr;
}

ApplyPlan tileWindowsPlan(std::string_view displayID, const TileApps& apps, TilingStyle style,
                          const World& world, const Gaps& gaps, const TileContext& context) {
  ApplyPlan plan;
  plan.title = std::holds_alternative<TileApps::All>(apps.value) ? apply_texts::kTileWindows
                                                                 : apply_texts::kTileAppWindows;
  plan.raises = true;
  auto display = world.setup.displayWithID(displayID);
  if (!display) return plan;
  planning::WorldIndex index(world);
  auto bundle = keptBundle(apps, index, context.front);
  auto windows = planning::windowsOnDisplay(index, *display);
  if (bundle)
    std::erase_if(windows, [&](const auto* window) { return window->bundleID != *bundle; });
  windows = orderedWindows(std::move(windows), currentTiling(context, display->id));
  int count = std::min(static_cast<int>(windows.size()),
                       largestTileCount(style, display->visibleFrame.size));
  if (count == 0) return plan;
  windows.resize(static_cast<std::size_t>(count));

  std::vector<CGRect> frames;
  std::vector<MinimumSize> minimums;
  std::vector<Tiling::WindowID> ids;
  for (const auto* window : windows) {
    frames.push_back(window->frame);
    minimums.push_back(window->minimumSize);
    ids.push_back(window->id);
  }
  auto choice = chooseArrangement(styleArrangements(count, *display, style, gaps), frames, minimums,
                                  *display, gaps);
  plan.arrangement = choice.chosen.name;
  plan.nextArrangement = choice.next;
  auto tiling = Tiling::make(display->id, choice.chosen.shape, std::nullopt, ids);
  planning::addTiling(plan, tiling, *display, index, gaps);
  return plan;
}

ApplyPlan tileAllDisplaysPlan(TilingStyle style, const World& world, const Gaps& gaps,
                              const TileContext& context) {
  ApplyPlan plan;
  plan.title = apply_texts::kTileAllDisplays;
  plan.raises = true;
  std::vector<ApplyPlan::Move> activeMoves;
  for (const auto& display : world.setup.displays) {
    auto one = tileWindowsPlan(display.id, TileApps::all(), style, world, gaps, context);
    if (one.tilings.empty()) continue;
    plan.tilings.merge(one.tilings);
    plan.layouts.merge(one.layouts);
    bool isActive = world.activeDisplayID == display.id;
    auto& moves = isActive ? activeMoves : plan.moves;
    moves.insert(moves.end(), one.moves.begin(), one.moves.end());
    if (isActive || !plan.arrangement) {
      plan.arrangement = one.arrangement;
      plan.nextArrangement = one.nextArrangement;
    }
  }
  plan.moves.insert(plan.moves.end(), activeMoves.begin(), activeMoves.end());
  return plan;
}

}  // namespace kestles
