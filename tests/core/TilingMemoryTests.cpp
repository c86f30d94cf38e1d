#include "KestlesCore/tiling/TilingMemory.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

const TilingMemory::Key kTwoEditors{2, {AppRole::editor, AppRole::editor}, DisplayShape::laptop};
const TilingMemory::Key kEditorAndChat{2, {AppRole::editor, AppRole::chat}, DisplayShape::wide};

TEST(TilingMemoryTests, RecordCountsPicksAndBonusFollowsThem) {
  TilingMemory memory;
  for (int i = 0; i < 5; ++i)
    memory.record("template:halves", kTwoEditors);
  memory.record("template:thirds", kTwoEditors);
  memory.record("template:thirds", kTwoEditors);
  memory.record("template:thirds", kTwoEditors);
  memory.record("saved:X", kEditorAndChat);

  EXPECT_EQ(memory.clock, 9);
  const auto& picks = memory.picks.at(kTwoEditors);
  EXPECT_EQ(picks.counts.at("template:halves"), 5);
  EXPECT_EQ(picks.last, "template:thirds");
  EXPECT_EQ(picks.used, 8);

  struct Row {
    const char* id;
    TilingMemory::Key key;
    int bonus;
  };
  const Row rows[] = {
      {"template:thirds", kTwoEditors, 35},  // three picks, the last: min(10, 15) + 25
      {"template:halves", kTwoEditors, 15},  // five picks, not the last: min(25, 15)
      {"saved:X", kEditorAndChat, 25},       // one pick, the last: 0 + 25
      {"saved:X", kTwoEditors, 0},           // never picked for this key
      {"template:halves", {3, {AppRole::editor}, DisplayShape::laptop}, 0},  // unknown key
  };
  for (const auto& row : rows)
    EXPECT_EQ(memory.bonus(row.id, row.key), row.bonus) << row.id;

  TilingMemory once;
  once.record("a", kTwoEditors);
  once.record("b", kTwoEditors);
  EXPECT_EQ(once.bonus("a", kTwoEditors), 5);
}

TEST(TilingMemoryTests, KeepsAtMostSixtyFourKeysDroppingTheLeastRecentlyUsed) {
  TilingMemory memory;
  auto key = [](int count) { return TilingMemory::Key{count, {}, DisplayShape::wide}; };
  for (int count = 1; count <= 64; ++count)
    memory.record("x", key(count));
  memory.record("x", key(1));  // key 1 is now the most recent; key 2 the oldest
  memory.record("x", key(65));
  EXPECT_EQ(memory.picks.size(), 64u);
  EXPECT_TRUE(memory.picks.contains(key(1)));
  EXPECT_FALSE(memory.picks.contains(key(2)));
  EXPECT_TRUE(memory.picks.contains(key(65)));
}

TEST(TilingMemoryTests, JSONRoundTripAndDamagedEntries) {
  TilingMemory memory;
  memory.record("template:halves", kTwoEditors);
  memory.record("saved:X", kEditorAndChat);
  nlohmann::json json = memory;
  EXPECT_EQ(json, nlohmann::json::parse(R"({
    "clock": 2,
    "picks": [
      {"key": {"count": 2, "roles": ["editor", "editor"], "shape": "laptop"},
       "picks": {"counts": {"template:halves": 1}, "last": "template:halves", "used": 1}},
      {"key": {"count": 2, "roles": ["editor", "chat"], "shape": "wide"},
       "picks": {"counts": {"saved:X": 1}, "last": "saved:X", "used": 2}}
    ]})"));
  EXPECT_EQ(json.get<TilingMemory>(), memory);

  // An unknown role fails its entry alone; a clock behind the entries catches up with them.
  json["picks"][0]["key"]["roles"][1] = "juggler";
  json["clock"] = "soon";
  auto read = json.get<TilingMemory>();
  EXPECT_EQ(read.picks.size(), 1u);
  EXPECT_TRUE(read.picks.contains(kEditorAndChat));
  EXPECT_EQ(read.clock, 2);
  read.record("a", kTwoEditors);
  EXPECT_GT(read.picks.at(kTwoEditors).used, read.picks.at(kEditorAndChat).used);

  auto empty = nlohmann::json::object().get<TilingMemory>();
  EXPECT_TRUE(empty.picks.empty());
  EXPECT_EQ(empty.clock, 0);
}

}  // namespace
}  // namespace kestles
