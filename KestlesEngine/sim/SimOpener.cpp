#include "KestlesEngine/sim/SimOpener.hpp"

#include <algorithm>

namespace kestles::sim {
namespace {

std::filesystem::path urlOf(const AppRef& app) {
  return std::filesystem::path("/Applications") / (app.name + ".app");
}

}  // namespace

void SimOpener::install(const AppRef& app, LaunchScript script) {
  std::lock_guard lock(world_.mutex);
  installed_[app.bundleID] = Installed{app, std::move(script)};
}

void SimOpener::startApp(Installed& installed) {
  auto& script = installed.script;
  if (!world_.appOf(script.pid))
    world_.apps.emplace_back(
        AppSnapshot{script.pid, installed.app.bundleID, installed.app.name, false},
        world_.apps.size() + 1);
}

void SimOpener::showWindows(std::int32_t pid, std::vector<WindowSnapshot> windows) {
  for (auto& window : windows) {
    window.pid = pid;
    ax_.addWindow(window);
  }
}

std::optional<std::filesystem::path> SimOpener::applicationURL(const std::string& bundleID) {
  std::lock_guard lock(world_.mutex);
  auto found = installed_.find(bundleID);
  if (found == installed_.end()) return std::nullopt;
  return urlOf(found->second.app);
}

std::optional<std::string> SimOpener::open(const std::filesystem::path& app, bool activates) {
  std::optional<platform::RunningApplication> launched;
  {
    std::lock_guard lock(world_.mutex);
    world_.record(
        SimCall::of(SimCall::Kind::open, 0, 0, app.string(), platform::AXValue{activates}));
    auto found = std::find_if(installed_.begin(), installed_.end(),
                              [&](const auto& entry) { return urlOf(entry.second.app) == app; });
    if (found == installed_.end()) return "The application can’t be found.";
    auto& installed = found->second;
    ++installed.opens;
    auto pid = installed.script.pid;
    if (!world_.appOf(pid)) {
      startApp(installed);
      auto started = world_.appOf(pid);
      launched = platform::RunningApplication{
          started->handle, pid, installed.app.bundleID, installed.app.name, false, true, false};
    }
    bool due = !installed.script.onlyAfterSecondOpen || installed.opens >= 2;
    if (installed.script.firstWindow && due && !installed.scheduled) {
      installed.scheduled = true;
      world_.clock.schedule(
          *installed.script.firstWindow,
          [this, pid, windows = installed.script.windows] { showWindows(pid, windows); });
    }
  }
  if (launched) world_.post({platform::WorkspaceNotification::Kind::didLaunch, launched});
  return std::nullopt;
}

}  // namespace kestles::sim
