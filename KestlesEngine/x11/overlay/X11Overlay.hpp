#pragma once

#include <xcb/xcb.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/keys/KeyModifiers.hpp"

namespace kestles::x11 {

class X11Connection;
class X11KeyEvents;
class X11KeyMapping;

/// One panel of an overlay: lines of text on a rounded plate, centred on a point of the
/// root window.
struct OverlayLabel {
  CGPoint centre;
  std::vector<std::string> lines;
  bool highlighted = false;  // the selected tile, a picked window
  bool operator==(const OverlayLabel&) const = default;
};

/// A key typed while an overlay holds the keyboard, in the models' terms.
struct OverlayKey {
  int keyCode = 0;  // the stored (macOS-style) virtual key code
  KeyModifiers modifiers;
  std::string characters;  // what the key types with no modifiers, on the layout in use
  bool operator==(const OverlayKey&) const = default;
};

/// The keyboard modes' overlays on an X server: one override-redirect window per label,
/// drawn with cairo, and the keyboard held (an active grab on the root) while labels are
/// shown, so that plain keys reach the mode instead of the focused window. Keys arrive on
/// a thread of the overlay's own; `show` and `hide` may be called from any one thread.
class X11Overlay {
 public:
  using KeyHandler = std::function<void(const OverlayKey&)>;

  /// Connects to `display` (nothing: $DISPLAY); nothing when the server cannot be reached
  /// or has no keyboard extension.
  static std::unique_ptr<X11Overlay> open(const std::optional<std::string>& display,
                                          KeyHandler onKey);
  ~X11Overlay();
  X11Overlay(const X11Overlay&) = delete;
  X11Overlay& operator=(const X11Overlay&) = delete;

  /// Shows the labels in place of the ones shown and holds the keyboard. False when the
  /// keyboard stays held by another client (a menu, a screen locker): nothing is shown.
  bool show(const std::vector<OverlayLabel>& labels);
  /// Takes the labels away and lets the keyboard go.
  void hide();

 private:
  struct Panel {
    xcb_window_t window = 0;
    OverlayLabel label;
    int width = 0;
    int height = 0;
  };

  X11Overlay(std::unique_ptr<X11Connection> connection, std::unique_ptr<X11KeyMapping> mapping,
             KeyHandler onKey);
  void handle(const xcb_generic_event_t& event);
  /// The translation of a key press: nothing for a modifier key alone or a key outside the
  /// key table. Under the lock.
  std::optional<OverlayKey> keyOf(xcb_keycode_t keycode, std::uint16_t state) const;
  bool grabKeyboard();
  Panel makePanel(const OverlayLabel& label);
  void draw(const Panel& panel);
  void destroyPanels();

  std::unique_ptr<X11Connection> connection_;
  std::unique_ptr<X11KeyMapping> mapping_;
  KeyHandler onKey_;
  xcb_visualtype_t* visual_ = nullptr;
  mutable std::mutex mutex_;  // the panels and the map, shared with the event thread
  std::vector<Panel> panels_;
  bool holding_ = false;
  std::unique_ptr<X11KeyEvents> events_;
};

}  // namespace kestles::x11
