#include "KestlesCore/apply/TileWindowsPlan.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "ApplyTestSupport.hpp"
#include "KestlesCore/apply/ApplyTarget.hpp"
#include "KestlesCore/library/SavedLayout.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"
#include "KestlesCore/tiling/Suggestions.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

const Gaps kGaps{8, 8};

/// The laptop with `count` Code windows, window i + 1 at zIndex i (1 is the front-most).
World laptopWithWindows(int count) {
  auto world = worldOf({laptop()});
  for (int i = 0; i < count; ++i)
    world.windows.push_back(
        window(static_cast<std::uint32_t>(i + 1), kCode, 101, {100.0 + i * 10, 100, 600, 500}, i));
  return world;
}

/// The world with each moved window at the frame the plan gave it.
World carriedOut(World world, const ApplyPlan& plan) {
  auto frames = plan.movedFrames();
  for (auto& each : world.windows)
    if (auto found = frames.find(each.id); found != frames.end()) each.frame = found->second;
  return world;
}

TEST(TileWindowsPlan, TitlesFollowTheApps) {
  const std::pair<ApplyTarget, std::string> rows[] = {
      {ApplyTarget::tileWindows(std::nullopt, TileApps::all(), TilingStyle::grid), "Tile Windows"},
      {ApplyTarget::tileWindows("WIDE", TileApps::front(), TilingStyle::grid), "Tile App Windows"},
      {ApplyTarget::tileWindows(std::nullopt, TileApps::named("Safari"), TilingStyle::spiral),
       "Tile App Windows"},
      {ApplyTarget::tileAllDisplays(TilingStyle::columns), "Tile All Displays"},
  };
  for (const auto& [target, title] : rows) {
    EXPECT_EQ(target.title(), title);
    auto plan = target.plan(laptopAndWide(), kGaps);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->title, title);
  }
}

TEST(TileWindowsPlan, WindowsBeyondTheStylesLargestCountStayWhereTheyAre) {
  auto world = laptopWithWindows(7);
  int largest = largestTileCount(TilingStyle::mainStack, laptop().visibleFrame.size);
  ASSERT_LT(largest, 7);
  auto plan = tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::mainStack, world, kGaps, {});
  ASSERT_EQ(plan.moves.size(), static_cast<std::size_t>(largest));
  // Front to back: the front-most window takes the first tile, the back-most ones are left.
  EXPECT_EQ(plan.moves.front().window, 1u);
  for (const auto& move : plan.moves)
    EXPECT_LE(move.window, static_cast<std::uint32_t>(largest));
  EXPECT_EQ(plan.tilings.at("LAPTOP").shape.tileCount(), static_cast<std::size_t>(largest));
}

/// Presses Tile Windows `presses` times, each on the world and step the one before left.
std::vector<ApplyPlan> pressedRepeatedly(World world, int presses, TilingStyle style,
                                         const TilingMemory* memory = nullptr) {
  std::vector<ApplyPlan> plans;
  std::optional<SuggestionStep> last;
  for (int press = 0; press < presses; ++press) {
    TileContext context{std::nullopt, nullptr, {}, memory, last ? &*last : nullptr};
    plans.push_back(tileWindowsPlan("LAPTOP", TileApps::all(), style, world, kGaps, context));
    if (plans.back().suggestions.empty()) break;
    last = plans.back().suggestions.back().step;
    world = carriedOut(world, plans.back());
  }
  return plans;
}

TEST(TileWindowsPlan, RepeatingStepsThroughTheBoardsSuggestionsAndWraps) {
  auto plans = pressedRepeatedly(laptopWithWindows(4), 4, TilingStyle::spiral);
  ASSERT_EQ(plans.size(), 4u);
  const auto& order = plans.front().suggestions.at(0).step.order;
  ASSERT_GE(order.size(), 2u);
  for (std::size_t press = 0; press < plans.size(); ++press) {
    const auto& applied = plans[press].suggestions.at(0);
    EXPECT_EQ(applied.id, order[press % order.size()]) << "press " << press;
    EXPECT_EQ(applied.step.order, order) << "the order stays the one the steps began with";
    if (press > 0) {
      EXPECT_EQ(plans[press].arrangement, plans[press - 1].nextArrangement) << "press " << press;
    }
  }
  // The tiling takes the applied suggestion's shape and remembers the template it came from.
  const auto& first = plans.front();
  ASSERT_TRUE(first.tilings.at("LAPTOP").layout);
  EXPECT_EQ("template:" +
                std::get<LayoutRef::Template>(first.tilings.at("LAPTOP").layout->value).identifier,
            first.suggestions.at(0).id);
}

TEST(TileWindowsPlan, WindowsStandingInAnArrangementAreOfferedFill) {
  // Tile Windows never offered "Fill", though the windows stood in an arrangement that can be
  // read off the screen.
  auto world = worldOf({laptop()});
  world.windows = {window(1, kCode, 101, {100, 100, 500, 700}, 0),
                   window(2, kSafari, 102, {640, 100, 800, 700}, 1)};
  auto plan = tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::grid, world, kGaps, {});
  ASSERT_EQ(plan.suggestions.size(), 1u);
  const auto& order = plan.suggestions.front().step.order;
  EXPECT_NE(std::find(order.begin(), order.end(), "fill"), order.end());

  // Piled windows stand in no arrangement.
  world.windows[1].frame = {120, 120, 500, 700};
  plan = tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::grid, world, kGaps, {});
  ASSERT_EQ(plan.suggestions.size(), 1u);
  const auto& piled = plan.suggestions.front().step.order;
  EXPECT_EQ(std::find(piled.begin(), piled.end(), "fill"), piled.end());
}

TEST(TileWindowsPlan, RememberedPicksLeadTheBoard) {
  auto world = laptopWithWindows(2);
  // A pick remembered for this window set moves that suggestion to the front.
  auto fresh = tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::columns, world, kGaps, {});
  ASSERT_EQ(fresh.suggestions.size(), 1u);
  auto board = pressedRepeatedly(world, 2, TilingStyle::columns);
  ASSERT_EQ(board.size(), 2u);
  const auto& other = board[1].suggestions.at(0);
  ASSERT_NE(other.id, fresh.suggestions[0].id);
  TilingMemory memory;
  for (int pick = 0; pick < 3; ++pick)
    memory.record(other.id, other.key);
  auto remembered = tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::columns, world, kGaps,
                                    {std::nullopt, nullptr, {}, &memory, nullptr});
  EXPECT_EQ(remembered.suggestions.at(0).id, other.id);
  EXPECT_EQ(remembered.arrangement, board[1].arrangement);
}

TEST(TileWindowsPlan, AppFiltersAndTheBoardsSeating) {
  auto world = laptopAndWide();
  // Safari by name on the laptop: only 22 (21 is on the wide display).
  auto named =
      tileWindowsPlan("LAPTOP", TileApps::named("saf"), TilingStyle::grid, world, kGaps, {});
  ASSERT_EQ(named.moves.size(), 1u);
  EXPECT_EQ(named.moves[0].window, 22u);
  auto nobody =
      tileWindowsPlan("LAPTOP", TileApps::named("Nope"), TilingStyle::grid, world, kGaps, {});
  EXPECT_TRUE(nobody.moves.empty());
  EXPECT_TRUE(nobody.tilings.empty());
  EXPECT_TRUE(nobody.suggestions.empty());
  // The focused window's app, else the front-most window's (21, Safari).
  auto front = tileWindowsPlan("LAPTOP", TileApps::front(), TilingStyle::grid, world, kGaps, {11});
  ASSERT_EQ(front.moves.size(), 1u);
  EXPECT_EQ(front.moves[0].window, 11u);
  EXPECT_EQ(tileWindowsPlan("LAPTOP", TileApps::front(), TilingStyle::grid, world, kGaps, {})
                .moves.at(0)
                .window,
            22u);
  // A terminal in front still yields the first tile to an editor behind it (role weight).
  auto roles = worldOf({laptop()});
  roles.windows = {window(1, kTerminal, 103, {0, 40, 500, 400}, 0),
                   window(2, kCode, 101, {200, 40, 500, 400}, 1)};
  auto seated = tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::grid, roles, kGaps, {});
  EXPECT_EQ(seated.tilings.at("LAPTOP").windows.at(0), std::optional<std::uint32_t>(2));
}

TEST(TileWindowsPlan, ASuggestionTargetPutsItsWindowsInItsTiles) {
  auto world = laptopWithWindows(2);
  Suggestions::Request request;
  request.display = laptop();
  request.windows = world.windows;
  request.gaps = kGaps;
  auto board = Suggestions::board(request);
  ASSERT_FALSE(board.suggestions.empty());
  auto arrangement = *board.suggestions[0].arrangement("LAPTOP");
  auto target = ApplyTarget::suggestion(arrangement);
  EXPECT_EQ(target.title(), board.suggestions[0].title);
  auto plan = target.plan(world, kGaps);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->title, arrangement.title);
  EXPECT_EQ(plan->tilings.at("LAPTOP").windows, arrangement.windows);
  EXPECT_EQ(plan->moves.size(), 2u);
  // A window gone since the board was made leaves its tile empty; another display: no moves.
  world.windows.pop_back();
  auto without = target.plan(world, kGaps);
  EXPECT_EQ(without->moves.size(), 1u);
  EXPECT_EQ(std::count(without->tilings.at("LAPTOP").windows.begin(),
                       without->tilings.at("LAPTOP").windows.end(), std::nullopt),
            1);
  arrangement.displayID = "GONE";
  EXPECT_TRUE(ApplyTarget::suggestion(arrangement).plan(world, kGaps)->moves.empty());
}

TEST(TileWindowsPlan, AllDisplaysMergesWithTheActiveDisplayLast) {
  auto world = laptopAndWide();
  auto plan = tileAllDisplaysPlan(TilingStyle::grid, world, kGaps, {});
  ASSERT_EQ(plan.tilings.size(), 2u);
  std::vector<std::string> order;
  for (const auto& move : plan.moves)
    if (order.empty() || order.back() != move.displayID) order.push_back(move.displayID);
  EXPECT_EQ(order, (std::vector<std::string>{"WIDE", "LAPTOP"}));
  auto laptopAlone =
      tileWindowsPlan("LAPTOP", TileApps::all(), TilingStyle::grid, world, kGaps, {});
  EXPECT_EQ(plan.arrangement, laptopAlone.arrangement);
  EXPECT_EQ(plan.nextArrangement, laptopAlone.nextArrangement);
  // One applied suggestion per display, the active display's last, as its step is kept.
  ASSERT_EQ(plan.suggestions.size(), 2u);
  EXPECT_EQ(plan.suggestions[0].step.displayID, "WIDE");
  EXPECT_EQ(plan.suggestions[1], laptopAlone.suggestions.at(0));
}

}  // namespace
}  // namespace kestles
