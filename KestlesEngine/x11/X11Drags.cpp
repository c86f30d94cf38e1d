#include "KestlesEngine/x11/X11Drags.hpp"

#include <xcb/xinput.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "KestlesEngine/x11/X11Input.hpp"
#include "KestlesEngine/x11/X11Reply.hpp"

namespace kestles::x11 {
namespace {

using platform::WindowDragEvent;

constexpr std::uint32_t kFirstButton = 1;
/// How deep a client sits inside its manager's frame (openbox: one level; xfwm4: two).
constexpr int kFrameDepth = 3;

/// Asks for XInput 2 and the raw button and motion events of every master device on the
/// root, and for the root's structure events; the extension's major opcode, or nothing.
std::optional<std::uint8_t> selectEvents(X11Connection& connection) {
  auto opcode = selectRawEvents(connection, XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS |
                                                XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE |
                                                XCB_INPUT_XI_EVENT_MASK_RAW_MOTION);
  if (!opcode) return std::nullopt;
  auto* raw = connection.raw();
  std::uint32_t structure = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(raw, connection.root(), XCB_CW_EVENT_MASK, &structure);
  connection.sync();
  return opcode;
}

}  // namespace

std::unique_ptr<X11Drags> X11Drags::open(const std::optional<std::string>& display) {
  auto connection = X11Connection::open(display);
  if (!connection) return nullptr;
  auto opcode = selectEvents(*connection);
  if (!opcode) return nullptr;
  return std::unique_ptr<X11Drags>(new X11Drags(std::move(connection), *opcode));
}

X11Drags::X11Drags(std::unique_ptr<X11Connection> connection, std::uint8_t inputOpcode)
    : connection_(std::move(connection)), inputOpcode_(inputOpcode) {
  events_ =
      std::make_unique<X11KeyEvents>(connection_->raw(), connection_->root(),
                                     [this](const xcb_generic_event_t& event) { handle(event); });
}

X11Drags::~X11Drags() {
  events_->stop();
}

void X11Drags::onDrag(Handler handler) {
  std::lock_guard lock(delivery_);
  handler_ = std::move(handler);
}

void X11Drags::deliver(const WindowDragEvent& event) {
  std::lock_guard lock(delivery_);
  if (handler_) handler_(event);
}

void X11Drags::handle(const xcb_generic_event_t& event) {
  auto type = event.response_type & 0x7F;
  if (type == XCB_CONFIGURE_NOTIFY)
    return configured(reinterpret_cast<const xcb_configure_notify_event_t&>(event));
  if (type != XCB_GE_GENERIC) return;
  const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
  if (generic.extension != inputOpcode_) return;
  const auto& raw = reinterpret_cast<const xcb_input_raw_button_press_event_t&>(event);
  switch (generic.event_type) {
    case XCB_INPUT_RAW_BUTTON_PRESS:
      if (raw.detail != kFirstButton) return;
      held_ = true;
      seen_.clear();
      return noteFrameUnderPointer();
    case XCB_INPUT_RAW_BUTTON_RELEASE: {
      if (raw.detail != kFirstButton) return;
      held_ = false;
      seen_.clear();
      if (!drag_) return;
      auto ended = std::exchange(drag_, std::nullopt)->event;
      ended.phase = WindowDragEvent::Phase::ended;
      if (auto at = pointer()) ended.pointer = *at;
      return deliver(ended);
    }
    case XCB_INPUT_RAW_MOTION: {
      if (!drag_) return;
      auto at = pointer();
      if (!at || *at == drag_->event.pointer) return;
      drag_->event.phase = WindowDragEvent::Phase::moved;
      drag_->event.pointer = *at;
      return deliver(drag_->event);
    }
    default:
      return;
  }
}

void X11Drags::configured(const xcb_configure_notify_event_t& event) {
  if (!held_ || drag_ || event.event != connection_->root() || event.override_redirect) return;
  CGRect frame(event.x, event.y, event.width + 2.0 * event.border_width,
               event.height + 2.0 * event.border_width);
  // Only the window pressed on can be dragged: another that moves meanwhile (keep tiled, a
  // program placing itself) is not the user's drag.
  auto seen = seen_.find(event.window);
  if (seen == seen_.end() || seen->second == frame) return;
  auto start = std::exchange(seen->second, frame);
  auto client = clientIn(event.window);
  auto at = pointer();
  if (!client || !at) return;
  drag_ = Drag{event.window,
               {WindowDragEvent::Phase::began, *client, windowDragKind(start, frame), *at, start}};
  deliver(drag_->event);
}

std::optional<xcb_window_t> X11Drags::clientIn(xcb_window_t frame) {
  auto* raw = connection_->raw();
  auto list = cardinals(propertyReply(raw, requestProperty(raw, connection_->root(),
                                                           connection_->atom(Atom::netClientList)))
                            .get());
  auto isClient = [&](xcb_window_t window) {
    return std::find(list.begin(), list.end(), window) != list.end();
  };
  std::vector<xcb_window_t> level{frame};
  for (int depth = 0; depth <= kFrameDepth && !level.empty(); ++depth) {
    for (auto window : level)
      if (isClient(window)) return window;
    std::vector<xcb_query_tree_cookie_t> cookies;
    for (auto window : level)
      cookies.push_back(xcb_query_tree(raw, window));
    std::vector<xcb_window_t> next;
    for (auto cookie : cookies) {
      Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(raw, cookie, nullptr));
      if (!tree) continue;
      const auto* children = xcb_query_tree_children(tree.get());
      next.insert(next.end(), children, children + xcb_query_tree_children_length(tree.get()));
    }
    level = std::move(next);
  }
  return std::nullopt;
}

void X11Drags::noteFrameUnderPointer() {
  auto* raw = connection_->raw();
  Reply<xcb_query_pointer_reply_t> under(
      xcb_query_pointer_reply(raw, xcb_query_pointer(raw, connection_->root()), nullptr));
  if (!under || under->child == XCB_WINDOW_NONE) return;
  Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(raw, xcb_get_geometry(raw, under->child), nullptr));
  if (!geometry) return;
  seen_[under->child] =
      CGRect(geometry->x, geometry->y, geometry->width + 2.0 * geometry->border_width,
             geometry->height + 2.0 * geometry->border_width);
}

std::optional<CGPoint> X11Drags::pointer() {
  auto* raw = connection_->raw();
  Reply<xcb_query_pointer_reply_t> reply(
      xcb_query_pointer_reply(raw, xcb_query_pointer(raw, connection_->root()), nullptr));
  if (!reply) return std::nullopt;
  return CGPoint{double(reply->root_x), double(reply->root_y)};
}

}  // namespace kestles::x11
