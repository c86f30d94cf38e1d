#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/keyboard/ModeLabel.hpp"
#include "KestlesCore/keyboard/TypedKey.hpp"

namespace kestles::platform {

/// What the overlay shows without holding the keyboard: the outline of the frame a drop would
/// fill or a snap just filled, fainter outlines of the tiles around it, and labels.
struct PassiveMarks {
  std::optional<CGRect> frame;
  std::vector<CGRect> context;
  std::vector<ModeLabel> labels;
  bool operator==(const PassiveMarks&) const = default;
};

/// The keyboard modes' labels over the desktop, and the keyboard held while they show, so
/// that plain keys reach the mode instead of the focused window; and passive marks (the zone
/// under a drag, the snap flash) that leave the keyboard and the pointer to the other programs.
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
  /// Shows the marks in place of the passive marks shown; the labels of a mode and the
  /// keyboard are left as they are. Clicks pass through the marks.
  virtual void showPassive(const PassiveMarks& marks) = 0;
  /// Takes the passive marks away (nothing when none show).
  virtual void hidePassive() = 0;
};

}  // namespace kestles::platform
