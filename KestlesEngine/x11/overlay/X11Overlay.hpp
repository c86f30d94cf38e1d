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

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesEngine/platform/Overlay.hpp"

namespace kestles::x11 {

class X11Connection;
class X11KeyEvents;
class X11KeyMapping;

/// The keyboard modes' overlays on an X server: one override-redirect window per label,
/// drawn with cairo, and the keyboard held (an active grab on the root) while labels are
/// shown, so that plain keys reach the mode instead of the focused window. Passive marks are
/// override-redirect windows too, outlines shaped to a ring, with an empty input shape so
/// that the pointer reaches what lies beneath. Keys arrive on a thread of the overlay's own;
/// the other calls may be made from any one thread.
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
  void showPassive(const platform::PassiveMarks& marks) override;
  void hidePassive() override;

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
  /// An outline of `frame`, `width` pixels wide, in `pixel`; nothing without the shape
  /// extension (a plain window would hide what it outlines).
  std::optional<xcb_window_t> makeRing(const CGRect& frame, int width, std::uint32_t pixel);
  /// Lets the pointer pass through the window.
  void passClicks(xcb_window_t window);
  std::uint32_t pixelOf(double red, double green, double blue) const;
  void destroyPassive();

  std::unique_ptr<X11Connection> connection_;
  std::unique_ptr<X11KeyMapping> mapping_;
  KeyHandler onKey_;
  xcb_visualtype_t* visual_ = nullptr;
  mutable std::mutex mutex_;  // the panels, the map and the handler, shared with the event thread
  std::vector<Panel> panels_;
  bool holding_ = false;
  bool hasShape_ = false;
  std::vector<xcb_window_t> rings_;   // passive outlines
  std::vector<Panel> passivePanels_;  // passive labels
  std::unique_ptr<X11KeyEvents> events_;
};

}  // namespace kestles::x11
