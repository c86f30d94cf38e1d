#include "KestlesCore/tiling/DisplaySwap.hpp"

#include <gtest/gtest.h>

#include "tests/core/KeptTestSupport.hpp"

namespace kestles {
namespace {

using namespace kestles::kept_testing;
using Slots = std::vector<std::optional<std::uint32_t>>;
using Frames = std::map<std::uint32_t, CGRect>;

constexpr std::uint32_t A = 11, B = 12, C = 13, D = 14, E = 15;
const Gaps kNoGaps{0, 0};

TEST(DisplaySwapTests, Description) {
  EXPECT_EQ(DisplaySwap::description,
            "Everything on the display trades places with the next display’s, tiles and all. On "
            "a portrait display, the tiles turn to fit.");
}

TEST(DisplaySwapTests, TilingsTradeDisplaysAndTurnBetweenPortraitAndLandscape) {
  // The wide display in two columns, the portrait one in two rows.
  auto world = worldOf({windowAt(A, {1512, 0, 1280, 1440}), windowAt(B, {2792, 0, 1280, 1440}),
                        windowAt(C, {4072, 0, 1080, 960}), windowAt(D, {4072, 960, 1080, 960}),
                        windowAt(E, {100, 100, 400, 300})},  // on the laptop: stays
                       {laptop(), wide(), portrait()});
  auto tilings = tiledWith("halves", {A, B}, "wide");
  tilings.merge(tiledWith("halves-stacked", {C, D}, "portrait"));
  tilings.at("wide").zoomed = B;

  auto plan = DisplaySwap::make(1, A, world, tilings, kNoGaps);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->from, "wide");
  EXPECT_EQ(plan->to, "portrait");
  EXPECT_EQ(plan->frames, (Frames{{A, {4072, 0, 1080, 960}},
                                  {B, {4072, 960, 1080, 960}},
                                  {C, {1512, 0, 1280, 1440}},
                                  {D, {2792, 0, 1280, 1440}}}));
  const Tiling& onPortrait = plan->tilings.at("portrait");
  EXPECT_EQ(onPortrait.windows, (Slots{A, B}));
  EXPECT_EQ(onPortrait.shape.treeNode()->split, Split::rows);
  EXPECT_FALSE(onPortrait.layout);  // no longer the template it came from
  EXPECT_FALSE(onPortrait.zoomed);  // the zoomed window is back in its tile
  EXPECT_EQ(plan->tilings.at("wide").shape.treeNode()->split, Split::columns);
  EXPECT_EQ(plan->tiles.at("wide"),
            (std::vector<CGRect>{{1512, 0, 1280, 1440}, {2792, 0, 1280, 1440}}));
  EXPECT_EQ(plan->tilings.size(), 2u);
}

TEST(DisplaySwapTests, SameOrientationKeepsTheShapeAndItsLayout) {
  auto world = worldOf({windowAt(A, {0, 32, 756, 950})}, {laptop(), wide()});
  auto plan = DisplaySwap::make(1, A, world, tiledWith("thirds", {A}, "laptop"), kNoGaps);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->tilings.at("wide").shape, Template::withID("thirds")->shape);
  EXPECT_EQ(plan->tilings.at("wide").layout, LayoutRef::templateLayout("thirds"));
  EXPECT_EQ(plan->tilings.at("wide").windows, (Slots{A, std::nullopt, std::nullopt}));
  // The laptop had nothing: it ends without a tiling.
  EXPECT_FALSE(plan->tilings.contains("laptop"));
  EXPECT_EQ(plan->frames, (Frames{{A, {1512, 0, 853, 1440}}}));
}

TEST(DisplaySwapTests, DrawnTilesTurnAcrossTheDiagonal) {
  auto turned = DisplaySwap::turned(
      TileShape::drawn({{UUID::random(), {0.1, 0.2, 0.5, 0.3}}, {UUID::random(), {0, 0, 1, 0.2}}}));
  ASSERT_TRUE(turned.drawnTiles());
  EXPECT_EQ(turned.drawnTiles()->at(0).unit, CGRect(0.2, 0.1, 0.3, 0.5));
  EXPECT_EQ(turned.drawnTiles()->at(1).unit, CGRect(0, 0, 0.2, 1));
}

TEST(DisplaySwapTests, UntiledWindowsKeepTheirSnapPlaceOrScale) {
  const Gaps gaps{8, 8};
  auto world = worldOf({windowAt(A, {8, 40, 744, 934}),      // the laptop's left half
                        windowAt(B, {1521, 9, 1267, 1423}),  // near the wide one's left half
                        windowAt(C, {1512 + 640, 360, 1280, 720})},  // free on the wide one
                       {laptop(), wide()});
  auto plan = DisplaySwap::make(-1, B, world, {}, gaps);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->from, "wide");
  EXPECT_EQ(plan->to, "laptop");
  // Scaled: sx = 1512 / 2560, sy = 950 / 1440, each edge rounded.
  EXPECT_EQ(
      plan->frames,
      (Frames{{A, {1520, 8, 1268, 1424}}, {B, {8, 40, 744, 934}}, {C, {378, 270, 756, 475}}}));
  EXPECT_TRUE(plan->tilings.empty());

  // A free window on a 2000 × 1000 display, swapped with a 1000 × 1000 one.
  DisplayInfo big{"big", "Big", {0, 0, 2000, 1000}, {0, 0, 2000, 1000}, true, true};
  DisplayInfo square{"square", "Square", {2000, 0, 1000, 1000}, {2000, 0, 1000, 1000}};
  auto scaled = DisplaySwap::make(1, A, worldOf({windowAt(A, {0, 0, 1000, 800})}, {big, square}),
                                  {}, kNoGaps);
  ASSERT_TRUE(scaled);
  EXPECT_EQ(scaled->frames, (Frames{{A, {2000, 0, 500, 800}}}));
}

TEST(DisplaySwapTests, OpenCases) {
  auto onEach = worldOf({windowAt(A, {100, 100, 400, 300}), windowAt(B, {1600, 100, 400, 300}),
                         windowAt(C, {4100, 100, 400, 300})},
                        {laptop(), wide(), portrait()});
  struct Row {
    const char* name;
    int offset;
    std::uint32_t front;
    const char* to;  // nullptr: no swap
  };
  const Row rows[] = {
      {"next of the laptop", 1, A, "wide"},
      {"back from the laptop wraps to the last display", -1, A, "portrait"},
      {"next of the last display wraps to the laptop", 1, C, "laptop"},
      {"back from the wide display", -1, B, "laptop"},
      {"a whole turn comes back to the same display", 3, B, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto plan = DisplaySwap::make(row.offset, row.front, onEach, {}, kNoGaps);
    if (!row.to) {
      EXPECT_FALSE(plan);
      continue;
    }
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->to, row.to);
    EXPECT_EQ(plan->frames.size(), 2u);  // one window each way; the third display's stays
  }

  // A single display: nothing to trade with.
  EXPECT_FALSE(DisplaySwap::make(1, A, worldOf({windowAt(A, {100, 100, 400, 300})}, {laptop()}), {},
                                 kNoGaps));
  // Neither display has a window or a tiling; hidden, minimized and full-screen windows stay.
  auto quiet =
      worldOf({windowAt(A, {100, 100, 400, 300}, 0, 1), windowAt(B, {1600, 100, 400, 300}, 1, 2),
               windowAt(C, {1700, 100, 400, 300}, 2, 3)},
              {laptop(), wide()});
  quiet.windows[0].isMinimized = true;
  quiet.apps.push_back({2, "app.2", "Two", true});
  quiet.windows[2].isFullScreen = true;
  EXPECT_FALSE(DisplaySwap::make(1, std::nullopt, quiet, {}, kNoGaps));
  // Without a front window the active display is the one swapped.
  quiet.windows.push_back(windowAt(D, {1600, 500, 400, 300}));
  auto fromActive = DisplaySwap::make(1, std::nullopt, quiet, {}, kNoGaps);
  ASSERT_TRUE(fromActive);
  EXPECT_EQ(fromActive->from, "laptop");
  EXPECT_EQ(fromActive->frames.size(), 1u);
}

TEST(DisplaySwapTests, AZeroSizedDisplayCarriesNothingAcross) {
  DisplayInfo flat{"flat", "Flat", {2000, 0, 1000, 0}, {2000, 0, 1000, 0}};
  auto world = worldOf({windowAt(A, {100, 100, 400, 300})}, {plainDisplay(1500, 900), flat});
  EXPECT_FALSE(DisplaySwap::make(1, A, world, {}, kNoGaps));
}

}  // namespace
}  // namespace kestles
