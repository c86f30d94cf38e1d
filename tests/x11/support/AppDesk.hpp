#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/x11/support/XSession.hpp"

namespace kestles::testing {

/// A real desktop with the app running on it, its files in a private folder.
class AppDesk {
 public:
  struct Options {
    bool windowManager = true;
    /// The app's standard error is kept for `app().errorOutput()` (read it, lest a full
    /// pipe stop the app).
    bool keepLog = false;
    /// The library the app starts with (its JSON), when not the empty one.
    std::string library = {};
    /// The screen's size.
    int width = 1280;
    int height = 800;
    /// Files the app finds in place when it starts, by path inside `folder()` (desktop
    /// entries under "data/applications", say).
    std::map<std::string, std::string> files = {};
  };
  /// How a run of the tool ended: its exit status and what it wrote on standard error.
  struct ToolRun {
    int status = -1;
    std::string errors;
  };
  /// Nothing when Xvfb or openbox is missing.
  static std::unique_ptr<AppDesk> start(Options options);
  static std::unique_ptr<AppDesk> start() { return start(Options{}); }
  ~AppDesk();
  AppDesk(const AppDesk&) = delete;
  AppDesk& operator=(const AppDesk&) = delete;

  XSession& session() { return *session_; }
  /// The running app (its standard error holds its log when kept).
  Child& app() { return *app_; }
  /// Runs the tool to its end; its exit status.
  int kestles(std::vector<std::string> arguments);
  /// Runs the tool to its end, keeping its standard error.
  ToolRun kestlesSaying(std::vector<std::string> arguments);
  std::vector<Frame> frames(const std::vector<xcb_window_t>& windows);
  /// Waits until the windows' frames satisfy the condition.
  bool waitForFrames(const std::vector<xcb_window_t>& windows,
                     const std::function<bool(const std::vector<Frame>&)>& condition);
  /// Waits until the condition holds on frames that have stopped changing: a command moves
  /// its windows one after another, so a half-done move can pass a loose condition.
  bool waitForSettledFrames(const std::vector<xcb_window_t>& windows,
                            const std::function<bool(const std::vector<Frame>&)>& condition);
  /// The private folder the app keeps its files under (its state in "state/kestles").
  const std::filesystem::path& folder() const { return folder_; }
  /// Whether the app is still running.
  bool appRunning();

 private:
  AppDesk(std::unique_ptr<XSession> session, const Options& options);

  std::unique_ptr<XSession> session_;
  std::filesystem::path folder_;
  std::map<std::string, std::string> environment_;
  std::unique_ptr<Child> app_;
};

bool overlap(const Frame& a, const Frame& b);
/// Whether no two frames overlap.
bool allApart(const std::vector<Frame>& frames);

}  // namespace kestles::testing
