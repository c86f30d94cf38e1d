#include "KestlesEngine/ipc/IpcEvents.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace kestles::ipc {
namespace {

using Kind = platform::WorkspaceNotification::Kind;

/// Records what the translator said, in order, as short lines.
struct Recorder {
  std::vector<std::string> said;
  std::optional<IpcTree> tree;

  IpcListener listener() {
    return {[this](std::int32_t pid, std::uint32_t window, std::string_view name) {
              said.push_back(std::string(name) + " " + std::to_string(pid) + "/" +
                             std::to_string(window));
            },
            [this](const platform::WorkspaceNotification& note) {
              std::string line = note.kind == Kind::didLaunch                   ? "launch"
                                 : note.kind == Kind::didTerminate              ? "terminate"
                                 : note.kind == Kind::activeSpaceDidChange      ? "space"
                                 : note.kind == Kind::windowFullScreenDidChange ? "fullscreen"
                                                                                : "other";
              if (note.app) line.append(" ").append(std::to_string(note.app->pid));
              if (note.window) line.append(" /").append(std::to_string(*note.window));
              said.push_back(line);
            },
            [this] { said.push_back("displays"); },
            [this] { said.push_back("gone"); },
            [this] { return tree; },
            {}};
  }
};

std::string windowEvent(const std::string& change, std::uint32_t id, std::int32_t pid) {
  return nlohmann::json{
      {"change", change},
      {"container", {{"id", id}, {"pid", pid}, {"app_id", "foot"}, {"type", "con"}}}}
      .dump();
}

IpcTree treeOf(std::vector<std::pair<std::uint32_t, std::int32_t>> windows,
               std::uint32_t minimized = 0) {
  IpcTree tree;
  for (auto [id, pid] : windows) {
    IpcWindow window;
    window.id = id;
    window.pid = pid;
    window.minimized = id == minimized;
    tree.windows.push_back(window);
  }
  return tree;
}

TEST(IpcEvents, AppsLaunchWithTheirFirstWindowAndTerminateWithTheirLast) {
  Recorder recorder;
  // pid 100 already has window 7 when the layer starts.
  IpcEventTranslator translator(recorder.listener(), treeOf({{7, 100}}));
  auto window = static_cast<std::uint32_t>(Event::window);
  translator.handle(window, windowEvent("new", 8, 100));
  translator.handle(window, windowEvent("new", 9, 200));
  translator.handle(window, windowEvent("close", 7, 100));
  translator.handle(window, windowEvent("close", 8, 100));
  translator.handle(window, windowEvent("title", 9, 200));
  EXPECT_EQ(recorder.said, (std::vector<std::string>{
                               "AXWindowCreated 100/8",
                               "launch 200",
                               "AXWindowCreated 200/9",
                               "AXUIElementDestroyed 100/7",
                               "AXUIElementDestroyed 100/8",
                               "terminate 100",
                           }));
}

TEST(IpcEvents, MinimizeFullScreenSpacesAndOutputs) {
  Recorder recorder;
  IpcEventTranslator translator(recorder.listener(), treeOf({{7, 100}}));
  auto window = static_cast<std::uint32_t>(Event::window);
  recorder.tree = treeOf({{7, 100}}, 7);
  translator.handle(window, windowEvent("move", 7, 100));
  translator.handle(window, windowEvent("move", 7, 100));  // still minimized: nothing new
  recorder.tree = treeOf({{7, 100}});
  translator.handle(window, windowEvent("move", 7, 100));
  translator.handle(window, windowEvent("fullscreen_mode", 7, 100));
  translator.handle(static_cast<std::uint32_t>(Event::workspace), R"({"change": "focus"})");
  translator.handle(static_cast<std::uint32_t>(Event::workspace), R"({"change": "rename"})");
  translator.handle(static_cast<std::uint32_t>(Event::output), R"({"change": "unspecified"})");
  translator.handle(window, "not json");
  EXPECT_EQ(recorder.said, (std::vector<std::string>{
                               "AXWindowMiniaturized 100/7",
                               "AXWindowDeminiaturized 100/7",
                               "fullscreen /7",
                               "space",
                               "displays",
                               "displays",
                           }));
  EXPECT_FALSE(
      translator.handle(static_cast<std::uint32_t>(Event::shutdown), R"({"change": "exit"})"));
}

// An app launching with its first window is named as the trees name it: the launch that
// opened it waits for that name, not for the compositor's app id.
TEST(IpcEvents, ALaunchedAppIsNamedAsTheTreesNameIt) {
  Recorder recorder;
  std::vector<std::string> bundleIDs;
  auto listener = recorder.listener();
  listener.workspace = [&](const platform::WorkspaceNotification& note) {
    if (note.app) bundleIDs.push_back(note.app->bundleID.value_or("?"));
  };
  listener.appNames = [](IpcTree& tree) {
    for (auto& window : tree.windows)
      window.app = "entry-" + window.app;
  };
  IpcEventTranslator translator(std::move(listener), treeOf({}));
  auto window = static_cast<std::uint32_t>(Event::window);
  translator.handle(window, windowEvent("new", 8, 100));
  translator.handle(window, windowEvent("close", 8, 100));
  EXPECT_EQ(bundleIDs, (std::vector<std::string>{"entry-foot", "entry-foot"}));
}

// A binding that ran hands its command on; a binding event of another kind (a mode's change
// has none) or without a command does not, and a reload says the bindings are gone.
TEST(IpcEvents, BindingsRunAndConfigReloads) {
  Recorder recorder;
  auto listener = recorder.listener();
  listener.binding = [&](std::string_view command) {
    recorder.said.push_back("binding " + std::string(command));
  };
  listener.reloaded = [&] { recorder.said.push_back("reloaded"); };
  IpcEventTranslator translator(std::move(listener), treeOf({}));
  auto binding = static_cast<std::uint32_t>(Event::binding);
  translator.handle(
      binding, R"({"change": "run", "binding": {"command": "nop kestles 9:1", "symbol": "a"}})");
  translator.handle(binding, R"({"change": "run", "binding": {"symbol": "a"}})");
  translator.handle(binding, R"({"change": "run", "binding": "nop kestles 9:1"})");
  translator.handle(binding, R"({"change": "other", "binding": {"command": "exec foot"}})");
  translator.handle(static_cast<std::uint32_t>(Event::workspace), R"({"change": "reload"})");
  EXPECT_EQ(recorder.said, (std::vector<std::string>{
                               "binding nop kestles 9:1",
                               "displays",
                               "reloaded",
                           }));
}

}  // namespace
}  // namespace kestles::ipc
