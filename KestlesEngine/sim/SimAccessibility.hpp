#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "KestlesCore/world/AppRef.hpp"
#include "KestlesCore/world/World.hpp"
#include "KestlesEngine/platform/Accessibility.hpp"
#include "KestlesEngine/platform/AppOpener.hpp"
#include "KestlesEngine/platform/HotKeyService.hpp"
#include "KestlesEngine/platform/InputMonitor.hpp"
#include "KestlesEngine/platform/Screens.hpp"
#include "KestlesEngine/platform/WindowServer.hpp"
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

/// How an installed app behaves when it is opened.
struct LaunchScript {
  std::int32_t pid = 0;
  std::vector<WindowSnapshot> windows;            // shown together as its first windows
  std::optional<platform::Duration> firstWindow;  // after opening; nothing: never
  bool onlyAfterSecondOpen = false;               // the windows come only when opened again
};

/// The simulated desktop behind the platform interfaces: the displays, apps and windows of
/// a `World`, changed only through the interfaces, with scripted faults, recording every
/// call in order. Timed behaviour runs on the fake clock.
class SimAccessibility final : public platform::Accessibility,
                               public platform::WindowServer,
                               public platform::Workspace,
                               public platform::Screens,
                               public platform::AppOpener,
                               public platform::HotKeyService,
                               public platform::InputMonitor {
 public:
  /// Windows keep the world's ids as their numbers and sort by zIndex, front first; sizes
  /// obey the windows' minimum and maximum sizes, and a window that is not resizable keeps
  /// its size. `focusedWindow` is the focused window, if any.
  SimAccessibility(const World& world, FakeClock& clock,
                   std::optional<std::uint32_t> focusedWindow = std::nullopt);
  ~SimAccessibility() override;

  // Fault script.

  /// The app answers -25204 to every call from its `fromCall`-th call on (counted from 1).
  void stopAnswering(std::int32_t pid, int fromCall = 1);
  /// Every answered call of the app takes this long on the clock.
  void setCallCost(std::int32_t pid, platform::Duration cost);
  /// After its next size change the window takes `size` on its own, `after` later.
  void resizeLate(std::uint32_t window, CGSize size, platform::Duration after);
  /// The window's element does not tell its number.
  void hideWindowNumber(std::uint32_t window);
  /// The window server does not list the window (it is on another Space, say).
  void unlist(std::uint32_t window);
  /// The window server's list cannot be had.
  void failWindowList();
  /// The window's subrole (nothing: it has none) and whether it tells its position.
  void setSubrole(std::uint32_t window, std::optional<std::string> subrole);
  void hidePosition(std::uint32_t window);
  /// The workspace lists the app without a pid.
  void dropPID(std::int32_t pid);
  /// An app that can be opened, and how it behaves when it is.
  void install(const AppRef& app, LaunchScript script);
  /// Leaving full screen takes `delay`, with `switches` Space changes spread over it.
  void leaveFullScreenSlowly(std::uint32_t window, platform::Duration delay, int switches);
  /// The next `times` observers of the app answer -25204 when notifications are added.
  void refuseObservers(std::int32_t pid, int times);
  /// Registering this combination fails with `status`.
  void refuseHotKey(std::uint32_t keyCode, std::uint32_t modifiers, std::int32_t status);
  /// This process's pid and, when it has one, its app's place in the running apps.
  void setOwnPID(std::int32_t pid);
  void setFocusedWindow(std::optional<std::uint32_t> window);
  void setFocusedApp(std::int32_t pid);
  void setPrivateSymbol(const std::string& name, bool found);
  /// Where the pointer is (nothing: unknown, as at first).
  void setMouseLocation(std::optional<CGPoint> location);

  // Driving.

  /// A new window of a running app, in front; observers hear "AXWindowCreated".
  void addWindow(const WindowSnapshot& window);
  /// The app quits: its windows go, its process is gone, observers of it stop.
  void quit(std::int32_t pid);
  /// Delivers the notification to the app's observers that asked for it.
  void notify(std::int32_t pid, std::string_view name, std::uint32_t window = 0);
  /// Posts a workspace notification to every workspace observer.
  void post(const platform::WorkspaceNotification& notification);
  /// The modifier keys change now: `keyCode` changed, `flags` are held.
  void changeFlags(std::uint16_t keyCode, std::uint64_t flags);
  /// Input of the kind comes now.
  void input(platform::InputKind kind);
  /// Presses a registered hot key; the handler's status, nothing when none is registered.
  std::optional<std::int32_t> press(std::uint32_t keyCode, std::uint32_t modifiers);

  // Inspection.

  std::vector<SimCall> calls();
  /// Whether calls are recorded (they are unless turned off, as benchmarks do).
  void setRecording(bool on);
  /// The sets and actions among the calls, in order (of every app, or of one).
  std::vector<SimWrite> writes(std::optional<std::int32_t> pid = std::nullopt);
  void clearCalls();
  /// The window as it is now.
  std::optional<WindowSnapshot> window(std::uint32_t id);
  std::optional<std::int32_t> frontmostApp();
  bool isHidden(std::int32_t pid);
  bool usesEnhancedUserInterface(std::int32_t pid);
  void setEnhancedUserInterface(std::int32_t pid, bool on);
  /// The registered hot keys: (key code, modifiers, id), by reference.
  std::map<std::uint64_t, std::tuple<std::uint32_t, std::uint32_t, HotKeyID>> hotKeys();
  /// How many observers exist per pid.
  std::map<std::int32_t, int> observerCounts();
  /// The element of a window (as the engine would read it).
  platform::AXElement elementOf(std::uint32_t window);

  // platform::Accessibility
  platform::AXElement systemWide() override;
  platform::AXElement application(std::int32_t pid) override;
  std::optional<std::int32_t> pid(platform::AXElement element) override;
  void setMessagingTimeout(platform::AXElement element, float seconds) override;
  platform::AXRead copyValue(platform::AXElement element, std::string_view name) override;
  std::optional<std::vector<std::optional<platform::AXValue>>> copyValues(
      platform::AXElement element, std::span<const std::string_view> names) override;
  std::optional<bool> attributeIsSettable(platform::AXElement element,
                                          std::string_view name) override;
  platform::AXErrorCode setValue(platform::AXElement element, std::string_view name,
                                 const platform::AXValue& value) override;
  platform::AXErrorCode performAction(platform::AXElement element, std::string_view name) override;
  std::optional<std::uint32_t> windowNumber(platform::AXElement element) override;
  std::map<std::string, bool> privateSymbols() override;
  std::optional<platform::AXObserverID> createObserver(
      std::int32_t pid, platform::AXNotificationHandler handler) override;
  platform::AXErrorCode addNotification(platform::AXObserverID observer,
                                        platform::AXElement element,
                                        std::string_view name) override;
  void removeObserver(platform::AXObserverID observer) override;

  // platform::WindowServer
  std::optional<std::vector<platform::WindowServer::Window>> onScreenWindows() override;
  std::optional<platform::WindowServer::Window> windowWithID(std::uint32_t id) override;
  std::vector<std::uint32_t> allWindowNumbers() override;

  // platform::Workspace
  std::vector<platform::RunningApplication> runningApplications() override;
  std::int32_t ownPID() override;
  bool processExists(std::int32_t pid) override;
  std::uint64_t observe(Observer observer) override;
  void stopObserving(std::uint64_t token) override;

  // platform::Screens
  std::vector<DisplayInfo> screens() override;
  std::optional<CGPoint> mouseLocation() override;

  // platform::AppOpener
  std::optional<std::filesystem::path> applicationURL(const std::string& bundleID) override;
  std::optional<std::string> open(const std::filesystem::path& app, bool activates) override;

  // platform::HotKeyService
  std::int32_t installHandler(platform::HotKeyService::Handler handler) override;
  Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) override;
  std::int32_t unregisterHotKey(std::uint64_t ref) override;

  // platform::InputMonitor
  std::uint64_t addFlagsChangedMonitor(platform::InputMonitor::Handler handler) override;
  void removeMonitor(std::uint64_t token) override;
  double systemUptime() override;
  double secondsSinceLastEvent(platform::InputKind kind) override;

 private:
  struct SimWindow;
  struct SimApp;
  struct Observer;
  struct Installed;

  SimWindow* windowOf(platform::AXElement element);
  SimWindow* windowNumbered(std::uint32_t id);
  SimApp* appOf(std::int32_t pid);
  std::int32_t ownerOf(platform::AXElement element);
  // Counts the call against the element's app; false when the app does not answer it.
  bool answers(platform::AXElement element);
  void record(SimCall call);
  std::optional<platform::AXValue> read(platform::AXElement element, std::string_view name);
  platform::AXErrorCode write(platform::AXElement element, std::string_view name,
                              const platform::AXValue& value);
  void resize(SimWindow& window, CGSize size);
  void raiseWindow(SimWindow& window);
  std::vector<std::uint32_t> zOrder();
  void startApp(Installed& installed);
  void showWindows(std::int32_t pid, std::vector<WindowSnapshot> windows);
  void deliver(std::int32_t pid, platform::AXElement registeredOn, std::string_view name,
               platform::AXElement subject);

  std::recursive_mutex mutex_;
  FakeClock& clock_;
  DisplaySetup setup_;
  std::vector<SimWindow> windows_;  // never shrinks: an element stays valid
  std::vector<SimApp> apps_;
  std::map<std::uint64_t, Observer> observers_;
  std::map<std::uint64_t, Workspace::Observer> workspaceObservers_;
  std::map<std::string, Installed> installed_;  // by bundle identifier
  std::map<std::int32_t, int> observerRefusals_;
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::int32_t> refusedHotKeys_;
  std::map<std::uint64_t, std::tuple<std::uint32_t, std::uint32_t, HotKeyID>> hotKeys_;
  std::map<std::string, bool> symbols_;
  std::optional<platform::HotKeyService::Handler> hotKeyHandler_;
  std::map<std::uint64_t, platform::InputMonitor::Handler> flagMonitors_;
  std::map<platform::InputKind, double> lastInput_;
  std::vector<SimCall> calls_;
  bool recording_ = true;
  std::optional<std::uint32_t> focusedWindow_;
  std::optional<std::int32_t> focusedApp_;
  std::optional<std::int32_t> frontmost_;
  std::optional<CGPoint> mouse_;
  bool windowListFails_ = false;
  std::int32_t ownPID_ = 1;
  std::int64_t nextZ_ = -1;  // raised windows go in front of every other
  std::uint64_t nextToken_ = 1;
};

}  // namespace kestles::sim
