#include "KestlesCore/layout/LayoutStrip.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

TEST(LayoutStripTests, ThumbnailsAreCentredAndLimitedByWidth) {
  const CGRect visible(0, 25, 1440, 875);  // 40 high: round(65.83) = 66 wide
  EXPECT_EQ(LayoutStrip::thumbnailWidth(visible), 66);
  EXPECT_EQ(LayoutStrip::capacity(visible), 18u);  // (1440 - 100 + 8) / 74 = 18.2
  auto frames = LayoutStrip::thumbnailFrames(visible, 3);
  // Row width 3 × 66 + 2 × 8 = 214, centred on 720: first x = 613.
  EXPECT_EQ(frames, (std::vector<CGRect>{{613, 43, 66, 40}, {687, 43, 66, 40}, {761, 43, 66, 40}}));
  EXPECT_EQ(LayoutStrip::thumbnailFrames(visible, 50).size(), 18u);
  EXPECT_EQ(LayoutStrip::thumbnailFrames(visible, 0).size(), 0u);

  const CGRect narrow(0, 0, 120, 100);
  EXPECT_EQ(LayoutStrip::capacity(narrow), 1u);
  EXPECT_EQ(LayoutStrip::thumbnailWidth({0, 0, 500, 0}), 40);
  EXPECT_EQ(LayoutStrip::capacity({0, 0, 500, 0}), 8u);  // (500 - 92) / 48 = 8.5
}

TEST(LayoutStripTests, HotAreaZoneAndPicking) {
  const CGRect visible(0, 25, 1440, 875);
  auto frames = LayoutStrip::thumbnailFrames(visible, 3);
  EXPECT_EQ(LayoutStrip::hotArea(frames), CGRect(603, 33, 234, 60));
  EXPECT_FALSE(LayoutStrip::hotArea({}));
  EXPECT_TRUE(LayoutStrip::isInZone({10, 135}, visible));
  EXPECT_FALSE(LayoutStrip::isInZone({10, 135.5}, visible));
  struct Case {
    CGPoint point;
    std::optional<std::size_t> index;
  };
  const Case cases[] = {
      {{650, 60}, 0},  {{609, 33}, 0}, {{608.9, 60}, {}}, {{683, 60}, 1},
      {{757, 93}, {}}, {{757, 92}, 2}, {{831, 50}, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LayoutStrip::thumbnail(c.point, frames), c.index) << c.point.x << "," << c.point.y;
}

TEST(LayoutStripTests, MatchingLayoutByFrames) {
  std::vector<CGRect> current{{0, 0, 500, 500}, {500, 0, 500, 500}};
  std::vector<std::vector<CGRect>> solved{
      {{0, 0, 1000, 500}},
      {{0, 0, 500.003, 500}, {500, 0, 500, 500}},
      {{0.001, 0, 500, 500}, {500, 0, 499.999, 500}},
      current,
  };
  EXPECT_EQ(LayoutStrip::matchingLayout(current, solved), 2u);
  EXPECT_FALSE(LayoutStrip::matchingLayout(current, std::span(solved).first(2)));
}

}  // namespace
}  // namespace kestles
