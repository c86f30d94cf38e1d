#include "KestlesCore/display/DisplaySetup.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

DisplayInfo makeDisplay(std::string id, std::string name, CGRect frame, bool builtIn = false,
                        bool main = false) {
  return {std::move(id), std::move(name), frame, frame, builtIn, main};
}

/// An external display on the left, the built-in panel to its right, a portrait one above.
DisplaySetup sampleSetup() {
  return {{makeDisplay("EXT", "Studio Display", {0, 0, 2560, 1440}, false, true),
           makeDisplay("LAP", "Built-in Retina Display", {2560, 0, 1512, 982}, true),
           makeDisplay("POR", "Studio Display (2)", {-1440, -1000, 1440, 2560})}};
}

TEST(DisplaySetupTests, DisplayAtPoint) {
  auto setup = sampleSetup();
  struct Case {
    CGPoint point;
    const char* id;
  };
  const Case cases[] = {
      {{100, 100}, "EXT"},   {{2560, 10}, "LAP"},    // shared edge goes to the right display
      {{2559.9, 10}, "EXT"}, {{3000, 1200}, "LAP"},  // below the laptop: nearest
      {{-5000, 0}, "POR"},   {{1280, -10}, "EXT"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(setup.display(c.point)->id, c.id) << c.point.x;
  EXPECT_FALSE(DisplaySetup{}.display(CGPoint{0, 0}));
}

TEST(DisplaySetupTests, DisplayForFrame) {
  DisplaySetup twin{{makeDisplay("L", "Left", {0, 0, 1000, 1000}),
                     makeDisplay("R", "Right", {1000, 0, 1000, 1000})}};
  struct Case {
    CGRect frame;
    const char* id;
  };
  const Case cases[] = {
      {{900, 0, 200, 100}, "L"},  // equal overlap: first listed
      {{899, 0, 200, 100}, "L"},    {{901, 0, 200, 100}, "R"},
      {{2500, 100, 100, 100}, "R"},  // off screen: nearest to the centre
      {{-400, 100, 100, 100}, "L"}, {{1000, 500, 0, 0}, "R"},
      {{1000, 1000, 0, 0}, "L"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(twin.display(c.frame)->id, c.id) << c.frame.origin.x;
  EXPECT_FALSE(DisplaySetup{}.display(CGRect(0, 0, 10, 10)));
}

TEST(DisplaySetupTests, MatchingByIDKeywordAndName) {
  auto setup = sampleSetup();
  struct Case {
    const char* text;
    std::optional<std::string> id;
  };
  const Case cases[] = {
      {"  POR ", "POR"},
      {"Built-in", "LAP"},
      {"built in", "LAP"},
      {"LAPTOP", "LAP"},
      {"internal", "LAP"},
      {"Main", "EXT"},
      {"studio", {}},
      {"Studio Display", "EXT"},
      {"stúdio display (", "POR"},
      {"built-in retina", "LAP"},
      {"", {}},
      {"   ", {}},
      {"nothing", {}},
  };
  for (const auto& c : cases) {
    auto found = setup.matching(c.text);
    EXPECT_EQ(found ? std::optional(found->id) : std::nullopt, c.id) << c.text;
  }
  DisplaySetup noBuiltIn{{makeDisplay("A", "Laptop Stand", {0, 0, 10, 10})}};
  EXPECT_FALSE(noBuiltIn.matching("laptop"));
  EXPECT_FALSE(noBuiltIn.matching("main"));
}

TEST(DisplaySetupTests, LookupsByIDAndFallback) {
  auto setup = sampleSetup();
  EXPECT_EQ(setup.displayWithID("LAP")->name, "Built-in Retina Display");
  EXPECT_FALSE(setup.displayWithID("lap"));
  EXPECT_EQ(setup.fallback()->id, "EXT");
  setup.displays[0].isMain = false;
  EXPECT_EQ(setup.fallback()->id, "EXT");
  std::swap(setup.displays[0], setup.displays[1]);
  EXPECT_EQ(setup.fallback()->id, "LAP");
  EXPECT_FALSE(DisplaySetup{}.fallback());
}

TEST(DisplaySetupTests, OrderFingerprintAndTitle) {
  auto setup = sampleSetup();
  std::vector<std::string> ids;
  for (const auto& d : setup.ordered())
    ids.push_back(d.id);
  EXPECT_EQ(ids, (std::vector<std::string>{"LAP", "POR", "EXT"}));
  EXPECT_EQ(setup.title(), "Built-in Retina Display + Studio Display (2) + Studio Display");
  EXPECT_EQ(setup.fingerprint(), "EXT+LAP+POR");

  DisplaySetup ba{{makeDisplay("B", "B", {0, 0, 1, 1}), makeDisplay("A", "A", {0, 0, 1, 1})}};
  DisplaySetup ab{{ba.displays[1], ba.displays[0]}};
  EXPECT_EQ(ba.fingerprint(), "A+B");
  EXPECT_EQ(ab.fingerprint(), "A+B");
  EXPECT_EQ(ba.title(), "B + A");  // equal keys keep listing order
  EXPECT_EQ(DisplaySetup{}.fingerprint(), "");
}

TEST(DisplaySetupTests, HashFollowsIDsInOrder) {
  std::hash<DisplaySetup> hash;
  auto setup = sampleSetup();
  auto renamed = setup;
  renamed.displays[0].name = "Other";
  EXPECT_EQ(hash(setup), hash(renamed));
  auto reordered = setup;
  std::swap(reordered.displays[0], reordered.displays[1]);
  EXPECT_NE(hash(setup), hash(reordered));
  EXPECT_NE(hash(DisplaySetup{}), hash(DisplaySetup{{setup.displays[0]}}));
}

}  // namespace
}  // namespace kestles
