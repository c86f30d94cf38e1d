#include "KestlesCore/apply/ApplyTarget.hpp"

#include <gtest/gtest.h>

#include "ApplyTestSupport.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

const Gaps kGaps{8, 8};

LayoutEntry halvesEntry() {
  return LayoutEntry::templateEntry(*Template::withID("halves"));
}

TEST(ApplyTargetTests, Titles) {
  SavedLayout saved;
  saved.name = "Desk";
  saved.shape = templateShape("halves");
  PickToTile::Pick pick{{11}, "LAPTOP", {"Fill", templateShape("halves"), std::nullopt}};
  const std::pair<ApplyTarget, std::string> rows[] = {
      {ApplyTarget::layout(halvesEntry(), "WIDE"), "Halves"},
      {ApplyTarget::layout(LayoutEntry::saved(saved), std::nullopt), "Desk"},
      {ApplyTarget::kestle(kestle("Work", {})), "Work"},
      {ApplyTarget::tilesBack({}), "Tiles Come Back"},
      {ApplyTarget::picked(pick), "Tile Picked Windows"},
      {ApplyTarget::skipping({11}, ApplyTarget::kestle(kestle("Work", {}))), "Work"},
  };
  for (const auto& [target, title] : rows)
    EXPECT_EQ(target.title(), title);
}

TEST(ApplyTargetTests, LayoutGoesToTheGivenThenActiveThenMainDisplay) {
  struct Row {
    std::optional<std::string> given;
    std::optional<std::string> active;
    std::string planned;
  };
  const Row rows[] = {
      {"WIDE", "LAPTOP", "WIDE"},
      {std::nullopt, "WIDE", "WIDE"},
      {std::nullopt, std::nullopt, "LAPTOP"},  // the main display
  };
  for (const auto& row : rows) {
    auto world = laptopAndWide();
    world.activeDisplayID = row.active;
    auto plan = ApplyTarget::layout(halvesEntry(), row.given).plan(world, kGaps);
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->tilings.size(), 1u);
    EXPECT_EQ(plan->tilings.begin()->first, row.planned);
  }
  World empty;
  EXPECT_FALSE(ApplyTarget::layout(halvesEntry(), std::nullopt).plan(empty, kGaps));
  // A given display that is not connected still plans, with nothing in it.
  auto gone = ApplyTarget::layout(halvesEntry(), "GONE").plan(laptopAndWide(), kGaps);
  ASSERT_TRUE(gone);
  EXPECT_TRUE(gone->tilings.empty());
}

TEST(ApplyTargetTests, SkippedWindowsDoNotExistForTheInnerPlan) {
  auto k = kestle("Browse", {{"LAPTOP+WIDE", {{screen(laptop(), "halves", {kSafari, kSafari})}}}});
  auto world = laptopAndWide();
  auto whole = ApplyTarget::kestle(k).plan(world, kGaps);
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->tilings.at("LAPTOP").windows,
            (std::vector<std::optional<std::uint32_t>>{21, 22}));

  auto skipping = ApplyTarget::skipping({21, 31}, ApplyTarget::kestle(k));
  auto plan = skipping.plan(world, kGaps);
  ASSERT_TRUE(plan);
  // Safari has one window fewer: its second tile is empty and Safari is missing.
  EXPECT_EQ(plan->tilings.at("LAPTOP").windows,
            (std::vector<std::optional<std::uint32_t>>{22, std::nullopt}));
  EXPECT_EQ(plan->missing, std::vector<AppRef>{kSafari});
  EXPECT_EQ(plan->title, "Browse");

  auto without = worldWithout(world, {21, 31});
  EXPECT_EQ(without.windows.size(), world.windows.size() - 2);
  EXPECT_TRUE(without.fullScreen.empty());
}

TEST(ApplyTargetTests, SkippingTargetsCompareTheirInnerTargets) {
  auto a = ApplyTarget::skipping({1}, ApplyTarget::tilesBack({}));
  auto b = ApplyTarget::skipping({1}, ApplyTarget::tilesBack({}));
  auto c = ApplyTarget::skipping({1}, ApplyTarget::kestle(kestle("K", {})));
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
}

}  // namespace
}  // namespace kestles
