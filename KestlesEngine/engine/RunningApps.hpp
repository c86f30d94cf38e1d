#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "KestlesCore/world/AppSnapshot.hpp"
#include "KestlesEngine/platform/LogSink.hpp"
#include "KestlesEngine/platform/Time.hpp"
#include "KestlesEngine/platform/Workspace.hpp"

namespace kestles::engine {

/// The ordinary apps running now, as the snapshot reads them. Main thread only.
class RunningApps {
 public:
  /// How long an app counts as seen recently.
  static constexpr platform::Duration kRecent = std::chrono::seconds(30);

  RunningApps(platform::Workspace& workspace, platform::LogSink& log, platform::Clock& clock);

  /// The regular apps that have not terminated, in the workspace's order. An app listed
  /// without a pid keeps the pid it was last seen with while that process lives; without
  /// one it is left out, and logged the first time only.
  std::vector<AppSnapshot> list();
  /// Whether the process still exists.
  bool isAlive(std::int32_t pid);
  /// Whether an app with this bundle identifier was listed within the last 30 seconds.
  bool isRecent(const std::string& bundleID);

 private:
  platform::Workspace& workspace_;
  platform::LogSink& log_;
  platform::Clock& clock_;
  std::map<std::uint64_t, std::int32_t> remembered_;  // app object -> its last good pid
  std::set<std::uint64_t> reportedWithoutPID_;
  std::map<std::string, platform::ContinuousInstant> seen_;
};

}  // namespace kestles::engine
