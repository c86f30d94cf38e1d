#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "KestlesEngine/platform/WindowServer.hpp"
#include "KestlesEngine/sim/SimWorld.hpp"

namespace kestles::sim {

/// The window server of the simulated desktop: the world's windows front first, those of
/// this process left out of the lookup by number.
class SimWindowServer final : public platform::WindowServer {
 public:
  explicit SimWindowServer(SimWorld& world) : world_(world) {}

  /// The list does not show the window (it is on another Space, say).
  void unlist(std::uint32_t window);
  /// The list cannot be had.
  void failWindowList();

  std::optional<std::vector<Window>> onScreenWindows() override;
  std::optional<Window> windowWithID(std::uint32_t id) override;
  std::vector<std::uint32_t> allWindowNumbers() override;

 private:
  SimWorld& world_;
  bool windowListFails_ = false;
};

}  // namespace kestles::sim
