#include "KestlesEngine/sim/SimDesktop.hpp"

namespace kestles::sim {

SimDesktop::SimDesktop(const WorldFile& file)
    : installed_(file.installedApps),
      apps_(file.world.apps),
      sim_(file.world, clock_, file.focusedWindow) {}

platform::LayerParts SimDesktop::parts() {
  return {sim_, sim_, sim_, sim_, sim_, sim_, sim_};
}

std::vector<AppRef> SimDesktop::installedApps() {
  return platform::withRunningApps(installed_, apps_);
}

}  // namespace kestles::sim
