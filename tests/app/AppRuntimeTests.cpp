// The running app on the simulated desktop: the keys another program holds, and what it tells
// about itself.
#include "KestlesApp/AppRuntime.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "KestlesCore/command/KeyBindings.hpp"
#include "KestlesCore/keys/KeyLabel.hpp"
#include "KestlesCore/world/WorldFile.hpp"
#include "KestlesEngine/platform/ModifierMasks.hpp"
#include "KestlesEngine/sim/MemoryLog.hpp"
#include "KestlesEngine/sim/SimDesktop.hpp"
#include "tests/app/RunnerDesk.hpp"

namespace kestles::app {
namespace {

struct RuntimeDesk {
  RuntimeDesk() : defaults(KeyBindings::of(Library{}).bindings) {}
  /// What the app answers to a link, once it is carried out.
  link::LinkReply ask(const std::string& line) {
    std::optional<link::LinkReply> answered;
    app->receive(line, [&](const link::LinkReply& reply) { answered = reply; });
    app->finishQueued();
    EXPECT_TRUE(answered) << line;
    return answered.value_or(link::LinkReply::refused("(no answer)"));
  }

  testing::TemporaryFolder folder;
  sim::SimDesktop layer{
      WorldFile::read(std::filesystem::path(KESTLES_FIXTURES) / "worlds" / "laptop-three.json")};
  sim::MemoryLog log;
  RecordingNotifier notifier;
  std::vector<KeyBinding> defaults;  // the bindings of a new library
  std::optional<AppRuntime> app;
  void start() {
    app.emplace(layer, log, notifier,
                CommandRunner::Files{folder.path() / "library.json", folder.path() / "state.json"},
                folder.path() / "limits.json",
                AppRuntime::About{"the simulated desktop", "/somewhere/app.log", {}});
    app->start();
  }
};

TEST(AppRuntimeTests, KeysAnotherProgramHoldsAreToldOnceAndListed) {
  // A key another program held was only logged: the user never learned why it did nothing.
  RuntimeDesk desk;
  ASSERT_GE(desk.defaults.size(), 3u);
  for (const auto& binding : {desk.defaults[0], desk.defaults[2]})
    desk.layer.refuseHotKey(static_cast<std::uint32_t>(binding.combo.keyCode),
                            platform::carbonModifiers(binding.combo.modifiers), -9878);
  desk.start();
  const auto& first = desk.defaults[0];
  const auto& third = desk.defaults[2];
  auto listed = KeyLabel::written(first.combo) + " (" + first.title + "), " +
                KeyLabel::written(third.combo) + " (" + third.title + ")";
  ASSERT_EQ(desk.notifier.notices.size(), 1u);
  EXPECT_EQ(desk.notifier.notices[0],
            (Notice{"Keys Kestles can’t use", "Another program holds " + listed + "."}));

  auto status = desk.ask("kestles://status");
  ASSERT_EQ(status.said.size(), 5u);
  EXPECT_EQ(status.said[3], "Keys another program holds: " + KeyLabel::written(first.combo) + ", " +
                                KeyLabel::written(third.combo) + ".");
  EXPECT_EQ(status.said[2].find(KeyLabel::written(first.combo) + ","), std::string::npos);
  EXPECT_NE(status.said[2].find(KeyLabel::written(desk.defaults[1].combo)), std::string::npos);
  EXPECT_EQ(status.said[4], "Log: /somewhere/app.log");

  auto keys = desk.ask("kestles://keys");
  ASSERT_GE(keys.said.size(), desk.defaults.size());
  EXPECT_TRUE(keys.said[0].ends_with("  held by another program")) << keys.said[0];
  EXPECT_TRUE(keys.said[1].ends_with("  held")) << keys.said[1];
  EXPECT_TRUE(keys.said[0].starts_with(KeyLabel::written(first.combo) + " ")) << keys.said[0];

  // Commands that change the library but not the keys tell nothing again about them.
  desk.ask("kestles://gaps/wider");
  auto told = std::count_if(desk.notifier.notices.begin(), desk.notifier.notices.end(),
                            [](const Notice& notice) { return notice.title.starts_with("Keys"); });
  EXPECT_EQ(told, 1);
}

TEST(AppRuntimeTests, QuitIsAnsweredThenStopsTheApp) {
  RuntimeDesk desk;
  desk.start();
  int quits = 0;
  desk.app->onQuit = [&] { ++quits; };
  EXPECT_EQ(desk.ask("kestles://quit"), link::LinkReply::accepted());
  EXPECT_EQ(quits, 1);
}

}  // namespace
}  // namespace kestles::app
