#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "KestlesCore/world/WorldFile.hpp"
#include "KestlesEngine/platform/DesktopLayer.hpp"
#include "KestlesEngine/sim/FakeTime.hpp"
#include "KestlesEngine/sim/SimAccessibility.hpp"
#include "KestlesEngine/sim/SimAppCatalog.hpp"
#include "KestlesEngine/sim/SimHotKeys.hpp"
#include "KestlesEngine/sim/SimInput.hpp"
#include "KestlesEngine/sim/SimOpener.hpp"
#include "KestlesEngine/sim/SimScreens.hpp"
#include "KestlesEngine/sim/SimWindowServer.hpp"
#include "KestlesEngine/sim/SimWorkspace.hpp"
#include "KestlesEngine/sim/SimWorld.hpp"

namespace kestles::sim {

/// The simulated desktop as a desktop layer: one world of displays, apps and windows behind
/// each of the engine's interfaces, with scripted faults, recording every call in order.
/// Tests script and inspect it here; each call goes to the part it concerns.
class SimDesktop final : public platform::DesktopLayer {
 public:
  /// The world on `clock`; `focusedWindow` is the focused window, if any.
  SimDesktop(const World& world, FakeClock& clock,
             std::optional<std::uint32_t> focusedWindow = std::nullopt);
  /// A world file's desktop, with its installed apps, on a fake clock of its own that
  /// nothing advances. Nothing is written back to the file.
  explicit SimDesktop(const WorldFile& file);

  platform::LayerParts parts() override;

  SimAccessibility& ax() { return ax_; }
  SimWindowServer& windowServer() { return windowServer_; }
  SimWorkspace& workspace() { return workspace_; }
  SimScreens& screens() { return screens_; }
  SimOpener& opener() { return opener_; }
  SimHotKeys& hotKeyService() { return hotKeys_; }
  SimInput& inputMonitor() { return input_; }

  // Fault script.

  void stopAnswering(std::int32_t pid, int fromCall = 1) { ax_.stopAnswering(pid, fromCall); }
  void setCallCost(std::int32_t pid, platform::Duration cost) { ax_.setCallCost(pid, cost); }
  void resizeLate(std::uint32_t window, CGSize size, platform::Duration after) {
    ax_.resizeLate(window, size, after);
  }
  void hideWindowNumber(std::uint32_t window) { ax_.hideWindowNumber(window); }
  void unlist(std::uint32_t window) { windowServer_.unlist(window); }
  void failWindowList() { windowServer_.failWindowList(); }
  void setSubrole(std::uint32_t window, std::optional<std::string> subrole) {
    ax_.setSubrole(window, std::move(subrole));
  }
  void hidePosition(std::uint32_t window) { ax_.hidePosition(window); }
  void dropPID(std::int32_t pid) { workspace_.dropPID(pid); }
  void install(const AppRef& app, LaunchScript script) { opener_.install(app, std::move(script)); }
  void leaveFullScreenSlowly(std::uint32_t window, platform::Duration delay, int switches) {
    ax_.leaveFullScreenSlowly(window, delay, switches);
  }
  void refuseObservers(std::int32_t pid, int times) { ax_.refuseObservers(pid, times); }
  void refuseHotKey(std::uint32_t keyCode, std::uint32_t modifiers, std::int32_t status) {
    hotKeys_.refuseHotKey(keyCode, modifiers, status);
  }
  void setOwnPID(std::int32_t pid) { workspace_.setOwnPID(pid); }
  void setFocusedWindow(std::optional<std::uint32_t> window) { ax_.setFocusedWindow(window); }
  void setFocusedApp(std::int32_t pid) { ax_.setFocusedApp(pid); }
  void setMouseLocation(std::optional<CGPoint> location) { screens_.setMouseLocation(location); }

  // Driving.

  void addWindow(const WindowSnapshot& window) { ax_.addWindow(window); }
  /// The app quits: its windows go, its process is gone, observers of it stop.
  void quit(std::int32_t pid);
  void notify(std::int32_t pid, std::string_view name, std::uint32_t window = 0) {
    ax_.notify(pid, name, window);
  }
  void post(const platform::WorkspaceNotification& notification) { world_.post(notification); }
  void changeFlags(std::uint16_t keyCode, std::uint64_t flags) {
    input_.changeFlags(keyCode, flags);
  }
  void input(platform::InputKind kind) { input_.input(kind); }
  std::optional<std::int32_t> press(std::uint32_t keyCode, std::uint32_t modifiers) {
    return hotKeys_.press(keyCode, modifiers);
  }

  // Inspection.

  std::vector<SimCall> calls() { return world_.calls(); }
  /// Whether calls are recorded (they are unless turned off, as benchmarks do).
  void setRecording(bool on) { world_.setRecording(on); }
  std::vector<SimWrite> writes(std::optional<std::int32_t> pid = std::nullopt) {
    return world_.writes(pid);
  }
  void clearCalls() { world_.clearCalls(); }
  /// The window as it is now.
  std::optional<WindowSnapshot> window(std::uint32_t id);
  std::optional<std::int32_t> frontmostApp() { return ax_.frontmostApp(); }
  bool isHidden(std::int32_t pid) { return ax_.isHidden(pid); }
  bool usesEnhancedUserInterface(std::int32_t pid) { return ax_.usesEnhancedUserInterface(pid); }
  void setEnhancedUserInterface(std::int32_t pid, bool on) {
    ax_.setEnhancedUserInterface(pid, on);
  }
  auto hotKeys() { return hotKeys_.hotKeys(); }
  std::map<std::int32_t, int> observerCounts() { return ax_.observerCounts(); }
  platform::AXElement elementOf(std::uint32_t window) { return ax_.elementOf(window); }

 private:
  FakeClock ownClock_;  // a world file's desktop's; unused otherwise
  SimWorld world_;
  SimAccessibility ax_{world_};
  SimWindowServer windowServer_{world_};
  SimWorkspace workspace_{world_};
  SimScreens screens_{world_};
  SimOpener opener_{world_, ax_};
  SimHotKeys hotKeys_{world_};
  SimInput input_{world_};
  SimAppCatalog catalog_;
};

}  // namespace kestles::sim
