#pragma once

#include <optional>
#include <vector>

#include "KestlesEngine/platform/Screens.hpp"
#include "KestlesEngine/sim/SimWorld.hpp"

namespace kestles::sim {

/// The displays of the simulated desktop and where its pointer is.
class SimScreens final : public platform::Screens {
 public:
  explicit SimScreens(SimWorld& world) : world_(world) {}

  /// Where the pointer is (nothing: unknown, as at first).
  void setMouseLocation(std::optional<CGPoint> location);

  std::vector<DisplayInfo> screens() override;
  std::optional<CGPoint> mouseLocation() override;

 private:
  SimWorld& world_;
  std::optional<CGPoint> mouse_;
};

}  // namespace kestles::sim
