#include "KestlesCore/palette/PaletteIndex.hpp"

#include <algorithm>

#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

std::optional<int> best(const Fuzzy::Query& query, const std::vector<Fuzzy::Folded>& texts) {
  std::optional<int> top;
  for (const auto& text : texts)
    if (auto score = Fuzzy::score(query, text); score && (!top || *score > *top)) top = score;
  return top;
}

}  // namespace

PaletteIndex::PaletteIndex(std::vector<PaletteItem> items) {
  entries_.reserve(items.size());
  for (auto& item : items) {
    Entry entry;
    entry.titles.push_back(Fuzzy::Folded::of(item.title));
    if (item.subtitle) entry.titles.push_back(Fuzzy::Folded::of(*item.subtitle));
    for (const auto& keyword : item.keywords)
      entry.keywords.push_back(Fuzzy::Folded::of(keyword));
    entry.item = std::move(item);
    entries_.push_back(std::move(entry));
  }
}

std::optional<int> PaletteIndex::score(const Fuzzy::Query& query, std::size_t item) const {
  const auto& entry = entries_[item];
  auto title = best(query, entry.titles);
  auto keyword = best(query, entry.keywords);
  if (keyword) *keyword -= kKeywordPenalty;
  if (title && keyword) return std::max(*title, *keyword);
  return title ? title : keyword;
}

std::vector<PaletteIndex::Match> PaletteIndex::search(std::string_view typed) const {
  auto query = Fuzzy::Query::of(typed);
  std::vector<Match> matches;
  if (query.isEmpty()) return matches;
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (auto found = score(query, i)) matches.push_back({i, *found});
  std::stable_sort(matches.begin(), matches.end(), [&](const Match& a, const Match& b) {
    if (a.score != b.score) return a.score > b.score;
    return entries_[a.item].item.section < entries_[b.item].item.section;
  });
  return matches;
}

std::vector<PaletteGroup> PaletteIndex::groups(std::string_view typed,
                                               const PaletteRecents& recents) const {
  auto matches = search(typed);
  if (matches.empty() && text::trimmed(typed).empty()) return unfiltered(recents);
  // Matches arrive best first, so a section's group is made at its best match and every
  // later item of that section joins it in rank order.
  std::vector<PaletteGroup> groups;
  for (const auto& match : matches) {
    const auto& item = entries_[match.item].item;
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const PaletteGroup& g) { return g.section == item.section; });
    if (group == groups.end()) group = groups.insert(groups.end(), {item.section, {}});
    group->items.push_back(item);
  }
  return groups;
}

std::vector<PaletteGroup> PaletteIndex::unfiltered(const PaletteRecents& recents) const {
  std::vector<PaletteGroup> groups;
  PaletteGroup recent{PaletteSection::recent, {}};
  for (const auto& action : recents.shown()) {
    auto entry = std::find_if(entries_.begin(), entries_.end(),
                              [&](const Entry& e) { return e.item.action == action; });
    if (entry == entries_.end()) continue;  // no longer offered: a deleted kestle, say
    recent.items.push_back(entry->item);
    recent.items.back().section = PaletteSection::recent;
  }
  if (!recent.items.empty()) groups.push_back(std::move(recent));
  for (auto section : allPaletteSections()) {
    PaletteGroup group{section, {}};
    for (const auto& entry : entries_)
      if (entry.item.section == section) group.items.push_back(entry.item);
    if (!group.items.empty()) groups.push_back(std::move(group));
  }
  return groups;
}

}  // namespace kestles
