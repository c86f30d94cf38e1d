#include "KestlesEngine/x11/X11KeyEvents.hpp"

#include <cstdlib>
#include <memory>

namespace kestles::x11 {

X11KeyEvents::X11KeyEvents(xcb_connection_t* connection, xcb_window_t root, Handler handler)
    : connection_(connection),
      wakeWindow_(xcb_generate_id(connection)),
      handler_(std::move(handler)) {
  // An event sent with an empty mask reaches the window's creator: this thread alone.
  xcb_create_window(connection_, 0, wakeWindow_, root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                    XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_flush(connection_);
  thread_ = std::thread([this] { run(); });
}

X11KeyEvents::~X11KeyEvents() {
  stop();
}

void X11KeyEvents::stop() {
  if (!thread_.joinable()) return;
  xcb_client_message_event_t wake{};
  wake.response_type = XCB_CLIENT_MESSAGE;
  wake.format = 32;
  wake.window = wakeWindow_;
  wake.type = XCB_ATOM_NONE;
  xcb_send_event(connection_, 0, wakeWindow_, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&wake));
  xcb_flush(connection_);
  thread_.join();
  xcb_destroy_window(connection_, wakeWindow_);
  xcb_flush(connection_);
}

void X11KeyEvents::run() {
  while (true) {
    // Null only when the connection broke: nothing more will come.
    std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(
        xcb_wait_for_event(connection_), &std::free);
    if (!event) return;
    if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE &&
        reinterpret_cast<const xcb_client_message_event_t*>(event.get())->window == wakeWindow_)
      return;
    handler_(*event);
  }
}

}  // namespace kestles::x11
