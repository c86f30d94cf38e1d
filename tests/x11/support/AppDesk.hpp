#pragma once

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/x11/support/XSession.hpp"

namespace kestles::testing {

/// A real desktop with the app running on it, its files in a private folder.
class AppDesk {
 public:
  /// `keepLog`: the app's standard error is kept for `app().errorOutput()` (read it, lest
  /// a full pipe stop the app).
  static std::unique_ptr<AppDesk> start(bool keepLog = false) {
    auto session = XSession::start({1280, 800, true});
    if (!session) return nullptr;
    return std::unique_ptr<AppDesk>(new AppDesk(std::move(session), keepLog));
  }
  ~AppDesk() {
    app_.reset();
    std::filesystem::remove_all(folder_);
  }

  XSession& session() { return *session_; }
  /// The running app (its standard error holds its log).
  Child& app() { return *app_; }
  /// Runs the tool to its end; its exit status.
  int kestles(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), std::string(KESTLES_BIN_DIR) + "/kestles");
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
    return session_->waitUntil([&] { return condition(frames(windows)); }, std::chrono::seconds(5));
  }

 private:
  AppDesk(std::unique_ptr<XSession> session, bool keepLog) : session_(std::move(session)) {
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
    app_ = std::make_unique<Child>(
        std::vector<std::string>{std::string(KESTLES_BIN_DIR) + "/kestles-app"}, environment_,
        keepLog);
    for (int tries = 0; tries < 500 && !std::filesystem::exists(folder_ / "run/kestles/app.sock");
         ++tries)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  std::unique_ptr<XSession> session_;
  std::filesystem::path folder_;
  std::map<std::string, std::string> environment_;
  std::unique_ptr<Child> app_;
};

}  // namespace kestles::testing
