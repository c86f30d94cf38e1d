#include "KestlesCore/apply/ArrangementChoice.hpp"

#include <gtest/gtest.h>

#include "ApplyTestSupport.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

// A 16:9 monitor the kestles were saved on, no longer connected.
const DisplayKind kOldWide{"OLDWIDE", "Old Monitor", false, 16.0 / 9.0};

KestleScreen oldWideScreen(const std::string& templateID, std::vector<std::optional<AppRef>> pins) {
  return {kOldWide, templateShape(templateID), LayoutRef::templateLayout(templateID),
          std::move(pins)};
}

DisplaySetup setupOf(std::vector<DisplayInfo> displays) {
  return {std::move(displays)};
}

TEST(ApplyArrangementTests, StoredArrangementWinsOverDerivation) {
  Arrangement both{{screen(laptop(), "halves", {kCode}), screen(wide(), "thirds", {kSafari})}};
  Arrangement solo{{screen(laptop(), "quarters", {kMail})}};
  auto k = kestle("K", {{"LAPTOP+WIDE", both}, {"LAPTOP", solo}});
  auto choice = ArrangementChoice::forSetup(k, setupOf({wide(), laptop()}));
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->arrangement, both);
  EXPECT_FALSE(choice->isDerived);
}

TEST(ApplyArrangementTests, ScreensGoToTheSameDisplayThenASimilarOne) {
  auto k = kestle(
      "K",
      {{"LAPTOP", {{screen(laptop(), "quarters", {kMail})}}},
       {"LAPTOP+OLDWIDE",
        {{oldWideScreen("thirds", {kSafari}), screen(laptop(), "halves", {kCode, kTerminal})}}}});
  auto choice = ArrangementChoice::forSetup(k, setupOf({laptop(), wide()}));
  ASSERT_TRUE(choice);
  EXPECT_TRUE(choice->isDerived);
  // The arrangement with a similar match beats the one with the laptop alone; its screens
  // keep their order, the old monitor's carried over to WIDE under WIDE's own kind.
  Arrangement expected{
      {screen(wide(), "thirds", {kSafari}), screen(laptop(), "halves", {kCode, kTerminal})}};
  EXPECT_EQ(choice->arrangement, expected);
}

TEST(ApplyArrangementTests, ScreenOnADisplayOfOtherOrientationIsTransposed) {
  struct Row {
    DisplayInfo display;
    TileShape shape;
    std::optional<LayoutRef> layout;
  };
  const auto halves = templateShape("halves");
  const Row rows[] = {
      {portrait(), TileShape::tree(halves.treeNode()->transposed()), std::nullopt},
      {ultrawide(), halves, LayoutRef::templateLayout("halves")},
  };
  auto k = kestle("K", {{"OLDWIDE", {{oldWideScreen("halves", {kCode, kSafari})}}}});
  for (const auto& row : rows) {
    SCOPED_TRACE(row.display.id);
    auto derived = ArrangementChoice::derived(k, setupOf({row.display}));
    ASSERT_TRUE(derived);
    ASSERT_EQ(derived->screens.size(), 1u);
    EXPECT_EQ(derived->screens[0].display, DisplayKind::of(row.display));
    EXPECT_EQ(derived->screens[0].shape, row.shape);
    EXPECT_EQ(derived->screens[0].layout, row.layout);
    EXPECT_EQ(derived->screens[0].pins, (std::vector<std::optional<AppRef>>{kCode, kSafari}));
  }
}

TEST(ApplyArrangementTests, DrawnTilesAreTransposedToo) {
  auto drawn = [](CGRect a, CGRect b) { return TileShape::drawn({{idOf(5), a}, {idOf(6), b}}); };
  KestleScreen narrowLeft{
      kOldWide, drawn({0, 0, 0.25, 1}, {0.25, 0.5, 0.75, 0.5}), std::nullopt, {kCode, kSafari}};
  auto derived =
      ArrangementChoice::derived(kestle("K", {{"OLDWIDE", {{narrowLeft}}}}), setupOf({portrait()}));
  ASSERT_TRUE(derived);
  EXPECT_EQ(derived->screens.at(0).shape, drawn({0, 0, 1, 0.25}, {0.5, 0.25, 0.5, 0.75}));
}

TEST(ApplyArrangementTests, ScreensWithoutADisplayAreLeftOut) {
  auto k =
      kestle("K", {{"LAPTOP+OLDWIDE",
                    {{oldWideScreen("thirds", {kSafari}), screen(laptop(), "halves", {kCode})}}}});
  auto derived = ArrangementChoice::derived(k, setupOf({laptop()}));
  ASSERT_TRUE(derived);
  EXPECT_EQ(*derived, (Arrangement{{screen(laptop(), "halves", {kCode})}}));
}

TEST(ApplyArrangementTests, NothingToDeriveFrom) {
  EXPECT_FALSE(ArrangementChoice::forSetup(kestle("K", {}), setupOf({laptop()})));
  auto k = kestle("K", {{"LAPTOP", {{screen(laptop(), "halves", {kCode})}}}});
  EXPECT_FALSE(ArrangementChoice::forSetup(k, setupOf({})));
  EXPECT_FALSE(ArrangementChoice::forSetup(kestle("K", {{"X", {}}}), setupOf({laptop()})));
}

}  // namespace
}  // namespace kestles
