#pragma once

#include <cstdint>
#include <vector>

#include "KestlesEngine/platform/Workspace.hpp"
#include "KestlesEngine/sim/SimWorld.hpp"

namespace kestles::sim {

/// The workspace of the simulated desktop: the world's running apps and this process.
class SimWorkspace final : public platform::Workspace {
 public:
  explicit SimWorkspace(SimWorld& world) : world_(world) {}

  /// The workspace lists the app without a pid.
  void dropPID(std::int32_t pid);
  /// This process's pid and, when it has one, its app's place in the running apps.
  void setOwnPID(std::int32_t pid);

  std::vector<platform::RunningApplication> runningApplications() override;
  std::int32_t ownPID() override;
  bool processExists(std::int32_t pid) override;
  std::uint64_t observe(Observer observer) override;
  void stopObserving(std::uint64_t token) override;

 private:
  SimWorld& world_;
};

}  // namespace kestles::sim
