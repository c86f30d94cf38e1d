#include "KestlesCore/apply/RuleAction.hpp"

#include "KestlesCore/layout/Template.hpp"

namespace kestles {

ApplyTarget RuleAction::target() const {
  if (const auto* adapt = std::get_if<Adapt>(&value)) return ApplyTarget::kestle(adapt->kestle);
  if (const auto* layout = std::get_if<Layout>(&value))
    return ApplyTarget::layout(layout->entry, layout->display.id);
  return ApplyTarget::tilesBack(std::get<TilesBack>(value).tilings);
}

std::optional<LayoutEntry> resolvedLayout(const LayoutRef& ref, const Library& library) {
  if (auto id = ref.savedID()) {
    if (const auto* saved = library.layout(*id)) return LayoutEntry::saved(*saved);
    return std::nullopt;
  }
  const auto& identifier = std::get<LayoutRef::Template>(ref.value).identifier;
  if (const auto* layoutTemplate = Template::withID(identifier))
    return LayoutEntry::templateEntry(*layoutTemplate);
  return std::nullopt;
}

std::optional<Kestle> currentKestleUnderRules(const Library& library) {
  if (!library.settings.rulesEnabled) return std::nullopt;
  for (const auto& rule : library.rules) {
    if (!resolvedLayout(rule.layout, library)) continue;
    if (const auto* current = library.currentKestle()) return *current;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace kestles

std::size_t std::hash<kestles::RuleAction>::operator()(
    const kestles::RuleAction& action) const noexcept {
  using kestles::RuleAction;
  std::size_t seed = action.value.index();
  auto mix = [&](std::size_t part) { seed = seed * 31 + part; };
  if (const auto* adapt = std::get_if<RuleAction::Adapt>(&action.value)) {
    mix(std::hash<kestles::UUID>()(adapt->kestle.id));
  } else if (const auto* layout = std::get_if<RuleAction::Layout>(&action.value)) {
    mix(std::hash<kestles::LayoutRef>()(layout->entry.reference()));
    mix(std::hash<std::string>()(layout->display.id));
  } else {
    for (const auto& tiling : std::get<RuleAction::TilesBack>(action.value).tilings) {
      mix(std::hash<std::string>()(tiling.displayID));
      for (const auto& slot : tiling.windows)
        mix(slot ? *slot : 0xFFFFFFFFu);
    }
  }
  return seed;
}
