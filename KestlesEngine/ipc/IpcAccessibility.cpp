#include "KestlesEngine/ipc/IpcAccessibility.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestles::ipc {
namespace {

namespace ax = platform::ax;
namespace ax_error = platform::ax_error;
using element::Kind;
using platform::AXErrorCode;
using platform::AXRead;
using platform::AXValue;

AXRead found(AXValue value) {
  return {ax_error::success, std::move(value)};
}
AXRead failed(AXErrorCode code) {
  return {code, std::nullopt};
}

std::optional<AXValue> attributeOf(const IpcWindow& window, std::string_view name) {
  if (name == ax::subrole)
    return AXValue{std::string(window.shown ? ax::standardWindow : "AXUnknown")};
  if (name == ax::title) return AXValue{window.title};
  if (name == ax::position) return AXValue{window.frame.origin};
  if (name == ax::size) return AXValue{window.frame.size};
  if (name == ax::minimized) return AXValue{window.minimized};
  if (name == ax::fullScreen) return AXValue{window.fullScreen};
  if (name == ax::main) return AXValue{window.focused};
  return std::nullopt;
}

std::optional<bool> boolOf(const AXValue& value) {
  if (const auto* on = std::get_if<bool>(&value)) return *on;
  if (const auto* number = std::get_if<double>(&value)) return *number != 0;
  return std::nullopt;
}

bool isFinite(const CGRect& frame) {
  return std::isfinite(frame.minX()) && std::isfinite(frame.minY()) &&
         std::isfinite(frame.width()) && std::isfinite(frame.height());
}

/// Whether two frames name the same pixels.
bool samePixels(const CGRect& a, const CGRect& b) {
  auto near = [](double x, double y) { return std::fabs(x - y) < 1; };
  return near(a.minX(), b.minX()) && near(a.minY(), b.minY()) && near(a.width(), b.width()) &&
         near(a.height(), b.height());
}

/// The app's windows that the engine may see: shown or minimized, in the tree's order.
std::vector<platform::AXElement> windowsOf(const IpcTree& tree, std::int32_t pid) {
  std::vector<platform::AXElement> windows;
  for (const auto& window : tree.windows)
    if (pidOf(window) == pid && window.shown) windows.push_back(element::window(window.id));
  return windows;
}

}  // namespace

commands::Target targetOf(const IpcWindow& window) {
  return {window.id, window.xWindowID};
}

commands::Target IpcAccessibility::targetOf(std::uint32_t id) {
  auto tree = session_.tree();
  const auto* window = tree ? tree->find(id) : nullptr;
  // A window that is gone: the command names it as sway would and finds nothing.
  return window ? ipc::targetOf(*window) : commands::Target(id);
}

std::int32_t pidOf(const IpcWindow& window) {
  if (window.pid > 0) return window.pid;
  return kFirstStandInPID + static_cast<std::int32_t>(window.id & 0x3fffffff);
}

platform::AXElement IpcAccessibility::systemWide() {
  return element::make(Kind::systemWide);
}

platform::AXElement IpcAccessibility::application(std::int32_t pid) {
  return element::make(Kind::app, static_cast<std::uint32_t>(pid));
}

std::optional<std::int32_t> IpcAccessibility::pid(platform::AXElement target) {
  switch (element::kindOf(target)) {
    case Kind::app:
      return static_cast<std::int32_t>(element::valueOf(target));
    case Kind::window: {
      auto tree = session_.tree();
      const auto* window = tree ? tree->find(element::valueOf(target)) : nullptr;
      if (!window) return std::nullopt;
      return pidOf(*window);
    }
    default:
      return std::nullopt;
  }
}

void IpcAccessibility::setMessagingTimeout(platform::AXElement, float) {}

AXRead IpcAccessibility::copyValue(platform::AXElement target, std::string_view name) {
  switch (element::kindOf(target)) {
    case Kind::systemWide:
      return readSystemWide(name);
    case Kind::app:
      return readApp(static_cast<std::int32_t>(element::valueOf(target)), name);
    case Kind::window: {
      auto tree = session_.tree();
      if (!tree) return failed(ax_error::cannotComplete);
      const auto* window = tree->find(element::valueOf(target));
      if (!window) return failed(ax_error::invalidElement);
      auto value = attributeOf(*window, name);
      return value ? found(std::move(*value)) : failed(ax_error::attributeUnsupported);
    }
    default:
      return failed(ax_error::invalidElement);
  }
}

AXRead IpcAccessibility::readSystemWide(std::string_view name) {
  if (name != ax::focusedApplication && name != ax::focusedWindow)
    return failed(ax_error::attributeUnsupported);
  auto tree = session_.tree();
  if (!tree) return failed(ax_error::cannotComplete);
  const auto* focused = tree->focused ? tree->find(*tree->focused) : nullptr;
  if (!focused) return failed(ax_error::noValue);
  if (name == ax::focusedApplication) return found(application(pidOf(*focused)));
  return found(element::window(focused->id));
}

AXRead IpcAccessibility::readApp(std::int32_t pid, std::string_view name) {
  // The compositor has no hidden apps; it keeps no app-wide interface to enhance.
  if (name == ax::hidden) return found(false);
  if (name != ax::windows && name != ax::frontmost && name != ax::focusedWindow)
    return failed(ax_error::attributeUnsupported);
  auto tree = session_.tree();
  if (!tree) return failed(ax_error::cannotComplete);
  const auto* focused = tree->focused ? tree->find(*tree->focused) : nullptr;
  bool front = focused && pidOf(*focused) == pid;
  if (name == ax::frontmost) return found(front);
  auto windows = windowsOf(*tree, pid);
  if (name == ax::windows) {
    if (windows.empty()) return failed(ax_error::invalidElement);
    return found(std::move(windows));
  }
  if (front) return found(element::window(focused->id));
  if (windows.empty()) return failed(ax_error::noValue);
  return found(windows.front());
}

std::optional<std::vector<std::optional<AXValue>>> IpcAccessibility::copyValues(
    platform::AXElement target, std::span<const std::string_view> names) {
  std::vector<std::optional<AXValue>> values;
  if (element::kindOf(target) != Kind::window) {
    for (auto name : names)
      values.push_back(copyValue(target, name).value);
    return values;
  }
  auto tree = session_.tree();
  const auto* window = tree ? tree->find(element::valueOf(target)) : nullptr;
  if (!window) return std::nullopt;
  for (auto name : names)
    values.push_back(attributeOf(*window, name));
  return values;
}

std::optional<bool> IpcAccessibility::attributeIsSettable(platform::AXElement target,
                                                          std::string_view name) {
  auto kind = element::kindOf(target);
  if (kind == Kind::app) return name == ax::frontmost || name == ax::hidden;
  if (kind != Kind::window) return std::nullopt;
  if (name == ax::position) {
    auto tree = session_.tree();
    const auto* window = tree ? tree->find(element::valueOf(target)) : nullptr;
    if (!window) return std::nullopt;
    return window->floating;
  }
  return name == ax::size || name == ax::minimized || name == ax::fullScreen || name == ax::main;
}

AXErrorCode IpcAccessibility::setValue(platform::AXElement target, std::string_view name,
                                       const AXValue& value) {
  switch (element::kindOf(target)) {
    case Kind::app:
      return setApp(static_cast<std::int32_t>(element::valueOf(target)), name, value);
    case Kind::window:
      return setWindow(element::valueOf(target), name, value);
    case Kind::systemWide:
      return ax_error::attributeUnsupported;
    default:
      return ax_error::invalidElement;
  }
}

AXErrorCode IpcAccessibility::setApp(std::int32_t pid, std::string_view name,
                                     const AXValue& value) {
  auto on = boolOf(value);
  if (!on) return ax_error::illegalArgument;
  if (name == ax::hidden) return *on ? ax_error::attributeUnsupported : ax_error::success;
  if (name != ax::frontmost) return ax_error::attributeUnsupported;
  if (!*on) return ax_error::success;
  auto front = readApp(pid, ax::focusedWindow);
  const auto* window = front.value ? std::get_if<platform::AXElement>(&*front.value) : nullptr;
  if (!window) return front.error == ax_error::noValue ? ax_error::failure : front.error;
  return runOn(element::valueOf(*window), commands::focus(targetOf(element::valueOf(*window))));
}

AXErrorCode IpcAccessibility::setWindow(std::uint32_t id, std::string_view name,
                                        const AXValue& value) {
  if (name == ax::position || name == ax::size) {
    auto tree = session_.tree();
    if (!tree) return ax_error::cannotComplete;
    const auto* window = tree->find(id);
    if (!window) return ax_error::invalidElement;
    // The tiling places a tiled window: moving one alone (as a correction of a window that
    // seems to have landed late does, when the tiling has only widened it around another
    // window) would float it out of the tiling. A new size floats it, as a placement does.
    if (!window->floating && name == ax::position) return ax_error::attributeUnsupported;
    auto frame = window->frame;
    if (const auto* point = std::get_if<CGPoint>(&value); point && name == ax::position)
      frame.origin = *point;
    else if (const auto* size = std::get_if<CGSize>(&value); size && name == ax::size)
      frame.size = *size;
    else
      return ax_error::illegalArgument;
    if (!isFinite(frame) || frame.width() < 1 || frame.height() < 1)
      return ax_error::illegalArgument;
    {
      std::lock_guard guard(tiledMutex_);
      tiledAgain_.clear();
    }
    return runOn(id, placement(*window, frame, *tree));
  }
  auto on = boolOf(value);
  if (!on) return ax_error::illegalArgument;
  if (name == ax::minimized) {
    // Shown from the scratchpad, a window floats in front; focusing it keeps it in front.
    auto target = targetOf(id);
    return runOn(id, *on ? commands::minimize(target, true)
                         : commands::minimize(target, false) + "; " + commands::focus(target));
  }
  if (name == ax::fullScreen) return runOn(id, commands::fullScreen(targetOf(id), *on));
  if (name == ax::main) return *on ? runOn(id, commands::focus(targetOf(id))) : ax_error::success;
  return ax_error::attributeUnsupported;
}

bool IpcAccessibility::raiseInOrder(std::span<const platform::AXElement> order,
                                    std::optional<platform::AXElement> focus) {
  auto tree = session_.tree();
  if (!tree) return false;
  auto keeper = focus && element::kindOf(*focus) == Kind::window
                    ? std::optional(element::valueOf(*focus))
                    : tree->focused;
  std::string command;
  auto add = [&](std::uint32_t id) {
    if (const auto* window = tree->find(id))
      command += (command.empty() ? "" : "; ") + commands::focus(ipc::targetOf(*window));
  };
  for (auto element : order)
    if (element::kindOf(element) == Kind::window && element::valueOf(element) != keeper)
      add(element::valueOf(element));
  if (keeper) add(*keeper);
  if (!command.empty()) session_.run(command);
  return true;
}

AXErrorCode IpcAccessibility::runOn(std::uint32_t id, const std::string& command) {
  auto results = session_.run(command);
  if (!results) return ax_error::cannotComplete;
  for (const auto& result : *results)
    if (!result.success) {
      // A criterion that matched nothing: the window is gone.
      auto tree = session_.tree();
      if (tree && !tree->find(id)) return ax_error::invalidElement;
      return ax_error::failure;
    }
  return ax_error::success;
}

std::string IpcAccessibility::placement(const IpcWindow& window, const CGRect& frame,
                                        const IpcTree& tree) {
  std::lock_guard guard(tiledMutex_);
  if (!window.floating) {
    tiledFrames_[window.id] = {window.frame, window.previousSibling, window.nextSibling};
  } else if (auto tiled = tiledFrames_.find(window.id);
             tiled != tiledFrames_.end() && samePixels(tiled->second.frame, frame)) {
    // A neighbour that floats itself is no place to go back to (a move next to it would
    // float the window again); windows that go back in one batch go in the tree's order, so
    // an earlier one is tiled again by then.
    auto usable = [&](std::uint64_t container) {
      for (const auto& other : tree.windows)
        if (other.container == container && other.floating && !tiledAgain_.contains(other.id))
          return std::uint64_t(0);
      return container;
    };
    auto command = commands::tile(ipc::targetOf(window), usable(tiled->second.previous),
                                  usable(tiled->second.next));
    tiledAgain_.insert(window.id);
    tiledFrames_.erase(tiled);
    return command;
  }
  return commands::place(ipc::targetOf(window), frame);
}

std::vector<platform::FrameResult> IpcAccessibility::setFrames(
    std::span<const platform::FrameRequest> requests) {
  std::vector<platform::FrameResult> results(requests.size());
  auto before = session_.tree();
  if (!before) {
    for (auto& result : results)
      result.error = ax_error::cannotComplete;
    return results;
  }
  std::string batch;
  std::vector<std::size_t> placed;
  // In the tree's order, so that windows going back into the tiling find their neighbours.
  auto rank = [&](std::size_t i) {
    const auto& element = requests[i].element;
    for (std::size_t k = 0; k < before->windows.size(); ++k)
      if (before->windows[k].id == element::valueOf(element)) return k;
    return before->windows.size();
  };
  std::vector<std::size_t> order(requests.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
  {
    std::lock_guard guard(tiledMutex_);
    tiledAgain_.clear();
  }
  for (auto i : order) {
    const auto& request = requests[i];
    const auto* window = element::kindOf(request.element) == Kind::window
                             ? before->find(element::valueOf(request.element))
                             : nullptr;
    if (!window) {
      results[i].error = ax_error::invalidElement;
      continue;
    }
    if (!isFinite(request.frame) || request.frame.width() < 1 || request.frame.height() < 1) {
      results[i].error = ax_error::illegalArgument;
      continue;
    }
    if (!batch.empty()) batch += "; ";
    batch += placement(*window, request.frame, *before);
    placed.push_back(i);
  }
  if (placed.empty()) return results;
  // The compositor has laid the tree out again by the time it answers: the landings are in
  // the next tree, with no waiting for the clients.
  auto ran = session_.run(batch);
  auto after = ran ? session_.tree() : std::nullopt;
  for (auto i : placed) {
    auto& result = results[i];
    const auto* window = after ? after->find(element::valueOf(requests[i].element)) : nullptr;
    if (!after)
      result.error = ax_error::cannotComplete;
    else if (!window)
      result.error = ax_error::invalidElement;
    else
      result = {ax_error::success, window->frame};
  }
  return results;
}

AXErrorCode IpcAccessibility::performAction(platform::AXElement target, std::string_view name) {
  if (element::kindOf(target) != Kind::window) return ax_error::invalidElement;
  if (name != ax::raise) return ax_error::attributeUnsupported;
  return runOn(element::valueOf(target), commands::focus(targetOf(element::valueOf(target))));
}

std::optional<std::uint32_t> IpcAccessibility::windowNumber(platform::AXElement target) {
  if (element::kindOf(target) != Kind::window || element::valueOf(target) == 0) return std::nullopt;
  return element::valueOf(target);
}

std::optional<platform::AXObserverID> IpcAccessibility::createObserver(
    std::int32_t pid, platform::AXNotificationHandler handler) {
  return observers_.create(pid, std::move(handler));
}

AXErrorCode IpcAccessibility::addNotification(platform::AXObserverID observer,
                                              platform::AXElement target, std::string_view name) {
  auto kind = element::kindOf(target);
  return observers_.add(observer, target, kind == Kind::app || kind == Kind::window, name);
}

void IpcAccessibility::removeObserver(platform::AXObserverID observer) {
  observers_.remove(observer);
}

void IpcAccessibility::deliver(std::int32_t pid, std::uint32_t window, std::string_view name) {
  observers_.deliver(pid, application(pid), element::window(window), name);
}

void IpcAccessibility::forget(std::uint32_t window) {
  std::lock_guard guard(tiledMutex_);
  tiledFrames_.erase(window);
}

}  // namespace kestles::ipc
