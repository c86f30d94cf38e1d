#pragma once

#include <cstdint>
#include <functional>

namespace kestles::platform {

/// A change of the modifier keys held, as the input system reports it.
struct FlagsChangedEvent {
  std::uint16_t keyCode = 0;        // the key that changed
  std::uint64_t modifierFlags = 0;  // the device-independent modifier flags now held
  double timestamp = 0;             // seconds since the system started
};

/// The kinds of input that count as "other input" between two taps.
enum class InputKind {
  keyDown = 10,
  leftMouseDown = 1,
  rightMouseDown = 3,
  otherMouseDown = 25,
  scrollWheel = 22
};

/// Modifier changes anywhere on the desktop, and when input of a kind last came.
class InputMonitor {
 public:
  using Handler = std::function<void(const FlagsChangedEvent&)>;
  virtual ~InputMonitor() = default;
  /// Calls `handler` for every modifier change, whichever app is in front; returns a token.
  virtual std::uint64_t addFlagsChangedMonitor(Handler handler) = 0;
  virtual void removeMonitor(std::uint64_t token) = 0;
  /// Seconds since the system started, on the events' time line.
  virtual double systemUptime() = 0;
  /// Seconds since the last input of the kind, of the whole session.
  virtual double secondsSinceLastEvent(InputKind kind) = 0;
};

}  // namespace kestles::platform
