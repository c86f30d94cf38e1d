#include "KestlesCore/snap/EdgeZone.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "KestlesCore/settings/Settings.hpp"
#include "KestlesCore/snap/Unsnap.hpp"
#include "KestlesCore/snap/ZoneMode.hpp"
#include "SnapTestSupport.hpp"

namespace kestles {
namespace {

using snap_testing::snapDisplay;

const DisplayInfo kScreen = snapDisplay("S", {0, 0, 1440, 900}, {0, 25, 1440, 875});

struct ZoneCase {
  CGPoint point;
  std::optional<SnapAction> action;
};

void expectZones(const DisplayInfo& display, const std::vector<DisplayInfo>& displays,
                 std::initializer_list<ZoneCase> cases) {
  for (const auto& c : cases)
    EXPECT_EQ(EdgeZone::action(c.point, display, displays), c.action)
        << display.id << " at " << c.point.x << ", " << c.point.y;
}

TEST(EdgeZoneTests, EdgesAndCornersOfALoneDisplay) {
  using A = SnapAction;
  expectZones(
      kScreen, {kScreen},
      {
          {{3, 450}, A::leftHalf},       {{6, 450}, A::leftHalf},      {{7, 450}, std::nullopt},
          {{1433, 450}, A::rightHalf},   {{1432, 450}, std::nullopt},  {{700, 3}, A::maximize},
          {{700, 450}, std::nullopt},    {{3, 100}, A::topLeft},       {{3, 120}, A::topLeft},
          {{3, 121}, A::leftHalf},       {{120, 2}, A::topLeft},       {{1330, 3}, A::topRight},
          {{1437, 110}, A::topRight},    {{3, 800}, A::bottomLeft},    {{100, 897}, A::bottomLeft},
          {{1330, 897}, A::bottomRight}, {{1300, 897}, A::lastThird},  {{700, 897}, A::centerThird},
          {{200, 897}, A::firstThird},   {{480, 895}, A::centerThird}, {{959, 895}, A::centerThird},
          {{960, 895}, A::lastThird},
      });
}

TEST(EdgeZoneTests, PortraitBottomIsTheBottomHalfExceptInItsCorners) {
  auto tall = snapDisplay("T", {0, 0, 1080, 1920}, {0, 0, 1080, 1920});
  expectZones(tall, {tall},
              {
                  {{540, 1915}, SnapAction::bottomHalf},
                  {{200, 1919}, SnapAction::bottomHalf},
                  {{50, 1915}, SnapAction::bottomLeft},
                  {{1060, 1915}, SnapAction::bottomRight},
              });
}

TEST(EdgeZoneTests, AnEdgeSharedWithAnotherDisplayHasNoZone) {
  auto right = snapDisplay("R", {1440, 0, 2560, 1440}, {1440, 25, 2560, 1415});
  auto above = snapDisplay("A", {0, -1080, 1920, 1080}, {0, -1080, 1920, 1080});
  std::vector<DisplayInfo> all{kScreen, right, above};
  expectZones(kScreen, all,
              {
                  {{1433, 450}, std::nullopt},             // the pointer crosses to the right
                  {{1435, 50}, std::nullopt},              // no right corner along the shared edge
                  {{700, 3}, std::nullopt},                // the display above continues the top
                  {{3, 3}, SnapAction::topLeft},           // the left edge is still free
                  {{1435, 895}, SnapAction::bottomRight},  // the bottom edge is free
              });
  expectZones(right, all,
              {
                  {{1443, 700}, std::nullopt},           // the laptop continues its left edge
                  {{1443, 1200}, SnapAction::leftHalf},  // below the laptop the edge is open
                  {{1443, 1430}, SnapAction::bottomLeft},
                  {{3995, 700}, SnapAction::rightHalf},
              });
  // The display above: the laptop and the wide display continue all of its bottom edge.
  expectZones(above, all,
              {{{700, -3}, std::nullopt},
               {{1700, -3}, std::nullopt},
               {{1915, -500}, SnapAction::rightHalf}});
}

TEST(EdgeZoneTests, ZoneModeOffersZonesOnlyToMovesAndEdgesBeforeTiles) {
  using Options = ZoneMode::Options;
  std::vector<DisplayInfo> all{kScreen};
  struct Case {
    WindowDragKind kind;
    CGPoint point;
    Options options;
    std::optional<ZoneMode> mode;
  };
  const CGPoint rim{3, 450}, middle{700, 450};
  const Case cases[] = {
      {WindowDragKind::move, rim, {false, true, false}, ZoneMode::edge(SnapAction::leftHalf)},
      {WindowDragKind::move, rim, {true, true, false}, ZoneMode::edge(SnapAction::leftHalf)},
      {WindowDragKind::move, middle, {true, true, false}, ZoneMode::tiles()},
      {WindowDragKind::move, middle, {false, true, false}, std::nullopt},
      {WindowDragKind::move, rim, {true, false, false}, ZoneMode::tiles()},
      {WindowDragKind::move, rim, {false, true, true}, std::nullopt},  // the system tiles there
      {WindowDragKind::move, rim, {true, true, true}, ZoneMode::tiles()},
      {WindowDragKind::resize, rim, {true, true, false}, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ZoneMode::during(c.kind, c.point, kScreen, all, c.options), c.mode)
        << c.point.x << " tiles " << c.options.tiles << " edges " << c.options.edgeZones
        << " system " << c.options.systemEdgeTiling;
}

TEST(EdgeZoneTests, ZoneOptionsFollowTheSettings) {
  using Options = ZoneMode::Options;
  Settings settings;
  EXPECT_EQ(Options::from(settings, true, false), (Options{true, true, false}));
  EXPECT_EQ(Options::from(settings, false, true), (Options{false, true, true}));
  settings.edgeZonesEnabled = false;
  EXPECT_EQ(Options::from(settings, true, false), (Options{true, false, false}));
  settings.edgeZonesEnabled = true;
  settings.dragToZonesEnabled = false;
  EXPECT_EQ(Options::from(settings, true, false), (Options{false, false, false}));
}

TEST(EdgeZoneTests, DragKindTellsResizesFromMoves) {
  const CGRect start(100, 100, 400, 300);
  EXPECT_EQ(windowDragKind(start, {180, 50, 400, 300}), WindowDragKind::move);
  EXPECT_EQ(windowDragKind(start, {100.4, 100, 400.4, 300}), WindowDragKind::move);
  EXPECT_EQ(windowDragKind(start, {80, 100, 420, 300}), WindowDragKind::resize);
  EXPECT_EQ(windowDragKind(start, {100, 100, 400, 290}), WindowDragKind::resize);
}

TEST(EdgeZoneTests, DraggingOutOfAPlaceGivesBackTheSizeUnderThePointer) {
  const CGRect original(300, 300, 600, 400);
  const CGRect snapped(0, 25, 720, 875);
  SnapMemory memory;
  memory.remember(5, original, snapped);
  auto out = [&](CGRect start, CGPoint pointer, bool setting = true,
                 WindowDragKind kind = WindowDragKind::move, std::uint32_t window = 5) {
    return Unsnap::dragOut(kind, window, start, pointer, memory, setting);
  };
  // Grabbed at the middle of the title bar: still at the middle, 15 below the top.
  EXPECT_EQ(out(snapped, {360, 40}), CGRect(60, 25, 600, 400));
  // Grabbed at three quarters, deep down: the depth is cut to the new height.
  EXPECT_EQ(out(snapped, {540, 700}), CGRect(90, 300, 600, 400));
  EXPECT_EQ(out({1, 26, 720, 875}, {361, 41}), CGRect(61, 26, 600, 400));  // within 2 points

  EXPECT_FALSE(out(snapped, {360, 40}, false));
  EXPECT_FALSE(out(snapped, {360, 40}, true, WindowDragKind::resize));
  EXPECT_FALSE(out(snapped, {360, 40}, true, WindowDragKind::move, 6));  // in no run
  EXPECT_FALSE(out({200, 100, 720, 875}, {560, 115}));  // moved away from the place already
  memory.remember(6, {0, 0, 720, 875}, snapped);
  EXPECT_FALSE(out(snapped, {360, 40}, true, WindowDragKind::move, 6));  // same size
}

}  // namespace
}  // namespace kestles
