#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "KestlesCore/world/World.hpp"
#include "KestlesEngine/platform/Accessibility.hpp"
#include "KestlesEngine/platform/Workspace.hpp"
#include "KestlesEngine/sim/FakeTime.hpp"

namespace kestles::sim {

/// One call the platform layer received, in the order received.
struct SimCall {
  enum class Kind {
    copyValue,
    copyValues,
    isSettable,
    setValue,
    performAction,
    setTimeout,
    createObserver,
    addNotification,
    open,
    registerHotKey,
    unregisterHotKey,
  };
  Kind kind = Kind::copyValue;
  std::int32_t pid = 0;      // the app the element belongs to; 0 for the system-wide one
  std::uint32_t window = 0;  // the window's number when the element is a window, else 0
  std::string name;          // attribute, action, notification or app
  std::optional<platform::AXValue> value;  // what was set
  platform::AXErrorCode result = 0;
  platform::ContinuousInstant at;  // when the call came, on the fake clock
  bool operator==(const SimCall&) const = default;

  static SimCall of(Kind kind, std::int32_t pid, std::uint32_t window = 0, std::string name = {},
                    std::optional<platform::AXValue> value = std::nullopt);
};

/// A change made to an app or window: a set attribute or a performed action (no value).
struct SimWrite {
  std::uint32_t window = 0;  // 0 for the app element
  std::int32_t pid = 0;
  std::string name;
  std::optional<platform::AXValue> value;
  bool operator==(const SimWrite&) const = default;
};
std::ostream& operator<<(std::ostream& out, const SimWrite& write);

/// A window of the simulated desktop with its scripted faults.
struct SimWindow {
  explicit SimWindow(WindowSnapshot window);
  WindowSnapshot snapshot;
  bool exists = true;
  bool numberHidden = false;
  bool listed = true;
  std::optional<std::string> subrole;
  bool positionHidden = false;
  std::optional<std::pair<CGSize, platform::Duration>> lateSize;
  std::optional<std::pair<platform::Duration, int>> slowLeave;
};

/// An app of the simulated desktop with its scripted faults.
struct SimApp {
  SimApp(AppSnapshot snapshot, std::uint64_t number) : app(std::move(snapshot)), handle(number) {}
  AppSnapshot app;
  std::uint64_t handle = 0;
  bool running = true;
  bool pidDropped = false;
  bool enhancedUserInterface = false;
  std::optional<int> stopsAt;
  int callCount = 0;
  platform::Duration cost{0};
};

/// What the simulated desktop's interfaces share: the displays, apps and windows, the focus,
/// the fake clock, the workspace's observers and the record of calls, under one lock. Each
/// interface changes it only through its own calls; callers of the helpers hold `mutex`.
struct SimWorld {
  /// Windows keep the world's ids as their numbers and sort by zIndex, front first.
  SimWorld(const World& world, FakeClock& fakeClock, std::optional<std::uint32_t> focused);

  /// The window with the number, or the running app with the pid, if any.
  SimWindow* windowNumbered(std::uint32_t id);
  SimApp* appOf(std::int32_t pid);
  /// The places of the existing windows in `windows`, front first.
  std::vector<std::size_t> zOrder();
  /// A fresh token for a registration of any of the interfaces.
  std::uint64_t token() { return nextToken_++; }
  void record(SimCall call);

  /// Posts a workspace notification to every workspace observer, outside the lock.
  void post(const platform::WorkspaceNotification& notification);

  std::vector<SimCall> calls();
  /// The sets and actions among the calls, in order (of every app, or of one).
  std::vector<SimWrite> writes(std::optional<std::int32_t> pid = std::nullopt);
  void clearCalls();
  void setRecording(bool on);

  std::recursive_mutex mutex;
  FakeClock& clock;
  DisplaySetup setup;
  std::vector<SimWindow> windows;  // never shrinks: an element stays valid
  std::vector<SimApp> apps;
  std::map<std::uint64_t, platform::Workspace::Observer> workspaceObservers;
  std::optional<std::uint32_t> focusedWindow;
  std::optional<std::int32_t> focusedApp;
  std::optional<std::int32_t> frontmost;
  std::int32_t ownPID = 1;
  std::int64_t nextZ = -1;  // raised windows go in front of every other

 private:
  std::vector<SimCall> calls_;
  bool recording_ = true;
  std::uint64_t nextToken_ = 1;
};

}  // namespace kestles::sim
