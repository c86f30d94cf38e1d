#include "KestlesEngine/x11/X11Input.hpp"

#include <xcb/xinput.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "KestlesEngine/x11/X11KeyTable.hpp"

namespace kestles::x11 {
namespace {

using platform::InputKind;

// Buttons 4 to 7 are the wheel's four directions.
InputKind buttonKind(std::uint32_t button) {
  if (button == 1) return InputKind::leftMouseDown;
  if (button == 3) return InputKind::rightMouseDown;
  if (button >= 4 && button <= 7) return InputKind::scrollWheel;
  return InputKind::otherMouseDown;
}

double uptimeNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::optional<std::uint8_t> selectRawEvents(X11Connection& connection, std::uint32_t eventMask) {
  auto* raw = connection.raw();
  const auto* extension = xcb_get_extension_data(raw, &xcb_input_id);
  if (!extension || !extension->present) return std::nullopt;
  std::unique_ptr<xcb_input_xi_query_version_reply_t, decltype(&std::free)> version(
      xcb_input_xi_query_version_reply(raw, xcb_input_xi_query_version(raw, 2, 2), nullptr),
      &std::free);
  if (!version || version->major_version < 2) return std::nullopt;
  struct {
    xcb_input_event_mask_t head;
    std::uint32_t mask;
  } mask{};
  mask.head.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
  mask.head.mask_len = 1;
  mask.mask = eventMask;
  auto cookie = xcb_input_xi_select_events_checked(raw, connection.root(), 1, &mask.head);
  if (auto* error = xcb_request_check(raw, cookie)) {
    std::free(error);
    return std::nullopt;
  }
  return extension->major_opcode;
}

std::unique_ptr<X11InputMonitor> X11InputMonitor::open(const std::optional<std::string>& display) {
  auto connection = X11Connection::open(display);
  if (!connection) return nullptr;
  auto mapping = X11KeyMapping::read(connection->raw());
  if (!mapping) return nullptr;
  auto opcode = selectRawEvents(*connection, XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS |
                                                 XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE |
                                                 XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS);
  if (!opcode) return nullptr;
  return std::unique_ptr<X11InputMonitor>(
      new X11InputMonitor(std::move(connection), std::move(mapping), *opcode));
}

X11InputMonitor::X11InputMonitor(std::unique_ptr<X11Connection> connection,
                                 std::unique_ptr<X11KeyMapping> mapping, std::uint8_t inputOpcode)
    : connection_(std::move(connection)), inputOpcode_(inputOpcode), mapping_(std::move(mapping)) {
  mapping_->selectEvents();
  events_ =
      std::make_unique<X11KeyEvents>(connection_->raw(), connection_->root(),
                                     [this](const xcb_generic_event_t& event) { handle(event); });
}

X11InputMonitor::~X11InputMonitor() {
  events_->stop();
}

std::uint64_t X11InputMonitor::addFlagsChangedMonitor(Handler handler) {
  std::lock_guard lock(mutex_);
  auto token = nextToken_++;
  monitors_[token] = std::move(handler);
  return token;
}

void X11InputMonitor::removeMonitor(std::uint64_t token) {
  std::lock_guard delivering(delivery_);
  std::lock_guard lock(mutex_);
  monitors_.erase(token);
}

double X11InputMonitor::systemUptime() {
  return uptimeNow();
}

double X11InputMonitor::secondsSinceLastEvent(InputKind kind) {
  double now = uptimeNow();
  std::lock_guard lock(mutex_);
  auto found = last_.find(kind);
  return now - (found == last_.end() ? 0.0 : found->second);
}

void X11InputMonitor::handle(const xcb_generic_event_t& event) {
  if ((event.response_type & 0x7F) != XCB_GE_GENERIC) {
    // Held keys stay held across a new map: they are known by key, and released by key.
    std::lock_guard lock(mutex_);
    mapping_->follow(event);
    return;
  }
  const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
  if (generic.extension != inputOpcode_) return;
  // The raw key and button events share their first fields.
  const auto& raw = reinterpret_cast<const xcb_input_raw_key_press_event_t&>(event);
  double at = 0;
  {
    std::lock_guard lock(mutex_);
    at = timeline_.place(raw.time, uptimeNow());
  }
  switch (generic.event_type) {
    case XCB_INPUT_RAW_KEY_PRESS:
      return key(static_cast<xcb_keycode_t>(raw.detail), true, at);
    case XCB_INPUT_RAW_KEY_RELEASE:
      return key(static_cast<xcb_keycode_t>(raw.detail), false, at);
    case XCB_INPUT_RAW_BUTTON_PRESS:
      return button(raw.detail, at);
    default:
      return;
  }
}

void X11InputMonitor::key(xcb_keycode_t keycode, bool pressed, double at) {
  std::lock_guard delivering(delivery_);
  platform::FlagsChangedEvent change;
  std::vector<Handler> handlers;
  {
    std::lock_guard lock(mutex_);
    auto row = rowForKeysym(mapping_->baseKeysym(keycode));
    if (!row || row->modifierFlag == 0) {
      if (pressed) last_[InputKind::keyDown] = at;
      return;
    }
    // Some senders release a modifier twice, and a held key may repeat: only real changes
    // of what is held are changes.
    bool changed = pressed ? heldModifiers_.emplace(keycode, row->modifierFlag).second
                           : heldModifiers_.erase(keycode) > 0;
    if (!changed) return;
    change.keyCode = row->keyCode;
    change.timestamp = at;
    for (const auto& [held, flag] : heldModifiers_)
      change.modifierFlags |= flag;
    for (const auto& [token, handler] : monitors_)
      handlers.push_back(handler);
  }
  for (const auto& handler : handlers)
    handler(change);
}

void X11InputMonitor::button(std::uint32_t button, double at) {
  std::lock_guard lock(mutex_);
  last_[buttonKind(button)] = at;
}

}  // namespace kestles::x11
