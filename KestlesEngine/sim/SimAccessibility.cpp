#include "KestlesEngine/sim/SimAccessibility.hpp"

#include <algorithm>
#include <tuple>

namespace kestles::sim {
namespace {

using platform::AXElement;
using platform::AXErrorCode;
using platform::AXValue;
namespace ax = platform::ax;
namespace ax_error = platform::ax_error;

// Elements carry their kind in the top bits: the system-wide element, an app by pid, a
// window by its place in the desktop's list.
constexpr std::uint64_t kSystemWide = 1ull << 60;
constexpr std::uint64_t kAppTag = 2ull << 60;
constexpr std::uint64_t kWindowTag = 3ull << 60;
constexpr std::uint64_t kTagMask = 0xFull << 60;

AXElement appElement(std::int32_t pid) {
  return {kAppTag | std::uint32_t(pid)};
}

AXElement windowElement(std::size_t index) {
  return {kWindowTag | index};
}

std::filesystem::path urlOf(const AppRef& app) {
  return std::filesystem::path("/Applications") / (app.name + ".app");
}

CGSize limited(const WindowSnapshot& window, CGSize size) {
  if (!window.isResizable) return window.frame.size;
  if (window.maximumSize.width > 0) size.width = std::min(size.width, window.maximumSize.width);
  if (window.maximumSize.height > 0) size.height = std::min(size.height, window.maximumSize.height);
  size.width = std::max(size.width, window.minimumSize.width);
  size.height = std::max(size.height, window.minimumSize.height);
  return size;
}

// Keeps a callback under a fresh token.
template <class T>
std::uint64_t keep(std::map<std::uint64_t, T>& map, T value, std::uint64_t& nextToken) {
  auto token = nextToken++;
  map[token] = std::move(value);
  return token;
}

// The callbacks, copied so that they run without the desktop's lock.
template <class T>
std::vector<T> callbacks(const std::map<std::uint64_t, T>& map) {
  std::vector<T> copies;
  for (const auto& [token, callback] : map)
    copies.push_back(callback);
  return copies;
}

sim::SimCall makeCall(sim::SimCall::Kind kind, std::int32_t pid, std::uint32_t window = 0,
                      std::string name = {}, std::optional<AXValue> value = std::nullopt) {
  sim::SimCall call;
  call.kind = kind;
  call.pid = pid;
  call.window = window;
  call.name = std::move(name);
  call.value = std::move(value);
  return call;
}

}  // namespace

struct SimAccessibility::SimWindow {
  explicit SimWindow(WindowSnapshot window) : snapshot(std::move(window)) {}
  WindowSnapshot snapshot;
  bool exists = true;
  bool numberHidden = false;
  bool listed = true;
  std::optional<std::string> subrole = std::string(ax::standardWindow);
  bool positionHidden = false;
  std::optional<std::pair<CGSize, platform::Duration>> lateSize;
  std::optional<std::pair<platform::Duration, int>> slowLeave;
};

struct SimAccessibility::SimApp {
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

struct SimAccessibility::Observer {
  std::int32_t pid = 0;
  platform::AXNotificationHandler handler;
  bool refusing = false;
  std::set<std::pair<std::uint64_t, std::string>> registered;
};

struct SimAccessibility::Installed {
  AppRef app;
  LaunchScript script;
  int opens = 0;
  bool scheduled = false;
};

std::ostream& operator<<(std::ostream& out, const SimWrite& write) {
  out << "{window " << write.window << ", pid " << write.pid << ", " << write.name;
  if (write.value)
    std::visit(
        [&](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, CGPoint>)
            out << " (" << value.x << ", " << value.y << ")";
          else if constexpr (std::is_same_v<T, CGSize>)
            out << " " << value.width << "×" << value.height;
          else if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, double> ||
                             std::is_same_v<T, std::string>)
            out << " " << value;
          else
            out << " (value)";
        },
        *write.value);
  return out << "}";
}

SimAccessibility::SimAccessibility(const World& world, FakeClock& clock,
                                   std::optional<std::uint32_t> focusedWindow)
    : clock_(clock), setup_(world.setup), focusedWindow_(focusedWindow) {
  for (const auto& app : world.apps)
    apps_.emplace_back(app, apps_.size() + 1);
  for (const auto& window : world.windows) {
    windows_.push_back(SimWindow(window));
    nextZ_ = std::min(nextZ_, window.zIndex - 1);
  }
  symbols_ = {{"_AXUIElementGetWindow", true},
              {"CGSGetSymbolicHotKeyValue", true},
              {"CGSIsSymbolicHotKeyEnabled", true},
              {"CGSSetSymbolicHotKeyEnabled", true}};
}

SimAccessibility::~SimAccessibility() = default;

// Fault script.

void SimAccessibility::stopAnswering(std::int32_t pid, int fromCall) {
  std::lock_guard lock(mutex_);
  if (auto app = appOf(pid)) app->stopsAt = app->callCount + std::max(fromCall, 1);
}

void SimAccessibility::setCallCost(std::int32_t pid, platform::Duration cost) {
  std::lock_guard lock(mutex_);
  if (auto app = appOf(pid)) app->cost = cost;
}

void SimAccessibility::resizeLate(std::uint32_t window, CGSize size, platform::Duration after) {
  std::lock_guard lock(mutex_);
  if (auto found = windowNumbered(window)) found->lateSize = {size, after};
}

void SimAccessibility::hideWindowNumber(std::uint32_t window) {
  std::lock_guard lock(mutex_);
  if (auto found = windowNumbered(window)) found->numberHidden = true;
}

void SimAccessibility::unlist(std::uint32_t window) {
  std::lock_guard lock(mutex_);
  if (auto found = windowNumbered(window)) found->listed = false;
}

void SimAccessibility::failWindowList() {
  std::lock_guard lock(mutex_);
  windowListFails_ = true;
}

void SimAccessibility::setSubrole(std::uint32_t window, std::optional<std::string> subrole) {
  std::lock_guard lock(mutex_);
  if (auto found = windowNumbered(window)) found->subrole = std::move(subrole);
}

void SimAccessibility::hidePosition(std::uint32_t window) {
  std::lock_guard lock(mutex_);
  if (auto found = windowNumbered(window)) found->positionHidden = true;
}

void SimAccessibility::dropPID(std::int32_t pid) {
  std::lock_guard lock(mutex_);
  if (auto app = appOf(pid)) app->pidDropped = true;
}

void SimAccessibility::install(const AppRef& app, LaunchScript script) {
  std::lock_guard lock(mutex_);
  installed_[app.bundleID] = Installed{app, std::move(script)};
}

void SimAccessibility::leaveFullScreenSlowly(std::uint32_t window, platform::Duration delay,
                                             int switches) {
  std::lock_guard lock(mutex_);
  if (auto found = windowNumbered(window)) found->slowLeave = {delay, switches};
}

void SimAccessibility::refuseObservers(std::int32_t pid, int times) {
  std::lock_guard lock(mutex_);
  observerRefusals_[pid] = times;
}

void SimAccessibility::refuseHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                    std::int32_t status) {
  std::lock_guard lock(mutex_);
  refusedHotKeys_[{keyCode, modifiers}] = status;
}

void SimAccessibility::setOwnPID(std::int32_t pid) {
  std::lock_guard lock(mutex_);
  ownPID_ = pid;
}

void SimAccessibility::setFocusedWindow(std::optional<std::uint32_t> window) {
  std::lock_guard lock(mutex_);
  focusedWindow_ = window;
  focusedApp_.reset();
}

void SimAccessibility::setFocusedApp(std::int32_t pid) {
  std::lock_guard lock(mutex_);
  focusedApp_ = pid;
}

void SimAccessibility::setPrivateSymbol(const std::string& name, bool found) {
  std::lock_guard lock(mutex_);
  symbols_[name] = found;
}

// Driving.

void SimAccessibility::addWindow(const WindowSnapshot& window) {
  {
    std::lock_guard lock(mutex_);
    windows_.push_back(SimWindow(window));
    windows_.back().snapshot.zIndex = nextZ_--;
  }
  notify(window.pid, ax::windowCreated, window.id);
}

void SimAccessibility::quit(std::int32_t pid) {
  std::optional<platform::RunningApplication> gone;
  {
    std::lock_guard lock(mutex_);
    auto app = appOf(pid);
    if (!app) return;
    app->running = false;
    for (auto& window : windows_)
      if (window.snapshot.pid == pid) window.exists = false;
    std::erase_if(observers_, [pid](const auto& entry) { return entry.second.pid == pid; });
    gone = platform::RunningApplication{
        app->handle, pid, app->app.bundleID, app->app.name, app->app.isHidden, true, true};
  }
  post({platform::WorkspaceNotification::Kind::didTerminate, gone});
}

void SimAccessibility::notify(std::int32_t pid, std::string_view name, std::uint32_t window) {
  AXElement subject = appElement(pid);
  AXElement registeredOn = subject;
  {
    std::lock_guard lock(mutex_);
    if (window != 0) {
      for (std::size_t i = 0; i < windows_.size(); ++i)
        if (windows_[i].snapshot.id == window) subject = windowElement(i);
      if (name == ax::elementDestroyed) registeredOn = subject;
    }
  }
  deliver(pid, registeredOn, name, subject);
}

void SimAccessibility::deliver(std::int32_t pid, AXElement registeredOn, std::string_view name,
                               AXElement subject) {
  std::vector<platform::AXNotificationHandler> handlers;
  {
    std::lock_guard lock(mutex_);
    for (const auto& [id, observer] : observers_)
      if (observer.pid == pid &&
          observer.registered.contains({registeredOn.raw, std::string(name)}))
        handlers.push_back(observer.handler);
  }
  for (const auto& handler : handlers)
    handler(subject, std::string(name));
}

void SimAccessibility::post(const platform::WorkspaceNotification& notification) {
  std::vector<Workspace::Observer> observers;
  {
    std::lock_guard lock(mutex_);
    observers = callbacks(workspaceObservers_);
  }
  for (const auto& observer : observers)
    observer(notification);
}

void SimAccessibility::changeFlags(std::uint16_t keyCode, std::uint64_t flags) {
  std::vector<platform::InputMonitor::Handler> handlers;
  {
    std::lock_guard lock(mutex_);
    handlers = callbacks(flagMonitors_);
  }
  platform::FlagsChangedEvent event{keyCode, flags, systemUptime()};
  for (const auto& handler : handlers)
    handler(event);
}

void SimAccessibility::input(platform::InputKind kind) {
  std::lock_guard lock(mutex_);
  lastInput_[kind] = systemUptime();
}

std::optional<std::int32_t> SimAccessibility::press(std::uint32_t keyCode,
                                                    std::uint32_t modifiers) {
  std::optional<platform::HotKeyService::Handler> handler;
  std::optional<HotKeyID> id;
  {
    std::lock_guard lock(mutex_);
    for (const auto& [ref, entry] : hotKeys_)
      if (std::get<0>(entry) == keyCode && std::get<1>(entry) == modifiers) id = std::get<2>(entry);
    handler = hotKeyHandler_;
  }
  if (!id || !handler) return std::nullopt;
  Event event{id, 0};
  return (*handler)(&event);
}

// Inspection.

std::vector<SimCall> SimAccessibility::calls() {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<SimWrite> SimAccessibility::writes(std::optional<std::int32_t> pid) {
  std::lock_guard lock(mutex_);
  std::vector<SimWrite> result;
  for (const auto& call : calls_) {
    bool changes =
        call.kind == SimCall::Kind::setValue || call.kind == SimCall::Kind::performAction;
    if (changes && (!pid || call.pid == *pid))
      result.push_back({call.window, call.pid, call.name, call.value});
  }
  return result;
}

void SimAccessibility::clearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

std::optional<WindowSnapshot> SimAccessibility::window(std::uint32_t id) {
  std::lock_guard lock(mutex_);
  if (auto found = windowNumbered(id)) return found->snapshot;
  return std::nullopt;
}

std::optional<std::int32_t> SimAccessibility::frontmostApp() {
  std::lock_guard lock(mutex_);
  return frontmost_;
}

bool SimAccessibility::isHidden(std::int32_t pid) {
  std::lock_guard lock(mutex_);
  auto app = appOf(pid);
  return app && app->app.isHidden;
}

bool SimAccessibility::usesEnhancedUserInterface(std::int32_t pid) {
  std::lock_guard lock(mutex_);
  auto app = appOf(pid);
  return app && app->enhancedUserInterface;
}

void SimAccessibility::setEnhancedUserInterface(std::int32_t pid, bool on) {
  std::lock_guard lock(mutex_);
  if (auto app = appOf(pid)) app->enhancedUserInterface = on;
}

std::map<std::uint64_t, std::tuple<std::uint32_t, std::uint32_t, SimAccessibility::HotKeyID>>
SimAccessibility::hotKeys() {
  std::lock_guard lock(mutex_);
  return hotKeys_;
}

std::map<std::int32_t, int> SimAccessibility::observerCounts() {
  std::lock_guard lock(mutex_);
  std::map<std::int32_t, int> counts;
  for (const auto& [id, observer] : observers_)
    ++counts[observer.pid];
  return counts;
}

AXElement SimAccessibility::elementOf(std::uint32_t window) {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < windows_.size(); ++i)
    if (windows_[i].snapshot.id == window && windows_[i].exists) return windowElement(i);
  return {};
}

// Helpers.

SimAccessibility::SimWindow* SimAccessibility::windowOf(AXElement element) {
  if ((element.raw & kTagMask) != kWindowTag) return nullptr;
  auto index = element.raw & ~kTagMask;
  if (index >= windows_.size() || !windows_[index].exists) return nullptr;
  return &windows_[index];
}

SimAccessibility::SimWindow* SimAccessibility::windowNumbered(std::uint32_t id) {
  for (auto& window : windows_)
    if (window.exists && window.snapshot.id == id) return &window;
  return nullptr;
}

SimAccessibility::SimApp* SimAccessibility::appOf(std::int32_t pid) {
  for (auto& app : apps_)
    if (app.app.pid == pid && app.running) return &app;
  return nullptr;
}

std::int32_t SimAccessibility::ownerOf(AXElement element) {
  switch (element.raw & kTagMask) {
    case kAppTag:
      return std::int32_t(std::uint32_t(element.raw));
    case kWindowTag: {
      auto index = element.raw & ~kTagMask;
      return index < windows_.size() ? windows_[index].snapshot.pid : 0;
    }
    default:
      return 0;
  }
}

bool SimAccessibility::answers(AXElement element) {
  if (element == systemWide()) return true;
  auto app = appOf(ownerOf(element));
  if (!app) return true;  // a gone app's element fails as an invalid element instead
  ++app->callCount;
  if (app->stopsAt && app->callCount >= *app->stopsAt) return false;
  clock_.pass(app->cost);
  return true;
}

void SimAccessibility::setRecording(bool on) {
  std::lock_guard lock(mutex_);
  recording_ = on;
}

void SimAccessibility::record(SimCall call) {
  if (!recording_) return;
  call.at = clock_.now();
  calls_.push_back(std::move(call));
}

std::vector<std::uint32_t> SimAccessibility::zOrder() {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < windows_.size(); ++i)
    if (windows_[i].exists) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
    return windows_[a].snapshot.zIndex < windows_[b].snapshot.zIndex;
  });
  std::vector<std::uint32_t> ids;
  for (auto index : order)
    ids.push_back(std::uint32_t(index));
  return ids;
}

std::optional<AXValue> SimAccessibility::read(AXElement element, std::string_view name) {
  if (element == systemWide()) {
    if (name != ax::focusedApplication) return std::nullopt;
    if (focusedApp_) return AXValue{appElement(*focusedApp_)};
    if (auto focused = focusedWindow_ ? windowNumbered(*focusedWindow_) : nullptr)
      return AXValue{appElement(focused->snapshot.pid)};
    return std::nullopt;
  }
  if ((element.raw & kTagMask) == kAppTag) {
    auto pid = ownerOf(element);
    auto app = appOf(pid);
    if (!app) return std::nullopt;
    if (name == ax::windows) {
      std::vector<AXElement> list;
      for (std::size_t i = 0; i < windows_.size(); ++i)
        if (windows_[i].exists && windows_[i].snapshot.pid == pid) list.push_back(windowElement(i));
      return AXValue{list};
    }
    if (name == ax::frontmost) return AXValue{frontmost_ == pid};
    if (name == ax::hidden) return AXValue{app->app.isHidden};
    if (name == ax::enhancedUserInterface) return AXValue{app->enhancedUserInterface};
    if (name == ax::focusedWindow) {
      // The desktop's focused window when it is the app's, else the app's frontmost one.
      auto focused = focusedWindow_ ? windowNumbered(*focusedWindow_) : nullptr;
      if (focused && focused->snapshot.pid == pid)
        return AXValue{windowElement(std::size_t(focused - windows_.data()))};
      for (auto index : zOrder())
        if (windows_[index].snapshot.pid == pid && !windows_[index].snapshot.isMinimized)
          return AXValue{windowElement(index)};
    }
    return std::nullopt;
  }
  auto window = windowOf(element);
  if (!window) return std::nullopt;
  const auto& snapshot = window->snapshot;
  if (name == ax::subrole) {
    if (window->subrole) return AXValue{*window->subrole};
  } else if (name == ax::title) {
    return AXValue{snapshot.title};
  } else if (name == ax::position) {
    if (!window->positionHidden) return AXValue{snapshot.frame.origin};
  } else if (name == ax::size) {
    return AXValue{snapshot.frame.size};
  } else if (name == ax::minimized) {
    return AXValue{snapshot.isMinimized};
  } else if (name == ax::fullScreen) {
    return AXValue{snapshot.isFullScreen};
  } else if (name == ax::main) {
    return AXValue{focusedWindow_ == snapshot.id};
  }
  return std::nullopt;
}

AXErrorCode SimAccessibility::write(AXElement element, std::string_view name,
                                    const AXValue& value) {
  auto flag = std::get_if<bool>(&value);
  if ((element.raw & kTagMask) == kAppTag) {
    auto pid = ownerOf(element);
    auto app = appOf(pid);
    if (!app) return ax_error::invalidElement;
    if (!flag) return ax_error::illegalArgument;
    if (name == ax::frontmost) {
      if (*flag) frontmost_ = pid;
    } else if (name == ax::hidden) {
      app->app.isHidden = *flag;
    } else if (name == ax::enhancedUserInterface) {
      app->enhancedUserInterface = *flag;
    } else {
      return ax_error::attributeUnsupported;
    }
    return ax_error::success;
  }
  auto window = windowOf(element);
  if (!window) return ax_error::invalidElement;
  auto& snapshot = window->snapshot;
  if (name == ax::size) {
    auto size = std::get_if<CGSize>(&value);
    if (!size) return ax_error::illegalArgument;
    resize(*window, *size);
  } else if (name == ax::position) {
    auto point = std::get_if<CGPoint>(&value);
    if (!point) return ax_error::illegalArgument;
    snapshot.frame.origin = *point;
  } else if (!flag) {
    return ax_error::illegalArgument;
  } else if (name == ax::minimized) {
    snapshot.isMinimized = *flag;
  } else if (name == ax::main) {
    if (*flag) focusedWindow_ = snapshot.id;
  } else if (name == ax::fullScreen) {
    if (*flag || !window->slowLeave) {
      snapshot.isFullScreen = *flag;
    } else {
      auto [delay, switches] = *window->slowLeave;
      auto id = snapshot.id;
      for (int i = 1; i <= switches; ++i)
        clock_.schedule(delay * i / (switches + 1), [this] {
          post({platform::WorkspaceNotification::Kind::activeSpaceDidChange, std::nullopt});
        });
      clock_.schedule(delay, [this, id] {
        std::lock_guard lock(mutex_);
        if (auto left = windowNumbered(id)) left->snapshot.isFullScreen = false;
      });
    }
  } else {
    return ax_error::attributeUnsupported;
  }
  return ax_error::success;
}

void SimAccessibility::resize(SimWindow& window, CGSize size) {
  window.snapshot.frame.size = limited(window.snapshot, size);
  if (!window.lateSize) return;
  auto [late, after] = *window.lateSize;
  window.lateSize.reset();
  clock_.schedule(after, [this, id = window.snapshot.id, late = late] {
    std::lock_guard lock(mutex_);
    if (auto found = windowNumbered(id)) found->snapshot.frame.size = late;
  });
}

void SimAccessibility::raiseWindow(SimWindow& window) {
  window.snapshot.zIndex = nextZ_--;
}

void SimAccessibility::startApp(Installed& installed) {
  auto& script = installed.script;
  if (!appOf(script.pid))
    apps_.emplace_back(AppSnapshot{script.pid, installed.app.bundleID, installed.app.name, false},
                       apps_.size() + 1);
}

void SimAccessibility::showWindows(std::int32_t pid, std::vector<WindowSnapshot> windows) {
  for (auto& window : windows) {
    window.pid = pid;
    addWindow(window);
  }
}

// platform::Accessibility

AXElement SimAccessibility::systemWide() {
  return {kSystemWide};
}

AXElement SimAccessibility::application(std::int32_t pid) {
  return appElement(pid);
}

std::optional<std::int32_t> SimAccessibility::pid(AXElement element) {
  std::lock_guard lock(mutex_);
  if (element == systemWide()) return std::nullopt;
  if ((element.raw & kTagMask) == kWindowTag && !windowOf(element)) return std::nullopt;
  return ownerOf(element);
}

void SimAccessibility::setMessagingTimeout(AXElement element, float seconds) {
  std::lock_guard lock(mutex_);
  std::uint32_t number = 0;
  if (auto window = windowOf(element)) number = window->snapshot.id;
  record(
      makeCall(SimCall::Kind::setTimeout, ownerOf(element), number, "", AXValue{double(seconds)}));
}

platform::AXRead SimAccessibility::copyValue(AXElement element, std::string_view name) {
  std::lock_guard lock(mutex_);
  auto window = windowOf(element);
  auto call = makeCall(SimCall::Kind::copyValue, ownerOf(element), window ? window->snapshot.id : 0,
                       std::string(name));
  platform::AXRead result;
  if (!answers(element)) {
    result.error = ax_error::cannotComplete;
  } else if ((element.raw & kTagMask) == kWindowTag && !window) {
    result.error = ax_error::invalidElement;
  } else if (auto value = read(element, name)) {
    result = {ax_error::success, std::move(value)};
  }
  call.result = result.error;
  record(std::move(call));
  return result;
}

std::optional<std::vector<std::optional<AXValue>>> SimAccessibility::copyValues(
    AXElement element, std::span<const std::string_view> names) {
  std::lock_guard lock(mutex_);
  auto window = windowOf(element);
  std::string joined;
  for (auto name : names) {
    if (!joined.empty()) joined += ',';
    joined += name;
  }
  auto call = makeCall(SimCall::Kind::copyValues, ownerOf(element),
                       window ? window->snapshot.id : 0, joined);
  std::optional<std::vector<std::optional<AXValue>>> result;
  if (!answers(element)) {
    call.result = ax_error::cannotComplete;
  } else if (!window && (element.raw & kTagMask) == kWindowTag) {
    call.result = ax_error::invalidElement;
  } else {
    result.emplace();
    for (auto name : names) {
      auto value = read(element, name);
      result->push_back(value ? value : AXValue{platform::AXErrorValue{ax_error::noValue}});
    }
  }
  record(std::move(call));
  return result;
}

std::optional<bool> SimAccessibility::attributeIsSettable(AXElement element,
                                                          std::string_view name) {
  std::lock_guard lock(mutex_);
  auto window = windowOf(element);
  auto call = makeCall(SimCall::Kind::isSettable, ownerOf(element),
                       window ? window->snapshot.id : 0, std::string(name));
  std::optional<bool> result;
  if (!answers(element))
    call.result = ax_error::cannotComplete;
  else if (window)
    result = name != ax::size || window->snapshot.isResizable;
  else
    result = (element.raw & kTagMask) == kAppTag;
  record(std::move(call));
  return result;
}

AXErrorCode SimAccessibility::setValue(AXElement element, std::string_view name,
                                       const AXValue& value) {
  std::lock_guard lock(mutex_);
  auto window = windowOf(element);
  auto call = makeCall(SimCall::Kind::setValue, ownerOf(element), window ? window->snapshot.id : 0,
                       std::string(name), value);
  call.result = answers(element) ? write(element, name, value) : ax_error::cannotComplete;
  record(call);
  return call.result;
}

AXErrorCode SimAccessibility::performAction(AXElement element, std::string_view name) {
  std::lock_guard lock(mutex_);
  auto window = windowOf(element);
  auto call = makeCall(SimCall::Kind::performAction, ownerOf(element),
                       window ? window->snapshot.id : 0, std::string(name));
  if (!answers(element))
    call.result = ax_error::cannotComplete;
  else if (!window || name != ax::raise)
    call.result = ax_error::failure;
  else
    raiseWindow(*window);
  record(call);
  return call.result;
}

std::optional<std::uint32_t> SimAccessibility::windowNumber(AXElement element) {
  std::lock_guard lock(mutex_);
  auto window = windowOf(element);
  if (!window || window->numberHidden || !symbols_["_AXUIElementGetWindow"]) return std::nullopt;
  return window->snapshot.id;
}

std::map<std::string, bool> SimAccessibility::privateSymbols() {
  std::lock_guard lock(mutex_);
  return symbols_;
}

std::optional<platform::AXObserverID> SimAccessibility::createObserver(
    std::int32_t pid, platform::AXNotificationHandler handler) {
  std::lock_guard lock(mutex_);
  record(makeCall(SimCall::Kind::createObserver, pid));
  if (!appOf(pid)) return std::nullopt;
  auto& refusals = observerRefusals_[pid];
  bool refusing = refusals > 0;
  if (refusing) --refusals;
  auto id = nextToken_++;
  auto& created = observers_[id];
  created.pid = pid;
  created.handler = std::move(handler);
  created.refusing = refusing;
  return platform::AXObserverID{id};
}

AXErrorCode SimAccessibility::addNotification(platform::AXObserverID observer, AXElement element,
                                              std::string_view name) {
  std::lock_guard lock(mutex_);
  auto found = observers_.find(observer.raw);
  auto call = makeCall(SimCall::Kind::addNotification, ownerOf(element), 0, std::string(name));
  if (auto window = windowOf(element)) call.window = window->snapshot.id;
  if (found == observers_.end())
    call.result = ax_error::invalidElement;
  else if (found->second.refusing)
    call.result = ax_error::cannotComplete;
  else if (!found->second.registered.insert({element.raw, std::string(name)}).second)
    call.result = ax_error::notificationAlreadyRegistered;
  record(call);
  return call.result;
}

void SimAccessibility::removeObserver(platform::AXObserverID observer) {
  std::lock_guard lock(mutex_);
  observers_.erase(observer.raw);
}

// platform::WindowServer

std::optional<std::vector<platform::WindowServer::Window>> SimAccessibility::onScreenWindows() {
  std::lock_guard lock(mutex_);
  if (windowListFails_) return std::nullopt;
  std::vector<platform::WindowServer::Window> list;
  for (auto index : zOrder()) {
    const auto& window = windows_[index];
    auto app = appOf(window.snapshot.pid);
    if (window.listed && !window.snapshot.isMinimized && app && !app->app.isHidden)
      list.push_back({window.snapshot.id, window.snapshot.pid, window.snapshot.frame});
  }
  return list;
}

std::optional<platform::WindowServer::Window> SimAccessibility::windowWithID(std::uint32_t id) {
  std::lock_guard lock(mutex_);
  auto window = windowNumbered(id);
  if (!window || window->snapshot.pid == ownPID_) return std::nullopt;
  return platform::WindowServer::Window{id, window->snapshot.pid, window->snapshot.frame};
}

std::vector<std::uint32_t> SimAccessibility::allWindowNumbers() {
  std::lock_guard lock(mutex_);
  std::vector<std::uint32_t> numbers;
  for (auto index : zOrder())
    numbers.push_back(windows_[index].snapshot.id);
  return numbers;
}

// platform::Workspace

std::vector<platform::RunningApplication> SimAccessibility::runningApplications() {
  std::lock_guard lock(mutex_);
  std::vector<platform::RunningApplication> list;
  for (const auto& app : apps_)
    if (app.running)
      list.push_back({app.handle, app.pidDropped ? -1 : app.app.pid, app.app.bundleID, app.app.name,
                      app.app.isHidden, true, false});
  return list;
}

std::int32_t SimAccessibility::ownPID() {
  std::lock_guard lock(mutex_);
  return ownPID_;
}

bool SimAccessibility::processExists(std::int32_t pid) {
  std::lock_guard lock(mutex_);
  return pid == ownPID_ || appOf(pid) != nullptr;
}

std::uint64_t SimAccessibility::observe(Workspace::Observer observer) {
  std::lock_guard lock(mutex_);
  return keep(workspaceObservers_, std::move(observer), nextToken_);
}

void SimAccessibility::stopObserving(std::uint64_t token) {
  std::lock_guard lock(mutex_);
  workspaceObservers_.erase(token);
}

// platform::Screens

std::vector<DisplayInfo> SimAccessibility::screens() {
  std::lock_guard lock(mutex_);
  return setup_.displays;
}

std::optional<CGPoint> SimAccessibility::mouseLocation() {
  std::lock_guard lock(mutex_);
  return mouse_;
}

void SimAccessibility::setMouseLocation(std::optional<CGPoint> location) {
  std::lock_guard lock(mutex_);
  mouse_ = location;
}

// platform::AppOpener

std::optional<std::filesystem::path> SimAccessibility::applicationURL(const std::string& bundleID) {
  std::lock_guard lock(mutex_);
  auto found = installed_.find(bundleID);
  if (found == installed_.end()) return std::nullopt;
  return urlOf(found->second.app);
}

std::optional<std::string> SimAccessibility::open(const std::filesystem::path& app,
                                                  bool activates) {
  std::optional<platform::RunningApplication> launched;
  {
    std::lock_guard lock(mutex_);
    record(makeCall(SimCall::Kind::open, 0, 0, app.string(), AXValue{activates}));
    auto found = std::find_if(installed_.begin(), installed_.end(),
                              [&](const auto& entry) { return urlOf(entry.second.app) == app; });
    if (found == installed_.end()) return "The application can’t be found.";
    auto& installed = found->second;
    ++installed.opens;
    auto pid = installed.script.pid;
    if (!appOf(pid)) {
      startApp(installed);
      auto started = appOf(pid);
      launched = platform::RunningApplication{
          started->handle, pid, installed.app.bundleID, installed.app.name, false, true, false};
    }
    bool due = !installed.script.onlyAfterSecondOpen || installed.opens >= 2;
    if (installed.script.firstWindow && due && !installed.scheduled) {
      installed.scheduled = true;
      clock_.schedule(
          *installed.script.firstWindow,
          [this, pid, windows = installed.script.windows] { showWindows(pid, windows); });
    }
  }
  if (launched) post({platform::WorkspaceNotification::Kind::didLaunch, launched});
  return std::nullopt;
}

// platform::HotKeyService

std::int32_t SimAccessibility::installHandler(platform::HotKeyService::Handler handler) {
  std::lock_guard lock(mutex_);
  hotKeyHandler_ = std::move(handler);
  return 0;
}

SimAccessibility::Registration SimAccessibility::registerHotKey(std::uint32_t keyCode,
                                                                std::uint32_t modifiers,
                                                                HotKeyID id) {
  std::lock_guard lock(mutex_);
  auto call = makeCall(SimCall::Kind::registerHotKey, 0, id.id,
                       std::to_string(keyCode) + "/" + std::to_string(modifiers));
  Registration registration;
  if (auto refused = refusedHotKeys_.find({keyCode, modifiers}); refused != refusedHotKeys_.end()) {
    registration.status = refused->second;
  } else {
    registration.ref = nextToken_++;
    hotKeys_.insert_or_assign(*registration.ref, std::tuple{keyCode, modifiers, id});
  }
  call.result = registration.status;
  record(call);
  return registration;
}

std::int32_t SimAccessibility::unregisterHotKey(std::uint64_t ref) {
  std::lock_guard lock(mutex_);
  auto found = hotKeys_.find(ref);
  // -9876 is the platform's answer for a reference it does not know.
  std::int32_t status = found == hotKeys_.end() ? -9876 : 0;
  std::uint32_t id = found == hotKeys_.end() ? 0 : std::get<2>(found->second).id;
  if (found != hotKeys_.end()) hotKeys_.erase(found);
  auto call = makeCall(SimCall::Kind::unregisterHotKey, 0, id);
  call.result = status;
  record(call);
  return status;
}

// platform::InputMonitor

std::uint64_t SimAccessibility::addFlagsChangedMonitor(platform::InputMonitor::Handler handler) {
  std::lock_guard lock(mutex_);
  return keep(flagMonitors_, std::move(handler), nextToken_);
}

void SimAccessibility::removeMonitor(std::uint64_t token) {
  std::lock_guard lock(mutex_);
  flagMonitors_.erase(token);
}

double SimAccessibility::systemUptime() {
  return std::chrono::duration<double>(clock_.now().sinceStart).count();
}

double SimAccessibility::secondsSinceLastEvent(platform::InputKind kind) {
  std::lock_guard lock(mutex_);
  auto last = lastInput_.find(kind);
  // Nothing of the kind since the session began: as long ago as can be.
  if (last == lastInput_.end()) return 1e9;
  return systemUptime() - last->second;
}

}  // namespace kestles::sim
