#pragma once

#include <cstdint>
#include <optional>

namespace kestles::x11 {

/// Puts the X server's event times (milliseconds, 32 bits, wrapping every 49 days, on the
/// server's clock) on this machine's uptime line, keeping the server's spacing between
/// events. The first event anchors the two clocks; an event that would land in the future
/// or far in the past (a server clock that jumped or drifted) anchors them again.
/// Events keep the order they came in: one that shares the previous event's millisecond is
/// placed a millisecond after it, so that "input since" an event never misses input that
/// followed it within the same millisecond (as synthetic input does).
class X11KeyTimeline {
 public:
  /// How far behind the moment of receipt an event may be placed before re-anchoring.
  static constexpr double kMaxLag = 1.0;
  /// The least spacing between two events on the line.
  static constexpr double kStep = 0.001;

  /// The event's time in seconds of uptime, given the server time and the uptime at which
  /// the event was received.
  double place(std::uint32_t serverTime, double receivedAt);

 private:
  struct Anchor {
    std::uint32_t serverTime;
    double uptime;
  };
  std::optional<Anchor> anchor_;
  std::optional<double> last_;
};

}  // namespace kestles::x11
