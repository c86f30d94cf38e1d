#include "KestlesCore/apply/ApplyTarget.hpp"

#include "KestlesCore/apply/ApplyTexts.hpp"
#include "KestlesCore/apply/PlanBuilding.hpp"
#include "KestlesCore/model/Overloaded.hpp"

namespace kestles {
namespace {

/// The given display, else the active one, else the main one.
std::optional<std::string> chosenDisplay(const std::optional<std::string>& given,
                                         const World& world) {
  auto displayID = given ? given : world.activeDisplayID;
  if (!displayID)
    if (auto main = world.setup.fallback()) displayID = main->id;
  return displayID;
}

/// The arrangement's windows in their tiles; a window the world no longer has leaves its
/// tile empty rather than failing the whole arrangement.
ApplyPlan suggestionPlan(const Suggestion::Arrangement& arrangement, const World& world,
                         const Gaps& gaps) {
  ApplyPlan plan;
  plan.title = arrangement.title;
  plan.raises = true;
  plan.arrangement = arrangement.title;
  auto display = world.setup.displayWithID(arrangement.displayID);
  if (!display) return plan;
  planning::WorldIndex index(world);
  Tiling tiling = Tiling::make(display->id, arrangement.shape, arrangement.layout, {});
  tiling.windows = arrangement.windows;
  tiling.windows.resize(arrangement.shape.tileCount());
  for (auto& slot : tiling.windows)
    if (slot && !index.window(*slot)) slot.reset();
  planning::addTiling(plan, tiling, *display, index, gaps);
  return plan;
}

}  // namespace

bool ApplyTarget::Skipping::operator==(const Skipping& other) const {
  return windows == other.windows && *inner == *other.inner;
}

std::string ApplyTarget::title() const {
  return std::visit(
      Overloaded{
          [](const Layout& target) { return target.entry.name(); },
          [](const Kestle& target) { return target.kestle.name; },
          [](const TileWindows& target) {
            return std::string(std::holds_alternative<TileApps::All>(target.apps.value)
                                   ? apply_texts::kTileWindows
                                   : apply_texts::kTileAppWindows);
          },
          [](const TileAllDisplays&) { return std::string(apply_texts::kTileAllDisplays); },
          [](const TilesBack&) { return std::string(apply_texts::kTilesComeBack); },
          [](const Picked&) { return std::string(apply_texts::kTilePickedWindows); },
          [](const FromSuggestion& target) { return target.arrangement.title; },
          [](const Skipping& target) { return target.inner->title(); },
      },
      value);
}

std::optional<ApplyPlan> ApplyTarget::plan(const World& world, const Gaps& gaps,
                                           const TileContext& context) const {
  return std::visit(
      Overloaded{
          [&](const Layout& target) -> std::optional<ApplyPlan> {
            auto displayID = chosenDisplay(target.displayID, world);
            if (!displayID) return std::nullopt;
            return ApplyPlan::forLayout(target.entry, *displayID, world, gaps);
          },
          [&](const TileWindows& target) -> std::optional<ApplyPlan> {
            auto displayID = chosenDisplay(target.displayID, world);
            if (!displayID) return std::nullopt;
            auto led = context;
            led.styleLeads = target.styleLeads;
            return tileWindowsPlan(*displayID, target.apps, target.style, world, gaps, led);
          },
          [&](const TileAllDisplays& target) -> std::optional<ApplyPlan> {
            auto led = context;
            led.styleLeads = target.styleLeads;
            return tileAllDisplaysPlan(target.style, world, gaps, led);
          },
          [&](const Kestle& target) -> std::optional<ApplyPlan> {
            return ApplyPlan::forKestle(target.kestle, world, gaps);
          },
          [&](const TilesBack& target) -> std::optional<ApplyPlan> {
            return ApplyPlan::forTilings(target.tilings, world, gaps);
          },
          [&](const Picked& target) -> std::optional<ApplyPlan> {
            return ApplyPlan::forPick(target.pick, world, gaps);
          },
          [&](const FromSuggestion& target) -> std::optional<ApplyPlan> {
            return suggestionPlan(target.arrangement, world, gaps);
          },
          [&](const Skipping& target) -> std::optional<ApplyPlan> {
            return target.inner->plan(worldWithout(world, target.windows), gaps, context);
          },
      },
      value);
}

World worldWithout(const World& world, const std::set<std::uint32_t>& windows) {
  World copy = world;
  std::erase_if(copy.windows, [&](const auto& window) { return windows.count(window.id) > 0; });
  std::erase_if(copy.fullScreen,
                [&](const auto& entry) { return windows.count(entry.second) > 0; });
  return copy;
}

}  // namespace kestles
