#include "KestlesEngine/x11/X11Accessibility.hpp"

#include <algorithm>
#include <cmath>
#include <variant>
#include <vector>

#include "KestlesEngine/x11/X11Placement.hpp"
#include "KestlesEngine/x11/X11Reply.hpp"
#include "KestlesEngine/x11/X11WindowActions.hpp"

namespace kestles::x11 {
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

/// One window's state and whether it is a standard window of the current desktop, read in
/// one round trip (the current desktop rides along with the window's batch).
struct WindowState {
  ClientWindow client;
  bool standard = false;
};

std::optional<WindowState> readState(X11Session& session, xcb_window_t window) {
  auto& connection = session.connection();
  if (auto client = session.freshClient(window)) {
    WindowState state{std::move(*client), false};
    state.standard = isStandard(state.client, connection, session.desktop().currentDesktop);
    return state;
  }
  auto current = requestProperty(connection.raw(), connection.root(),
                                 connection.atom(Atom::netCurrentDesktop), 1);
  auto clients = readClients(connection, std::span(&window, 1), {.identity = true});
  auto desktop = cardinals(propertyReply(connection.raw(), current).get());
  if (clients.empty()) return std::nullopt;
  WindowState state{std::move(clients.front()), false};
  state.standard = isStandard(state.client, connection, desktop.empty() ? 0 : desktop.front());
  return state;
}

/// The window attributes that its state answers; nothing for the others.
std::optional<AXValue> attributeOf(const WindowState& state, std::string_view name) {
  const auto& client = state.client;
  if (name == ax::subrole)
    return AXValue{std::string(state.standard ? ax::standardWindow : "AXUnknown")};
  if (name == ax::title) return AXValue{client.title};
  if (name == ax::position) return AXValue{CGPoint{double(client.frame.x), double(client.frame.y)}};
  if (name == ax::size)
    return AXValue{CGSize{double(client.frame.width), double(client.frame.height)}};
  if (name == ax::minimized) return AXValue{client.minimized};
  if (name == ax::fullScreen) return AXValue{client.fullScreen};
  return std::nullopt;
}

const ClientWindow* clientOf(const Desktop& desktop, std::optional<xcb_window_t> window) {
  if (!window) return nullptr;
  auto found = std::find_if(desktop.clients.begin(), desktop.clients.end(),
                            [&](const ClientWindow& client) { return client.id == *window; });
  return found == desktop.clients.end() ? nullptr : &*found;
}

/// The app's standard windows of the current desktop, in mapping order.
std::vector<platform::AXElement> windowsOf(const Desktop& desktop, X11Connection& connection,
                                           std::int32_t pid) {
  std::vector<platform::AXElement> windows;
  for (const auto& client : desktop.clients)
    if (client.pid == pid && isStandard(client, connection, desktop.currentDesktop))
      windows.push_back(element::window(client.id));
  return windows;
}

/// The app's frontmost standard window that is shown.
std::optional<xcb_window_t> frontWindowOf(const Desktop& desktop, X11Connection& connection,
                                          std::int32_t pid) {
  for (auto it = desktop.stacking.rbegin(); it != desktop.stacking.rend(); ++it) {
    const auto* client = clientOf(desktop, *it);
    if (client && client->pid == pid && client->viewable &&
        isStandard(*client, connection, desktop.currentDesktop))
      return client->id;
  }
  return std::nullopt;
}

std::optional<std::int32_t> activePID(const Desktop& desktop) {
  const auto* active = clientOf(desktop, desktop.activeWindow);
  if (!active || active->pid <= 0) return std::nullopt;
  return active->pid;
}

std::optional<bool> boolOf(const AXValue& value) {
  if (const auto* on = std::get_if<bool>(&value)) return *on;
  if (const auto* number = std::get_if<double>(&value)) return *number != 0;
  return std::nullopt;
}

Box boxOf(CGPoint origin, CGSize size) {
  return {static_cast<std::int32_t>(std::lround(origin.x)),
          static_cast<std::int32_t>(std::lround(origin.y)),
          static_cast<std::int32_t>(std::lround(size.width)),
          static_cast<std::int32_t>(std::lround(size.height))};
}

/// Waits while the manager keeps changing the window (at most `kLandingLimit`, until it has
/// been quiet for `kLandingQuiet`), so that the next read sees where it ended.
void settle(X11Connection& connection, xcb_window_t window) {
  std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection.raw(), window, XCB_CW_EVENT_MASK, &mask);
  Patience patience(kLandingQuiet, kLandingLimit);
  while (patience.wait(connection)) {
  }
  std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
  xcb_change_window_attributes(connection.raw(), window, XCB_CW_EVENT_MASK, &none);
  connection.sync();
  connection.dropEvents();
}

// The placement a request asks for, or the error that refuses it.
std::variant<Placement, AXErrorCode> placementFor(const platform::FrameRequest& request) {
  const auto& frame = request.frame;
  if (element::kindOf(request.element) != Kind::window) return ax_error::invalidElement;
  auto target = boxOf(frame.origin, frame.size);
  if (!std::isfinite(frame.minX()) || !std::isfinite(frame.minY()) ||
      !std::isfinite(frame.width()) || !std::isfinite(frame.height()) || target.width <= 0 ||
      target.height <= 0)
    return ax_error::illegalArgument;
  return Placement{element::valueOf(request.element), target};
}

}  // namespace

platform::AXElement X11Accessibility::systemWide() {
  return element::make(Kind::systemWide);
}

platform::AXElement X11Accessibility::application(std::int32_t pid) {
  return element::make(Kind::app, static_cast<std::uint32_t>(pid));
}

std::optional<std::int32_t> X11Accessibility::pid(platform::AXElement target) {
  switch (element::kindOf(target)) {
    case Kind::app:
      return static_cast<std::int32_t>(element::valueOf(target));
    case Kind::window: {
      auto guard = session_.lock();
      auto state = readState(session_, element::valueOf(target));
      if (!state || state->client.pid <= 0) return std::nullopt;
      return state->client.pid;
    }
    default:
      return std::nullopt;
  }
}

void X11Accessibility::setMessagingTimeout(platform::AXElement target, float seconds) {
  if (element::kindOf(target) != Kind::window) return;
  auto guard = session_.lock();
  if (seconds > 0)
    gliding_.try_emplace(element::valueOf(target));
  else
    gliding_.erase(element::valueOf(target));
}

AXRead X11Accessibility::copyValue(platform::AXElement target, std::string_view name) {
  switch (element::kindOf(target)) {
    case Kind::systemWide:
      return readSystemWide(name);
    case Kind::app:
      return readApp(static_cast<std::int32_t>(element::valueOf(target)), name);
    case Kind::window:
      return readWindow(element::valueOf(target), name);
    default:
      return failed(ax_error::invalidElement);
  }
}

AXRead X11Accessibility::readSystemWide(std::string_view name) {
  if (name != ax::focusedApplication && name != ax::focusedWindow)
    return failed(ax_error::attributeUnsupported);
  auto guard = session_.lock();
  const auto& desktop = session_.desktop();
  auto pid = activePID(desktop);
  if (!pid) return failed(ax_error::noValue);
  if (name == ax::focusedApplication) return found(application(*pid));
  return found(element::window(*desktop.activeWindow));
}

AXRead X11Accessibility::readApp(std::int32_t pid, std::string_view name) {
  if (name == ax::hidden) return found(false);  // X11 has no hidden apps
  if (name == ax::enhancedUserInterface) return failed(ax_error::attributeUnsupported);
  if (name != ax::windows && name != ax::frontmost && name != ax::focusedWindow)
    return failed(ax_error::attributeUnsupported);
  auto guard = session_.lock();
  auto& connection = session_.connection();
  const auto& desktop = session_.desktop();
  if (name == ax::windows) {
    auto windows = windowsOf(desktop, connection, pid);
    if (windows.empty() && !session_.appExists(pid)) return failed(ax_error::invalidElement);
    return found(std::move(windows));
  }
  auto active = activePID(desktop);
  if (name == ax::frontmost) return found(active == pid);
  // The app's focused window: the active one when it is the app's, else its front window.
  if (active == pid) return found(element::window(*desktop.activeWindow));
  if (auto front = frontWindowOf(desktop, connection, pid)) return found(element::window(*front));
  return failed(ax_error::noValue);
}

AXRead X11Accessibility::readWindow(xcb_window_t window, std::string_view name) {
  auto guard = session_.lock();
  if (name == ax::main) {
    const auto& desktop = session_.desktop();
    if (!clientOf(desktop, window)) return failed(ax_error::invalidElement);
    return found(desktop.activeWindow == window);
  }
  auto state = readState(session_, window);
  if (!state) return failed(ax_error::invalidElement);
  auto value = attributeOf(*state, name);
  return value ? found(std::move(*value)) : failed(ax_error::attributeUnsupported);
}

std::optional<std::vector<std::optional<AXValue>>> X11Accessibility::copyValues(
    platform::AXElement target, std::span<const std::string_view> names) {
  if (element::kindOf(target) != Kind::window) {
    std::vector<std::optional<AXValue>> values;
    for (auto name : names)
      values.push_back(copyValue(target, name).value);
    return values;
  }
  auto guard = session_.lock();
  auto state = readState(session_, element::valueOf(target));
  if (!state) return std::nullopt;
  std::vector<std::optional<AXValue>> values;
  for (auto name : names) {
    auto value = attributeOf(*state, name);
    values.push_back(value ? std::move(value) : copyValue(target, name).value);
  }
  return values;
}

std::optional<bool> X11Accessibility::attributeIsSettable(platform::AXElement target,
                                                          std::string_view name) {
  auto kind = element::kindOf(target);
  if (kind == Kind::app) return name == ax::frontmost || name == ax::hidden;
  if (kind != Kind::window) return std::nullopt;
  auto guard = session_.lock();
  auto& connection = session_.connection();
  auto state = readState(session_, element::valueOf(target));
  if (!state) return std::nullopt;
  if (name == ax::size) return state->client.isResizable();
  if (name == ax::fullScreen) return connection.hasWindowManager();
  return name == ax::position || name == ax::minimized || name == ax::main;
}

AXErrorCode X11Accessibility::setValue(platform::AXElement target, std::string_view name,
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

AXErrorCode X11Accessibility::setApp(std::int32_t pid, std::string_view name,
                                     const AXValue& value) {
  auto on = boolOf(value);
  if (!on) return ax_error::illegalArgument;
  // Nothing is ever hidden, so showing succeeds; hiding is not something X11 does.
  if (name == ax::hidden) return *on ? ax_error::attributeUnsupported : ax_error::success;
  if (name != ax::frontmost) return ax_error::attributeUnsupported;
  if (!*on) return ax_error::success;
  auto guard = session_.lock();
  auto& connection = session_.connection();
  const auto& desktop = session_.desktop();
  if (activePID(desktop) == pid) return ax_error::success;
  auto front = frontWindowOf(desktop, connection, pid);
  if (!front) return session_.appExists(pid) ? ax_error::failure : ax_error::invalidElement;
  return activate(*front);
}

AXErrorCode X11Accessibility::setWindow(xcb_window_t window, std::string_view name,
                                        const AXValue& value) {
  if (name == ax::position) {
    const auto* point = std::get_if<CGPoint>(&value);
    if (!point) return ax_error::illegalArgument;
    return place(window, *point, std::nullopt);
  }
  if (name == ax::size) {
    const auto* size = std::get_if<CGSize>(&value);
    if (!size) return ax_error::illegalArgument;
    return place(window, std::nullopt, *size);
  }
  auto on = boolOf(value);
  if (!on) return ax_error::illegalArgument;
  auto guard = session_.lock();
  auto& connection = session_.connection();
  auto state = readState(session_, window);
  // Whatever happens next changes what the shared desktop read says.
  session_.invalidate();
  if (!state) return ax_error::invalidElement;
  if (name == ax::minimized) {
    if (state->client.minimized == *on) return ax_error::success;
    // Mapping a window back goes through activation, the only way a manager restores one.
    return *on ? (minimizeWindow(connection, window) ? ax_error::success : ax_error::failure)
               : activate(window);
  }
  if (name == ax::fullScreen) {
    if (state->client.fullScreen == *on) return ax_error::success;
    if (!x11::setFullScreen(connection, window, *on)) return ax_error::failure;
    // The manager changes the state first and the frame after it.
    settle(connection, window);
    return ax_error::success;
  }
  if (name == ax::main) return *on ? activate(window) : ax_error::success;
  return ax_error::attributeUnsupported;
}

AXErrorCode X11Accessibility::place(xcb_window_t window, std::optional<CGPoint> origin,
                                    std::optional<CGSize> size) {
  auto guard = session_.lock();
  auto& connection = session_.connection();
  auto glide = gliding_.find(window);
  std::optional<CGRect> now;
  if (glide != gliding_.end() && glide->second) now = rectOf(*glide->second);
  if (!now) {
    auto frames = readFrames(connection, std::span(&window, 1));
    if (frames.empty()) return ax_error::invalidElement;
    now = rectOf(frames.front().frame);
  }
  auto target = boxOf(origin.value_or(now->origin), size.value_or(now->size));
  if (target.width <= 0 || target.height <= 0) return ax_error::illegalArgument;
  Placement placement{window, target};
  session_.invalidate();
  if (glide != gliding_.end()) {
    glide->second = target;
    return requestPlacement(connection, placement) ? ax_error::success : ax_error::invalidElement;
  }
  auto landed = placeWindows(connection, std::span(&placement, 1));
  session_.invalidate();
  return landed.front() ? ax_error::success : ax_error::invalidElement;
}

std::vector<platform::FrameResult> X11Accessibility::setFrames(
    std::span<const platform::FrameRequest> requests) {
  std::vector<platform::FrameResult> results(requests.size());
  std::vector<Placement> placements;
  std::vector<std::size_t> placed;
  for (std::size_t i = 0; i < requests.size(); ++i) {
    auto placement = placementFor(requests[i]);
    if (auto* error = std::get_if<AXErrorCode>(&placement)) {
      results[i].error = *error;
      continue;
    }
    placements.push_back(std::get<Placement>(placement));
    placed.push_back(i);
  }
  if (placements.empty()) return results;
  auto guard = session_.lock();
  auto landed = placeWindows(session_.connection(), placements);
  session_.invalidate();
  learnRounding(placements, landed);
  for (std::size_t k = 0; k < placed.size(); ++k) {
    auto& result = results[placed[k]];
    if (!landed[k]) {
      result.error = ax_error::invalidElement;
      continue;
    }
    result = {ax_error::success, rectOf(*landed[k])};
  }
  return results;
}

std::vector<std::optional<CGSize>> X11Accessibility::fittedSizes(
    std::span<const platform::FrameRequest> requests) {
  std::vector<std::optional<CGSize>> sizes(requests.size());
  std::vector<Placement> placements;
  std::vector<std::size_t> placed;
  for (std::size_t i = 0; i < requests.size(); ++i) {
    auto placement = placementFor(requests[i]);
    if (!std::holds_alternative<Placement>(placement)) continue;
    placements.push_back(std::get<Placement>(placement));
    placed.push_back(i);
  }
  if (placements.empty()) return sizes;
  auto guard = session_.lock();
  auto landings = foreseeLandings(session_.connection(), placements);
  for (std::size_t k = 0; k < placed.size(); ++k) {
    if (!landings[k]) continue;
    const auto& [rounded, unrounded] = *landings[k];
    if (managerRounds_) {
      sizes[placed[k]] = rectOf(*managerRounds_ ? rounded : unrounded).size;
    } else if (rounded == unrounded) {
      sizes[placed[k]] = rectOf(unrounded).size;
    } else {
      foreseen_[placements[k].window] = *landings[k];
    }
  }
  return sizes;
}

void X11Accessibility::learnRounding(std::span<const Placement> placements,
                                     const std::vector<std::optional<Box>>& landed) {
  for (std::size_t k = 0; k < placements.size() && !managerRounds_; ++k) {
    auto found = foreseen_.find(placements[k].window);
    if (found == foreseen_.end() || !landed[k]) continue;
    auto sameSize = [&](const Box& box) {
      return landed[k]->width == box.width && landed[k]->height == box.height;
    };
    if (sameSize(found->second.rounded))
      managerRounds_ = true;
    else if (sameSize(found->second.unrounded))
      managerRounds_ = false;
  }
  foreseen_.clear();
}

AXErrorCode X11Accessibility::activate(xcb_window_t window) {
  auto guard = session_.lock();
  auto& connection = session_.connection();
  auto state = readState(session_, window);
  if (!state) return ax_error::invalidElement;
  session_.invalidate();
  // A shown window that declines input is never focused: raising it is all there is to do,
  // and waiting for the manager to make it active would only run into the timeout.
  const auto& client = state->client;
  if (!client.acceptsInput && client.viewable && !client.minimized)
    return raiseWindow(connection, window) ? ax_error::success : ax_error::invalidElement;
  auto activated = activateWindow(connection, window);
  session_.invalidate();
  if (activated) return ax_error::success;
  auto clients = readClients(connection, std::span(&window, 1));
  if (clients.empty()) return ax_error::invalidElement;
  return clients.front().viewable ? ax_error::success : ax_error::failure;
}

AXErrorCode X11Accessibility::performAction(platform::AXElement target, std::string_view name) {
  if (element::kindOf(target) != Kind::window) return ax_error::invalidElement;
  if (name != ax::raise) return ax_error::attributeUnsupported;
  return activate(element::valueOf(target));
}

bool X11Accessibility::raiseInOrder(std::span<const platform::AXElement> order,
                                    std::optional<platform::AXElement> focus) {
  std::vector<xcb_window_t> windows;
  for (auto element : order)
    if (element::kindOf(element) == Kind::window) windows.push_back(element::valueOf(element));
  std::optional<xcb_window_t> focused;
  if (focus && element::kindOf(*focus) == Kind::window) focused = element::valueOf(*focus);
  auto guard = session_.lock();
  session_.invalidate();
  x11::raiseInOrder(session_.connection(), windows, focused);
  session_.invalidate();
  return true;
}

std::optional<std::uint32_t> X11Accessibility::windowNumber(platform::AXElement target) {
  if (element::kindOf(target) != Kind::window || element::valueOf(target) == 0) return std::nullopt;
  return element::valueOf(target);
}

std::optional<platform::AXObserverID> X11Accessibility::createObserver(
    std::int32_t pid, platform::AXNotificationHandler handler) {
  if (!session_.appExists(pid)) return std::nullopt;
  return observers_.create(pid, std::move(handler));
}

AXErrorCode X11Accessibility::addNotification(platform::AXObserverID observer,
                                              platform::AXElement target, std::string_view name) {
  auto kind = element::kindOf(target);
  return observers_.add(observer, target, kind == Kind::app || kind == Kind::window, name);
}

void X11Accessibility::removeObserver(platform::AXObserverID observer) {
  observers_.remove(observer);
}

void X11Accessibility::deliver(std::int32_t pid, xcb_window_t window, std::string_view name) {
  observers_.deliver(pid, application(pid), element::window(window), name);
}

}  // namespace kestles::x11
