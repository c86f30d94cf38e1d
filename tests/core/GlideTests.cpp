#include "KestlesCore/layout/Glide.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

TEST(GlideTests, StaggeredEasedProgress) {
  struct Case {
    int index;
    double elapsed, duration;
    std::optional<double> progress;
  };
  const Case cases[] = {
      {0, 0, 0.2, 0.0},           {0, 0.1, 0.2, 1 - 0.0625}, {0, 0.5, 0.2, 1.0},
      {2, 0.031, 0.2, {}},        {2, 0.032, 0.2, 0.0},      {9, 0.079, 0.2, {}},
      {9, 0.18, 0.2, 1 - 0.0625}, {-3, 0, 0.2, 0.0},         {1, 0.016, 0, 1.0},
      {1, 0.016, -1, 1.0},
  };
  for (const auto& c : cases) {
    auto progress = Glide::progress(c.index, c.elapsed, c.duration);
    ASSERT_EQ(progress.has_value(), c.progress.has_value()) << c.index << " " << c.elapsed;
    if (progress) {
      EXPECT_NEAR(*progress, *c.progress, 1e-12) << c.index << " " << c.elapsed;
    }
  }
}

TEST(GlideTests, DelaysAndDurations) {
  EXPECT_DOUBLE_EQ(Glide::delay(3), 0.048);
  EXPECT_DOUBLE_EQ(Glide::delay(40), 0.08);
  EXPECT_DOUBLE_EQ(Glide::totalDuration(1, 0.25), 0.25);
  EXPECT_DOUBLE_EQ(Glide::totalDuration(0, 0.25), 0.25);
  EXPECT_DOUBLE_EQ(Glide::totalDuration(3, 0.25), 0.282);
  EXPECT_DOUBLE_EQ(Glide::totalDuration(12, 0.25), 0.33);
  EXPECT_DOUBLE_EQ(Glide::midpoint(2, 0.2), 0.032 + 0.11);
}

}  // namespace
}  // namespace kestles
