#include "KestlesCore/snap/KeySnap.hpp"

#include <gtest/gtest.h>

#include <set>

#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/snap/SnapFlash.hpp"
#include "KestlesCore/snap/Snapper.hpp"
#include "KestlesCore/snap/StageManager.hpp"
#include "SnapTestSupport.hpp"

namespace kestles {
namespace {

using snap_testing::external;
using snap_testing::laptop;
using snap_testing::portrait;

constexpr std::uint32_t kWindow = 5;
const Gaps kNoGaps{0, 0};
const Gaps kGaps{10, 10};

DisplaySetup threeDisplays() {
  return {{laptop(), external(), portrait()}};
}

KeySnap::Planner planner(const DisplayInfo& display, CGRect frame, Gaps gaps) {
  KeySnap::Planner p;
  p.window = kWindow;
  p.frame = frame;
  p.display = display;
  p.setup = threeDisplays();
  p.gaps = gaps;
  return p;
}

/// Every action on a free window, on the laptop and on the display to its right, with and
/// without gaps. Restore has a memory entry from the laptop; fill space has tiles to grow
/// among (a block at the laptop's top right, a strip at its bottom left, and the right part
/// of the wide display); the other display moves go through three displays in a row.
TEST(KeySnapTests, EveryActionOnTwoDisplaysWithAndWithoutGaps) {
  const CGRect onLaptop(100, 125, 800, 500);
  const CGRect onExternal(1640, 225, 800, 500);
  const CGRect original(300, 300, 600, 400);
  struct Case {
    SnapAction action;
    CGRect laptopBare, laptopGaps, externalBare, externalGaps;
    const char* laptopEndsOn = "L";
    const char* externalEndsOn = "E";
  };
  using A = SnapAction;
  const Case cases[] = {
      {A::leftHalf,
       {0, 25, 720, 875},
       {10, 35, 705, 855},
       {1440, 25, 1280, 1415},
       {1450, 35, 1265, 1395}},
      {A::rightHalf,
       {720, 25, 720, 875},
       {725, 35, 705, 855},
       {2720, 25, 1280, 1415},
       {2725, 35, 1265, 1395}},
      {A::topHalf,
       {0, 25, 1440, 438},
       {10, 35, 1420, 423},
       {1440, 25, 2560, 708},
       {1450, 35, 2540, 693}},
      {A::bottomHalf,
       {0, 463, 1440, 437},
       {10, 468, 1420, 422},
       {1440, 733, 2560, 707},
       {1450, 738, 2540, 692}},
      {A::topLeft,
       {0, 25, 720, 438},
       {10, 35, 705, 423},
       {1440, 25, 1280, 708},
       {1450, 35, 1265, 693}},
      {A::topRight,
       {720, 25, 720, 438},
       {725, 35, 705, 423},
       {2720, 25, 1280, 708},
       {2725, 35, 1265, 693}},
      {A::bottomLeft,
       {0, 463, 720, 437},
       {10, 468, 705, 422},
       {1440, 733, 1280, 707},
       {1450, 738, 1265, 692}},
      {A::bottomRight,
       {720, 463, 720, 437},
       {725, 468, 705, 422},
       {2720, 733, 1280, 707},
       {2725, 738, 1265, 692}},
      {A::firstThird,
       {0, 25, 480, 875},
       {10, 35, 467, 855},
       {1440, 25, 853, 1415},
       {1450, 35, 840, 1395}},
      {A::centerThird,
       {480, 25, 480, 875},
       {487, 35, 466, 855},
       {2293, 25, 854, 1415},
       {2300, 35, 840, 1395}},
      {A::lastThird,
       {960, 25, 480, 875},
       {963, 35, 467, 855},
       {3147, 25, 853, 1415},
       {3150, 35, 840, 1395}},
      {A::firstTwoThirds,
       {0, 25, 960, 875},
       {10, 35, 943, 855},
       {1440, 25, 1707, 1415},
       {1450, 35, 1690, 1395}},
      {A::lastTwoThirds,
       {480, 25, 960, 875},
       {487, 35, 943, 855},
       {2293, 25, 1707, 1415},
       {2300, 35, 1690, 1395}},
      {A::maximize,
       {0, 25, 1440, 875},
       {10, 35, 1420, 855},
       {1440, 25, 2560, 1415},
       {1450, 35, 2540, 1395}},
      {A::almostMaximize,
       {72, 69, 1296, 787},
       {81, 78, 1278, 769},
       {1568, 96, 2304, 1273},
       {1577, 105, 2286, 1255}},
      {A::maximizeHeight,
       {100, 25, 800, 875},
       {100, 35, 800, 855},
       {1640, 25, 800, 1415},
       {1640, 35, 800, 1395}},
      {A::maximizeWidth,
       {0, 125, 1440, 500},
       {10, 125, 1420, 500},
       {1440, 225, 2560, 500},
       {1450, 225, 2540, 500}},
      {A::center,
       {320, 213, 800, 500},
       {320, 213, 800, 500},
       {2320, 483, 800, 500},
       {2320, 483, 800, 500}},
      {A::fillSpace,
       {0, 25, 950, 775},
       {10, 35, 940, 765},
       {1440, 25, 1560, 1415},
       {1450, 35, 1550, 1395}},
      {A::restore, original, original, original, original, "L", "L"},
      {A::nextDisplay,
       {1618, 187, 1422, 808},
       {1618, 187, 1422, 808},
       {4084, 271, 338, 679},
       {4084, 271, 338, 679},
       "E",
       "P"},
      {A::previousDisplay,
       {4075, 219, 600, 1098},
       {4075, 219, 600, 1098},
       {113, 149, 450, 309},
       {113, 149, 450, 309},
       "P",
       "L"},
      {A::moveLeft,
       {0, 125, 800, 500},
       {10, 125, 800, 500},
       {1440, 225, 800, 500},
       {1450, 225, 800, 500}},
      {A::moveRight,
       {640, 125, 800, 500},
       {630, 125, 800, 500},
       {3200, 225, 800, 500},
       {3190, 225, 800, 500}},
      {A::moveUp,
       {100, 25, 800, 500},
       {100, 35, 800, 500},
       {1640, 25, 800, 500},
       {1640, 35, 800, 500}},
      {A::moveDown,
       {100, 400, 800, 500},
       {100, 390, 800, 500},
       {1640, 940, 800, 500},
       {1640, 930, 800, 500}},
      {A::larger,
       {60, 85, 880, 580},
       {60, 85, 880, 580},
       {1600, 185, 880, 580},
       {1600, 185, 880, 580}},
      {A::smaller,
       {140, 165, 720, 420},
       {140, 165, 720, 420},
       {1680, 265, 720, 420},
       {1680, 265, 720, 420}},
  };
  ASSERT_EQ(std::size(cases), allSnapActions().size());

  struct Run {
    DisplayInfo display;
    CGRect window;
    Gaps gaps;
    CGRect Case::*expected;
    const char* Case::*endsOn;
  };
  const Run runs[] = {
      {laptop(), onLaptop, kNoGaps, &Case::laptopBare, &Case::laptopEndsOn},
      {laptop(), onLaptop, kGaps, &Case::laptopGaps, &Case::laptopEndsOn},
      {external(), onExternal, kNoGaps, &Case::externalBare, &Case::externalEndsOn},
      {external(), onExternal, kGaps, &Case::externalGaps, &Case::externalEndsOn},
  };
  for (const auto& run : runs) {
    auto p = planner(run.display, run.window, run.gaps);
    p.memory.remember(kWindow, original, run.window);
    p.sessionFrames = {
        {7, {950, 25, 490, 400}}, {8, {0, 800, 700, 100}}, {9, {3000, 25, 1000, 1415}}};
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(rawValue(c.action)) + " on " + run.display.id + " with gaps " +
                   std::to_string(run.gaps.inner));
      auto plan = KeySnap::plan(c.action, p);
      ASSERT_TRUE(plan);
      EXPECT_EQ(plan->frame, c.*run.expected);
      EXPECT_EQ(plan->frames, (std::map<std::uint32_t, CGRect>{{kWindow, c.*run.expected}}));
      EXPECT_EQ(plan->displayID, c.*run.endsOn);
      EXPECT_EQ(plan->window, kWindow);
      EXPECT_EQ(plan->forgets, c.action == A::restore);
      EXPECT_FALSE(plan->zooms);
      EXPECT_TRUE(plan->context.empty());
    }
  }
}

/// Presses a key again and again on the laptop with gaps 10, feeding each frame back.
std::vector<CGRect> presses(SnapAction action, CGRect start, int count) {
  std::vector<CGRect> frames;
  auto p = planner(laptop(), start, kGaps);
  for (int i = 0; i < count; ++i) {
    auto plan = KeySnap::plan(action, p);
    if (!plan) break;
    frames.push_back(plan->frame);
    p.frame = plan->frame;
  }
  return frames;
}

TEST(KeySnapTests, HalvesCycleThroughTwoThirdsAndOneThird) {
  const CGRect free(100, 125, 800, 500);
  struct Case {
    SnapAction half;
    CGRect halfFrame, twoThirds, third;
  };
  const Case cases[] = {
      // Two thirds of 1420 with a gap of 10: 10 + 2 × 466.67 = 943.33, rounded at the edges.
      {SnapAction::leftHalf, {10, 35, 705, 855}, {10, 35, 943, 855}, {10, 35, 467, 855}},
      {SnapAction::rightHalf, {725, 35, 705, 855}, {487, 35, 943, 855}, {963, 35, 467, 855}},
      {SnapAction::topHalf, {10, 35, 1420, 423}, {10, 35, 1420, 567}, {10, 35, 1420, 278}},
      {SnapAction::bottomHalf, {10, 468, 1420, 422}, {10, 323, 1420, 567}, {10, 612, 1420, 278}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(rawValue(c.half));
    EXPECT_EQ(presses(c.half, free, 5),
              (std::vector<CGRect>{c.halfFrame, c.twoThirds, c.third, c.halfFrame, c.twoThirds}));
  }
  // Within 24 points of the half on every edge still counts as at the half; 25 does not.
  EXPECT_EQ(presses(SnapAction::leftHalf, {34, 11, 681, 879}, 1),
            (std::vector<CGRect>{{10, 35, 943, 855}}));
  EXPECT_EQ(presses(SnapAction::leftHalf, {35, 35, 680, 855}, 1),
            (std::vector<CGRect>{{10, 35, 705, 855}}));
  // From the right half, the left half starts its own cycle at the half.
  EXPECT_EQ(presses(SnapAction::leftHalf, {725, 35, 705, 855}, 1),
            (std::vector<CGRect>{{10, 35, 705, 855}}));
}

TEST(KeySnapTests, NothingToDoGivesNoPlan) {
  struct Case {
    SnapAction action;
    CGRect window;
  };
  // Laptop with gaps 10: R = (10, 35, 1420, 855).
  const Case cases[] = {
      {SnapAction::maximize, {11, 34, 1421, 856}},  // within 2 of the place
      {SnapAction::topLeft, {10, 35, 705, 423}},    // already there
      {SnapAction::center, {320, 213, 800, 500}},   // already centred
      {SnapAction::maximizeHeight, {100, 35, 800, 855}},
      {SnapAction::moveLeft, {10, 100, 300, 300}},   // already at the left of R
      {SnapAction::moveDown, {10, 589, 300, 300}},   // 1 point short of the bottom
      {SnapAction::larger, {10, 35, 1420, 855}},     // already fills R
      {SnapAction::smaller, {10, 100, 1420, 200}},   // at both sides, at its smallest height
      {SnapAction::restore, {10, 100, 300, 300}},    // no memory entry
      {SnapAction::fillSpace, {10, 35, 1420, 855}},  // nothing to fill
  };
  for (const auto& c : cases)
    EXPECT_FALSE(KeySnap::plan(c.action, planner(laptop(), c.window, kGaps))) << rawValue(c.action);

  auto alone = planner(laptop(), {100, 100, 300, 300}, kGaps);
  alone.setup = {{laptop()}};
  EXPECT_FALSE(KeySnap::plan(SnapAction::nextDisplay, alone));
  EXPECT_FALSE(KeySnap::plan(SnapAction::previousDisplay, alone));
}

TEST(KeySnapTests, MovesKeepTheWindowInsideTheArea) {
  // A window wider than R is narrowed to R's width, even when it already touches that side.
  auto plan = KeySnap::plan(SnapAction::moveLeft, planner(laptop(), {10, 100, 2000, 300}, kGaps));
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->frame, CGRect(10, 100, 1420, 300));
  // A window hanging off the bottom is pulled back in when moved sideways.
  plan = KeySnap::plan(SnapAction::moveRight, planner(laptop(), {100, 800, 300, 300}, kGaps));
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->frame, CGRect(1130, 590, 300, 300));
}

TEST(KeySnapTests, RestoreAfterSeveralSnapsBringsBackTheFirstFrame) {
  const CGRect first(100, 125, 800, 500);
  auto p = planner(laptop(), first, kGaps);
  for (auto action : {SnapAction::leftHalf, SnapAction::leftHalf, SnapAction::maximize,
                      SnapAction::nextDisplay, SnapAction::smaller}) {
    auto plan = KeySnap::plan(action, p);
    ASSERT_TRUE(plan) << rawValue(action);
    plan->record(p.memory, p.frame);
    p.frame = plan->frame;
    p.display = *p.setup.displayWithID(plan->displayID);
    EXPECT_EQ(p.memory.entry(kWindow), (SnapMemory::Entry{first, plan->frame}));
  }
  EXPECT_EQ(p.display.id, "E");

  auto back = KeySnap::plan(SnapAction::restore, p);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->frame, first);
  EXPECT_EQ(back->displayID, "L");
  EXPECT_TRUE(back->forgets);
  back->record(p.memory, p.frame);
  EXPECT_TRUE(p.memory.entries.empty());
  p.frame = back->frame;
  EXPECT_FALSE(KeySnap::plan(SnapAction::restore, p));

  // A snap after Restore starts a new run from the frame it was restored to.
  auto again = KeySnap::plan(SnapAction::rightHalf, p);
  ASSERT_TRUE(again);
  again->record(p.memory, p.frame);
  EXPECT_EQ(p.memory.entry(kWindow)->original, first);
}

TEST(KeySnapTests, RestoreNeedsADisplayUnderTheRememberedFrame) {
  auto p = planner(laptop(), {100, 100, 300, 300}, kGaps);
  p.memory.remember(kWindow, {-3000, 100, 400, 300}, {100, 100, 300, 300});
  EXPECT_FALSE(KeySnap::plan(SnapAction::restore, p));
  // Partly on a display is enough; the display holding most of it is the one it ends on.
  p.memory.remember(9, {1300, 100, 400, 300}, {0, 0, 10, 10});
  p.window = 9;
  auto plan = KeySnap::plan(SnapAction::restore, p);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->displayID, "E");
}

TEST(KeySnapTests, RecordKeepsOtherWindowsRunsInStep) {
  SnapMemory memory;
  memory.remember(7, {0, 0, 100, 100}, {10, 10, 100, 100});
  KeySnap::Plan plan;
  plan.window = kWindow;
  plan.frame = {0, 25, 720, 875};
  plan.frames = {{kWindow, plan.frame}, {7, {720, 25, 720, 875}}, {8, {1, 2, 3, 4}}};
  plan.record(memory, {100, 100, 500, 500});
  EXPECT_EQ(memory.entry(kWindow), (SnapMemory::Entry{{100, 100, 500, 500}, plan.frame}));
  EXPECT_EQ(memory.entry(7), (SnapMemory::Entry{{0, 0, 100, 100}, {720, 25, 720, 875}}));
  EXPECT_FALSE(memory.entry(8));
}

TEST(KeySnapTests, DisplayMovesFollowLeftToRightOrderAndKeepPlaces) {
  // Two displays stacked at the same left edge: the upper one comes first.
  auto above = snap_testing::snapDisplay("A", {0, -900, 1440, 900}, {0, -900, 1440, 900});
  DisplaySetup setup{{external(), laptop(), above}};
  std::vector<std::string> ids;
  for (const auto& display : KeySnap::displayOrder(setup))
    ids.push_back(display.id);
  EXPECT_EQ(ids, (std::vector<std::string>{"A", "L", "E"}));

  auto p = planner(laptop(), {720, 25, 720, 438}, kNoGaps);  // top right of the laptop
  p.setup = setup;
  auto next = KeySnap::plan(SnapAction::nextDisplay, p);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->displayID, "E");
  EXPECT_EQ(next->frame, CGRect(2720, 25, 1280, 708));  // top right of the wide display
  auto previous = KeySnap::plan(SnapAction::previousDisplay, p);
  ASSERT_TRUE(previous);
  EXPECT_EQ(previous->displayID, "A");
  EXPECT_EQ(previous->frame, CGRect(720, -900, 720, 450));

  // From the right-most display, next wraps around to the left-most one.
  auto wrapped =
      KeySnap::plan(SnapAction::nextDisplay, planner(portrait(), {4100, 100, 500, 800}, kNoGaps));
  ASSERT_TRUE(wrapped);
  EXPECT_EQ(wrapped->displayID, "L");
  EXPECT_EQ(wrapped->frame, CGRect(133, 71, 667, 364));
}

TEST(KeySnapTests, PushEdgePlansOnTheWindowsDisplay) {
  auto plan = KeySnap::push(TileEdge::right, planner(external(), {1640, 225, 800, 500}, kGaps));
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->frame, CGRect(1640, 225, 840, 500));
  EXPECT_EQ(plan->displayID, "E");
  EXPECT_FALSE(KeySnap::push(TileEdge::left, planner(laptop(), {10, 100, 200, 300}, kGaps)));
}

TEST(KeySnapTests, FlashLabels) {
  auto setup = threeDisplays();
  auto labelAfter = [&](SnapAction action, CGRect window) {
    auto plan = KeySnap::plan(action, planner(laptop(), window, kGaps));
    return SnapFlash::label(*plan, action, setup, kGaps);
  };
  using L = SnapFlash::Label;
  // The second press of a half lands on two thirds and says so.
  EXPECT_EQ(labelAfter(SnapAction::leftHalf, {10, 35, 705, 855}),
            (L{"First Two Thirds", "rectangle.leadinghalf.inset.filled"}));
  EXPECT_EQ(labelAfter(SnapAction::rightHalf, {100, 125, 800, 500}),
            (L{"Right Half", "rectangle.righthalf.filled"}));
  EXPECT_EQ(labelAfter(SnapAction::moveLeft, {100, 125, 800, 500}),
            (L{"Move Left", "arrow.left.square"}));
  // Centre is not a place, even for a window that ends at the middle third's frame.
  EXPECT_EQ(labelAfter(SnapAction::center, {0, 0, 466, 855}), (L{"Center", "dot.square"}));

  KeySnap::Plan zoom;
  zoom.zooms = true;
  EXPECT_EQ(SnapFlash::label(zoom, SnapAction::maximize, setup, kGaps),
            (L{"Zoom", "arrow.up.left.and.arrow.down.right"}));
  zoom.zooms = false;
  EXPECT_EQ(SnapFlash::label(zoom, SnapAction::restore, setup, kGaps),
            (L{"Back to Tile", "arrow.down.right.and.arrow.up.left"}));

  // Every action has a symbol of its own.
  std::set<std::string_view> symbols;
  for (auto action : allSnapActions())
    symbols.insert(SnapFlash::symbolName(action));
  EXPECT_EQ(symbols.size(), allSnapActions().size());
  EXPECT_EQ(SnapFlash::symbolName(SnapAction::smaller), "arrow.down.right.and.arrow.up.left");
}

TEST(KeySnapTests, TheFlashOutlinesThePlaceAndTheTilesAroundIt) {
  auto setup = threeDisplays();
  // A free window: the place the frame is at, no tiles around it.
  auto free =
      SnapFlash::shown(SnapAction::leftHalf, kWindow, {10, 35, 943, 855}, {}, {}, setup, kGaps);
  EXPECT_EQ(free.label.title, "First Two Thirds");
  EXPECT_EQ(free.frame, (CGRect{10, 35, 943, 855}));
  EXPECT_TRUE(free.context.empty());

  auto halves = Tiling::make(laptop().id, Template::withID("halves")->shape,
                             LayoutRef::templateLayout("halves"), {kWindow, 7});
  Tilings before{{laptop().id, halves}};
  auto tiles = halves.frames(laptop().visibleFrame, kGaps);
  // A tiled window is drawn with the other tiles of its display.
  auto tiled = SnapFlash::shown(SnapAction::rightHalf, kWindow, tiles.at(kWindow), before, before,
                                setup, kGaps);
  EXPECT_EQ(tiled.context, (std::vector<CGRect>{tiles.at(7)}));
  // Becoming the zoomed window is a zoom, and leaving it goes back to the tile.
  auto zoomed = before;
  zoomed.at(laptop().id).zoomed = kWindow;
  EXPECT_EQ(SnapFlash::shown(SnapAction::maximize, kWindow, {10, 35, 1420, 855}, before, zoomed,
                             setup, kGaps)
                .label.title,
            "Zoom");
  EXPECT_EQ(SnapFlash::shown(SnapAction::restore, kWindow, tiles.at(kWindow), zoomed, before, setup,
                             kGaps)
                .label.title,
            "Back to Tile");
}

TEST(KeySnapTests, StageManagerNarrowsEveryDisplayForItsStrip) {
  auto narrow = snap_testing::snapDisplay("N", {-450, 0, 450, 800}, {-450, 0, 450, 800});
  DisplaySetup setup{{laptop(), narrow}};
  EXPECT_EQ((StageManager{false, true, false}.room(setup)), setup);
  EXPECT_EQ((StageManager{true, false, false}.room(setup)), setup);

  auto left = StageManager{true, true, false}.room(setup);
  EXPECT_EQ(left.displays[0].visibleFrame, CGRect(190, 25, 1250, 875));
  EXPECT_EQ(left.displays[1].visibleFrame, CGRect(-300, 0, 300, 800));  // a third of 450
  EXPECT_EQ(left.displays[0].frame, laptop().frame);
  auto right = StageManager{true, true, true}.room(setup);
  EXPECT_EQ(right.displays[0].visibleFrame, CGRect(0, 25, 1250, 875));
  EXPECT_EQ(right.displays[1].visibleFrame, CGRect(-450, 0, 300, 800));
}

}  // namespace
}  // namespace kestles
