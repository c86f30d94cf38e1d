#include "KestlesCore/palette/PaletteIndex.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

using Plain = PaletteAction::Plain;

PaletteItem item(PaletteAction action, PaletteSection section, std::string title,
                 std::vector<std::string> keywords = {},
                 std::optional<std::string> subtitle = std::nullopt) {
  return {std::move(action),   section,      std::move(title),
          std::move(subtitle), std::nullopt, std::move(keywords)};
}

std::vector<std::string> titles(const PaletteIndex& index,
                                const std::vector<PaletteIndex::Match>& matches) {
  std::vector<std::string> out;
  for (const auto& match : matches)
    out.push_back(index.entries()[match.item].item.title);
  return out;
}

TEST(PaletteIndex, AKeywordMatchCountsOnlyWhenItBeatsTheTitleByMoreThan1500) {
  PaletteIndex index({
      // The title matches well: "tile" as a prefix scores 5088; the keyword 5096 − 1500.
      item({Plain::tileWindows}, PaletteSection::tiling, "Tile Windows", {"Tile"}),
      // The title folds to a longer text and scores by the plain rule (100 − 13); the
      // keyword's 5096 − 1500 is far better.
      item({Plain::tileAppWindows}, PaletteSection::tiling, "Straße Tiles", {"Tile"}),
      // Only a keyword matches.
      item({PaletteAction::Page{KestlesPage::general}}, PaletteSection::settings, "General",
           {"Tile"}),
      // Neither matches.
      item({Plain::quit}, PaletteSection::settings, "Quit Kestles", {"Exit"}),
  });
  auto query = Fuzzy::Query::of("tile");
  EXPECT_EQ(index.score(query, 0), 5088);
  EXPECT_EQ(index.score(query, 1), 5096 - 1500);
  EXPECT_EQ(index.score(query, 2), 5096 - 1500);
  EXPECT_EQ(index.score(query, 3), std::nullopt);
}

TEST(PaletteIndex, RanksByScoreThenSectionThenItemOrder) {
  PaletteIndex index({
      item({PaletteAction::Snap{SnapAction::leftHalf}}, PaletteSection::snap, "Left Half"),
      item({PaletteAction::Focus{TileEdge::left}}, PaletteSection::focusAndSwap, "Left Half"),
      item({PaletteAction::Swap{TileEdge::left}}, PaletteSection::focusAndSwap, "Left Half"),
      item({PaletteAction::Snap{SnapAction::firstThird}}, PaletteSection::snap, "Left Third"),
      item({Plain::tileWindows}, PaletteSection::tiling, "Tile Windows", {"Left"}),
      item({Plain::quit}, PaletteSection::settings, "Quit"),
  });
  auto matches = index.search("  LEFT ha ");
  ASSERT_EQ(matches.size(), 3u);
  EXPECT_EQ(matches[0].item, 1u);  // equal scores: focus & swap comes before snap,
  EXPECT_EQ(matches[1].item, 2u);  // then the items' own order
  EXPECT_EQ(matches[2].item, 0u);
  EXPECT_EQ(titles(index, index.search("left")),
            (std::vector<std::string>{"Left Half", "Left Half", "Left Half", "Left Third",
                                      "Tile Windows"}));
  EXPECT_TRUE(index.search(" ").empty());
}

TEST(PaletteIndex, FindsAccentedWideAndCasedTitlesAlike) {
  PaletteIndex index({
      item({Plain::quit}, PaletteSection::settings, "Quit"),
      item({PaletteAction::Kestle{UUID{}}}, PaletteSection::kestles, "Café Écrit", {},
           "Firefox, Terminal"),
      item({PaletteAction::Window{7}}, PaletteSection::windows, "Inbox", {}, "Mail"),
  });
  for (auto typed : {"cafe ecrit", "CAFÉÉCRIT", "\xEF\xBD\x83\xEF\xBD\x81\xEF\xBD\x86\xEF\xBD\x85"})
    EXPECT_EQ(titles(index, index.search(typed)), std::vector<std::string>{"Café Écrit"}) << typed;
  // The subtitle is searched like a title.
  auto matches = index.search("mail");
  ASSERT_EQ(matches.size(), 1u);
  EXPECT_EQ(matches[0].item, 2u);
  EXPECT_GT(matches[0].score, PaletteIndex::kKeywordPenalty);
}

TEST(PaletteIndex, GroupsResultsBySectionWithTheBestMatchFirst) {
  PaletteIndex index({
      item({Plain::tileWindows}, PaletteSection::tiling, "Tile Windows"),
      item({PaletteAction::Snap{SnapAction::topLeft}}, PaletteSection::snap, "Top Left"),
      item({PaletteAction::TileAs{TilingStyle::grid}}, PaletteSection::tiling, "Tile as Grid"),
      item({PaletteAction::Snap{SnapAction::topHalf}}, PaletteSection::snap, "Top Half"),
  });
  // "tl": Top Left scores best, so snap leads; each group keeps its own ranking.
  auto groups = index.groups("tl", {});
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].section, PaletteSection::snap);
  EXPECT_EQ(groups[0].items.front().title, "Top Left");
  EXPECT_EQ(groups[1].section, PaletteSection::tiling);
  EXPECT_TRUE(index.groups("zzz", {}).empty());
}

TEST(PaletteIndex, AnEmptyQueryListsRecentsFirstThenEverySectionInOrder) {
  const PaletteAction left{PaletteAction::Snap{SnapAction::leftHalf}};
  const PaletteAction gone{
      PaletteAction::Kestle{*UUID::fromString("00000000-0000-0000-0000-000000000001")}};
  PaletteIndex index({
      item(left, PaletteSection::snap, "Left Half"),
      item({Plain::tileWindows}, PaletteSection::tiling, "Tile Windows"),
      item({PaletteAction::Kestle{UUID{}}}, PaletteSection::kestles, "Writing"),
  });
  PaletteRecents recents;
  recents.record(left);
  recents.record(gone);  // a kestle deleted since: not offered any more
  auto groups = index.groups(" ", recents);
  std::vector<PaletteSection> sections;
  for (const auto& group : groups)
    sections.push_back(group.section);
  EXPECT_EQ(sections, (std::vector{PaletteSection::recent, PaletteSection::kestles,
                                   PaletteSection::tiling, PaletteSection::snap}));
  ASSERT_EQ(groups[0].items.size(), 1u);
  EXPECT_EQ(groups[0].items[0].action, left);
  EXPECT_EQ(groups[0].items[0].section, PaletteSection::recent);
}

}  // namespace
}  // namespace kestles
