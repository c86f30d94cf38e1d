#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace kestles::platform {

/// The platform's global hot keys: registrations delivered as events to one handler.
class HotKeyService {
 public:
  /// The identity given to the platform with a registration.
  struct HotKeyID {
    std::uint32_t signature = 0;
    std::uint32_t id = 0;
    bool operator==(const HotKeyID&) const = default;
  };
  /// One hot-key event: the identity read from it, or the status of the failed read.
  struct Event {
    std::optional<HotKeyID> hotKey;
    std::int32_t status = 0;
  };
  /// Answers an event (null: no event) with a status; 0 means handled.
  using Handler = std::function<std::int32_t(const Event* event)>;
  /// A registration's status and, when it succeeded, its reference.
  struct Registration {
    std::int32_t status = 0;
    std::optional<std::uint64_t> ref;
  };

  /// Statuses of a failed registration that every desktop reports alike.
  /// A combination another program holds ("hot key exists").
  static constexpr std::int32_t kKeyHeld = -9878;
  /// A key the desktop has no key or name for ("invalid hot key").
  static constexpr std::int32_t kKeyUnknown = -9879;
  /// An unknown registration reference.
  static constexpr std::int32_t kRefUnknown = -50;
  /// The desktop went away ("internal error"): nothing can be registered any more.
  static constexpr std::int32_t kDesktopGone = -9868;
  /// The desktop takes no hot keys (yet).
  static constexpr std::int32_t kNoHotKeys = -4;

  virtual ~HotKeyService() = default;
  /// Installs the handler for hot-key presses; the platform's status.
  virtual std::int32_t installHandler(Handler handler) = 0;
  virtual Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                      HotKeyID id) = 0;
  virtual std::int32_t unregisterHotKey(std::uint64_t ref) = 0;
};

}  // namespace kestles::platform
