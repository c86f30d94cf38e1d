#pragma once

#include <functional>
#include <optional>

#include "KestlesCore/keyboard/DoubleTap.hpp"
#include "KestlesEngine/platform/InputMonitor.hpp"

namespace kestles::engine {

/// Calls `onDoubleTap` when Control alone is pressed twice in quick succession with no
/// other input in between. Main thread only.
class DoubleControlMonitor {
 public:
  /// The modifier flags that count: every device-independent one but Caps Lock, Fn, Help.
  static constexpr std::uint64_t kModifierMask = 0xFF5E0000;
  static constexpr std::uint64_t kControlFlag = 0x40000;

  DoubleControlMonitor(platform::InputMonitor& input, std::function<void()> onDoubleTap);
  ~DoubleControlMonitor();
  DoubleControlMonitor(const DoubleControlMonitor&) = delete;
  DoubleControlMonitor& operator=(const DoubleControlMonitor&) = delete;

  void start();
  void stop();
  /// Feeds one modifier change to the detector.
  void handle(const platform::FlagsChangedEvent& event);
  /// Whether a key, a click or a scroll came after the instant (seconds of uptime).
  bool otherInputSince(double time);

 private:
  platform::InputMonitor& input_;
  std::function<void()> onDoubleTap_;
  DoubleTap detector_;
  std::optional<std::uint64_t> monitor_;
};

}  // namespace kestles::engine
