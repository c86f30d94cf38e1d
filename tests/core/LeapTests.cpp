#include "KestlesCore/layout/Leap.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

TEST(LeapTests, FittingAndCarrying) {
  EXPECT_EQ(Leap::fittingScale({200, 100}, {0, 0, 100, 100}), 0.5);
  EXPECT_EQ(Leap::fitted({200, 100}, {0, 0, 100, 100}), CGRect(0, 25, 100, 50));
  EXPECT_EQ(Leap::carried({100, 100, 200, 100}, {0, 0, 1000, 500}, {2000, 0, 500, 1000}),
            CGRect(2050, 200, 100, 200));
  EXPECT_FALSE(Leap::carried({950, 100, 200, 100}, {0, 0, 1000, 500}, {2000, 0, 500, 1000}));
}

TEST(LeapTests, StartScaleIsClamped) {
  struct Case {
    CGRect from, to;
    Leap::Start start;
  };
  const Case cases[] = {
      {{0, 0, 100, 100}, {0, 0, 400, 100}, {{-150, 0}, 0.5}},
      {{0, 0, 800, 800}, {100, 100, 400, 400}, {{100, 100}, 1}},
      {{0, 0, 1, 1}, {0, 0, 1000, 1000}, {{-499.5, -499.5}, 0.02}},
      {{0, 0, 100, 100}, {50, 50, 0, 0}, {{0, 0}, 1}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Leap::start(c.from, c.to), c.start) << c.to.width();
}

}  // namespace
}  // namespace kestles
