#include "KestlesCore/snap/SnapMemory.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "SnapTestSupport.hpp"

namespace kestles {
namespace {

using Entry = SnapMemory::Entry;

TEST(SnapMemoryTests, ARunKeepsItsOriginalUntilForgotten) {
  SnapMemory memory;
  memory.remember(1, {0, 0, 100, 100}, {0, 0, 50, 100});
  memory.remember(1, {0, 0, 50, 100}, {0, 0, 70, 100});
  EXPECT_EQ(memory.entry(1), (Entry{{0, 0, 100, 100}, {0, 0, 70, 100}}));

  memory.updateFrame(1, {5, 5, 5, 5});
  memory.updateFrame(2, {5, 5, 5, 5});  // not in a run: nothing is made up for it
  EXPECT_EQ(memory.entry(1)->frame, CGRect(5, 5, 5, 5));
  EXPECT_FALSE(memory.entry(2));

  memory.forget(1);
  memory.forget(3);
  EXPECT_TRUE(memory.entries.empty());
}

TEST(SnapMemoryTests, KeepingAndMerging) {
  SnapMemory mine;
  mine.remember(1, {1, 1, 1, 1}, {1, 1, 1, 1});
  mine.remember(2, {2, 2, 2, 2}, {2, 2, 2, 2});
  mine.remember(3, {3, 3, 3, 3}, {3, 3, 3, 3});
  SnapMemory theirs;
  theirs.remember(2, {20, 20, 20, 20}, {20, 20, 20, 20});
  theirs.remember(4, {40, 40, 40, 40}, {40, 40, 40, 40});

  EXPECT_EQ(mine.keeping({1, 3, 9}).entries,
            (std::map<std::uint32_t, Entry>{{1, mine.entries.at(1)}, {3, mine.entries.at(3)}}));

  // 2 takes theirs, 3 is dropped because they have none, 4 is taken, 1 is not listed.
  auto merged = mine.merging(theirs, {2, 3, 4});
  EXPECT_EQ(merged.entries,
            (std::map<std::uint32_t, Entry>{
                {1, mine.entries.at(1)}, {2, theirs.entries.at(2)}, {4, theirs.entries.at(4)}}));
}

TEST(SnapMemoryTests, JSONRoundTripsAndReadsEntryByEntry) {
  SnapMemory memory;
  memory.remember(7, {10, 20, 300, 400}, {0, 25, 720, 875});
  memory.remember(4026531841u, {1.5, 2, 3, 4}, {5, 6, 7, 8});
  nlohmann::json json = memory;
  EXPECT_EQ(json, nlohmann::json::parse(R"({"entries": {
      "7": {"original": [[10, 20], [300, 400]], "frame": [[0, 25], [720, 875]]},
      "4026531841": {"original": [[1.5, 2], [3, 4]], "frame": [[5, 6], [7, 8]]}}})"));
  EXPECT_EQ(json.get<SnapMemory>(), memory);

  auto read = nlohmann::json::parse(R"({"entries": {
      "7": {"original": [[10, 20], [300, 400]], "frame": [[0, 25], [720, 875]]},
      "8": {"original": [[1, 2], [3, 4]]},
      "x9": {"original": [[1, 2], [3, 4]], "frame": [[1, 2], [3, 4]]},
      "-1": {"original": [[1, 2], [3, 4]], "frame": [[1, 2], [3, 4]]},
      "4294967296": {"original": [[1, 2], [3, 4]], "frame": [[1, 2], [3, 4]]},
      "10": {"original": "left", "frame": [[1, 2], [3, 4]]}}})")
                  .get<SnapMemory>();
  EXPECT_EQ(read.entries,
            (std::map<std::uint32_t, Entry>{{7, {{10, 20, 300, 400}, {0, 25, 720, 875}}}}));
  EXPECT_EQ(nlohmann::json::parse("{}").get<SnapMemory>(), SnapMemory{});
  EXPECT_EQ(nlohmann::json::parse(R"({"entries": []})").get<SnapMemory>(), SnapMemory{});
  EXPECT_ANY_THROW(nlohmann::json::parse("[]").get<SnapMemory>());
}

}  // namespace
}  // namespace kestles
