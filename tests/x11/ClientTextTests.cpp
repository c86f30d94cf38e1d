// Text that other clients wrote (titles, classes), as the app's commands read and print it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "KestlesCore/world/WorldFile.hpp"
#include "tests/x11/support/XSession.hpp"

namespace kestles {
namespace {

using testing::Child;
using testing::XSession;

const std::string kApp = std::string(KESTLES_BIN_DIR) + "/kestles-app";
const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD

/// A private home for the app's files, removed afterwards.
struct Home {
  std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                 ("kestles-client-text-" + std::to_string(::getpid()));
  Home() { std::filesystem::remove_all(folder); }
  ~Home() { std::filesystem::remove_all(folder); }
  std::map<std::string, std::string> environment() const {
    return {{"KESTLES_PLATFORM", "x11"},
            {"HOME", folder.string()},
            {"XDG_DATA_HOME", (folder / "data").string()},
            {"XDG_STATE_HOME", (folder / "state").string()},
            {"XDG_CONFIG_HOME", (folder / "config").string()},
            {"XDG_RUNTIME_DIR", (folder / "run").string()},
            {"DBUS_SESSION_BUS_ADDRESS", ""}};
  }
};

struct Run {
  int status = -1;
  std::vector<std::string> lines;
  std::string err;
};

/// Runs the app to its end; `chosen` is written once its output has ended (a menu's pick).
Run run(const std::vector<std::string>& argv, const Home& home,
        const std::optional<std::string>& chosen = std::nullopt) {
  Child child(argv, home.environment(), true);
  Run result;
  while (auto line = child.readLine())
    result.lines.push_back(*line);
  if (chosen) child.writeLine(*chosen);
  result.err = child.errorOutput();
  result.status = child.wait().value_or(-1);
  return result;
}

const WindowSnapshot* find(const World& world, xcb_window_t id) {
  for (const auto& window : world.windows)
    if (window.id == id) return &window;
  return nullptr;
}

TEST(ClientTextTests, TitlesAndClassesThatAreNotUTF8ReachTheWorldRepaired) {
  // Regression: a title that was not valid UTF-8, or a long one cut by the read in the
  // middle of a character, made `kestles-app world` abort while printing it.
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  Home home;
  auto bad =
      session->openWindows({"--title", "Bad \xFF\xFE title \xC3", "--class", "bad\xFF,Bad\xC3"});
  // The read takes 4096 bytes: the euro sign's three bytes are cut after the first.
  const std::string longStart(4095, 'a');
  auto cut = session->openWindows(
      {"--title", longStart + "\xE2\x82\xAC and more", "--class", "long,Long\xE2\x82\xAC"});
  auto latin = session->openWindows({"--legacy-title", "--title", "Caf\xE9"});

  auto world = run({kApp, "world"}, home);
  ASSERT_EQ(world.status, 0) << world.err;
  std::string printed;
  for (const auto& line : world.lines)
    printed.append(line).append("\n");
  auto decoded = WorldFile::decoded(nlohmann::json::parse(printed)).world;  // valid UTF-8 only
  const auto* badWindow = find(decoded, bad.id());
  const auto* cutWindow = find(decoded, cut.id());
  const auto* latinWindow = find(decoded, latin.id());
  ASSERT_TRUE(badWindow && cutWindow && latinWindow) << printed;
  EXPECT_EQ(badWindow->title, "Bad " + kReplacement + kReplacement + " title " + kReplacement);
  EXPECT_EQ(badWindow->bundleID, "Bad" + kReplacement);
  EXPECT_EQ(cutWindow->title, longStart);  // the cut character dropped, not replaced
  EXPECT_EQ(cutWindow->bundleID, "Long\xE2\x82\xAC");
  EXPECT_EQ(latinWindow->title, "Caf\xC3\xA9");  // WM_NAME as Latin-1
}

TEST(ClientTextTests, APaletteMenuLineWithControlsStaysOneLineAndFocusesItsWindow) {
  // Regression: the palette printed titles raw, so a title's escape sequences reached the
  // terminal and its line break split one menu item into two lines.
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  Home home;
  auto evil = session->openWindows({"--title", "Evil\x1B]0;owned\x07\nsecond line"});
  auto plain = session->openWindows({"--title", "Plain"});
  ASSERT_TRUE(session->waitUntil([&] {
    return session->cardinals(session->root(), "_NET_ACTIVE_WINDOW") ==
           std::vector<std::uint32_t>{plain.id()};
  }));
  const std::string line = "Evil\\x1B]0;owned\\x07\\nsecond line — KestlesTest";

  auto menu = run({kApp, "palette", "--dmenu"}, home, line);
  EXPECT_EQ(menu.status, 0) << menu.err;
  EXPECT_EQ(menu.err, "");
  EXPECT_EQ(std::count(menu.lines.begin(), menu.lines.end(), line), 1);
  for (const auto& printed : menu.lines) {
    EXPECT_EQ(printed.find('\x1B'), std::string::npos) << printed;
    EXPECT_FALSE(printed.starts_with("second line")) << printed;
  }
  EXPECT_TRUE(session->waitUntil([&] {
    return session->cardinals(session->root(), "_NET_ACTIVE_WINDOW") ==
           std::vector<std::uint32_t>{evil.id()};
  }));
}

}  // namespace
}  // namespace kestles
