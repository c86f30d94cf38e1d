#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesEngine/platform/Overlay.hpp"

namespace kestles::x11 {

class X11Connection;
class X11KeyEvents;
class X11KeyMapping;

/// The keyboard modes' overlays on an X server: one override-redirect window per label,
/// drawn with cairo, and the keyboard held (an active grab on the root) while labels are
/// shown, so that plain keys reach the mode instead of the focused window. Keys arrive on
/// a thread of the overlay's own; `show` and `hide` may be called from any one thread.
class X11Overlay final : public platform::Overlay {
 public:
  /// Connects to `display` (nothing: $DISPLAY); nothing when the server cannot be reached
  /// or has no keyboard extension.
  static std::unique_ptr<X11Overlay> open(const std::optional<std::string>& display);
  ~X11Overlay() override;
  X11Overlay(const X11Overlay&) = delete;
  X11Overlay& operator=(const X11Overlay&) = delete;

  /// The text as the overlays draw it: key glyphs their font lacks written as words.
  static std::string drawable(std::string_view text);

  void onKey(KeyHandler handler) override;
  bool show(const std::vector<ModeLabel>& labels) override;
  void hide() override;

 private:
  struct Panel {
    xcb_window_t window = 0;
    ModeLabel label;
    int width = 0;
    int height = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
  };

  X11Overlay(std::unique_ptr<X11Connection> connection, std::unique_ptr<X11KeyMapping> mapping);
  void handle(const xcb_generic_event_t& event);
  /// The translation of a key press: nothing for a modifier key alone or a key outside the
  /// key table. Under the lock.
  std::optional<TypedKey> keyOf(xcb_keycode_t keycode, std::uint16_t state) const;
  bool grabKeyboard();
  /// The panel of a label, its text drawable and its size and place worked out; no window yet.
  static Panel placed(const ModeLabel& label);
  Panel makePanel(const ModeLabel& label);
  /// Gives the panel's window the label's place and size and draws it again.
  void reshape(Panel& panel, const ModeLabel& label);
  void draw(const Panel& panel);
  void destroyPanels();

  std::unique_ptr<X11Connection> connection_;
  std::unique_ptr<X11KeyMapping> mapping_;
  KeyHandler onKey_;
  xcb_visualtype_t* visual_ = nullptr;
  mutable std::mutex mutex_;  // the panels, the map and the handler, shared with the event thread
  std::vector<Panel> panels_;
  bool holding_ = false;
  std::unique_ptr<X11KeyEvents> events_;
};

}  // namespace kestles::x11
