#pragma once

#include <cstdint>
#include <set>
#include <span>
#include <string_view>
#include <vector>

#include "KestlesCore/keys/KeyCombo.hpp"
#include "KestlesEngine/platform/LogSink.hpp"
#include "KestlesEngine/platform/SymbolicHotKeySource.hpp"

namespace kestles::engine {

/// The system's own keyboard shortcuts that may clash with ours: reading them and turning
/// them off and on. Stateless; a system without the entry points reports nothing and
/// changes nothing.
class SystemHotKeys {
 public:
  /// One system shortcut as it is set now.
  struct Entry {
    std::int32_t id = 0;
    KeyCombo combo;               // key code and the modifiers in the core's bits
    std::uint32_t modifiers = 0;  // the device-independent flags as the system keeps them
    bool enabled = false;
    bool operator==(const Entry&) const = default;
  };

  /// The name of the notification that tells the app its hot keys changed.
  static constexpr std::string_view kHotKeyChangedNotification =
      "OakhollowNotificationHotKeyChanged";

  SystemHotKeys(platform::SymbolicHotKeySource& source, platform::LogSink& log)
      : source_(source), log_(log) {}

  /// The shortcuts among `ids` (the ids the core's system-shortcut table names) that have a
  /// key; those that cannot be read or have no key are left out.
  std::vector<Entry> current(std::span<const std::int32_t> ids);
  /// Turns the shortcuts on or off; the ids whose switch succeeded. Ids outside signed
  /// 32 bits are skipped.
  std::set<std::int64_t> setEnabled(std::span<const std::int64_t> ids, bool on);
  /// Turns one shortcut on or off; false when it failed or the switch does not exist.
  bool setEnabled(std::int64_t id, bool on);

 private:
  platform::SymbolicHotKeySource& source_;
  platform::LogSink& log_;
};

}  // namespace kestles::engine
