#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "KestlesCore/session/DropPlan.hpp"
#include "KestlesCore/snap/SnapFlash.hpp"
#include "KestlesEngine/platform/Overlay.hpp"
#include "KestlesEngine/platform/Time.hpp"

namespace kestles::app {

/// What snapping shows on the overlay without taking the keyboard: the zone a drag aims at
/// while it lasts, and the flash after a snap, which goes by itself. Main context only; the
/// timers run their work there.
class SnapFeedback {
 public:
  /// How long the flash stays: long enough to read a short label, short enough not to be in
  /// the way of the next key.
  static constexpr platform::Duration kFlash = std::chrono::milliseconds(700);

  SnapFeedback(platform::Overlay& overlay, platform::Timers& timers);
  ~SnapFeedback();
  SnapFeedback(const SnapFeedback&) = delete;
  SnapFeedback& operator=(const SnapFeedback&) = delete;

  /// Shows the label on its frame with the tiles around it, in place of anything shown, and
  /// takes it away after `kFlash`.
  void flash(const SnapFlash::Shown& shown);
  /// Shows the zone a drop would fill now (nothing: takes the zone away); a zone equal to the
  /// one shown is not drawn again.
  void aim(const std::optional<DropPlan::Zone>& zone);

 private:
  void show(const platform::PassiveMarks& marks);
  void clear();

  platform::Overlay& overlay_;
  platform::Timers& timers_;
  std::optional<platform::PassiveMarks> shown_;
  std::optional<std::uint64_t> flashTimer_;
  // A timer that fired just as it was cancelled may still run: it hides only its own flash,
  // and nothing once this object is gone.
  std::uint64_t flashes_ = 0;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace kestles::app
