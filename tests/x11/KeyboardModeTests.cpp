#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "tests/x11/support/AppDesk.hpp"
#include "tests/x11/support/Typist.hpp"

namespace kestles {
namespace {

using testing::AppDesk;
using testing::Frame;
using testing::overlap;
using testing::TestWindows;
using x11::Typist;
using namespace std::chrono_literals;

/// The centres of the mapped override-redirect windows on the root but those in `known`.
std::vector<std::pair<int, int>> panelCentres(testing::XSession& session,
                                              const std::set<xcb_window_t>& known,
                                              std::set<xcb_window_t>* found = nullptr) {
  auto* raw = session.probe();
  std::vector<std::pair<int, int>> centres;
  std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
      xcb_query_tree_reply(raw, xcb_query_tree(raw, session.root()), nullptr), &std::free);
  if (!tree) return centres;
  auto* children = xcb_query_tree_children(tree.get());
  for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(raw, xcb_get_window_attributes(raw, children[i]), nullptr),
        &std::free);
    if (!attributes || !attributes->override_redirect || known.contains(children[i]) ||
        attributes->map_state != XCB_MAP_STATE_VIEWABLE)
      continue;
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(raw, xcb_get_geometry(raw, children[i]), nullptr), &std::free);
    if (found) found->insert(children[i]);
    if (geometry)
      centres.emplace_back(geometry->x + geometry->width / 2, geometry->y + geometry->height / 2);
  }
  return centres;
}

bool inside(std::pair<int, int> point, const Frame& frame) {
  return point.first >= frame.x && point.first < frame.x + frame.width && point.second >= frame.y &&
         point.second < frame.y + frame.height;
}

/// The app on a desktop of two or three windows, and a keyboard to type on.
struct ModeDesk {
  std::unique_ptr<AppDesk> desk;
  std::unique_ptr<Typist> typist;
  std::set<xcb_window_t> known;  // the window manager's own override-redirect windows

  explicit ModeDesk(bool keepLog = false) : ModeDesk(AppDesk::Options{true, keepLog}) {}
  explicit ModeDesk(const AppDesk::Options& options) : desk(AppDesk::start(options)) {
    if (!desk) return;
    typist = std::make_unique<Typist>(desk->session().display());
    panelCentres(desk->session(), {}, &known);
  }
  /// The centres of the modes' panels.
  std::vector<std::pair<int, int>> panels() { return panelCentres(desk->session(), known); }

  TestWindows open(const char* position, const char* appClass) {
    return desk->session().openWindows(
        {"--pos", position, "--size", "400x300", "--class", appClass});
  }
  bool waitForPanels(std::size_t count) {
    return desk->session().waitUntil([&] { return panels().size() == count; });
  }
  /// Types one key (with the keys held before it, released after).
  void type(std::vector<std::uint32_t> keysyms) { typist->chord(std::move(keysyms)); }
  bool waitForActive(const TestWindows& window) {
    return desk->session().waitUntil([&] { return desk->session().activeWindow() == window.id(); });
  }
  /// Types the letters and spaces of the text, one key each.
  void typeText(std::string_view text) {
    for (char letter : text)
      type({letter == ' ' ? std::uint32_t{XKB_KEY_space} : static_cast<std::uint32_t>(letter)});
  }
  /// Whether another client could take the keyboard now: nothing holds it.
  bool keyboardFree() {
    auto* raw = desk->session().probe();
    std::unique_ptr<xcb_grab_keyboard_reply_t, decltype(&std::free)> reply(
        xcb_grab_keyboard_reply(raw,
                                xcb_grab_keyboard(raw, 0, desk->session().root(), XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr),
        &std::free);
    xcb_ungrab_keyboard(raw, XCB_CURRENT_TIME);
    xcb_flush(raw);
    return reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
  }
};

TEST(KeyboardModeTests, HintsLetterEachWindowAndALetterFocusesItsWindow) {
  ModeDesk m;
  if (!m.desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto bravo = m.open("40,60", "bravo,Bravo");
  auto delta = m.open("700,60", "delta,Delta");
  ASSERT_TRUE(m.waitForActive(delta));

  ASSERT_EQ(m.desk->kestles({"hints"}), 0);
  ASSERT_TRUE(m.waitForPanels(2)) << "one letter over each window";
  auto centres = m.panels();
  auto frames = m.desk->frames({bravo.id(), delta.id()});
  EXPECT_TRUE((inside(centres[0], frames[0]) && inside(centres[1], frames[1])) ||
              (inside(centres[0], frames[1]) && inside(centres[1], frames[0])));

  // Bravo's letter is its name's first: B.
  m.type({XKB_KEY_b});
  EXPECT_TRUE(m.waitForPanels(0));
  EXPECT_TRUE(
      m.desk->session().waitUntil([&] { return m.desk->session().activeWindow() == bravo.id(); }));

  // Escape ends the hints and focuses nothing else.
  ASSERT_EQ(m.desk->kestles({"hints"}), 0);
  ASSERT_TRUE(m.waitForPanels(2));
  m.type({XKB_KEY_Escape});
  EXPECT_TRUE(m.waitForPanels(0));
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(m.desk->session().activeWindow(), bravo.id());
}

TEST(KeyboardModeTests, MoveToTileTradesTheFrontWindowWithTheTypedTile) {
  ModeDesk m;
  if (!m.desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto first = m.open("40,60", "first,First");
  auto second = m.open("120,140", "second,Second");
  auto front = m.open("200,220", "front,Front");
  std::vector<xcb_window_t> windows{first.id(), second.id(), front.id()};
  ASSERT_EQ(m.desk->kestles({"tile"}), 0);
  ASSERT_TRUE(m.desk->waitForFrames(windows, [&](const auto& now) { return now[2].x != 200; }));
  std::this_thread::sleep_for(300ms);
  auto tiled = m.desk->frames(windows);

  ASSERT_EQ(m.desk->kestles({"move-to-tile"}), 0);
  ASSERT_TRUE(m.waitForPanels(2)) << "a key on every tile but the front window's";
  auto centres = m.panels();
  for (const auto& centre : centres)
    EXPECT_FALSE(inside(centre, tiled[2]));
  m.type({XKB_KEY_1});
  EXPECT_TRUE(m.waitForPanels(0));
  // The front window takes one of the others' tiles, and that window takes its tile.
  EXPECT_TRUE(m.desk->waitForFrames(windows, [&](const auto& now) {
    return (now[2] == tiled[0] && now[0] == tiled[2] && now[1] == tiled[1]) ||
           (now[2] == tiled[1] && now[1] == tiled[2] && now[0] == tiled[0]);
  }));
}

TEST(KeyboardModeTests, EditTilesSplitsATileAndKeepsItOrPutsItBack) {
  ModeDesk m;
  if (!m.desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto left = m.open("40,60", "left,Left");
  auto right = m.open("700,60", "right,Right");
  std::vector<xcb_window_t> windows{left.id(), right.id()};
  ASSERT_EQ(m.desk->kestles({"tile"}), 0);
  ASSERT_TRUE(m.desk->waitForFrames(windows, [&](const auto& now) { return now[1].height > 600; }));
  std::this_thread::sleep_for(300ms);
  auto tiled = m.desk->frames(windows);
  auto halved = [&](const std::vector<Frame>& now) {
    return now[0] == tiled[0] && now[1].height < tiled[1].height * 0.6 && now[1].y == tiled[1].y &&
           now[1].width == tiled[1].width;
  };

  // Escape: the split is taken back and the tiles stay as they were.
  ASSERT_EQ(m.desk->kestles({"edit-tiles"}), 0);
  ASSERT_TRUE(m.waitForPanels(2)) << "a panel on each tile";
  m.type({XKB_KEY_s});
  ASSERT_TRUE(m.waitForPanels(3));
  EXPECT_TRUE(m.desk->waitForFrames(windows, halved)) << "the window follows its tile";
  m.type({XKB_KEY_Escape});
  EXPECT_TRUE(m.waitForPanels(0));
  EXPECT_TRUE(m.desk->waitForFrames(windows, [&](const auto& now) { return now == tiled; }));

  // Return keeps the split, as one step that undo takes back.
  ASSERT_EQ(m.desk->kestles({"edit-tiles"}), 0);
  ASSERT_TRUE(m.waitForPanels(2));
  m.type({XKB_KEY_s});
  ASSERT_TRUE(m.waitForPanels(3));
  m.type({XKB_KEY_Return});
  EXPECT_TRUE(m.waitForPanels(0));
  EXPECT_TRUE(m.desk->waitForFrames(windows, halved));
  ASSERT_EQ(m.desk->kestles({"undo"}), 0);
  EXPECT_TRUE(m.desk->waitForFrames(windows, [&](const auto& now) { return now == tiled; }));
}

TEST(KeyboardModeTests, PickWindowsTilesThePickedWindowsInPickOrder) {
  ModeDesk m;
  if (!m.desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto delta = m.open("40,60", "delta,Delta");
  auto bravo = m.open("120,140", "bravo,Bravo");
  auto golf = m.open("200,220", "golf,Golf");
  std::vector<xcb_window_t> windows{bravo.id(), delta.id(), golf.id()};
  auto before = m.desk->frames(windows);

  ASSERT_EQ(m.desk->kestles({"pick-windows"}), 0);
  ASSERT_TRUE(m.waitForPanels(3));
  m.type({XKB_KEY_b});
  m.type({XKB_KEY_d});
  m.type({XKB_KEY_Return});
  ASSERT_TRUE(m.waitForPanels(4)) << "the way of tiling is shown beside the letters";
  m.type({XKB_KEY_Return});
  EXPECT_TRUE(m.waitForPanels(0));
  EXPECT_TRUE(m.desk->waitForFrames(windows, [&](const auto& now) {
    return !overlap(now[0], now[1]) && now[0].x < now[1].x && now[2] == before[2];
  })) << "Bravo, picked first, takes the first tile; Golf stays";
}

TEST(KeyboardModeTests, ArrangeWithKeysRunsACommandPerKeyUntilEscape) {
  ModeDesk m(true);
  if (!m.desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto first = m.open("40,60", "first,First");
  auto second = m.open("120,140", "second,Second");
  std::vector<xcb_window_t> windows{first.id(), second.id()};

  ASSERT_EQ(m.desk->kestles({"arrange-with-keys"}), 0);
  ASSERT_TRUE(m.waitForPanels(4)) << "the legend, a panel per group";
  m.type({XKB_KEY_a});
  EXPECT_TRUE(
      m.desk->waitForFrames(windows, [](const auto& now) { return !overlap(now[0], now[1]); }));
  EXPECT_EQ(m.panels().size(), 4u) << "the mode stays open for the next key";
  m.type({XKB_KEY_Escape});
  EXPECT_TRUE(m.waitForPanels(0));

  // openbox holds Ctrl+Alt and Shift+Alt with the arrows for its desktops: the default keys
  // stay off them, so the app takes every one of its keys.
  auto log = m.desk->app().errorOutput(500ms);
  EXPECT_EQ(log.find("is held by another program"), std::string::npos) << log;
}

// The palette: it opens over the focused display with the keyboard held, typing narrows it,
// Return carries the chosen item out as its command, Escape closes it and lets the keyboard
// go.
TEST(KeyboardModeTests, PaletteTypesNarrowsAndCarriesTheChosenItemOut) {
  ModeDesk m;
  if (!m.desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto bravo = m.open("40,60", "bravo,Bravo");
  auto delta = m.open("700,60", "delta,Delta");
  ASSERT_TRUE(m.waitForActive(delta));

  // `kestles panel` sends the command the panel key runs.
  ASSERT_EQ(m.desk->kestles({"panel"}), 0);
  ASSERT_TRUE(m.waitForPanels(1)) << "one panel: the field and the list";
  EXPECT_NEAR(m.panels()[0].first, 640, 1) << "across the middle of the 1280-pixel display";
  EXPECT_FALSE(m.keyboardFree());
  std::set<xcb_window_t> opened, typedInto;
  panelCentres(m.desk->session(), m.known, &opened);
  auto openedCentre = m.panels()[0];
  m.typeText("left half");
  // The list narrows to a few rows: the panel, hanging from its top, grows shorter.
  ASSERT_TRUE(m.desk->session().waitUntil([&] {
    auto panels = m.panels();
    return panels.size() == 1 && panels[0].second < openedCentre.second;
  }));
  panelCentres(m.desk->session(), m.known, &typedInto);
  EXPECT_EQ(typedInto, opened) << "typing redraws the panel in its window, without flicker";
  m.type({XKB_KEY_Return});
  EXPECT_TRUE(m.waitForPanels(0));
  EXPECT_TRUE(m.desk->waitForFrames({delta.id(), bravo.id()}, [](const auto& now) {
    // The left half within the gaps: 8 pixels in from the edges.
    return now[0].x < 20 && now[0].height > 600 && now[0].width < 700;
  })) << "the focused window took the left half";
  EXPECT_TRUE(m.desk->session().waitUntil([&] { return m.keyboardFree(); }));

  ASSERT_EQ(m.desk->kestles({"panel"}), 0);
  ASSERT_TRUE(m.waitForPanels(1));
  m.typeText("tile");
  m.type({XKB_KEY_Escape});
  EXPECT_TRUE(m.waitForPanels(0));
  EXPECT_TRUE(m.desk->session().waitUntil([&] { return m.keyboardFree(); }))
      << "Escape lets the keyboard go";
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(m.desk->frames({bravo.id()})[0].x, 40) << "nothing was tiled";
}

// The double Control tap opens the palette when the panel trigger says so; it used to open
// window hints whatever the setting.
TEST(KeyboardModeTests, DoubleControlOpensThePaletteWhenItIsThePanelTrigger) {
  ModeDesk m(AppDesk::Options{
      true, false, R"({"version": 3, "settings": {"panelTrigger": {"doubleControl": true}}})"});
  if (!m.desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  // Two windows: window hints would show two panels, the palette shows one.
  m.open("40,60", "bravo,Bravo");
  auto delta = m.open("700,60", "delta,Delta");
  ASSERT_TRUE(m.waitForActive(delta));
  m.type({XKB_KEY_Control_L});
  m.type({XKB_KEY_Control_L});
  ASSERT_TRUE(m.desk->session().waitUntil([&] {
    auto panels = m.panels();
    return panels.size() == 1 && std::abs(panels[0].first - 640) <= 1;
  })) << "the palette across the display, not a letter on each window";
  m.type({XKB_KEY_Escape});
  EXPECT_TRUE(m.waitForPanels(0));
}

}  // namespace
}  // namespace kestles
