#include "kestles/ToolPlatform.hpp"

#include "KestlesEngine/PlatformChoice.hpp"
#include "KestlesEngine/engine/Displays.hpp"
#include "KestlesEngine/engine/InstalledApps.hpp"
#include "KestlesEngine/engine/RunningApps.hpp"
#include "KestlesEngine/platform/ThreadTime.hpp"

namespace kestles::tool {
namespace {

/// The tool reports through its own messages; the engine's log lines are not for its users.
class QuietLog final : public platform::LogSink {
 public:
  void write(const platform::LogRecord&) override {}
};

}  // namespace

struct ToolPlatform::State {
  PlatformChoice choice = choosePlatform();
  QuietLog log;
  platform::SteadyClock clock;
  std::optional<engine::RunningApps> apps;
  std::optional<engine::Displays> displays;
  std::optional<engine::InstalledApps> installed;

  State() {
    // A desktop that can't be reached shows no displays and no apps: the checks then say so.
    if (!choice.layer) return;
    auto parts = choice.layer->parts();
    apps.emplace(parts.workspace, log, clock);
    displays.emplace(parts.screens);
    installed.emplace(parts.catalog, parts.workspace, clock);
  }
};

ToolPlatform::ToolPlatform() = default;
ToolPlatform::~ToolPlatform() = default;

ToolPlatform::State& ToolPlatform::state() {
  if (!state_) state_ = std::make_unique<State>();
  return *state_;
}

std::vector<DisplayInfo> ToolPlatform::displays() {
  auto& displays = state().displays;
  return displays ? displays->setup().displays : std::vector<DisplayInfo>{};
}

std::vector<AppSnapshot> ToolPlatform::openApps() {
  auto& apps = state().apps;
  return apps ? apps->list() : std::vector<AppSnapshot>{};
}

std::vector<AppRef> ToolPlatform::installedApps() {
  auto& installed = state().installed;
  return installed ? installed->list() : std::vector<AppRef>{};
}

}  // namespace kestles::tool
