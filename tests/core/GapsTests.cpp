#include "KestlesCore/layout/Gaps.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

TEST(GapsTests, ChangesStepByFourAndClamp) {
  struct Case {
    Gaps from;
    GapsChange change;
    std::optional<double> to;
  };
  const Case cases[] = {
      {{6, 6}, GapsChange::wider(), 8},     {{6, 6}, GapsChange::narrower(), 4},
      {{8, 8}, GapsChange::wider(), 12},    {{8, 8}, GapsChange::narrower(), 4},
      {{0, 0}, GapsChange::narrower(), {}}, {{0, 4}, GapsChange::narrower(), 0},
      {{24, 24}, GapsChange::wider(), {}},  {{30, 8}, GapsChange::wider(), 24},
      {{-3, 8}, GapsChange::narrower(), 0}, {{8, 8}, GapsChange::points(30), 24},
      {{8, 8}, GapsChange::points(8), {}},  {{8, 2}, GapsChange::points(8), 8},
      {{8, 8}, GapsChange::points(-5), 0},  {{4, 12}, GapsChange::wider(), 8},
  };
  for (const auto& c : cases) {
    auto changed = c.from.applying(c.change);
    ASSERT_EQ(changed.has_value(), c.to.has_value()) << c.from.inner << " " << linkWord(c.change);
    if (changed) {
      EXPECT_EQ(*changed, (Gaps{*c.to, *c.to})) << linkWord(c.change);
    }
  }
}

TEST(GapsTests, Titles) {
  EXPECT_EQ(gapTitle(0), "No Gaps");
  EXPECT_EQ(gapTitle(12), "Gaps 12 pt");
  EXPECT_EQ((Gaps{8, 8}).title(), "Gaps 8 pt");
  EXPECT_EQ((Gaps{0, 0}).title(), "No Gaps");
  EXPECT_EQ((Gaps{8, 4}).title(), "Gaps 8 → 4 pt");
}

TEST(GapsTests, JSONReadsToleratingAndClamping) {
  struct Case {
    const char* json;
    Gaps gaps;
  };
  const Case cases[] = {
      {R"({"inner":4,"outer":12})", {4, 12}},
      {R"({})", {8, 8}},
      {R"({"inner":"4","outer":null})", {8, 8}},
      {R"({"inner":-2,"outer":40.5})", {0, 24}},
      {R"({"inner":2.5})", {2.5, 8}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nlohmann::json::parse(c.json).get<Gaps>(), c.gaps) << c.json;
  EXPECT_EQ(nlohmann::json(Gaps{4, 12}), nlohmann::json::parse(R"({"inner":4.0,"outer":12.0})"));
  EXPECT_ANY_THROW(nlohmann::json::parse("[4, 12]").get<Gaps>());
}

TEST(GapsTests, GapsChangeJSONUsesOneKeyedCase) {
  struct Case {
    GapsChange change;
    const char* json;
  };
  const Case cases[] = {
      {GapsChange::wider(), R"({"wider":{}})"},
      {GapsChange::narrower(), R"({"narrower":{}})"},
      {GapsChange::points(12), R"({"points":{"_0":12}})"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(nlohmann::json(c.change).dump(), c.json);
    EXPECT_EQ(nlohmann::json::parse(c.json).get<GapsChange>(), c.change);
  }
  for (auto bad : {R"({})", R"({"wider":{},"narrower":{}})"}) {
    try {
      nlohmann::json::parse(bad).get<GapsChange>();
      ADD_FAILURE() << bad;
    } catch (const std::exception& error) {
      EXPECT_STREQ(error.what(), "Invalid number of keys found, expected one.");
    }
  }
  for (auto bad : {R"({"bigger":{}})", R"({"points":{}})", R"("wider")"})
    EXPECT_ANY_THROW(nlohmann::json::parse(bad).get<GapsChange>()) << bad;
}

}  // namespace
}  // namespace kestles
