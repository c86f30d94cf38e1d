#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "KestlesCore/palette/Fuzzy.hpp"
#include "KestlesCore/palette/PaletteItem.hpp"
#include "KestlesCore/palette/PaletteRecents.hpp"

namespace kestles {

/// The palette's items with their titles and keywords folded once, searched as the user types.
class PaletteIndex {
 public:
  /// How far a keyword match ranks below a title match.
  static constexpr int kKeywordPenalty = 1500;

  struct Entry {
    PaletteItem item;
    std::vector<Fuzzy::Folded> titles;    // the title, and the subtitle when there is one
    std::vector<Fuzzy::Folded> keywords;  // one per keyword
  };

  struct Match {
    std::size_t item;  // the position in `entries()`
    int score;
    bool operator==(const Match&) const = default;
  };

  explicit PaletteIndex(std::vector<PaletteItem> items);

  const std::vector<Entry>& entries() const { return entries_; }

  /// The better of the best title score and the best keyword score less 1500; nothing when
  /// neither a title nor a keyword matches.
  std::optional<int> score(const Fuzzy::Query& query, std::size_t item) const;

  /// Every matching item, best first; equal scores keep section order, then the items' order.
  /// Empty for a query of only white space.
  std::vector<Match> search(std::string_view typed) const;

  /// What the palette lists. An empty query: the recent actions that are among the items
  /// (as the "recent" section, newest first), then every section's items in section order.
  /// Otherwise the matching items grouped by section, each group ranked within, the group
  /// with the best match first (ties in section order). Sections without items are left out.
  std::vector<PaletteGroup> groups(std::string_view typed, const PaletteRecents& recents) const;

 private:
  std::vector<Entry> entries_;

  std::vector<PaletteGroup> unfiltered(const PaletteRecents& recents) const;
};

}  // namespace kestles
