#include "KestlesCore/tiling/AwayTiles.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/layout/Template.hpp"

namespace kestles {
namespace {

TEST(AwayTilesTests, KeepTakeAndJSON) {
  AwayTiles away;
  auto halves = Template::withID("halves")->shape;
  away.keep(Tiling::make("left", halves, LayoutRef::templateLayout("halves"), {1, 2}));
  away.keep(Tiling::make("right", halves, std::nullopt, {3}));
  away.keep(Tiling::make("left", halves, std::nullopt, {4, 5}));  // the newer one wins
  EXPECT_EQ(away.tilings.size(), 2u);
  EXPECT_EQ(away.tilings.at("left").windowIDs(), (std::vector<WindowID>{4, 5}));

  nlohmann::json json = away;
  EXPECT_EQ(json.get<AwayTiles>(), away);
  // A damaged tiling is dropped alone; a tiling takes the display id it is filed under.
  json["tilings"]["right"].erase("shape");
  json["tilings"]["left"]["displayID"] = "elsewhere";
  auto read = json.get<AwayTiles>();
  EXPECT_EQ(read.tilings.size(), 1u);
  EXPECT_EQ(read.tilings.at("left").displayID, "left");

  auto taken = away.take("right");
  ASSERT_TRUE(taken);
  EXPECT_EQ(taken->windowIDs(), (std::vector<WindowID>{3}));
  EXPECT_EQ(away.take("right"), std::nullopt);
  EXPECT_EQ(away.tilings.size(), 1u);
}

}  // namespace
}  // namespace kestles
