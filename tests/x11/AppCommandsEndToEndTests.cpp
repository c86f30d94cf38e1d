#include <gtest/gtest.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <set>
#include <string>
#include <vector>

#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11KeyMapping.hpp"
#include "tests/x11/support/AppDesk.hpp"

namespace kestles {
namespace {

using testing::allApart;
using testing::AppDesk;
using testing::Frame;
using testing::TestWindows;
using namespace std::chrono_literals;

/// Three overlapping windows; the last one opened has the focus.
struct ThreeWindows {
  TestWindows first, second, third;
  std::vector<xcb_window_t> ids() const { return {first.id(), second.id(), third.id()}; }
};

ThreeWindows openThree(AppDesk& desk) {
  return {desk.session().openWindows({"--pos", "40,60", "--size", "400x300"}),
          desk.session().openWindows({"--pos", "120,140", "--size", "400x300"}),
          desk.session().openWindows({"--pos", "200,220", "--size", "400x300"})};
}

long area(const Frame& frame) {
  return long(frame.width) * frame.height;
}

TEST(AppCommandsEndToEndTests, TilesInEveryStyleAndUndoesEach) {
  auto desk = AppDesk::start();
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = openThree(*desk);
  auto ids = windows.ids();
  auto before = desk->frames(ids);
  for (const char* style : {"grid", "main-stack", "spiral", "columns"}) {
    SCOPED_TRACE(style);
    ASSERT_EQ(desk->kestles({"tile", "--style", style}), 0);
    EXPECT_TRUE(desk->waitForSettledFrames(ids, allApart));
    ASSERT_EQ(desk->kestles({"undo"}), 0);
    EXPECT_TRUE(desk->waitForSettledFrames(ids, [&](const auto& now) { return now == before; }));
  }
}

// `tile --style S` gives S's own shape first (four columns for Columns, two by two for
// Grid), and pressing it again steps on to another arrangement.
TEST(AppCommandsEndToEndTests, AStyleAskedForGivesItsOwnShapeAndARepeatedPressStepsOn) {
  // Wide enough for four columns.
  auto desk = AppDesk::start({.width = 1920, .height = 1080});
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = openThree(*desk);
  auto fourth = desk->session().openWindows({"--pos", "280,300", "--size", "400x300"});
  auto ids = windows.ids();
  ids.push_back(fourth.id());
  auto distinct = [](const std::vector<Frame>& frames, auto field) {
    std::set<std::int32_t> values;
    for (const auto& frame : frames)
      values.insert(frame.*field / 4);  // a few pixels of rounding are one value
    return values.size();
  };

  auto first = desk->kestlesSaying({"tile", "--style", "columns"});
  ASSERT_EQ(first.status, 0) << first.errors;
  ASSERT_TRUE(desk->waitForSettledFrames(ids, allApart))
      << ::testing::PrintToString(desk->frames(ids)) << first.errors;
  auto columns = desk->frames(ids);
  EXPECT_EQ(distinct(columns, &Frame::x), 4u) << "four columns side by side";
  EXPECT_EQ(distinct(columns, &Frame::y), 1u);

  ASSERT_EQ(desk->kestles({"tile", "--style", "grid"}), 0);
  ASSERT_TRUE(desk->waitForSettledFrames(ids, allApart));
  auto grid = desk->frames(ids);
  EXPECT_EQ(distinct(grid, &Frame::x), 2u) << "two by two";
  EXPECT_EQ(distinct(grid, &Frame::y), 2u);

  auto again = desk->kestlesSaying({"tile", "--style", "grid"});
  ASSERT_EQ(again.status, 0) << again.errors;
  EXPECT_TRUE(desk->waitForSettledFrames(
      ids, [&](const auto& now) { return allApart(now) && now != grid; }))
      << "a second press steps on: " << again.errors;
}

TEST(AppCommandsEndToEndTests, StepsThroughSuggestionsAndRearrangesTheTiles) {
  auto desk = AppDesk::start();
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = openThree(*desk);
  auto ids = windows.ids();
  auto same = [](const std::vector<Frame>& expected) {
    return [expected](const std::vector<Frame>& now) { return now == expected; };
  };

  ASSERT_EQ(desk->kestles({"tile"}), 0);
  ASSERT_TRUE(desk->waitForSettledFrames(ids, allApart));
  auto firstSuggestion = desk->frames(ids);
  ASSERT_EQ(desk->kestles({"tile"}), 0);
  ASSERT_TRUE(desk->waitForSettledFrames(ids, [&](const auto& now) {
    return allApart(now) && now != firstSuggestion;
  })) << "a repeated tile steps on to the next suggestion";
  auto tiled = desk->frames(ids);

  ASSERT_EQ(desk->kestles({"gaps", "wider"}), 0);
  EXPECT_TRUE(desk->waitForSettledFrames(ids, [&](const auto& now) {
    for (std::size_t i = 0; i < now.size(); ++i)
      if (area(now[i]) >= area(tiled[i])) return false;
    return allApart(now);
  })) << "wider gaps shrink every tile";
  ASSERT_EQ(desk->kestles({"undo"}), 0);
  EXPECT_TRUE(desk->waitForSettledFrames(ids, same(tiled)));

  // The front window trades places with one beside it, and back by undo.
  bool swapped = false;
  for (const char* side : {"right", "left", "down", "up"}) {
    if (desk->kestles({"swap", side}) != 0) continue;  // nothing on that side
    swapped = desk->waitForSettledFrames({windows.third.id()},
                                         [&](const auto& now) { return now[0] != tiled[2]; });
    break;
  }
  EXPECT_TRUE(swapped) << ::testing::PrintToString(desk->frames(ids));
  auto afterSwap = desk->frames(ids);

  // In a smaller tile now, the front window takes the biggest; again, and they trade back.
  ASSERT_EQ(desk->kestles({"make-main"}), 0);
  EXPECT_TRUE(desk->waitForSettledFrames(ids, [&](const auto& now) {
    return area(now[2]) >= area(now[0]) && area(now[2]) >= area(now[1]) && now != afterSwap;
  })) << ::testing::PrintToString(desk->frames(ids));
  ASSERT_EQ(desk->kestles({"make-main"}), 0);
  EXPECT_TRUE(desk->waitForSettledFrames(ids, same(afterSwap)))
      << ::testing::PrintToString(desk->frames(ids));
}

TEST(AppCommandsEndToEndTests, FocusMovesToTheWindowBeside) {
  auto desk = AppDesk::start();
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = openThree(*desk);
  ASSERT_EQ(desk->kestles({"tile", "--style", "columns"}), 0);
  ASSERT_TRUE(desk->waitForFrames(windows.ids(), allApart));
  auto active = [&] { return desk->session().activeWindow(); };
  auto was = active();
  // Which side the front window's tile is on depends on the arrangement: one of them moves.
  bool moved = false;
  for (const char* side : {"left", "right"}) {
    if (desk->kestles({"focus", side}) != 0) continue;  // no window on that side: status 1
    moved = desk->session().waitUntil([&] { return active() != was; }, 2s);
    if (moved) break;
  }
  EXPECT_TRUE(moved) << "focus goes to a window beside" << ::testing::PrintToString(active())
                     << ::testing::PrintToString(windows.ids());
}

TEST(AppCommandsEndToEndTests, SnapCyclesAndRestores) {
  auto desk = AppDesk::start();
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto window = desk->session().openWindows({"--pos", "300,200", "--size", "400x300"});
  auto before = desk->frames({window.id()});
  ASSERT_EQ(desk->kestles({"snap", "left-half"}), 0);
  ASSERT_TRUE(desk->waitForFrames(
      {window.id()}, [](const auto& now) { return now[0].x < 40 && now[0].height > 600; }));
  auto half = desk->frames({window.id()});
  ASSERT_EQ(desk->kestles({"snap", "left-half"}), 0);
  EXPECT_TRUE(desk->waitForFrames({window.id()}, [&](const auto& now) {
    return now[0].x < 40 && now[0].width != half[0].width;
  })) << "snapping the same place again cycles to another width";
  ASSERT_EQ(desk->kestles({"snap", "restore"}), 0);
  EXPECT_TRUE(desk->waitForFrames({window.id()}, [&](const auto& now) {
    return now[0].width == before[0].width && now[0].height == before[0].height;
  })) << "restore gives the window its size from before the snap";
}

// Regression: a focused window that names no process (xev, say) was left out of the world,
// and a snap moved a terminal behind it instead.
TEST(AppCommandsEndToEndTests, SnapMovesTheFocusedWindowThatNamesNoProcess) {
  auto desk = AppDesk::start();
  if (!desk || !testing::testProgramExists("xterm"))
    GTEST_SKIP() << "Xvfb, the window manager or xterm is missing";
  auto xterm = desk->session().openXterm({"-geometry", "60x20+500+300"});
  ASSERT_EQ(xterm.ids.size(), 1u);
  auto bare = desk->session().openWindows({"--no-pid", "--pos", "300,200", "--size", "400x300"});
  ASSERT_TRUE(
      desk->session().waitUntil([&] { return desk->session().activeWindow() == bare.id(); }));
  auto terminal = desk->frames({xterm.id()});
  ASSERT_EQ(desk->kestles({"snap", "left-half"}), 0);
  EXPECT_TRUE(desk->waitForFrames(
      {bare.id()}, [](const auto& now) { return now[0].x < 40 && now[0].height > 600; }));
  EXPECT_EQ(desk->frames({xterm.id()}), terminal);
}

/// Presses the keys in order with XTest and releases them in reverse.
void typeChord(const std::string& display, const std::vector<std::uint32_t>& keysyms) {
  auto connection = x11::X11Connection::open(display);
  auto mapping = x11::X11KeyMapping::read(connection->raw());
  auto fake = [&](std::uint8_t type, std::uint32_t keysym) {
    xcb_test_fake_input(connection->raw(), type, *mapping->keycodeFor(keysym), XCB_CURRENT_TIME,
                        XCB_NONE, 0, 0, 0);
    connection->sync();
  };
  for (auto keysym : keysyms)
    fake(XCB_KEY_PRESS, keysym);
  for (auto at = keysyms.rbegin(); at != keysyms.rend(); ++at)
    fake(XCB_KEY_RELEASE, *at);
}

TEST(AppCommandsEndToEndTests, TheDefaultTileKeyTilesTheWindows) {
  auto desk = AppDesk::start();
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = openThree(*desk);
  // The app grabs its keys while it starts up; a key typed before that reaches the window, so
  // type again until one arrives (a second tile only steps on to another arrangement).
  bool tiled = false;
  for (int tries = 0; tries < 5 && !tiled; ++tries) {
    typeChord(desk->session().display(), {XKB_KEY_Super_L, XKB_KEY_Alt_L, XKB_KEY_a});
    tiled = desk->session().waitUntil([&] { return allApart(desk->frames(windows.ids())); }, 1s);
  }
  EXPECT_TRUE(tiled);
}

}  // namespace
}  // namespace kestles
