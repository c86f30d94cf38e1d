#pragma once

#include <functional>
#include <vector>

#include "KestlesCore/keyboard/ModeLabel.hpp"
#include "KestlesCore/keyboard/TypedKey.hpp"

namespace kestles::platform {

/// The keyboard modes' labels over the desktop, and the keyboard held while they show, so
/// that plain keys reach the mode instead of the focused window.
class Overlay {
 public:
  using KeyHandler = std::function<void(const TypedKey&)>;

  virtual ~Overlay() = default;
  /// Delivers each key typed while labels are shown to `handler`, on a thread of the
  /// overlay's own (the receiver hops to its queue); the handler may show or hide at once.
  /// Set it before the first `show`.
  virtual void onKey(KeyHandler handler) = 0;
  /// Shows the labels in place of the ones shown and holds the keyboard. False when the
  /// keyboard stays held by another program (a menu, a screen locker): nothing is shown.
  virtual bool show(const std::vector<ModeLabel>& labels) = 0;
  /// Takes the labels away and lets the keyboard go.
  virtual void hide() = 0;
};

}  // namespace kestles::platform
