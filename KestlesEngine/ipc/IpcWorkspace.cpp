#include "KestlesEngine/ipc/IpcWorkspace.hpp"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "KestlesEngine/ipc/IpcAccessibility.hpp"

namespace kestles::ipc {

std::vector<platform::RunningApplication> applicationsOf(const IpcTree& tree) {
  std::vector<platform::RunningApplication> apps;
  for (const auto& window : tree.windows) {
    auto pid = pidOf(window);
    bool listed =
        std::any_of(apps.begin(), apps.end(),
                    [&](const platform::RunningApplication& app) { return app.pid == pid; });
    if (listed) continue;
    platform::RunningApplication app;
    app.handle = static_cast<std::uint64_t>(pid);
    app.pid = pid;
    if (!window.app.empty()) {
      app.bundleID = window.app;
      app.localizedName = window.app;
    }
    apps.push_back(std::move(app));
  }
  return apps;
}

std::vector<platform::RunningApplication> IpcWorkspace::runningApplications() {
  // Every snapshot starts here: it must see windows moved since the last read, which the
  // compositor announces with no event (a floating window moved by a command), so the tree is
  // read again; the snapshot's reads after this one share it.
  session_.invalidate();
  auto tree = session_.tree();
  if (!tree) return {};
  return applicationsOf(*tree);
}

std::int32_t IpcWorkspace::ownPID() {
  return getpid();
}

bool IpcWorkspace::processExists(std::int32_t pid) {
  if (pid >= kFirstStandInPID) {
    auto tree = session_.tree();
    return tree && std::any_of(tree->windows.begin(), tree->windows.end(),
                               [&](const IpcWindow& window) { return pidOf(window) == pid; });
  }
  return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

std::uint64_t IpcWorkspace::observe(Observer observer) {
  return observers_.add(std::move(observer));
}

void IpcWorkspace::stopObserving(std::uint64_t token) {
  observers_.remove(token);
}

}  // namespace kestles::ipc
