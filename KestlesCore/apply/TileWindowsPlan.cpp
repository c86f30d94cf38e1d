#include "KestlesCore/apply/TileWindowsPlan.hpp"

#include <algorithm>
#include <set>

#include "KestlesCore/apply/ApplyTexts.hpp"
#include "KestlesCore/apply/PlanBuilding.hpp"
#include "KestlesCore/model/Overloaded.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"
#include "KestlesCore/tiling/Suggestions.hpp"

namespace kestles {
namespace {

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

/// The display's suggestions board for the windows, with the context's saved layouts and
/// memory, the style's shape among its candidates, and "Fill" when the windows already stand
/// in an arrangement that can be read off the screen.
Suggestions::Board boardFor(const DisplayInfo& display,
                            const std::vector<const WindowSnapshot*>& windows, TilingStyle style,
                            const Gaps& gaps, const TileContext& context) {
  Suggestions::Request request;
  request.display = display;
  for (const auto* window : windows)
    request.windows.push_back(*window);
  request.savedLayouts = context.savedLayouts;
  request.style = style;
  request.gaps = gaps;
  request.memory = context.memory;
  request.styleLeads = context.styleLeads;
  request.fromScreen = Suggestions::FromScreen::readOff(request.windows, display.visibleFrame);
  return Suggestions::board(request);
}

/// The front-most windows first, so that those beyond the largest count are the back ones.
void keepFrontMost(std::vector<const WindowSnapshot*>& windows, int count) {
  std::stable_sort(windows.begin(), windows.end(),
                   [](const auto* a, const auto* b) { return a->zIndex < b->zIndex; });
  windows.resize(static_cast<std::size_t>(count));
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
  int total = static_cast<int>(windows.size());
  int count = std::min(total, largestTileCount(style, display->visibleFrame.size));
  if (count == 0) return plan;
  if (count < total)
    plan.leftOut.push_back({display->name, std::string(title(style)), count, total});
  keepFrontMost(windows, count);

  auto board = boardFor(*display, windows, style, gaps, context);
  std::optional<SuggestionStep> last;
  if (context.lastSuggestion) last = *context.lastSuggestion;
  if (context.styleLeads && !board.suggestions.empty()) {
    // A step that began with another lead (another style, or none) is no press of this
    // style again: the style's own shape comes first.
    if (last && (last->order.empty() || last->order.front() != board.suggestions.front().id))
      last.reset();
  }
  std::vector<std::uint32_t> ids;
  for (const auto* window : windows)
    ids.push_back(window->id);
  auto choice = chooseSuggestion(board, ids, last);
  if (!choice) return plan;
  const auto& chosen = board.suggestions[choice->index];
  auto arrangement = chosen.arrangement(display->id);
  if (!arrangement) return plan;
  plan.arrangement = chosen.title;
  if (choice->next) plan.nextArrangement = board.suggestions[*choice->next].title;
  plan.suggestions.push_back({chosen.id, board.key, std::move(choice->step)});
  Tiling tiling = Tiling::make(display->id, arrangement->shape, arrangement->layout, {});
  tiling.windows = arrangement->windows;
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
    auto at = isActive ? plan.suggestions.end() : plan.suggestions.begin();
    plan.suggestions.insert(at, one.suggestions.begin(), one.suggestions.end());
    plan.leftOut.insert(plan.leftOut.end(), one.leftOut.begin(), one.leftOut.end());
  }
  plan.moves.insert(plan.moves.end(), activeMoves.begin(), activeMoves.end());
  return plan;
}

}  // namespace kestles
