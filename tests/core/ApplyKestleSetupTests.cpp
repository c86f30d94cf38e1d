#include "KestlesCore/apply/KestleSetup.hpp"
#include "KestlesCore/apply/PinSpot.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ApplyTestSupport.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

Kestle threeSetups() {
  KestleScreen a{{"A", "Display 10", false, 1.5}, templateShape("halves"), std::nullopt, {}};
  KestleScreen b{{"B", "Display 2", false, 1.5}, templateShape("halves"), std::nullopt, {}};
  return kestle("K",
                {{"LAPTOP", {{screen(laptop(), "halves", {})}}},
                 {"LAPTOP+WIDE", {{screen(wide(), "halves", {}), screen(laptop(), "halves", {})}}},
                 {"A+B+C", {{a, b}}}});
}

TEST(ApplyKestleSetupTests, SavedSetupsAndTheCurrentOneByDisplayCountThenTitle) {
  auto list = KestleSetup::list(threeSetups(), {{laptop(), ultrawide()}});
  std::vector<KestleSetup> expected{
      {"LAPTOP", "Built-in Retina Display", false, true},
      {"LAPTOP+WIDE", "Built-in Retina Display + Studio Display", false, true},
      {"LAPTOP+ULTRA", "Built-in Retina Display + Ultrawide Display", true, false},
      // Names kept by the screens, an id without a screen by itself.
      {"A+B+C", "Display 10 + Display 2 + C", false, true},
  };
  EXPECT_EQ(list, expected);

  auto connected = KestleSetup::list(threeSetups(), {{wide(), laptop()}});
  ASSERT_EQ(connected.size(), 3u);
  EXPECT_EQ(connected[1],
            (KestleSetup{"LAPTOP+WIDE", "Built-in Retina Display + Studio Display", true, true}));
}

TEST(ApplyKestleSetupTests, StandardOrderFoldsCaseAndReadsNumbers) {
  struct Row {
    std::string a, b;
    bool less;
  };
  const Row rows[] = {
      {"Display 2", "Display 10", true},
      {"Display 10", "Display 2", false},
      {"apple", "Banana", true},
      {"Écran", "ecran B", true},
      {"Display 02", "Display 2 + A", true},
      {"Same", "Same", false},
  };
  for (const auto& row : rows)
    EXPECT_EQ(standardOrderLess(row.a, row.b), row.less) << row.a << " < " << row.b;
}

TEST(ApplyKestleSetupTests, PinSpotsOfAnApp) {
  Arrangement arrangement{{screen(laptop(), "halves", {kCode, kSafari}),
                           screen(wide(), "thirds", {std::nullopt, kCode, kSafari, kCode})}};
  // The fourth pin of the three thirds has no tile.
  EXPECT_EQ(PinSpot::spots(arrangement, kCode.bundleID),
            (std::vector<PinSpot>{{"LAPTOP", 0}, {"WIDE", 1}}));
  EXPECT_TRUE(PinSpot::spots(arrangement, kMail.bundleID).empty());
}

TEST(ApplyKestleSetupTests, PinSpotJSON) {
  PinSpot spot{"WIDE", 2};
  nlohmann::json json = spot;
  EXPECT_EQ(json, nlohmann::json::parse(R"({"displayID": "WIDE", "tile": 2})"));
  EXPECT_EQ(json.get<PinSpot>(), spot);
  EXPECT_THROW(nlohmann::json::parse(R"({"displayID": "WIDE"})").get<PinSpot>(), std::exception);
  EXPECT_THROW(nlohmann::json::parse(R"({"displayID": 3, "tile": 1})").get<PinSpot>(),
               std::exception);
}

}  // namespace
}  // namespace kestles
