#include "KestlesEngine/sim/SimDesktop.hpp"

namespace kestles::sim {

SimDesktop::SimDesktop(const WorldFile& file)
    : sim_(file.world, clock_, file.focusedWindow), catalog_(file.installedApps) {}

platform::LayerParts SimDesktop::parts() {
  return {sim_, sim_, sim_, sim_, sim_, sim_, sim_, catalog_};
}

}  // namespace kestles::sim
