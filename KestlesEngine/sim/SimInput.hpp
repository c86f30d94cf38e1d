#pragma once

#include <cstdint>
#include <map>

#include "KestlesEngine/platform/InputMonitor.hpp"
#include "KestlesEngine/sim/SimWorld.hpp"

namespace kestles::sim {

/// The input of the simulated desktop: modifier changes and input that tests make, timed on
/// the world's fake clock.
class SimInput final : public platform::InputMonitor {
 public:
  explicit SimInput(SimWorld& world) : world_(world) {}

  /// The modifier keys change now: `keyCode` changed, `flags` are held.
  void changeFlags(std::uint16_t keyCode, std::uint64_t flags);
  /// Input of the kind comes now.
  void input(platform::InputKind kind);

  std::uint64_t addFlagsChangedMonitor(Handler handler) override;
  void removeMonitor(std::uint64_t token) override;
  double systemUptime() override;
  double secondsSinceLastEvent(platform::InputKind kind) override;

 private:
  SimWorld& world_;
  std::map<std::uint64_t, Handler> flagMonitors_;
  std::map<platform::InputKind, double> lastInput_;
};

}  // namespace kestles::sim
