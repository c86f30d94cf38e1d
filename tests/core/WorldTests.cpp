#include "KestlesCore/world/World.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {
namespace {

DisplayInfo display(std::string id, CGRect frame) {
  return {id, id, frame, frame, false, false};
}

WindowSnapshot window(std::uint32_t id, CGRect frame, std::int64_t zIndex,
                      bool fullScreen = false) {
  WindowSnapshot w;
  w.id = id;
  w.pid = 42;
  w.bundleID = "org.example.Editor";
  w.appName = "Editor";
  w.title = "Notes — “draft”";
  w.frame = frame;
  w.isFullScreen = fullScreen;
  w.minimumSize = {300, 200};
  w.maximumSize = {0, 900};
  w.isResizable = true;
  w.zIndex = zIndex;
  return w;
}

World sampleWorld() {
  World world;
  world.setup.displays = {display("A", {0, 0, 1920, 1080}), display("B", {1920, 0, 1280, 1024})};
  world.activeDisplayID = "B";
  world.windows = {window(7, {10.5, 20, 800, 600}, 1),
                   window(0xF0000001, {1920, 0, 1280, 1024}, 0, true)};
  world.apps = {{42, "org.example.Editor", "Editor", false},
                {43, "org.example.Hidden", "Hidden", true}};
  world.floating = {"org.example.Hidden", "org.example.Editor"};
  world.fullScreen = {{"B", 0xF0000001}};
  return world;
}

TEST(WorldTests, JSONRoundTripKeepsEveryField) {
  auto world = sampleWorld();
  nlohmann::json json = world;
  EXPECT_EQ(json.get<World>(), world);
  // The wire form: field names as keys, frames as [[x, y], [w, h]], floating sorted.
  EXPECT_EQ(json["windows"][0]["frame"], nlohmann::json::parse("[[10.5, 20], [800, 600]]"));
  EXPECT_EQ(json["windows"][0]["minimumSize"],
            nlohmann::json::parse(R"({"width": 300, "height": 200})"));
  EXPECT_EQ(json["floating"],
            nlohmann::json::parse(R"(["org.example.Editor", "org.example.Hidden"])"));
  EXPECT_EQ(json["fullScreen"], nlohmann::json::parse(R"({"B": 4026531841})"));
  EXPECT_EQ(json["displays"][1]["id"], "B");
  EXPECT_FALSE(json.contains("setup"));
}

TEST(WorldTests, AbsentActiveDisplayIsLeftOut) {
  World world = sampleWorld();
  world.activeDisplayID.reset();
  nlohmann::json json = world;
  EXPECT_FALSE(json.contains("activeDisplayID"));
  EXPECT_EQ(json.get<World>(), world);
}

TEST(WorldTests, DecodingDropsDamagedItemsAndDefaultsZIndexToListOrder) {
  // Regression: a window whose frame was a string, not a rectangle, made the whole world
  // unreadable instead of dropping that window; so did a pid of the wrong type.
  auto json = nlohmann::json::parse(R"({
    "displays": [{"id": "A", "name": "A", "frame": [[0, 0], [100, 100]]}, {"name": "no id"}],
    "apps": [{"bundleID": "b", "pid": 5}, {"pid": 6}, 7],
    "windows": [
      {"id": 3, "frame": [[0, 0], [10, 10]]},
      {"id": 4},
      {"id": 5, "frame": [[1, 1], [10, 10]], "zIndex": 9},
      {"frame": [[2, 2], [10, 10]], "title": "no id"},
      {"id": 6, "frame": "[[0, 0], [10, 10]]"},
      {"id": 8, "frame": [[0, 0], [10, 10]], "pid": "eight"}
    ],
    "floating": ["x", 3],
    "fullScreen": {"A": 5, "B": "five"}
  })");
  auto world = json.get<World>();
  ASSERT_EQ(world.setup.displays.size(), 1u);
  ASSERT_EQ(world.apps.size(), 1u);
  EXPECT_EQ(world.apps[0], (AppSnapshot{5, "b", "b", false}));
  ASSERT_EQ(world.windows.size(), 3u);
  struct Expected {
    std::uint32_t id;
    std::int64_t zIndex;
  };
  const Expected expected[] = {{3, 0}, {5, 9}, {0, 3}};  // the position in the file's list
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(world.windows[i].id, expected[i].id);
    EXPECT_EQ(world.windows[i].zIndex, expected[i].zIndex);
  }
  EXPECT_TRUE(world.windows[2].isResizable);
  EXPECT_EQ(world.floating, (std::set<std::string>{"x"}));
  EXPECT_EQ(world.fullScreen, (std::map<std::string, std::uint32_t>{{"A", 5}}));
  EXPECT_FALSE(world.activeDisplayID);
}

TEST(WorldTests, DecodingNeedsAnObject) {
  EXPECT_THROW(nlohmann::json::parse("[1]").get<World>(), coding::DecodeError);
  EXPECT_EQ(nlohmann::json::object().get<World>(), World{});
}

TEST(WorldTests, EqualityComparesFramesExactly) {
  auto a = window(1, {0, 0, 100, 100}, 0);
  auto b = a;
  EXPECT_EQ(a, b);
  b.frame.origin.x = 1e-9;
  EXPECT_NE(a, b);
  b = a;
  b.maximumSize.width = 1;
  EXPECT_NE(a, b);
}

TEST(WorldTests, FullScreenWindowsOnScreenOnly) {
  DisplaySetup setup{{display("A", {0, 0, 1000, 1000}), display("B", {1000, 0, 1000, 1000})}};
  std::vector<WindowSnapshot> windows = {
      window(1, {0, 0, 1000, 1000}, 0, true),
      window(2, {1000, 0, 1000, 1000}, 5, true),  // not on screen: another desktop
      window(3, {1100, 0, 800, 800}, 1, false),
      window(4, {10, 10, 900, 900}, 2, true),  // replaces window 1 on display A
  };
  EXPECT_EQ(fullScreenWindows(setup, windows, 3), (std::map<std::string, std::uint32_t>{{"A", 4}}));
  EXPECT_TRUE(fullScreenWindows(DisplaySetup{}, windows, 3).empty());
}

}  // namespace
}  // namespace kestles
