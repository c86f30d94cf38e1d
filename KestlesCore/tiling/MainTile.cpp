#include "KestlesCore/tiling/MainTile.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {
namespace {

/// The slots as the recorded trade left them.
std::vector<std::optional<std::uint32_t>> afterTrade(const MainTile::Pair& pair) {
  auto slots = pair.windows;
  for (auto& slot : slots) {
    if (slot == pair.main)
      slot = pair.partner;
    else if (slot == pair.partner)
      slot = pair.main;
  }
  return slots;
}

bool tradesBack(std::uint32_t front, const Tiling& tiling,
                const std::optional<MainTile::Pair>& last) {
  return last && last->displayID == tiling.displayID && last->main == front &&
         last->windows.size() == tiling.windows.size() && tiling.windows == afterTrade(*last);
}

MainTile::Plan planOf(Tiling changed, const DisplayInfo& display, const Gaps& gaps,
                      const World& world) {
  MainTile::Plan plan;
  plan.frames = framesToMove(changed, display, gaps, world);
  plan.tilings.emplace(changed.displayID, std::move(changed));
  return plan;
}

}  // namespace

std::optional<int> MainTile::biggestTile(const LayoutSolution& solution, const CGRect& visible) {
  double area = std::max(visible.area(), 1.0);
  std::optional<int> biggest;
  double largest = 0;
  for (std::size_t i = 0; i < solution.tileFrames.size(); ++i) {
    double share = solution.tileFrames[i].area() / area;
    if (!biggest || share > largest + 0.001) {
      biggest = static_cast<int>(i);
      largest = share;
    }
  }
  return biggest;
}

std::optional<MainTile::Plan> MainTile::make(std::uint32_t front, const World& world,
                                             const Tilings& tilings, const Gaps& gaps,
                                             const std::optional<Pair>& last) {
  const Tiling* current = tilingHolding(tilings, front);
  if (!current) return std::nullopt;
  auto display = displayOf(*current, world);
  if (!display) return std::nullopt;
  Tiling changed = *current;

  if (tradesBack(front, changed, last)) {
    changed.windows = last->windows;
    if (changed.zoomed && changed.tileOf(*changed.zoomed) != current->tileOf(*changed.zoomed))
      changed.zoomed.reset();
    auto plan = planOf(std::move(changed), *display, gaps, world);
    plan.partner = last->partner;
    return plan;
  }

  auto biggest = biggestTile(solved(changed, *display, gaps, world), display->visibleFrame);
  auto slot = changed.tileOf(front);
  if (!biggest || *biggest == *slot) return std::nullopt;
  auto partner = changed.windowIn(*biggest);
  auto before = changed.windows;
  changed.swap(*slot, *biggest);
  auto plan = planOf(std::move(changed), *display, gaps, world);
  plan.partner = partner;
  if (partner) plan.pair = Pair{current->displayID, front, *partner, std::move(before)};
  return plan;
}

void to_json(nlohmann::json& json, const MainTile::Pair& pair) {
  json = {{"displayID", pair.displayID},
          {"main", pair.main},
          {"partner", pair.partner},
          {"windows", slotsJSON(pair.windows)}};
}

void from_json(const nlohmann::json& json, MainTile::Pair& pair) {
  coding::requireObject(json, "a make-main pair");
  pair.displayID = coding::required<std::string>(json, "displayID");
  pair.main = coding::required<std::uint32_t>(json, "main");
  pair.partner = coding::required<std::uint32_t>(json, "partner");
  pair.windows = slotsFromJSON(coding::member(json, "windows"));
}

}  // namespace kestles
