#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "KestlesEngine/x11/X11Connection.hpp"
#include "tests/x11/support/AppDesk.hpp"

namespace kestles {
namespace {

using testing::AppDesk;
using testing::Frame;
using testing::TestWindows;
using namespace std::chrono_literals;

/// A mouse driven with XTest from a connection of its own.
class Mouse {
 public:
  explicit Mouse(const std::string& display) : connection_(x11::X11Connection::open(display)) {}

  void moveTo(int x, int y) {
    fake(XCB_MOTION_NOTIFY, 0, x, y);
    // The window manager moves a dragged frame on motion it has read: small steps, as a hand.
    std::this_thread::sleep_for(15ms);
  }
  /// Presses the first button at the start, moves there in steps and releases.
  void drag(int fromX, int fromY, int toX, int toY) {
    moveTo(fromX, fromY);
    fake(XCB_BUTTON_PRESS, 1, 0, 0);
    constexpr int kSteps = 24;
    for (int step = 1; step <= kSteps; ++step)
      moveTo(fromX + (toX - fromX) * step / kSteps, fromY + (toY - fromY) * step / kSteps);
    moveTo(toX, toY);
    std::this_thread::sleep_for(100ms);
    fake(XCB_BUTTON_RELEASE, 1, 0, 0);
  }

 private:
  void fake(std::uint8_t type, std::uint8_t detail, int x, int y) {
    xcb_test_fake_input(connection_->raw(), type, detail, XCB_CURRENT_TIME,
                        type == XCB_MOTION_NOTIFY ? connection_->root() : XCB_NONE,
                        static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0);
    connection_->sync();
  }
  std::unique_ptr<x11::X11Connection> connection_;
};

/// The frames of the mapped override-redirect windows on the root but those in `known`.
std::vector<Frame> overlayFrames(testing::XSession& session, const std::set<xcb_window_t>& known) {
  auto* raw = session.probe();
  std::vector<Frame> frames;
  std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
      xcb_query_tree_reply(raw, xcb_query_tree(raw, session.root()), nullptr), &std::free);
  if (!tree) return frames;
  auto* children = xcb_query_tree_children(tree.get());
  for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
    if (known.contains(children[i])) continue;
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(raw, xcb_get_window_attributes(raw, children[i]), nullptr),
        &std::free);
    if (!attributes || !attributes->override_redirect ||
        attributes->map_state != XCB_MAP_STATE_VIEWABLE)
      continue;
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(raw, xcb_get_geometry(raw, children[i]), nullptr), &std::free);
    if (geometry) frames.push_back({geometry->x, geometry->y, geometry->width, geometry->height});
  }
  return frames;
}

std::set<xcb_window_t> overlayWindowsNow(testing::XSession& session) {
  std::set<xcb_window_t> windows;
  auto* raw = session.probe();
  std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
      xcb_query_tree_reply(raw, xcb_query_tree(raw, session.root()), nullptr), &std::free);
  if (!tree) return windows;
  auto* children = xcb_query_tree_children(tree.get());
  windows.insert(children, children + xcb_query_tree_children_length(tree.get()));
  return windows;
}

/// The app on a desktop, a mouse, and the windows that were there before the app drew any.
struct DragDesk {
  std::unique_ptr<AppDesk> desk;
  std::unique_ptr<Mouse> mouse;
  std::set<xcb_window_t> known;

  DragDesk() : desk(AppDesk::start()) {
    if (!desk) return;
    mouse = std::make_unique<Mouse>(desk->session().display());
    known = overlayWindowsNow(desk->session());
  }
  TestWindows open(const char* position, const char* appClass) {
    return desk->session().openWindows(
        {"--pos", position, "--size", "400x300", "--class", appClass});
  }
  Frame frame(xcb_window_t window) { return desk->frames({window}).front(); }
  /// Drags the window by its title bar until the pointer is at (x, y), and drops it.
  void drag(xcb_window_t window, int x, int y) {
    auto start = frame(window);
    mouse->drag(start.x + start.width / 2, start.y + 6, x, y);
  }
  std::vector<Frame> overlays() { return overlayFrames(desk->session(), known); }
  /// The windows in the tilings of the app's session state.
  std::set<std::uint32_t> tiledInState() {
    std::ifstream file(desk->folder() / "state/kestles/state.json");
    std::set<std::uint32_t> tiled;
    auto state = nlohmann::json::parse(file, nullptr, false);
    if (!state.is_object() || !state.contains("tilings")) return tiled;
    for (const auto& [display, tiling] : state["tilings"].items())
      for (const auto& slot : tiling.value("windows", nlohmann::json::array()))
        if (slot.is_number_unsigned()) tiled.insert(slot.get<std::uint32_t>());
    return tiled;
  }
};

TEST(DragSnapTests, DropAtTheLeftEdgeSnapsToTheHalfFlashesItAndUndoes) {
  DragDesk d;
  if (!d.desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto window = d.open("600,300", "dragged,Dragged");
  std::this_thread::sleep_for(300ms);
  auto start = d.frame(window.id());

  d.drag(window.id(), 2, 400);
  ASSERT_TRUE(d.desk->waitForSettledFrames({window.id()}, [&](const auto& now) {
    return now[0].x < 40 && now[0].height > start.height + 300;
  })) << "dropped at the left edge, the window takes the left half";
  auto dropped = d.frame(window.id());
  // The flash outlines the place the window took, and goes by itself.
  EXPECT_TRUE(d.desk->session().waitUntil(
      [&] {
        for (const auto& overlay : d.overlays())
          if (overlay == dropped) return true;
        return false;
      },
      2s));
  EXPECT_TRUE(d.desk->session().waitUntil([&] { return d.overlays().empty(); }, 3s));

  // Undo puts it back where the drag began.
  ASSERT_EQ(d.desk->kestles({"undo"}), 0);
  ASSERT_TRUE(d.desk->waitForSettledFrames({window.id()}, [&](const auto& now) {
    return std::abs(now[0].x - start.x) <= 2 && std::abs(now[0].y - start.y) <= 2;
  }));
  // The drop planned what the key snap plans: the same frame.
  ASSERT_EQ(d.desk->kestles({"snap", "left-half"}), 0);
  EXPECT_TRUE(d.desk->waitForSettledFrames({window.id()},
                                           [&](const auto& now) { return now[0] == dropped; }));
}

TEST(DragSnapTests, DropOnATileTradesWithItsWindowAndOwnTileUnsnaps) {
  DragDesk d;
  if (!d.desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto left = d.open("100,100", "left,Left");
  auto right = d.open("900,300", "right,Right");
  std::vector<xcb_window_t> windows{left.id(), right.id()};
  ASSERT_EQ(d.desk->kestles({"tile"}), 0);
  ASSERT_TRUE(d.desk->waitForSettledFrames(
      windows, [&](const auto& now) { return now[0].height > 600 && now[1].height > 600; }));
  auto tiled = d.desk->frames(windows);
  ASSERT_EQ(d.tiledInState(), (std::set<std::uint32_t>{left.id(), right.id()}));

  // Onto the middle of the other tile: the two windows trade places.
  auto target = tiled[1];
  d.drag(left.id(), target.x + target.width / 2, target.y + target.height / 2);
  EXPECT_TRUE(d.desk->waitForSettledFrames(
      windows, [&](const auto& now) { return now[0] == tiled[1] && now[1] == tiled[0]; }));

  // Dropped within its own tile, the window leaves its tiling and stays where it was let go.
  auto own = d.frame(left.id());
  d.drag(left.id(), own.x + own.width / 2, own.y + own.height / 2 + 100);
  ASSERT_TRUE(d.desk->session().waitUntil(
      [&] { return d.tiledInState() == std::set<std::uint32_t>{right.id()}; }, 3s));
  std::this_thread::sleep_for(300ms);
  EXPECT_NE(d.frame(left.id()), own) << "not pulled back into its tile";
  EXPECT_EQ(d.frame(right.id()), tiled[0]);
}

}  // namespace
}  // namespace kestles
