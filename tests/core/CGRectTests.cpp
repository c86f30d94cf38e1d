#include "KestlesCore/geometry/CGRect.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

TEST(CGRectTests, ContainsIncludesMinimumEdgesOnly) {
  CGRect rect(10, 20, 100, 50);
  struct Case {
    CGPoint point;
    bool inside;
  };
  const Case cases[] = {
      {{10, 20}, true},  {{109.999, 69.999}, true}, {{110, 30}, false},
      {{50, 70}, false}, {{9.999, 30}, false},      {{50, 19.999}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(rect.contains(c.point), c.inside) << c.point.x << "," << c.point.y;
  EXPECT_FALSE(CGRect(0, 0, 0, 10).contains(CGPoint{0, 5}));
}

TEST(CGRectTests, IntersectionOfOverlappingTouchingAndApart) {
  CGRect a(0, 0, 100, 100);
  EXPECT_EQ(a.intersection({50, 60, 100, 100}), CGRect(50, 60, 50, 40));
  EXPECT_EQ(a.intersectionArea({50, 60, 100, 100}), 2000);
  auto touching = a.intersection({100, 0, 50, 50});
  ASSERT_TRUE(touching);
  EXPECT_EQ(touching->area(), 0);
  EXPECT_FALSE(a.intersection({101, 0, 50, 50}));
  EXPECT_EQ(a.intersectionArea({101, 0, 50, 50}), 0);
  EXPECT_EQ(a.intersection({-10, -10, 20, 20}), CGRect(0, 0, 10, 10));
}

TEST(CGRectTests, UnionAndOffset) {
  EXPECT_EQ(CGRect(0, 0, 10, 10).unionWith({20, -5, 10, 10}), CGRect(0, -5, 30, 15));
  EXPECT_EQ(CGRect(0, 0, 10, 10).unionWith({2, 2, 2, 2}), CGRect(0, 0, 10, 10));
  EXPECT_EQ(CGRect(1, 2, 3, 4).offsetBy(-1, 10), CGRect(0, 12, 3, 4));
}

TEST(CGRectTests, NegativeSizesAreStandardized) {
  CGRect flipped(100, 100, -40, -20);
  EXPECT_EQ(flipped.minX(), 60);
  EXPECT_EQ(flipped.maxY(), 100);
  EXPECT_EQ(flipped.width(), 40);
  EXPECT_EQ(flipped.standardized(), CGRect(60, 80, 40, 20));
  EXPECT_TRUE(flipped.contains(CGPoint{60, 80}));
}

TEST(CGRectTests, InsetCollapsesOnTheMiddleWhenTooSmall) {
  EXPECT_EQ(CGRect(0, 0, 1000, 600).insetBy(8, 8), CGRect(8, 8, 984, 584));
  EXPECT_EQ(CGRect(0, 0, 10, 600).insetBy(8, -2), CGRect(5, -2, 0, 604));
}

TEST(CGRectTests, RoundingTakesTheSizeFromTheRoundedFarEdge) {
  struct Case {
    CGRect in, out;
  };
  const Case cases[] = {
      {{100.5, 0.4, 10.2, 10.2}, {101, 0, 10, 11}},  // maxX 110.7 -> 111, maxY 10.6 -> 11
      {{-0.5, -1.5, 1, 1}, {-1, -2, 2, 1}},          // halves go away from zero
      {{0.49, 2.5, 0.02, 0}, {0, 3, 1, 0}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.in.rounded(), c.out);
}

TEST(CGRectTests, JSONIsOriginThenSize) {
  CGRect rect(1.5, -2, 300, 200);
  nlohmann::json json = rect;
  EXPECT_EQ(json.dump(), "[[1.5,-2],[300,200]]");
  EXPECT_EQ(nlohmann::json::parse("[[1.5,-2],[300,200]]").get<CGRect>(), rect);
  for (auto bad : {"[1,2,3,4]", "[[1,2]]", "[[1,2],[3]]", "{\"x\":1}", "[[1,\"2\"],[3,4]]",
                   "[[true,0],[1,1]]"})
    EXPECT_ANY_THROW(nlohmann::json::parse(bad).get<CGRect>()) << bad;
}

}  // namespace
}  // namespace kestles
