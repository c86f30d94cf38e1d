#include "KestlesEngine/sim/SimAccessibility.hpp"

#include <algorithm>

namespace kestles::sim {
namespace {

using platform::AXElement;
using platform::AXErrorCode;
using platform::AXValue;
namespace ax = platform::ax;
namespace ax_error = platform::ax_error;

// Elements carry their kind in the top bits: the system-wide element, an app by pid, a
// window by its place in the world's list.
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

CGSize limited(const WindowSnapshot& window, CGSize size) {
  if (!window.isResizable) return window.frame.size;
  if (window.maximumSize.width > 0) size.width = std::min(size.width, window.maximumSize.width);
  if (window.maximumSize.height > 0) size.height = std::min(size.height, window.maximumSize.height);
  size.width = std::max(size.width, window.minimumSize.width);
  size.height = std::max(size.height, window.minimumSize.height);
  return size;
}

}  // namespace

void SimAccessibility::stopAnswering(std::int32_t pid, int fromCall) {
  std::lock_guard lock(world_.mutex);
  if (auto app = world_.appOf(pid)) app->stopsAt = app->callCount + std::max(fromCall, 1);
}

void SimAccessibility::setCallCost(std::int32_t pid, platform::Duration cost) {
  std::lock_guard lock(world_.mutex);
  if (auto app = world_.appOf(pid)) app->cost = cost;
}

void SimAccessibility::resizeLate(std::uint32_t window, CGSize size, platform::Duration after) {
  std::lock_guard lock(world_.mutex);
  if (auto found = world_.windowNumbered(window)) found->lateSize = {size, after};
}

void SimAccessibility::hideWindowNumber(std::uint32_t window) {
  std::lock_guard lock(world_.mutex);
  if (auto found = world_.windowNumbered(window)) found->numberHidden = true;
}

void SimAccessibility::setSubrole(std::uint32_t window, std::optional<std::string> subrole) {
  std::lock_guard lock(world_.mutex);
  if (auto found = world_.windowNumbered(window)) found->subrole = std::move(subrole);
}

void SimAccessibility::hidePosition(std::uint32_t window) {
  std::lock_guard lock(world_.mutex);
  if (auto found = world_.windowNumbered(window)) found->positionHidden = true;
}

void SimAccessibility::leaveFullScreenSlowly(std::uint32_t window, platform::Duration delay,
                                             int switches) {
  std::lock_guard lock(world_.mutex);
  if (auto found = world_.windowNumbered(window)) found->slowLeave = {delay, switches};
}

void SimAccessibility::refuseObservers(std::int32_t pid, int times) {
  std::lock_guard lock(world_.mutex);
  observerRefusals_[pid] = times;
}

void SimAccessibility::setFocusedWindow(std::optional<std::uint32_t> window) {
  std::lock_guard lock(world_.mutex);
  world_.focusedWindow = window;
  world_.focusedApp.reset();
}

void SimAccessibility::setFocusedApp(std::int32_t pid) {
  std::lock_guard lock(world_.mutex);
  world_.focusedApp = pid;
}

void SimAccessibility::addWindow(const WindowSnapshot& window) {
  {
    std::lock_guard lock(world_.mutex);
    world_.windows.push_back(SimWindow(window));
    world_.windows.back().snapshot.zIndex = world_.nextZ--;
  }
  notify(window.pid, ax::windowCreated, window.id);
}

void SimAccessibility::forgetObservers(std::int32_t pid) {
  std::erase_if(observers_, [pid](const auto& entry) { return entry.second.pid == pid; });
}

void SimAccessibility::notify(std::int32_t pid, std::string_view name, std::uint32_t window) {
  AXElement subject = appElement(pid);
  AXElement registeredOn = subject;
  {
    std::lock_guard lock(world_.mutex);
    if (window != 0) {
      for (std::size_t i = 0; i < world_.windows.size(); ++i)
        if (world_.windows[i].snapshot.id == window) subject = windowElement(i);
      if (name == ax::elementDestroyed) registeredOn = subject;
    }
  }
  deliver(pid, registeredOn, name, subject);
}

void SimAccessibility::deliver(std::int32_t pid, AXElement registeredOn, std::string_view name,
                               AXElement subject) {
  std::vector<platform::AXNotificationHandler> handlers;
  {
    std::lock_guard lock(world_.mutex);
    for (const auto& [id, observer] : observers_)
      if (observer.pid == pid &&
          observer.registered.contains({registeredOn.raw, std::string(name)}))
        handlers.push_back(observer.handler);
  }
  for (const auto& handler : handlers)
    handler(subject, std::string(name));
}

std::optional<std::int32_t> SimAccessibility::frontmostApp() {
  std::lock_guard lock(world_.mutex);
  return world_.frontmost;
}

bool SimAccessibility::isHidden(std::int32_t pid) {
  std::lock_guard lock(world_.mutex);
  auto app = world_.appOf(pid);
  return app && app->app.isHidden;
}

bool SimAccessibility::usesEnhancedUserInterface(std::int32_t pid) {
  std::lock_guard lock(world_.mutex);
  auto app = world_.appOf(pid);
  return app && app->enhancedUserInterface;
}

void SimAccessibility::setEnhancedUserInterface(std::int32_t pid, bool on) {
  std::lock_guard lock(world_.mutex);
  if (auto app = world_.appOf(pid)) app->enhancedUserInterface = on;
}

std::map<std::int32_t, int> SimAccessibility::observerCounts() {
  std::lock_guard lock(world_.mutex);
  std::map<std::int32_t, int> counts;
  for (const auto& [id, observer] : observers_)
    ++counts[observer.pid];
  return counts;
}

AXElement SimAccessibility::elementOf(std::uint32_t window) {
  std::lock_guard lock(world_.mutex);
  for (std::size_t i = 0; i < world_.windows.size(); ++i)
    if (world_.windows[i].snapshot.id == window && world_.windows[i].exists)
      return windowElement(i);
  return {};
}

std::vector<std::optional<CGSize>> SimAccessibility::fittedSizes(
    std::span<const platform::FrameRequest> requests) {
  std::vector<std::optional<CGSize>> sizes(requests.size());
  if (!foretellsSizes_) return sizes;
  std::lock_guard lock(world_.mutex);
  for (std::size_t i = 0; i < requests.size(); ++i)
    if (auto window = windowOf(requests[i].element))
      sizes[i] = limited(window->snapshot, requests[i].frame.size);
  return sizes;
}

SimWindow* SimAccessibility::windowOf(AXElement element) {
  if ((element.raw & kTagMask) != kWindowTag) return nullptr;
  auto index = element.raw & ~kTagMask;
  if (index >= world_.windows.size() || !world_.windows[index].exists) return nullptr;
  return &world_.windows[index];
}

std::int32_t SimAccessibility::ownerOf(AXElement element) {
  switch (element.raw & kTagMask) {
    case kAppTag:
      return std::int32_t(std::uint32_t(element.raw));
    case kWindowTag: {
      auto index = element.raw & ~kTagMask;
      return index < world_.windows.size() ? world_.windows[index].snapshot.pid : 0;
    }
    default:
      return 0;
  }
}

bool SimAccessibility::answers(AXElement element) {
  if (element == systemWide()) return true;
  auto app = world_.appOf(ownerOf(element));
  if (!app) return true;  // a gone app's element fails as an invalid element instead
  ++app->callCount;
  if (app->stopsAt && app->callCount >= *app->stopsAt) return false;
  world_.clock.pass(app->cost);
  return true;
}

std::optional<AXValue> SimAccessibility::read(AXElement element, std::string_view name) {
  if (element == systemWide()) {
    if (name != ax::focusedApplication) return std::nullopt;
    if (world_.focusedApp) return AXValue{appElement(*world_.focusedApp)};
    if (auto focused =
            world_.focusedWindow ? world_.windowNumbered(*world_.focusedWindow) : nullptr)
      return AXValue{appElement(focused->snapshot.pid)};
    return std::nullopt;
  }
  if ((element.raw & kTagMask) == kAppTag) {
    auto pid = ownerOf(element);
    auto app = world_.appOf(pid);
    if (!app) return std::nullopt;
    if (name == ax::windows) {
      std::vector<AXElement> list;
      for (std::size_t i = 0; i < world_.windows.size(); ++i)
        if (world_.windows[i].exists && world_.windows[i].snapshot.pid == pid)
          list.push_back(windowElement(i));
      return AXValue{list};
    }
    if (name == ax::frontmost) return AXValue{world_.frontmost == pid};
    if (name == ax::hidden) return AXValue{app->app.isHidden};
    if (name == ax::enhancedUserInterface) return AXValue{app->enhancedUserInterface};
    if (name == ax::focusedWindow) {
      // The desktop's focused window when it is the app's, else the app's frontmost one.
      auto focused = world_.focusedWindow ? world_.windowNumbered(*world_.focusedWindow) : nullptr;
      if (focused && focused->snapshot.pid == pid)
        return AXValue{windowElement(std::size_t(focused - world_.windows.data()))};
      for (auto index : world_.zOrder())
        if (world_.windows[index].snapshot.pid == pid &&
            !world_.windows[index].snapshot.isMinimized)
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
    return AXValue{world_.focusedWindow == snapshot.id};
  }
  return std::nullopt;
}

AXErrorCode SimAccessibility::write(AXElement element, std::string_view name,
                                    const AXValue& value) {
  auto flag = std::get_if<bool>(&value);
  if ((element.raw & kTagMask) == kAppTag) {
    auto pid = ownerOf(element);
    auto app = world_.appOf(pid);
    if (!app) return ax_error::invalidElement;
    if (!flag) return ax_error::illegalArgument;
    if (name == ax::frontmost) {
      if (*flag) world_.frontmost = pid;
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
    if (*flag) world_.focusedWindow = snapshot.id;
  } else if (name == ax::fullScreen) {
    if (*flag || !window->slowLeave) {
      snapshot.isFullScreen = *flag;
    } else {
      auto [delay, switches] = *window->slowLeave;
      auto id = snapshot.id;
      for (int i = 1; i <= switches; ++i)
        world_.clock.schedule(delay * i / (switches + 1), [this] {
          world_.post({platform::WorkspaceNotification::Kind::activeSpaceDidChange, std::nullopt});
        });
      world_.clock.schedule(delay, [this, id] {
        std::lock_guard lock(world_.mutex);
        if (auto left = world_.windowNumbered(id)) left->snapshot.isFullScreen = false;
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
  world_.clock.schedule(after, [this, id = window.snapshot.id, late = late] {
    std::lock_guard lock(world_.mutex);
    if (auto found = world_.windowNumbered(id)) found->snapshot.frame.size = late;
  });
}

AXElement SimAccessibility::systemWide() {
  return {kSystemWide};
}

AXElement SimAccessibility::application(std::int32_t pid) {
  return appElement(pid);
}

std::optional<std::int32_t> SimAccessibility::pid(AXElement element) {
  std::lock_guard lock(world_.mutex);
  if (element == systemWide()) return std::nullopt;
  if ((element.raw & kTagMask) == kWindowTag && !windowOf(element)) return std::nullopt;
  return ownerOf(element);
}

void SimAccessibility::setMessagingTimeout(AXElement element, float seconds) {
  std::lock_guard lock(world_.mutex);
  std::uint32_t number = 0;
  if (auto window = windowOf(element)) number = window->snapshot.id;
  world_.record(SimCall::of(SimCall::Kind::setTimeout, ownerOf(element), number, "",
                            AXValue{double(seconds)}));
}

platform::AXRead SimAccessibility::copyValue(AXElement element, std::string_view name) {
  std::lock_guard lock(world_.mutex);
  auto window = windowOf(element);
  auto call = SimCall::of(SimCall::Kind::copyValue, ownerOf(element),
                          window ? window->snapshot.id : 0, std::string(name));
  platform::AXRead result;
  if (!answers(element)) {
    result.error = ax_error::cannotComplete;
  } else if ((element.raw & kTagMask) == kWindowTag && !window) {
    result.error = ax_error::invalidElement;
  } else if (auto value = read(element, name)) {
    result = {ax_error::success, std::move(value)};
  }
  call.result = result.error;
  world_.record(std::move(call));
  return result;
}

std::optional<std::vector<std::optional<AXValue>>> SimAccessibility::copyValues(
    AXElement element, std::span<const std::string_view> names) {
  std::lock_guard lock(world_.mutex);
  auto window = windowOf(element);
  std::string joined;
  for (auto name : names) {
    if (!joined.empty()) joined += ',';
    joined += name;
  }
  auto call = SimCall::of(SimCall::Kind::copyValues, ownerOf(element),
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
  world_.record(std::move(call));
  return result;
}

std::optional<bool> SimAccessibility::attributeIsSettable(AXElement element,
                                                          std::string_view name) {
  std::lock_guard lock(world_.mutex);
  auto window = windowOf(element);
  auto call = SimCall::of(SimCall::Kind::isSettable, ownerOf(element),
                          window ? window->snapshot.id : 0, std::string(name));
  std::optional<bool> result;
  if (!answers(element))
    call.result = ax_error::cannotComplete;
  else if (window)
    result = name != ax::size || window->snapshot.isResizable;
  else
    result = (element.raw & kTagMask) == kAppTag;
  world_.record(std::move(call));
  return result;
}

AXErrorCode SimAccessibility::setValue(AXElement element, std::string_view name,
                                       const AXValue& value) {
  std::lock_guard lock(world_.mutex);
  auto window = windowOf(element);
  auto call = SimCall::of(SimCall::Kind::setValue, ownerOf(element),
                          window ? window->snapshot.id : 0, std::string(name), value);
  call.result = answers(element) ? write(element, name, value) : ax_error::cannotComplete;
  world_.record(call);
  return call.result;
}

AXErrorCode SimAccessibility::performAction(AXElement element, std::string_view name) {
  std::lock_guard lock(world_.mutex);
  auto window = windowOf(element);
  auto call = SimCall::of(SimCall::Kind::performAction, ownerOf(element),
                          window ? window->snapshot.id : 0, std::string(name));
  if (!answers(element))
    call.result = ax_error::cannotComplete;
  else if (!window || name != ax::raise)
    call.result = ax_error::failure;
  else
    window->snapshot.zIndex = world_.nextZ--;
  world_.record(call);
  return call.result;
}

std::optional<std::uint32_t> SimAccessibility::windowNumber(AXElement element) {
  std::lock_guard lock(world_.mutex);
  auto window = windowOf(element);
  if (!window || window->numberHidden) return std::nullopt;
  return window->snapshot.id;
}

std::optional<platform::AXObserverID> SimAccessibility::createObserver(
    std::int32_t pid, platform::AXNotificationHandler handler) {
  std::lock_guard lock(world_.mutex);
  world_.record(SimCall::of(SimCall::Kind::createObserver, pid));
  if (!world_.appOf(pid)) return std::nullopt;
  auto& refusals = observerRefusals_[pid];
  bool refusing = refusals > 0;
  if (refusing) --refusals;
  auto id = world_.token();
  auto& created = observers_[id];
  created.pid = pid;
  created.handler = std::move(handler);
  created.refusing = refusing;
  return platform::AXObserverID{id};
}

AXErrorCode SimAccessibility::addNotification(platform::AXObserverID observer, AXElement element,
                                              std::string_view name) {
  std::lock_guard lock(world_.mutex);
  auto found = observers_.find(observer.raw);
  auto call = SimCall::of(SimCall::Kind::addNotification, ownerOf(element), 0, std::string(name));
  if (auto window = windowOf(element)) call.window = window->snapshot.id;
  if (found == observers_.end())
    call.result = ax_error::invalidElement;
  else if (found->second.refusing)
    call.result = ax_error::cannotComplete;
  else if (!found->second.registered.insert({element.raw, std::string(name)}).second)
    call.result = ax_error::notificationAlreadyRegistered;
  world_.record(call);
  return call.result;
}

void SimAccessibility::removeObserver(platform::AXObserverID observer) {
  std::lock_guard lock(world_.mutex);
  observers_.erase(observer.raw);
}

}  // namespace kestles::sim
