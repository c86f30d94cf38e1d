#include "KestlesEngine/ipc/IpcTree.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "KestlesEngine/ipc/IpcAccessibility.hpp"
#include "KestlesEngine/ipc/IpcCommands.hpp"
#include "KestlesEngine/ipc/IpcWindowServer.hpp"
#include "KestlesEngine/ipc/IpcWorkspace.hpp"

namespace kestles::ipc {
namespace {

using nlohmann::json;

json fixture(const std::string& name) {
  std::ifstream file(std::string(KESTLES_FIXTURES) + "/ipc/" + name);
  return json::parse(file);
}

// Workspaces "1" and "2" are shown; "3" is not.
const json kWorkspaces = json::parse(R"([
  {"name": "1", "visible": true, "output": "HEADLESS-1", "rect": {"x": 0, "y": 0, "width": 1280, "height": 690}},
  {"name": "2", "visible": true, "output": "HEADLESS-2", "rect": {"x": 1280, "y": 30, "width": 1280, "height": 690}},
  {"name": "3", "visible": false, "output": "HEADLESS-1", "rect": {"x": 0, "y": 0, "width": 1280, "height": 720}}])");

TEST(IpcTree, ReadsSwayWindowsWithTheirTitleBarsAndStates) {
  auto tree = parseTree(fixture("sway-tree.json"), kWorkspaces);
  auto window = [](std::uint32_t id, std::int32_t pid, std::string app, std::string title,
                   CGRect frame, std::string workspace) {
    IpcWindow w;
    w.id = id;
    w.container = id;
    w.pid = pid;
    w.app = std::move(app);
    w.title = std::move(title);
    w.frame = frame;
    w.workspace = std::move(workspace);
    w.shown = true;
    return w;
  };
  auto scratch = window(12, 300, "foot", "notes", {500, 375, 300, 225}, "__i3_scratch");
  scratch.floating = scratch.minimized = true;
  auto left = window(7, 100, "foot", "left", {0, 0, 640, 720}, "1");
  left.focused = true;
  left.nextSibling = 13;  // the split container beside it, where it goes back to
  // An X client under sway names its class; it has no title bar in full screen.
  auto game = window(8, 200, "Xonotic", "game", {640, 0, 640, 720}, "1");
  game.fullScreen = game.urgent = true;
  auto floating = window(9, 100, "foot", "float", {100, 50, 400, 300}, "1");
  floating.floating = true;
  auto away = window(10, 400, "foot", "away", {0, 0, 1280, 720}, "3");
  away.shown = false;
  EXPECT_EQ(tree.windows, (std::vector<IpcWindow>{scratch, left, game, floating, away}));
  EXPECT_EQ(tree.focused, 7u);
  EXPECT_EQ(tree.find(9)->title, "float");
  EXPECT_EQ(tree.find(13), nullptr);  // a split container is not a window
}

TEST(IpcTree, ReadsI3FloatingWindowsByTheirWrapperAndStandsInForPids) {
  auto tree = parseTree(fixture("i3-tree.json"), kWorkspaces);
  ASSERT_EQ(tree.windows.size(), 2u);
  const auto& tiled = tree.windows[0];
  const auto& dialog = tree.windows[1];
  // i3 keeps the title bar inside the rect; a floating window's frame is its wrapper's.
  EXPECT_EQ(tiled.frame, (CGRect{0, 0, 1024, 768}));
  EXPECT_EQ(dialog.frame, (CGRect{10, 20, 300, 218}));
  EXPECT_TRUE(dialog.floating);
  EXPECT_FALSE(tiled.floating);
  EXPECT_EQ(tiled.app, "XTerm");
  EXPECT_EQ(tree.focused, 22u);
  // i3 names no pid: each window stands for an app of its own, never a real process.
  EXPECT_EQ(tiled.pid, 0);
  EXPECT_GE(pidOf(tiled), kFirstStandInPID);
  EXPECT_NE(pidOf(tiled), pidOf(dialog));
  EXPECT_EQ(applicationsOf(tree).size(), 2u);
}

TEST(IpcTree, ToleratesMalformedNodes) {
  auto tree = parseTree(json::parse(R"({"nodes": [1, "x", {"app_id": "a"},
      {"id": 5, "app_id": "b", "rect": "wide", "nodes": "none"}], "floating_nodes": {}})"),
                        json::parse("null"));
  ASSERT_EQ(tree.windows.size(), 1u);  // a window without an id is skipped
  EXPECT_EQ(tree.windows[0].id, 5u);
  EXPECT_EQ(tree.windows[0].frame, CGRect());
  EXPECT_TRUE(parseTree(json::parse("[]"), json()).windows.empty());
}

TEST(IpcTree, OrdersWindowsFrontToBack) {
  auto tree = parseTree(fixture("sway-tree.json"), kWorkspaces);
  std::vector<std::uint32_t> order;
  for (const auto& window : frontToBack(tree))
    order.push_back(window.id);
  // Focused, full screen, floating, tiled; minimized and hidden ones are not on screen.
  EXPECT_EQ(order, (std::vector<std::uint32_t>{7, 8, 9}));
}

TEST(IpcTree, ReadsOutputsAsDisplays) {
  auto outputs = json::parse(R"([
    {"name": "HEADLESS-1", "make": "headless", "model": "headless", "serial": "", "active": true,
     "rect": {"x": 0, "y": 0, "width": 1280, "height": 720}, "current_workspace": "1"},
    {"name": "HEADLESS-2", "make": "headless", "model": "headless", "serial": "Unknown", "active": true,
     "primary": true, "rect": {"x": 1280, "y": 0, "width": 1280, "height": 720}, "current_workspace": "2"},
    {"name": "eDP-1", "make": "BOE", "model": "0x0BCA", "serial": "123", "active": true,
     "rect": {"x": 0, "y": 720, "width": 1920, "height": 1080}, "current_workspace": "9"},
    {"name": "DP-3", "make": "Dell", "model": "U2720Q", "serial": "ABC", "active": false,
     "rect": {"x": 0, "y": 0, "width": 0, "height": 0}}])");
  auto displays = parseDisplays(outputs, kWorkspaces);
  ASSERT_EQ(displays.size(), 3u);  // the inactive output is no display
  // Without serials, two identical monitors are told apart by their connectors.
  EXPECT_EQ(displays[0].id, "headless headless HEADLESS-1");
  EXPECT_EQ(displays[1].id, "headless headless HEADLESS-2");
  EXPECT_EQ(displays[2].id, "BOE 0x0BCA 123");
  // The visible frame is the shown workspace's, without the bar; without one, the frame.
  EXPECT_EQ(displays[0].visibleFrame, (CGRect{0, 0, 1280, 690}));
  EXPECT_EQ(displays[1].visibleFrame, (CGRect{1280, 30, 1280, 690}));
  EXPECT_EQ(displays[2].visibleFrame, displays[2].frame);
  EXPECT_FALSE(displays[0].isMain);
  EXPECT_TRUE(displays[1].isMain);  // primary
  EXPECT_TRUE(displays[2].isBuiltIn);
  EXPECT_FALSE(displays[0].isBuiltIn);
  // Without a primary output the first is the main display.
  outputs[1]["primary"] = false;
  EXPECT_TRUE(parseDisplays(outputs, kWorkspaces)[0].isMain);
}

TEST(IpcCommands, SpellTheCompositorsCommands) {
  EXPECT_EQ(commands::place(7, {10.5, -20, 640.4, 359.5}),
            "[con_id=7] floating enable, resize set 640 360, move absolute position 11 -20");
  EXPECT_EQ(commands::tile(7), "[con_id=7] floating disable");
  // Back after its old left neighbour, or before its right one when it was first.
  EXPECT_EQ(commands::tile({42, true}, 5, 6),
            "[id=42] floating disable; [con_id=5] mark --add _kestles_back; "
            "[id=42] move container to mark _kestles_back; unmark _kestles_back");
  EXPECT_EQ(commands::tile(7, 0, 6),
            "[con_id=7] floating disable; [con_id=6] mark --add _kestles_back; "
            "[con_id=7] move container to mark _kestles_back; "
            "[con_id=7] swap container with con_id 6; unmark _kestles_back");
  EXPECT_EQ(commands::minimize(7, true), "[con_id=7] move scratchpad");
  EXPECT_EQ(commands::fullScreen(7, false), "[con_id=7] fullscreen disable");
  EXPECT_EQ(shellQuoted("it's a $HOME"), R"('it'\''s a $HOME')");
}

}  // namespace
}  // namespace kestles::ipc
