#pragma once

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "KestlesApp/CommandRunner.hpp"
#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "tests/engine/EngineDesk.hpp"
#include "tests/support/ToolProcess.hpp"

namespace kestles::link {

/// A reply as it goes over the socket, for test messages.
inline void PrintTo(const LinkReply& reply, std::ostream* out) {
  *out << reply.line();
}

}  // namespace kestles::link

namespace kestles::app {

using engine::testing::EngineDesk;
using engine::testing::kEditor;
using engine::testing::smallWorld;

struct Notice {
  std::string title;
  std::string body;
  bool operator==(const Notice&) const = default;
};

class RecordingNotifier final : public Notifier {
 public:
  void notify(const std::string& title, const std::string& body) override {
    notices.push_back({title, body});
  }
  std::vector<Notice> notices;
};

/// The command runner over the simulated desktop, with its files in a temporary folder.
struct RunnerDesk {
  explicit RunnerDesk(const World& world = smallWorld()) : desk(world) {
    desk.sim.setFocusedWindow(11);
    desk.sim.setFocusedApp(kEditor);
  }

  void run(const std::string& link) {
    auto command = decodeCommandLink(link);
    ASSERT_TRUE(command) << link;
    runner.run(*command);
  }
  /// Runs a link as the link server does, and the answer it gets.
  link::LinkReply answer(const std::string& link) {
    auto command = decodeCommandLink(link);
    EXPECT_TRUE(command) << link;
    std::optional<link::LinkReply> answered;
    if (command) runner.run(*command, [&](const link::LinkReply& reply) { answered = reply; });
    EXPECT_TRUE(answered) << link << " was not answered";
    return answered.value_or(link::LinkReply::refused("(no answer)"));
  }
  CGRect frameOf(std::uint32_t id) { return desk.sim.window(id)->frame; }
  std::map<std::uint32_t, CGRect> frames() {
    std::map<std::uint32_t, CGRect> result;
    for (const auto& window : desk.world.windows)
      result[window.id] = frameOf(window.id);
    return result;
  }
  /// Where the session state says every tiled or snapped window sits.
  std::map<std::uint32_t, CGRect> settledFrames() {
    auto settled = settledWorld(desk.world, runner.state(), runner.library().settings.gaps);
    std::map<std::uint32_t, CGRect> result;
    for (const auto& window : settled.windows)
      result[window.id] = window.frame;
    return result;
  }
  Library savedLibrary() {
    return JSONFile<Library>{folder.path() / "library.json"}.load().value();
  }
  SessionState savedState() { return SessionState::read(folder.path() / "state.json"); }

  testing::TemporaryFolder folder;
  EngineDesk desk;
  engine::Conductor& conductor = desk.parts.conductor;
  RecordingNotifier notifier;
  CommandRunner runner{{conductor, desk.engine, desk.log, notifier},
                       {folder.path() / "library.json", folder.path() / "state.json"}};
};

}  // namespace kestles::app
