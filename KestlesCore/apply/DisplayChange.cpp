#include "KestlesCore/apply/DisplayChange.hpp"

#include <algorithm>
#include <set>

#include "KestlesCore/apply/ApplyTexts.hpp"
#include "KestlesCore/apply/ArrangementChoice.hpp"

namespace kestles {
namespace {

std::set<std::string> idsOf(const DisplaySetup& setup) {
  std::set<std::string> ids;
  for (const auto& display : setup.displays)
    ids.insert(display.id);
  return ids;
}

}  // namespace

std::optional<DisplayChange> DisplayChange::make(const DisplaySetup& previous,
                                                 const DisplaySetup& now) {
  auto before = idsOf(previous), after = idsOf(now);
  if (before == after) return std::nullopt;
  DisplayChange change{now, {}, {}};
  for (const auto& display : now.displays)
    if (!before.count(display.id)) change.connected.push_back(display);
  for (const auto& display : previous.displays)
    if (!after.count(display.id)) change.disconnected.push_back(DisplayKind::of(display));
  return change;
}

std::string DisplayChange::title() const {
  if (connected.size() == 1) return connected[0].name + std::string(apply_texts::kOneConnected);
  if (connected.size() > 1)
    return std::to_string(connected.size()) + std::string(apply_texts::kManyConnected);
  if (disconnected.size() == 1)
    return disconnected[0].name + std::string(apply_texts::kOneDisconnected);
  return std::to_string(disconnected.size()) + std::string(apply_texts::kManyDisconnected);
}

std::vector<RuleAction> DisplayChange::ruleActions(const std::vector<Tiling>& remembered,
                                                   const Library& library) const {
  const auto& settings = library.settings;
  const Kestle* current = library.currentKestle();
  if (current && settings.adaptsToDisplays && ArrangementChoice::forSetup(*current, setup))
    return {RuleAction{RuleAction::Adapt{*current}}};

  std::vector<RuleAction> actions;
  std::set<std::string> covered;
  if (settings.tilesComeBack) {
    std::vector<Tiling> kept;
    for (const auto& tiling : remembered)
      if (setup.displayWithID(tiling.displayID)) {
        kept.push_back(tiling);
        covered.insert(tiling.displayID);
      }
    if (!kept.empty()) actions.push_back({RuleAction::TilesBack{std::move(kept)}});
  }
  if (current || !settings.rulesEnabled) return actions;

  for (const auto& display : connected) {
    if (covered.count(display.id)) continue;
    auto rule = std::find_if(library.rules.begin(), library.rules.end(),
                             [&](const auto& r) { return r.display.displayID == display.id; });
    if (rule == library.rules.end()) continue;
    if (auto entry = resolvedLayout(rule->layout, library))
      actions.push_back({RuleAction::Layout{std::move(*entry), display}});
  }
  return actions;
}

}  // namespace kestles

std::size_t std::hash<kestles::DisplayChange>::operator()(
    const kestles::DisplayChange& change) const noexcept {
  std::size_t seed = std::hash<kestles::DisplaySetup>()(change.setup);
  for (const auto& display : change.connected)
    seed = seed * 31 + std::hash<std::string>()(display.id);
  for (const auto& kind : change.disconnected)
    seed = seed * 31 + std::hash<kestles::DisplayKind>()(kind);
  return seed;
}
