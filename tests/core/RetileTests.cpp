#include "KestlesCore/tiling/Retile.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/tiling/Regap.hpp"
#include "KestlesCore/tiling/RetilePlan.hpp"
#include "tests/core/LayoutTestSupport.hpp"
#include "tests/core/TilingTestSupport.hpp"

namespace kestles {
namespace {

using namespace kestles::testing;

constexpr std::uint32_t A = 11, B = 12, C = 13;
const Gaps kNoGaps{0, 0};

TEST(RetileTests, JSONIsTheKeyedFormOfItsCases) {
  struct Row {
    Retile retile;
    const char* json;
  };
  const Row rows[] = {
      {Retile::evenOut(), R"({"evenOut": {}})"},
      {Retile::rotate(-2), R"({"rotate": {"_0": -2}})"},
      {Retile::flip(Retile::Flip::vertical), R"({"flip": {"_0": "vertical"}})"},
      {Retile::turn(), R"({"turn": {}})"},
  };
  for (const auto& row : rows) {
    nlohmann::json json = row.retile;
    EXPECT_EQ(json, nlohmann::json::parse(row.json));
    EXPECT_EQ(json.get<Retile>(), row.retile) << row.json;
  }
  for (const char* bad : {R"({})", R"({"turn": {}, "evenOut": {}})", R"([])"}) {
    try {
      (void)nlohmann::json::parse(bad).get<Retile>();
      ADD_FAILURE() << bad;
    } catch (const std::exception& error) {
      EXPECT_STREQ(error.what(), "Invalid number of keys found, expected one.");
    }
  }
  for (const char* bad :
       {R"({"flip": {"_0": "diagonal"}})", R"({"rotate": {}})", R"({"spin": {}})"})
    EXPECT_ANY_THROW((void)nlohmann::json::parse(bad).get<Retile>()) << bad;
}

TEST(RetileTests, Texts) {
  EXPECT_EQ(description(Retile::rotate(0)), "Every window moves on to the next tile.");
  EXPECT_EQ(description(Retile::rotate(-1)), "Every window moves back to the tile before.");
  EXPECT_EQ(description(Retile::flip(Retile::Flip::horizontal)),
            "Mirrors the tiles left to right, windows and all.");
  EXPECT_EQ(description(Retile::flip(Retile::Flip::vertical)),
            "Mirrors the tiles top to bottom, windows and all.");
  EXPECT_EQ(description(Retile::turn()),
            "The tiles around the window you’re in stack up if they’re side by side, and go side "
            "by side if they’re stacked.");
  EXPECT_EQ(description(Retile::evenOut()), "Puts the dividers back to equal shares.");
  EXPECT_EQ(searchWords(Retile::rotate(3)),
            (std::vector<std::string_view>{"Cycle Windows", "Tiles"}));
  EXPECT_EQ(searchWords(Retile::turn()).size(), 5u);
  EXPECT_EQ(searchWords(Retile::evenOut()).back(), "Reset Dividers");
}

TEST(RetileTests, PlanMovesOnlyWindowsThatChangeFrames) {
  // Thirds: A, B and C at their tiles' frames.
  auto world = worldOf({windowAt(A, {0, 25, 333, 600}), windowAt(B, {333, 25, 334, 600}),
                        windowAt(C, {667, 25, 333, 600})});
  auto tilings = tiledWith("thirds", {A, B, C});

  auto rotated = Retile::Plan::make(Retile::rotate(2), B, world, tilings, kNoGaps);
  ASSERT_TRUE(rotated);
  EXPECT_EQ(rotated->tilings.at("main").windows,
            (std::vector<std::optional<std::uint32_t>>{B, C, A}));  // tile 0's window to tile 2
  EXPECT_EQ(rotated->frames.at(A), CGRect(667, 25, 333, 600));
  EXPECT_EQ(rotated->frames.size(), 3u);
  EXPECT_EQ(rotated->tiles.size(), 3u);

  // The tiling changes but every window already stands in its new frame.
  EXPECT_FALSE(Retile::Plan::make(Retile::evenOut(), A, world, tilings, kNoGaps));
  tilings.at("main").shape =
      TileShape::tree(box(1, Split::columns, {leaf(2, 1), leaf(3, 1.0005), leaf(4, 0.9995)}));
  auto evened = Retile::Plan::make(Retile::evenOut(), A, world, tilings, kNoGaps);
  ASSERT_TRUE(evened);
  EXPECT_TRUE(evened->frames.empty());
  EXPECT_EQ(evened->tilings.at("main").layout, std::nullopt);

  // Nothing to do: a flip along rows of side-by-side tiles, no tiling, a gone display.
  EXPECT_FALSE(
      Retile::Plan::make(Retile::flip(Retile::Flip::vertical), A, world, tilings, kNoGaps));
  EXPECT_FALSE(Retile::Plan::make(Retile::rotate(1), A, world, {}, kNoGaps));
  auto elsewhere = tiledWith("thirds", {A, B, C}, "gone");
  EXPECT_FALSE(Retile::Plan::make(Retile::rotate(1), A, world, elsewhere, kNoGaps));
}

TEST(RetileTests, PlanFindsTheDisplayOfAnUntiledFrontWindowAndTurnsAroundTheFrontWindow) {
  constexpr std::uint32_t Floating = 20;
  auto world = worldOf({windowAt(A, {0, 25, 620, 600}), windowAt(B, {620, 25, 380, 300}),
                        windowAt(C, {620, 325, 380, 300}), windowAt(Floating, {100, 100, 50, 50})});
  auto tilings = tiledWith("main-stack-2", {A, B, C});
  // An untiled window on the display: the root turns.
  auto turned = Retile::Plan::make(Retile::turn(), Floating, world, tilings, kNoGaps);
  ASSERT_TRUE(turned);
  EXPECT_EQ(turned->tilings.at("main").shape.treeNode()->split, Split::rows);
  // A stacked window: its own container turns.
  auto stack = Retile::Plan::make(Retile::turn(), C, world, tilings, kNoGaps);
  ASSERT_TRUE(stack);
  const auto& root = *stack->tilings.at("main").shape.treeNode();
  EXPECT_EQ(root.split, Split::columns);
  EXPECT_EQ(root.children[1].split, Split::columns);
  EXPECT_FALSE(stack->frames.contains(A));
  // No front window: the active display's tiling.
  EXPECT_TRUE(Retile::Plan::make(Retile::rotate(1), std::nullopt, world, tilings, kNoGaps));
}

TEST(RegapTests, EveryTiledWindowGetsItsFrameWithTheNewGaps) {
  auto world = worldOf({windowAt(A, {0, 25, 500, 600}), windowAt(B, {500, 25, 500, 600}),
                        windowAt(C, {1000, 0, 1000, 600})},
                       {mainDisplay(), rightDisplay()});
  auto tilings = tiledWith("halves", {A, B});
  tilings.merge(tiledWith("halves", {C}, "right"));
  tilings.merge(tiledWith("halves", {30}, "gone"));

  auto plan = Regap::make(GapsChange::wider(), Gaps{8, 8}, world, tilings);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->gaps, (Gaps{12, 12}));
  EXPECT_EQ(plan->frames.at(A), CGRect(12, 37, 482, 576));
  EXPECT_EQ(plan->frames.at(B), CGRect(506, 37, 482, 576));
  EXPECT_EQ(plan->frames.at(C), CGRect(1012, 12, 482, 576));
  EXPECT_EQ(plan->frames.size(), 3u);   // window 30 is not in the world
  EXPECT_EQ(plan->tilings.size(), 2u);  // the gone display's tiling is left alone
  EXPECT_FALSE(Regap::make(GapsChange::points(8), Gaps{8, 8}, world, tilings));
}

}  // namespace
}  // namespace kestles
