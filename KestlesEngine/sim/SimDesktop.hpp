#pragma once

#include "KestlesCore/world/WorldFile.hpp"
#include "KestlesEngine/platform/AppProvider.hpp"
#include "KestlesEngine/platform/DesktopLayer.hpp"
#include "KestlesEngine/sim/FakeTime.hpp"
#include "KestlesEngine/sim/SimAccessibility.hpp"

namespace kestles::sim {

/// The simulated desktop of a world file as a desktop layer: its displays, apps, windows and
/// focused window behind the engine's interfaces (`SimAccessibility`, on a fake clock of its
/// own that nothing advances), and its installed apps. Nothing is written back to the file.
class SimDesktop final : public platform::DesktopLayer, public platform::InstalledAppSource {
 public:
  explicit SimDesktop(const WorldFile& file);

  platform::LayerParts parts() override;
  /// The file's installed apps plus the running ones that are not among them.
  std::vector<AppRef> installedApps() override;

  SimAccessibility& desktop() { return sim_; }

 private:
  std::vector<AppRef> installed_;
  std::vector<AppSnapshot> apps_;
  FakeClock clock_;
  SimAccessibility sim_;
};

}  // namespace kestles::sim
