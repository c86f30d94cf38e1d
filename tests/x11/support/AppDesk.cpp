#include "tests/x11/support/AppDesk.hpp"

#include <stdlib.h>

#include <fstream>
#include <thread>

namespace kestles::testing {

using namespace std::chrono_literals;

namespace {
const std::string kBin = KESTLES_BIN_DIR;
}

std::unique_ptr<AppDesk> AppDesk::start(Options options) {
  auto session = XSession::start({options.width, options.height, options.windowManager});
  if (!session) return nullptr;
  return std::unique_ptr<AppDesk>(new AppDesk(std::move(session), options));
}

AppDesk::AppDesk(std::unique_ptr<XSession> session, const Options& options)
    : session_(std::move(session)) {
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
  if (!options.library.empty()) {
    std::filesystem::create_directories(folder_ / "data/kestles");
    std::ofstream(folder_ / "data/kestles/library.json") << options.library;
  }
  for (const auto& [path, content] : options.files) {
    std::filesystem::create_directories((folder_ / path).parent_path());
    std::ofstream(folder_ / path) << content;
  }
  app_ = std::make_unique<Child>(std::vector<std::string>{kBin + "/kestles-app"}, environment_,
                                 options.keepLog);
  for (int tries = 0; tries < 500 && !std::filesystem::exists(folder_ / "run/kestles/app.sock");
       ++tries)
    std::this_thread::sleep_for(10ms);
}

AppDesk::~AppDesk() {
  app_.reset();
  std::filesystem::remove_all(folder_);
}

int AppDesk::kestles(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), kBin + "/kestles");
  Child tool(arguments, environment_);
  return tool.wait().value_or(-1);
}

AppDesk::ToolRun AppDesk::kestlesSaying(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), kBin + "/kestles");
  Child tool(arguments, environment_, true);
  // Read to the end first: the tool closes standard error as it exits.
  auto errors = tool.errorOutput();
  return {tool.wait().value_or(-1), std::move(errors)};
}

std::vector<Frame> AppDesk::frames(const std::vector<xcb_window_t>& windows) {
  std::vector<Frame> result;
  for (auto window : windows)
    result.push_back(session_->frameOf(window).value_or(Frame{}));
  return result;
}

bool AppDesk::waitForFrames(const std::vector<xcb_window_t>& windows,
                            const std::function<bool(const std::vector<Frame>&)>& condition) {
  return session_->waitUntil([&] { return condition(frames(windows)); }, 5s);
}

bool AppDesk::waitForSettledFrames(
    const std::vector<xcb_window_t>& windows,
    const std::function<bool(const std::vector<Frame>&)>& condition) {
  return session_->waitUntil(
      [&] {
        auto now = frames(windows);
        if (!condition(now)) return false;
        std::this_thread::sleep_for(250ms);
        return frames(windows) == now;
      },
      5s);
}

bool AppDesk::appRunning() {
  // A crashed app stays a zombie until reaped, so the state letter tells, not the pid alone.
  std::ifstream stat("/proc/" + std::to_string(app_->pid()) + "/stat");
  std::string pid, name, state;
  if (!(stat >> pid >> name >> state)) return false;
  return state != "Z" && state != "X";
}

bool overlap(const Frame& a, const Frame& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool allApart(const std::vector<Frame>& frames) {
  for (std::size_t i = 0; i < frames.size(); ++i)
    for (std::size_t j = i + 1; j < frames.size(); ++j)
      if (overlap(frames[i], frames[j])) return false;
  return true;
}

}  // namespace kestles::testing
