#pragma once

#include "KestlesCore/world/WorldFile.hpp"
#include "KestlesEngine/platform/DesktopLayer.hpp"
#include "KestlesEngine/sim/FakeTime.hpp"
#include "KestlesEngine/sim/SimAccessibility.hpp"
#include "KestlesEngine/sim/SimAppCatalog.hpp"

namespace kestles::sim {

/// The simulated desktop of a world file as a desktop layer: its displays, apps, windows and
/// focused window behind the engine's interfaces (`SimAccessibility`, on a fake clock of its
/// own that nothing advances), its installed apps, and the other simulated services in their
/// first state. Nothing is written back to the file.
class SimDesktop final : public platform::DesktopLayer {
 public:
  explicit SimDesktop(const WorldFile& file);

  platform::LayerParts parts() override;

  SimAccessibility& desktop() { return sim_; }

 private:
  FakeClock clock_;
  SimAccessibility sim_;
  SimAppCatalog catalog_;
};

}  // namespace kestles::sim
