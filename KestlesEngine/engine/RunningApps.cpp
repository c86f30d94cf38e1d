#include "KestlesEngine/engine/RunningApps.hpp"

namespace kestles::engine {

RunningApps::RunningApps(platform::Workspace& workspace, platform::LogSink& log,
                         platform::Clock& clock)
    : workspace_(workspace), log_(log), clock_(clock) {}

std::vector<AppSnapshot> RunningApps::list() {
  std::vector<AppSnapshot> apps;
  auto now = clock_.now();
  for (const auto& app : workspace_.runningApplications()) {
    if (!app.isRegular || app.isTerminated) continue;
    auto name = app.localizedName.value_or("An app");
    auto pid = app.pid;
    if (pid >= 1) {
      remembered_[app.handle] = pid;
    } else if (auto known = remembered_.find(app.handle);
               known != remembered_.end() && isAlive(known->second)) {
      pid = known->second;
    } else {
      if (reportedWithoutPID_.insert(app.handle).second)
        log_.write({platform::LogLevel::notice, platform::LogCategory::engine,
                    platform::formatLog("%{public}s has no pid; skipping it", name)});
      continue;
    }
    auto bundleID = app.bundleID.value_or("");
    seen_[bundleID] = now;
    apps.push_back({pid, bundleID, name, app.isHidden});
  }
  return apps;
}

bool RunningApps::isAlive(std::int32_t pid) {
  return workspace_.processExists(pid);
}

bool RunningApps::isRecent(const std::string& bundleID) {
  auto found = seen_.find(bundleID);
  return found != seen_.end() && clock_.now() - found->second <= kRecent;
}

}  // namespace kestles::engine
