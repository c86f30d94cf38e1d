#include "KestlesEngine/x11/X11Connection.hpp"

#include <poll.h>
#include <xcb/randr.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "KestlesEngine/x11/X11Reply.hpp"

namespace kestles::x11 {
namespace {

// Spelled in the order of `Atom`.
constexpr std::array<std::string_view, static_cast<std::size_t>(Atom::count)> kAtomNames = {
    "UTF8_STRING",
    "WM_NAME",
    "WM_CLASS",
    "WM_STATE",
    "WM_CHANGE_STATE",
    "WM_TRANSIENT_FOR",
    "WM_NORMAL_HINTS",
    "WM_HINTS",
    "_NET_SUPPORTED",
    "_NET_SUPPORTING_WM_CHECK",
    "_NET_CLIENT_LIST",
    "_NET_CLIENT_LIST_STACKING",
    "_NET_CURRENT_DESKTOP",
    "_NET_ACTIVE_WINDOW",
    "_NET_WM_NAME",
    "_NET_WM_PID",
    "_NET_WM_DESKTOP",
    "_NET_WM_STATE",
    "_NET_WM_STATE_HIDDEN",
    "_NET_WM_STATE_FULLSCREEN",
    "_NET_WM_STATE_MAXIMIZED_VERT",
    "_NET_WM_STATE_MAXIMIZED_HORZ",
    "_NET_WM_STATE_SKIP_TASKBAR",
    "_NET_WM_WINDOW_TYPE",
    "_NET_WM_WINDOW_TYPE_NORMAL",
    "_NET_WM_WINDOW_TYPE_DIALOG",
    "_NET_WM_WINDOW_TYPE_DOCK",
    "_NET_WM_WINDOW_TYPE_DESKTOP",
    "_NET_WM_WINDOW_TYPE_UTILITY",
    "_NET_WM_WINDOW_TYPE_TOOLBAR",
    "_NET_WM_WINDOW_TYPE_MENU",
    "_NET_WM_WINDOW_TYPE_SPLASH",
    "_NET_WM_ALLOWED_ACTIONS",
    "_NET_WM_ACTION_RESIZE",
    "_NET_FRAME_EXTENTS",
    "_NET_WM_STRUT",
    "_NET_WM_STRUT_PARTIAL",
    "_NET_WORKAREA",
    "_NET_MOVERESIZE_WINDOW",
    "_NET_RESTACK_WINDOW",
    "_GTK_APPLICATION_ID",
    "_KDE_NET_WM_DESKTOP_FILE",
    "EDID",
};

}  // namespace

std::unique_ptr<X11Connection> X11Connection::open(const std::optional<std::string>& display) {
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(display ? display->c_str() : nullptr, &screenNumber);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    return nullptr;
  }
  auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
    xcb_screen_next(&screens);
  if (screens.rem == 0) {
    xcb_disconnect(connection);
    return nullptr;
  }
  std::unique_ptr<X11Connection> result(new X11Connection(connection, screens.data));
  result->internAtoms();
  return result;
}

X11Connection::X11Connection(xcb_connection_t* connection, const xcb_screen_t* screen)
    : connection_(connection), screen_(screen) {}

X11Connection::~X11Connection() {
  // Requests still queued would be lost by an immediate disconnect.
  if (!xcb_connection_has_error(connection_)) sync();
  xcb_disconnect(connection_);
}

void X11Connection::internAtoms() {
  // The RandR query rides along, so that asking for monitors later costs no extra round trip.
  xcb_prefetch_extension_data(connection_, &xcb_randr_id);
  std::array<xcb_intern_atom_cookie_t, kAtomNames.size()> cookies{};
  for (std::size_t i = 0; i < kAtomNames.size(); ++i)
    cookies[i] = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(kAtomNames[i].size()),
                                 kAtomNames[i].data());
  noteRoundTrip();
  for (std::size_t i = 0; i < kAtomNames.size(); ++i) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookies[i], nullptr));
    atoms_[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  }
}

bool X11Connection::hasWindowManager() {
  auto rootCheck = xcb_get_property(connection_, 0, root(), atom(Atom::netSupportingWmCheck),
                                    XCB_ATOM_WINDOW, 0, 1);
  noteRoundTrip();
  auto child = windowProperty(connection_, rootCheck);
  if (!child) return false;
  // A window manager that died leaves the property behind, naming a window that is gone.
  auto childCheck = xcb_get_property(connection_, 0, *child, atom(Atom::netSupportingWmCheck),
                                     XCB_ATOM_WINDOW, 0, 1);
  noteRoundTrip();
  return windowProperty(connection_, childCheck) == child;
}

void X11Connection::sendToRoot(xcb_window_t window, xcb_atom_t type,
                               std::array<std::uint32_t, 5> data) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = type;
  std::copy(data.begin(), data.end(), message.data.data32);
  xcb_send_event(connection_, 0, root(),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
}

bool X11Connection::drainEvents() {
  bool any = false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    std::free(event);
    any = true;
  }
  return any;
}

void X11Connection::dropEvents() {
  drainEvents();
}

bool X11Connection::waitForEvents(Clock::time_point deadline) {
  xcb_flush(connection_);
  if (drainEvents()) return true;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  if (left.count() <= 0) return false;
  pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
  poll(&descriptor, 1, static_cast<int>(left.count()));
  return drainEvents();
}

void X11Connection::sync() {
  noteRoundTrip();
  Reply<xcb_get_input_focus_reply_t> reply(
      xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

xcb_timestamp_t X11Connection::serverTime() {
  if (timeWindow_ == XCB_WINDOW_NONE) {
    timeWindow_ = xcb_generate_id(connection_);
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, timeWindow_, root(), -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
  }
  xcb_change_property(connection_, XCB_PROP_MODE_APPEND, timeWindow_, XCB_ATOM_WM_NAME,
                      XCB_ATOM_STRING, 8, 0, nullptr);
  xcb_flush(connection_);
  noteRoundTrip();
  auto deadline = Clock::now() + std::chrono::seconds(1);
  pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
  while (true) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
      std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
      if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) continue;
      const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
      if (notify->window == timeWindow_) return notify->time;
    }
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || xcb_connection_has_error(connection_)) return XCB_CURRENT_TIME;
    poll(&descriptor, 1, static_cast<int>(left.count()));
  }
}

}  // namespace kestles::x11
