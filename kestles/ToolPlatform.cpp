#include "kestles/ToolPlatform.hpp"

#include "KestlesEngine/PlatformChoice.hpp"

namespace kestles::tool {

struct ToolPlatform::State {
  platform::Platform platform = emptyPlatform();
};

ToolPlatform::ToolPlatform() = default;
ToolPlatform::~ToolPlatform() = default;

ToolPlatform::State& ToolPlatform::state() {
  if (!state_) {
    state_ = std::make_unique<State>();
    // A desktop that can't be reached shows no displays and no apps: the checks then say so.
    if (auto choice = choosePlatform(); choice.platform)
      state_->platform = std::move(*choice.platform);
  }
  return *state_;
}

std::vector<DisplayInfo> ToolPlatform::displays() {
  return state().platform.displays().displays();
}

std::vector<AppSnapshot> ToolPlatform::openApps() {
  return state().platform.runningApps().runningApps();
}

std::vector<AppRef> ToolPlatform::installedApps() {
  return state().platform.installedApps().installedApps();
}

}  // namespace kestles::tool
