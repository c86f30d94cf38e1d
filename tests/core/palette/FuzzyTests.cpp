#include "KestlesCore/palette/Fuzzy.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

std::optional<int> scoreOf(std::string_view query, std::string_view text) {
  return Fuzzy::score(Fuzzy::Query::of(query), Fuzzy::Folded::of(text));
}

TEST(Fuzzy, ScoresEveryTermOfTheWalk) {
  struct Row {
    const char* query;
    const char* text;
    std::optional<int> expected;
  };
  const Row rows[] = {
      // T at the start (+1 +12), W after a space (+1 +8), a gap of 4 (−4): 18.
      {"tw", "Tile Windows", 1788},
      // 1 + 12, three neighbours 3 × (1 + 5), +20 for the prefix: 51.
      {"tile", "Tile Windows", 5088},
      // A first letter at 5 costs 5; the whole query lies inside: +6.
      {"w", "Tile Windows", 988},
      // A capital after a lower-case letter starts a word: +8, and a gap of 3.
      {"ts", "TileSnap", 1892},
      // y at 6 (+1 −6), a digit after a space starts a word (+1 +8), a gap of 1 (−1): 3.
      {"y2", "Display 2", 291},
      // White space inside the query is dropped.
      {"t w", "Tile Windows", 1788},
      // Letters out of order, a letter that is not there, nothing typed.
      {"wt", "Tile Windows", std::nullopt},
      {"tx", "Tile Windows", std::nullopt},
      {"", "Tile Windows", std::nullopt},
      {" \t", "Tile Windows", std::nullopt},
      // The first letter's penalty stops at 6 (s at 11): 1 − 6 + 6 inside.
      {"s", "Tile Windows", 88},
      // A gap's penalty stops at 4: 13, then s at 11 (+1 −4): 10.
      {"ts", "Tile Windows", 988},
  };
  for (const auto& row : rows)
    EXPECT_EQ(scoreOf(row.query, row.text), row.expected) << row.query << " / " << row.text;
}

TEST(Fuzzy, FoldsAccentsCaseAndWidthOnBothSides) {
  // c at the start, three neighbours, the whole as a prefix: 51, less the length 4.
  const char* queries[] = {"cafe", "CAFÉ", "Cafe\xCC\x81",
                           "\xEF\xBD\x83\xEF\xBD\x81\xEF\xBD\x86\xEF\xBD\x85"};  // full width
  const char* texts[] = {"Café", "CAFE", "Cafe\xCC\x81"};
  for (auto query : queries)
    for (auto text : texts)
      EXPECT_EQ(scoreOf(query, text), 5096) << query << " / " << text;
}

TEST(Fuzzy, FallsBackToTheSubsequenceRuleWhenFoldingChangesTheLength) {
  // "Straße" folds to "strasse": seven folded characters for six.
  EXPECT_EQ(scoreOf("sse", "Straße"), 100 - 7);
  EXPECT_EQ(scoreOf("STRASSE", "Straße"), 100 - 7);
  EXPECT_EQ(scoreOf("es", "Straße"), std::nullopt);
  // The length term caps at 99, so even a very long text keeps a positive score.
  EXPECT_EQ(scoreOf("s", "ß" + std::string(200, 'x')), 1);
}

TEST(Fuzzy, CountsGraphemeClustersAsOneCharacter) {
  // The flag (two code points) is one character, so "w" sits at index 1 after a word break:
  // 1 + 8 − 1 + 6 inside, less a length of 2.
  auto flag = "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7";
  EXPECT_EQ(scoreOf("w", std::string(flag) + "w"), 1398);
}

}  // namespace
}  // namespace kestles
