#include "KestlesApp/DesktopSession.hpp"

#include <algorithm>

#include "KestlesEngine/engine/InstalledApps.hpp"

namespace kestles::app {

std::unique_ptr<DesktopSession> DesktopSession::open(std::ostream& err,
                                                     const std::filesystem::path& limitsFile) {
  auto choice = choosePlatform();
  if (!choice.layer) {
    fail(err, choice.error);
    return nullptr;
  }
  return std::unique_ptr<DesktopSession>(new DesktopSession(std::move(choice), limitsFile));
}

DesktopSession::DesktopSession(PlatformChoice choice, const std::filesystem::path& limitsFile)
    : choice_(std::move(choice)),
      parts_(choice_.layer->parts()),
      // The conductor is not used: nothing waits for a later main context.
      engine_(engine::EngineParts::Desktop::of(parts_), log_,
              {clock_, timers_, queue_, parallel_, timers_}, limitsFile) {
  engine_.engine.start();
}

DesktopSession::~DesktopSession() = default;

WorldFile DesktopSession::world() {
  WorldFile file;
  file.world = engine_.engine.snapshot(engine_.runningApps.list(), engine_.displays.setup());
  if (auto focused = engine_.engine.focusedWindow()) file.focusedWindow = focused->id;
  file.installedApps = engine::InstalledApps(parts_.catalog, parts_.workspace, clock_).list();
  return file;
}

const WindowSnapshot* DesktopSession::findNow(std::uint32_t window) {
  current_ = engine_.engine.snapshot(engine_.runningApps.list(), engine_.displays.setup());
  auto found = std::find_if(current_.windows.begin(), current_.windows.end(),
                            [&](const WindowSnapshot& w) { return w.id == window; });
  return found == current_.windows.end() ? nullptr : &*found;
}

std::optional<CGRect> DesktopSession::place(std::uint32_t window, const CGRect& frame) {
  const auto* found = findNow(window);
  if (found == nullptr) return std::nullopt;
  auto outcome = engine_.engine.arrange({{window, found->frame, frame, std::nullopt}}, {});
  auto landed = outcome.frames.find(window);
  if (landed == outcome.frames.end()) return std::nullopt;
  return landed->second;
}

bool DesktopSession::focus(std::uint32_t window) {
  if (findNow(window) == nullptr) return false;
  engine_.engine.raise({window}, window);
  return true;
}

}  // namespace kestles::app
