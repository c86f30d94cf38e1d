#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/x11/support/XSession.hpp"

namespace kestles {
namespace {

using testing::Child;
using testing::Frame;
using testing::TestWindows;
using testing::XSession;
using namespace std::chrono_literals;

const std::string kBin = KESTLES_BIN_DIR;

bool overlap(const Frame& a, const Frame& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
         b.y < a.y + a.height;
}

/// A real desktop with the app running on it, its files in a private folder.
class AppDesk {
 public:
  static std::unique_ptr<AppDesk> start() {
    auto session = XSession::start({1280, 800, true});
    if (!session) return nullptr;
    return std::unique_ptr<AppDesk>(new AppDesk(std::move(session)));
  }
  ~AppDesk() {
    app_.reset();
    std::filesystem::remove_all(folder_);
  }

  XSession& session() { return *session_; }
  /// Runs the tool to its end; its exit status.
  int kestles(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), kBin + "/kestles");
    Child tool(arguments, environment_);
    return tool.wait().value_or(-1);
  }
  std::vector<Frame> frames(const std::vector<xcb_window_t>& windows) {
    std::vector<Frame> result;
    for (auto window : windows)
      result.push_back(session_->frameOf(window).value_or(Frame{}));
    return result;
  }
  /// Waits until the windows' frames satisfy the condition.
  bool waitForFrames(const std::vector<xcb_window_t>& windows,
                     const std::function<bool(const std::vector<Frame>&)>& condition) {
    return session_->waitUntil([&] { return condition(frames(windows)); }, 5s);
  }

 private:
  explicit AppDesk(std::unique_ptr<XSession> session) : session_(std::move(session)) {
    char pattern[] = "/tmp/kestles-e2e-XXXXXX";
    folder_ = mkdtemp(pattern);
    std::filesystem::create_directories(folder_ / "run");
    std::filesystem::permissions(folder_ / "run", std::filesystem::perms::owner_all);
    environment_ = {{"KESTLES_PLATFORM", "x11"},
                    {"XDG_RUNTIME_DIR", (folder_ / "run").string()},
                    {"XDG_DATA_HOME", (folder_ / "data").string()},
                    {"XDG_STATE_HOME", (folder_ / "state").string()},
                    {"XDG_CONFIG_HOME", (folder_ / "config").string()},
                    {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (folder_ / "no-bus").string()}};
    app_ = std::make_unique<Child>(std::vector<std::string>{kBin + "/kestles-app"}, environment_);
    for (int tries = 0; tries < 500 && !std::filesystem::exists(folder_ / "run/kestles/app.sock");
         ++tries)
      std::this_thread::sleep_for(10ms);
  }

  std::unique_ptr<XSession> session_;
  std::filesystem::path folder_;
  std::map<std::string, std::string> environment_;
  std::unique_ptr<Child> app_;
};

bool allApart(const std::vector<Frame>& frames) {
  for (std::size_t i = 0; i < frames.size(); ++i)
    for (std::size_t j = i + 1; j < frames.size(); ++j)
      if (overlap(frames[i], frames[j])) return false;
  return true;
}

TEST(AppEndToEndTests, TilesSnapsAndPutsEveryWindowBack) {
  auto desk = AppDesk::start();
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto first = desk->session().openWindows({"--pos", "40,60", "--size", "400x300"});
  auto second = desk->session().openWindows({"--pos", "120,140", "--size", "400x300"});
  auto third = desk->session().openWindows({"--pos", "200,220", "--size", "400x300"});
  std::vector<xcb_window_t> windows{first.id(), second.id(), third.id()};
  auto before = desk->frames(windows);
  ASSERT_FALSE(allApart(before));

  ASSERT_EQ(desk->kestles({"tile"}), 0);
  EXPECT_TRUE(desk->waitForFrames(windows, allApart)) << "tiled windows don’t overlap";
  ASSERT_EQ(desk->kestles({"undo"}), 0);
  EXPECT_TRUE(desk->waitForFrames(windows, [&](const auto& now) { return now == before; }));

  // The third window opened last has the focus.
  ASSERT_EQ(desk->kestles({"snap", "left-half"}), 0);
  EXPECT_TRUE(desk->waitForFrames({third.id()}, [](const auto& now) {
    return now[0].x < 40 && now[0].width <= 640 && now[0].width > 500 && now[0].height > 600;
  }));
  ASSERT_EQ(desk->kestles({"undo"}), 0);
  EXPECT_TRUE(desk->waitForFrames(windows, [&](const auto& now) { return now == before; }));
}

TEST(AppEndToEndTests, KeepTiledTakesInANewWindowAndClosesTheGapOfAGoneOne) {
  auto desk = AppDesk::start();
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto first = desk->session().openWindows({"--pos", "40,60", "--size", "400x300"});
  auto second = desk->session().openWindows({"--pos", "120,140", "--size", "400x300"});
  ASSERT_EQ(desk->kestles({"keep-tiled", "on"}), 0);
  std::vector<xcb_window_t> windows{first.id(), second.id()};
  ASSERT_TRUE(desk->waitForFrames(windows, allApart));

  auto third = desk->session().openWindows({"--pos", "300,300", "--size", "300x200"});
  windows.push_back(third.id());
  EXPECT_TRUE(desk->waitForFrames(windows, [](const auto& now) {
    return allApart(now) && now[2].width != 300;
  })) << "the new window gets a tile of its own";

  auto tiled = desk->frames({first.id(), second.id()});
  third.process->stop();
  EXPECT_TRUE(desk->waitForFrames({first.id(), second.id()},
                                  [&](const auto& now) { return now != tiled; }))
      << "the windows left fill the closed one’s tile";
}

}  // namespace
}  // namespace kestles
