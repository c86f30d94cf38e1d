// The running app as the only writer of the library and the session state: the palette's
// recents and the assistant's kestles reach the files through it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include <nlohmann/json.hpp>

#include "tests/app/AppCommandHome.hpp"
#include "tests/app/AppProcess.hpp"

namespace kestles::testing {
namespace {

using Json = nlohmann::json;

class OneWriter : public ::testing::Test, protected AppCommandHome {
 protected:
  /// The running app, with the same folders as the one-shot commands.
  std::unique_ptr<AppProcess> startApp() const {
    auto app = std::make_unique<AppProcess>(
        runtimePath(), AppProcess::Errors::discarded,
        std::map<std::string, std::string>{{"HOME", home.path().string()},
                                           {"XDG_DATA_HOME", (home.path() / "data").string()},
                                           {"XDG_STATE_HOME", (home.path() / "state").string()}});
    return app->waitUntilListening() ? std::move(app) : nullptr;
  }
  ProcessResult assistant(const std::vector<std::string>& arguments) const {
    std::vector<std::string> words{"assistant"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return runApp(words, {{"KESTLES_ASSISTANT_URL", ""}});
  }
  static Json read(const std::filesystem::path& path) {
    std::ifstream file(path);
    auto json = Json::parse(file, nullptr, false);
    return json.is_discarded() ? Json() : json;
  }
  /// Waits (up to 10 s) until the file's JSON passes the check.
  static bool waitFor(const std::filesystem::path& path,
                      const std::function<bool(const Json&)>& ok) {
    for (int i = 0; i < 1000; ++i) {
      if (ok(read(path))) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  static std::vector<std::string> kestleNames(const Json& library) {
    std::vector<std::string> names;
    if (library.is_object() && library.contains("kestles"))
      for (const auto& kestle : library["kestles"])
        names.push_back(kestle.value("name", ""));
    return names;
  }
};

// The palette and the assistant wrote state.json and library.json themselves while the app
// kept its own copies, and the app took theirs in only when a file's modification time differed
// from that of its own last write: where two writes fall in one tick of the file system's clock
// (coarse on some file systems), the app's next save dropped the assistant's kestle and the
// palette's recent.
TEST_F(OneWriter, ARecentAndASavedKestleReachTheFilesThroughTheAppAndStay) {
  auto app = startApp();
  ASSERT_TRUE(app) << "the app did not start";
  auto socket = socketIn(runtimePath());
  // The app writes both files once, and the test keeps their times.
  ASSERT_EQ(ask(socket, "kestles://keep-tiled/on\n"), "ok");
  ASSERT_TRUE(waitFor(libraryPath(), [](const Json& library) {
    return library.is_object() && !library["settings"].value("keptTiled", Json::array()).empty();
  }));
  ASSERT_TRUE(waitFor(statePath(), [](const Json& state) { return state.is_object(); }));
  auto libraryTime = std::filesystem::last_write_time(libraryPath());
  auto stateTime = std::filesystem::last_write_time(statePath());

  auto hasRecent = [](const Json& state) {
    return state.is_object() && state.contains("paletteRecents") &&
           state["paletteRecents"]["actions"] == Json::array({{{"tileAs", {{"_0", "grid"}}}}});
  };
  auto hasKestle = [](const Json& library) { return kestleNames(library).size() == 3; };
  // Each file is then set back to the time of the app's last write, as on a file system whose
  // clock has not ticked since.
  auto saved = assistant({"--save", "Safari full screen"});
  ASSERT_EQ(saved.status, 0) << saved.err;
  ASSERT_TRUE(waitFor(libraryPath(), hasKestle)) << read(libraryPath()).dump();
  EXPECT_EQ(kestleNames(read(libraryPath())).back(), Json::parse(saved.out)["kestle"]["name"]);
  std::filesystem::last_write_time(libraryPath(), libraryTime);
  auto picked = runApp({"palette", "--dmenu"}, {}, ProcessInput{"Tile as Grid\n", true});
  ASSERT_EQ(picked.status, 0) << picked.err;
  ASSERT_TRUE(waitFor(statePath(), hasRecent)) << read(statePath()).dump();
  std::filesystem::last_write_time(statePath(), stateTime);

  // The app writes both files again and keeps what came from the others.
  ASSERT_EQ(ask(socket, "kestles://keep-tiled/off\n"), "ok");
  ASSERT_TRUE(waitFor(libraryPath(), [](const Json& library) {
    return library.is_object() && library["settings"].value("keptTiled", Json::array()).empty();
  }));
  app->stop();
  EXPECT_TRUE(hasRecent(read(statePath()))) << read(statePath()).dump();
  EXPECT_TRUE(hasKestle(read(libraryPath()))) << read(libraryPath()).dump();
  // The next menu lists the recorded action first.
  auto menu = runApp({"palette", "--dmenu"}, {}, ProcessInput{"", true});
  EXPECT_TRUE(menu.out.starts_with("Tile as Grid\n")) << menu.out;
}

}  // namespace
}  // namespace kestles::testing
