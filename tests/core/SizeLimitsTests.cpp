#include "KestlesCore/layout/SizeLimits.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

const CGRect kVisible(0, 25, 1000, 775);

TEST(SizeLimitsTests, AppliedKeepsTheFrameOrLandsTheLimitedSize) {
  struct Case {
    const char* name;
    SizeLimits limits;
    CGRect frame, expected;
  };
  const Case cases[] = {
      {"no limits", {}, {100.3, 200.2, 300.4, 200.1}, {100.3, 200.2, 300.4, 200.1}},
      {"within half a point", {{300.8, 0}, {}}, {100, 200, 300.4, 200}, {100, 200, 300.4, 200}},
      {"minimum widens around the centre",
       {{400, 0}, {}},
       {100, 200, 300, 200},
       {50, 200, 400, 200}},
      {"maximum narrows around the centre",
       {{}, {200, 100}},
       {100, 200, 300, 200},
       {150, 250, 200, 100}},
      {"minimum beats maximum", {{500, 0}, {300, 0}}, {100, 200, 400, 200}, {50, 200, 500, 200}},
      {"kept on screen at the left", {{600, 0}, {}}, {0, 200, 300, 200}, {0, 200, 600, 200}},
      {"kept on screen at the bottom", {{0, 500}, {}}, {0, 600, 300, 200}, {0, 300, 300, 500}},
      {"larger than the screen starts at its edge",
       {{1200, 0}, {}},
       {500, 100, 300, 200},
       {0, 100, 1200, 200}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.limits.applied(c.frame, kVisible), c.expected) << c.name;
}

TEST(SizeLimitsTests, LandingRoundsTheCentredPosition) {
  EXPECT_EQ(landing({101, 51}, {0, 100, 200, 100}, kVisible), CGRect(50, 125, 101, 51));
  EXPECT_EQ(landing({100, 50}, {0, 100, 201, 101}, kVisible), CGRect(51, 126, 100, 50));
}

TEST(SizeLimitsTests, Learning) {
  struct Case {
    const char* name;
    SizeLimits old;
    CGSize requested, actual;
    bool forgetting;
    std::optional<SizeLimits> learned;
  };
  const Case cases[] = {
      {"50 wider: new minimum", {}, {800, 600}, {850, 600}, false, SizeLimits{{850, 0}, {}}},
      {"10 wider: nothing", {}, {800, 600}, {810, 600}, false, {}},
      {"24 wider: within tolerance", {}, {800, 600}, {824, 600}, false, {}},
      {"a smaller landing keeps the minimum", {{850, 0}, {}}, {800, 600}, {800, 600}, true, {}},
      {"a larger minimum replaces it",
       {{850, 0}, {}},
       {800, 600},
       {900, 600},
       false,
       SizeLimits{{900, 0}, {}}},
      {"50 shorter: new maximum", {}, {800, 600}, {800, 550}, false, SizeLimits{{}, {0, 550}}},
      {"a maximum only grows", {{}, {0, 580}}, {800, 600}, {800, 550}, false, {}},
      {"overshot maximum forgotten",
       {{}, {700, 0}},
       {800, 600},
       {800, 600},
       true,
       SizeLimits{{}, {0, 0}}},
      {"overshot maximum kept without forgetting",
       {{}, {700, 0}},
       {800, 600},
       {800, 600},
       false,
       {}},
      {"both sides at once", {}, {800, 600}, {700, 700}, false, SizeLimits{{0, 700}, {700, 0}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.old.learning(c.requested, c.actual, c.forgetting), c.learned) << c.name;
}

TEST(SizeLimitsTests, FlatJSON) {
  SizeLimits limits{{400, 300}, {1200, 0}};
  nlohmann::json json = limits;
  EXPECT_EQ(json, nlohmann::json::parse(R"({"width":400.0,"height":300.0,"maxWidth":1200.0})"));
  EXPECT_EQ(json.get<SizeLimits>(), limits);
  EXPECT_EQ(nlohmann::json(SizeLimits{}), nlohmann::json::parse(R"({"width":0,"height":0})"));
  EXPECT_EQ(nlohmann::json::parse(R"({"width":"wide","maxHeight":500})").get<SizeLimits>(),
            (SizeLimits{{0, 0}, {0, 500}}));
  EXPECT_ANY_THROW(nlohmann::json::parse("[1, 2]").get<SizeLimits>());
  EXPECT_EQ(nlohmann::json::parse(R"({"width":3})").get<MinimumSize>(), (MinimumSize{3, 0}));
}

}  // namespace
}  // namespace kestles
