#include "KestlesEngine/x11/X11WindowActions.hpp"

#include <algorithm>
#include <functional>
#include <vector>

#include "KestlesEngine/x11/X11Desktop.hpp"
#include "KestlesEngine/x11/X11Reply.hpp"

namespace kestles::x11 {
namespace {

constexpr std::uint32_t kSourceTool = 2;
constexpr std::uint32_t kIconicState = 3;

enum class StateAction : std::uint32_t { remove = 0, add = 1 };

std::optional<ClientWindow> readClient(X11Connection& connection, xcb_window_t window) {
  auto clients = readClients(connection, std::span(&window, 1));
  if (clients.empty()) return std::nullopt;
  return clients.front();
}

std::optional<xcb_window_t> activeWindow(X11Connection& connection) {
  auto cookie = requestProperty(connection.raw(), connection.root(),
                                connection.atom(Atom::netActiveWindow), 1);
  connection.noteRoundTrip();
  return windowProperty(connection.raw(), cookie);
}

/// Reads the window until `done` holds or the timeout passes; property and structure
/// changes of the window wake the wait. False when the window is gone or never gets there.
bool waitFor(X11Connection& connection, xcb_window_t window,
             const std::function<bool(const ClientWindow&)>& done) {
  Patience patience(kActionQuiet, kActionLimit);
  std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection.raw(), window, XCB_CW_EVENT_MASK, &mask);
  bool reached = false;
  while (true) {
    auto client = readClient(connection, window);
    if (!client) break;
    if (done(*client)) {
      reached = true;
      break;
    }
    if (!patience.wait(connection)) break;
  }
  std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
  xcb_change_window_attributes(connection.raw(), window, XCB_CW_EVENT_MASK, &none);
  connection.sync();
  connection.dropEvents();
  return reached;
}

/// Whether the window is the frontmost standard window of the current desktop.
bool isFrontmost(X11Connection& connection, xcb_window_t window) {
  auto desktop = readDesktop(connection);
  for (auto it = desktop.stacking.rbegin(); it != desktop.stacking.rend(); ++it) {
    auto client = std::find_if(desktop.clients.begin(), desktop.clients.end(),
                               [&](const ClientWindow& c) { return c.id == *it; });
    if (client != desktop.clients.end() && client->viewable &&
        isStandard(*client, connection, desktop.currentDesktop))
      return *it == window;
  }
  return false;
}

/// Waits (bounded) until the manager names the window active; changes of the root's
/// properties wake the wait.
bool becomesActive(X11Connection& connection, xcb_window_t window) {
  Patience patience(kActionQuiet, kActionLimit);
  std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(connection.raw(), connection.root(), XCB_CW_EVENT_MASK, &mask);
  bool active = false;
  while (!(active = activeWindow(connection) == window) && patience.wait(connection)) {
  }
  // The manager may raise a moment after it focuses; the snapshot that follows should see
  // the window in front. A window kept below another (a dialog of its own) ends the wait
  // once the manager is quiet, not with a failure.
  while (active && !isFrontmost(connection, window) && patience.wait(connection)) {
  }
  std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
  xcb_change_window_attributes(connection.raw(), connection.root(), XCB_CW_EVENT_MASK, &none);
  connection.sync();
  connection.dropEvents();
  return active;
}

/// Whether `order` stands in this order in the manager's stacking list and `focus` (unless
/// none) is the active window; both read in one round trip.
bool showsOrder(X11Connection& connection, std::span<const xcb_window_t> order,
                xcb_window_t focus) {
  auto* c = connection.raw();
  auto stackingCookie =
      requestProperty(c, connection.root(), connection.atom(Atom::netClientListStacking));
  auto activeCookie =
      requestProperty(c, connection.root(), connection.atom(Atom::netActiveWindow), 1);
  connection.noteRoundTrip();
  auto stacking = cardinals(propertyReply(c, stackingCookie).get());
  auto active = windowProperty(c, activeCookie);
  if (focus != XCB_WINDOW_NONE && active != focus) return false;
  auto at = stacking.begin();
  for (auto window : order) {
    at = std::find(at, stacking.end(), window);
    if (at == stacking.end()) return false;
  }
  return true;
}

/// Restacks and focuses directly, as a window manager would have.
void raiseUnmanaged(X11Connection& connection, std::span<const xcb_window_t> order,
                    xcb_window_t focus) {
  std::uint32_t above = XCB_STACK_MODE_ABOVE;
  for (auto window : order) {
    xcb_map_window(connection.raw(), window);
    xcb_configure_window(connection.raw(), window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
  }
  if (focus != XCB_WINDOW_NONE)
    xcb_set_input_focus(connection.raw(), XCB_INPUT_FOCUS_POINTER_ROOT, focus, XCB_CURRENT_TIME);
  connection.sync();
}

/// Activates the windows in order in one burst; a window that declines input is only
/// restacked, since it is never made active. The window that should end active, if any.
xcb_window_t activate(X11Connection& connection, std::span<const xcb_window_t> order,
                      std::span<const ClientWindow> clients, xcb_timestamp_t time) {
  xcb_window_t active = XCB_WINDOW_NONE;
  for (auto window : order) {
    auto client = std::find_if(clients.begin(), clients.end(),
                               [&](const ClientWindow& c) { return c.id == window; });
    active = XCB_WINDOW_NONE;
    if (client->acceptsInput) {
      active = window;
      connection.sendToRoot(window, connection.atom(Atom::netActiveWindow),
                            {kSourceTool, time, XCB_WINDOW_NONE, 0, 0});
    } else {
      connection.sendToRoot(window, connection.atom(Atom::netRestackWindow),
                            {kSourceTool, XCB_WINDOW_NONE, XCB_STACK_MODE_ABOVE, 0, 0});
    }
  }
  return active;
}

/// Waits until the manager shows the windows in this order with `active` (unless none)
/// active, or falls quiet.
bool waitForOrder(X11Connection& connection, std::span<const xcb_window_t> order,
                  xcb_window_t active) {
  Patience patience(kActionQuiet, kActionLimit);
  bool shown = false;
  while (!(shown = showsOrder(connection, order, active)) && patience.wait(connection)) {
  }
  return shown;
}

/// Whether the windows already stand in this order in front of every other window of the
/// current desktop, none of them minimized, with `active` (unless none) active. Windows of
/// the stacking list above the lowest of them are read only when there are any (panels).
bool standInFront(X11Connection& connection, std::span<const xcb_window_t> order,
                  std::span<const ClientWindow> clients, xcb_window_t active) {
  if (order.empty()) return true;
  if (std::any_of(clients.begin(), clients.end(), [](const auto& c) { return c.minimized; }))
    return false;
  auto* c = connection.raw();
  auto root = connection.root();
  auto stackingCookie = requestProperty(c, root, connection.atom(Atom::netClientListStacking));
  auto activeCookie = requestProperty(c, root, connection.atom(Atom::netActiveWindow), 1);
  auto desktopCookie = requestProperty(c, root, connection.atom(Atom::netCurrentDesktop), 1);
  connection.noteRoundTrip();
  auto stacking = cardinals(propertyReply(c, stackingCookie).get());
  auto shownActive = windowProperty(c, activeCookie);
  auto desktop = cardinals(propertyReply(c, desktopCookie).get());
  if (active != XCB_WINDOW_NONE && shownActive != active) return false;
  auto lowest = std::find(stacking.begin(), stacking.end(), order.front());
  std::vector<xcb_window_t> inOrder, others;
  for (auto it = lowest; it != stacking.end(); ++it)
    (std::find(order.begin(), order.end(), *it) != order.end() ? inOrder : others).push_back(*it);
  if (!std::equal(inOrder.begin(), inOrder.end(), order.begin(), order.end())) return false;
  auto current = desktop.empty() ? 0 : desktop.front();
  auto above = readClients(connection, others);
  return std::none_of(above.begin(), above.end(), [&](const ClientWindow& client) {
    return isStandard(client, connection, current);
  });
}

void changeState(X11Connection& connection, xcb_window_t window, StateAction action, Atom state) {
  connection.sendToRoot(
      window, connection.atom(Atom::netWmState),
      {static_cast<std::uint32_t>(action), connection.atom(state), 0, kSourceTool, 0});
}

}  // namespace

bool minimizeWindow(X11Connection& connection, xcb_window_t window) {
  if (!connection.hasWindowManager()) {
    xcb_unmap_window(connection.raw(), window);
    return waitFor(connection, window, [](const ClientWindow& c) { return !c.viewable; });
  }
  auto isMinimized = [](const ClientWindow& c) { return c.minimized; };
  connection.sendToRoot(window, connection.atom(Atom::wmChangeState), {kIconicState, 0, 0, 0, 0});
  if (waitFor(connection, window, isMinimized)) return true;
  // Some managers ignore the ICCCM request but honour the EWMH state.
  changeState(connection, window, StateAction::add, Atom::netWmStateHidden);
  return waitFor(connection, window, isMinimized);
}

bool activateWindow(X11Connection& connection, xcb_window_t window, xcb_timestamp_t timestamp) {
  if (!connection.hasWindowManager()) {
    std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_map_window(connection.raw(), window);
    xcb_configure_window(connection.raw(), window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    if (!waitFor(connection, window, [](const ClientWindow& c) { return c.viewable; }))
      return false;
    xcb_set_input_focus(connection.raw(), XCB_INPUT_FOCUS_POINTER_ROOT, window, timestamp);
    auto focus =
        xcb_get_input_focus_reply(connection.raw(), xcb_get_input_focus(connection.raw()), nullptr);
    connection.noteRoundTrip();
    Reply<xcb_get_input_focus_reply_t> owned(focus);
    return owned && owned->focus == window;
  }
  auto current = activeWindow(connection).value_or(XCB_WINDOW_NONE);
  connection.sendToRoot(window, connection.atom(Atom::netActiveWindow),
                        {kSourceTool, timestamp, current, 0, 0});
  if (!waitFor(connection, window,
               [](const ClientWindow& c) { return c.viewable && !c.minimized; }))
    return false;
  return becomesActive(connection, window);
}

bool raiseWindow(X11Connection& connection, xcb_window_t window) {
  if (!readClient(connection, window)) return false;
  if (!connection.hasWindowManager()) {
    std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(connection.raw(), window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
  } else {
    connection.sendToRoot(window, connection.atom(Atom::netRestackWindow),
                          {kSourceTool, XCB_WINDOW_NONE, XCB_STACK_MODE_ABOVE, 0, 0});
  }
  connection.sync();
  return true;
}

bool raiseInOrder(X11Connection& connection, std::span<const xcb_window_t> order,
                  std::optional<xcb_window_t> focus) {
  bool managed = connection.hasWindowManager();
  // The window that keeps the focus is activated last, so it also ends in front.
  xcb_window_t last = XCB_WINDOW_NONE;
  if (focus)
    last = *focus;
  else if (managed)
    last = activeWindow(connection).value_or(XCB_WINDOW_NONE);
  std::vector<xcb_window_t> asked;
  for (auto window : order)
    if (window != last && std::find(asked.begin(), asked.end(), window) == asked.end())
      asked.push_back(window);
  if (last != XCB_WINDOW_NONE) asked.push_back(last);
  auto clients = readClients(connection, asked);
  std::erase_if(asked, [&](xcb_window_t window) {
    return std::none_of(clients.begin(), clients.end(),
                        [&](const ClientWindow& client) { return client.id == window; });
  });
  if (asked.empty()) return true;
  if (asked.back() != last) last = XCB_WINDOW_NONE;
  if (!managed) {
    raiseUnmanaged(connection, asked, last);
    return true;
  }
  auto keeper = std::find_if(clients.begin(), clients.end(),
                             [&](const ClientWindow& c) { return c.id == last; });
  xcb_window_t active = XCB_WINDOW_NONE;
  if (keeper != clients.end() && keeper->acceptsInput) active = last;
  // A repeated command finds its windows in front already: nothing to send, nothing to wait for.
  if (standInFront(connection, asked, clients, active)) return true;
  auto time = connection.serverTime();
  std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(connection.raw(), connection.root(), XCB_CW_EVENT_MASK, &mask);
  // A manager may take the activation of the window it still thinks focused for nothing
  // while the burst's focus changes are on their way: the window that keeps the focus goes
  // in a second step, once the burst has shown.
  std::span<const xcb_window_t> all(asked);
  auto rest = all;
  bool shown = true;
  if (last != XCB_WINDOW_NONE && asked.size() > 1) {
    auto before = all.first(asked.size() - 1);
    shown = waitForOrder(connection, before, activate(connection, before, clients, time));
    rest = all.last(1);
  }
  activate(connection, rest, clients, time);
  shown = waitForOrder(connection, all, active) && shown;
  std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
  xcb_change_window_attributes(connection.raw(), connection.root(), XCB_CW_EVENT_MASK, &none);
  connection.sync();
  connection.dropEvents();
  return shown;
}

bool setFullScreen(X11Connection& connection, xcb_window_t window, bool on) {
  if (!connection.hasWindowManager()) return false;
  changeState(connection, window, on ? StateAction::add : StateAction::remove,
              Atom::netWmStateFullscreen);
  return waitFor(connection, window, [on](const ClientWindow& c) { return c.fullScreen == on; });
}

}  // namespace kestles::x11
