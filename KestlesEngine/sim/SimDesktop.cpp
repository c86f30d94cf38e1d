#include "KestlesEngine/sim/SimDesktop.hpp"

namespace kestles::sim {

SimDesktop::SimDesktop(const World& world, FakeClock& clock,
                       std::optional<std::uint32_t> focusedWindow)
    : world_(world, clock, focusedWindow) {}

SimDesktop::SimDesktop(const WorldFile& file)
    : world_(file.world, ownClock_, file.focusedWindow), catalog_(file.installedApps) {}

platform::LayerParts SimDesktop::parts() {
  return {ax_, windowServer_, workspace_, screens_, opener_, hotKeys_, input_, catalog_};
}

void SimDesktop::quit(std::int32_t pid) {
  std::optional<platform::RunningApplication> gone;
  {
    std::lock_guard lock(world_.mutex);
    auto app = world_.appOf(pid);
    if (!app) return;
    app->running = false;
    for (auto& window : world_.windows)
      if (window.snapshot.pid == pid) window.exists = false;
    ax_.forgetObservers(pid);
    gone = platform::RunningApplication{
        app->handle, pid, app->app.bundleID, app->app.name, app->app.isHidden, true, true};
  }
  world_.post({platform::WorkspaceNotification::Kind::didTerminate, gone});
}

std::optional<WindowSnapshot> SimDesktop::window(std::uint32_t id) {
  std::lock_guard lock(world_.mutex);
  if (auto found = world_.windowNumbered(id)) return found->snapshot;
  return std::nullopt;
}

}  // namespace kestles::sim
