#pragma once

#include <xcb/xtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11KeyMapping.hpp"

namespace kestles::x11 {

/// Types on the server with XTest, from a connection of its own.
class Typist {
 public:
  explicit Typist(const std::string& display)
      : connection_(X11Connection::open(display)), mapping_(X11KeyMapping::read(raw())) {}

  xcb_connection_t* raw() const { return connection_->raw(); }
  xcb_window_t root() const { return connection_->root(); }
  xcb_keycode_t keycode(std::uint32_t keysym) const { return *mapping_->keycodeFor(keysym); }
  void rereadMap() { mapping_->refresh(); }

  void press(std::uint32_t keysym) { fake(XCB_KEY_PRESS, keycode(keysym)); }
  void release(std::uint32_t keysym) { fake(XCB_KEY_RELEASE, keycode(keysym)); }
  /// Presses the keys in order and releases them in reverse.
  void chord(std::vector<std::uint32_t> keysyms) {
    for (auto keysym : keysyms)
      press(keysym);
    for (auto at = keysyms.rbegin(); at != keysyms.rend(); ++at)
      release(*at);
  }
  void click(std::uint8_t button) {
    fake(XCB_BUTTON_PRESS, button);
    fake(XCB_BUTTON_RELEASE, button);
  }

 private:
  void fake(std::uint8_t type, std::uint8_t detail) {
    xcb_test_fake_input(raw(), type, detail, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    connection_->sync();
  }
  std::unique_ptr<X11Connection> connection_;
  std::unique_ptr<X11KeyMapping> mapping_;
};

}  // namespace kestles::x11
