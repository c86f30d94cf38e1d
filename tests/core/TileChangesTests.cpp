#include "KestlesCore/tiling/TileChanges.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

TEST(TileChangesTests, VocabularyAndTexts) {
  struct Row {
    TileChanges changes;
    std::string_view raw, title, description, symbol;
  };
  const Row rows[] = {
      {TileChanges::rearrange, "rearrange", "Arrange Them Again",
       "A new window takes a tile and the rest make room; when one closes, the rest close up.",
       "square.grid.2x2"},
      {TileChanges::inPlace, "inPlace", "Split the Tile You’re In",
       "A new window splits the tile of the one you’re in; when one closes, its tile closes.",
       "rectangle.split.2x1"},
  };
  ASSERT_EQ(std::size(rows), kAllTileChanges.size());
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const auto& row = rows[i];
    EXPECT_EQ(kAllTileChanges[i], row.changes);
    EXPECT_EQ(rawValue(row.changes), row.raw);
    EXPECT_EQ(tileChangesFromRawValue(row.raw), row.changes);
    EXPECT_EQ(title(row.changes), row.title);
    EXPECT_EQ(description(row.changes), row.description);
    EXPECT_EQ(symbolName(row.changes), row.symbol);
  }
  for (std::string_view bad : {"", "Rearrange", "in-place", "inplace"})
    EXPECT_FALSE(tileChangesFromRawValue(bad)) << bad;
}

}  // namespace
}  // namespace kestles
