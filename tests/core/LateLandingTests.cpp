#include "KestlesCore/layout/LateLanding.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

TEST(LateLandingTests, Verdicts) {
  const CGRect visible(0, 25, 1440, 875);
  const CGRect target(100, 100, 800, 600);
  using Verdict = LateLanding::Verdict;
  struct Case {
    const char* name;
    CGRect frame;
    std::optional<Verdict> verdict;
  };
  const Case cases[] = {
      {"landed as asked", {100, 100, 800, 600}, {}},
      {"10 wider is within tolerance", {100, 100, 810, 600}, {}},
      {"wider, grown from the origin", {100, 100, 900, 600}, Verdict{true, CGPoint{50, 100}}},
      {"wider, already centred", {50.5, 100, 900, 600}, Verdict{true, std::nullopt}},
      {"taller, pushed back on screen", {100, 100, 800, 850}, Verdict{true, CGPoint{100, 25}}},
      {"elsewhere", {1000, 100, 300, 300}, {}},
      {"smaller, inside the target", {300, 300, 200, 200}, Verdict{true, CGPoint{400, 300}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LateLanding::verdict(target, c.frame, visible), c.verdict) << c.name;
}

}  // namespace
}  // namespace kestles
