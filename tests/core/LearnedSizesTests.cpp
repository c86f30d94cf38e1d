#include "KestlesCore/layout/LearnedSizes.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

TEST(LearnedSizesTests, LimitsPreferTheWindowThenTheApp) {
  LearnedSizes sizes;
  sizes.apps["com.example.mail"] = {{500, 0}, {}};
  sizes.windows[42] = {{700, 0}, {}};
  EXPECT_EQ(sizes.limits(42, "com.example.mail").minimum.width, 700);
  EXPECT_EQ(sizes.limits(43, "com.example.mail").minimum.width, 500);
  EXPECT_EQ(sizes.limits(43, "com.example.notes"), SizeLimits{});
}

TEST(LearnedSizesTests, LearnUpdatesWindowAndAppEntries) {
  LearnedSizes sizes;
  auto first = sizes.learn(7, "app", {800, 600}, {850, 600}, false);
  EXPECT_EQ(first, (LearnedSizes::Learned{true, true}));
  EXPECT_EQ(sizes.windows.at(7), (SizeLimits{{850, 0}, {}}));
  EXPECT_EQ(sizes.apps.at("app"), (SizeLimits{{850, 0}, {}}));

  EXPECT_FALSE(sizes.learn(7, "app", {800, 600}, {800, 600}, false));
  EXPECT_EQ(sizes.windows.at(7).minimum.width, 850);

  // Another window of the app: its own entry is new, the app already knows the size.
  EXPECT_EQ(sizes.learn(8, "app", {800, 600}, {850, 600}, false),
            (LearnedSizes::Learned{false, true}));
  // Only a maximum: the window's minimum stays.
  EXPECT_EQ(sizes.learn(8, "app", {800, 600}, {800, 500}, false),
            (LearnedSizes::Learned{true, false}));
  // Only the app learns: a window that already knew a larger minimum.
  sizes.windows[9] = {{900, 0}, {}};
  EXPECT_EQ(sizes.learn(9, "other", {800, 600}, {860, 600}, false),
            (LearnedSizes::Learned{true, false}));
}

TEST(LearnedSizesTests, MinimumsFileHoldsAppsOnly) {
  LearnedSizes sizes;
  sizes.apps["com.example.mail"] = {{500, 400}, {}};
  sizes.windows[42] = {{700, 0}, {}};
  nlohmann::json json = sizes;
  EXPECT_EQ(json, nlohmann::json::parse(R"({"com.example.mail":{"width":500,"height":400}})"));
  auto read = nlohmann::json::parse(R"({"a":{"width":300},"b":7,"c":{"maxWidth":900}})")
                  .get<LearnedSizes>();
  EXPECT_EQ(read.apps.size(), 2u);
  EXPECT_EQ(read.apps.at("a"), (SizeLimits{{300, 0}, {}}));
  EXPECT_EQ(read.apps.at("c"), (SizeLimits{{}, {900, 0}}));
  EXPECT_TRUE(read.windows.empty());
  EXPECT_ANY_THROW(nlohmann::json::parse("[]").get<LearnedSizes>());
}

}  // namespace
}  // namespace kestles
