#pragma once

#include <cstdint>
#include <optional>

namespace kestles::platform {

/// The system's own keyboard shortcuts (symbolic hot keys, numbered), read and switched
/// through entry points that a system may not have.
class SymbolicHotKeySource {
 public:
  /// A shortcut's key: the character it stands for, the virtual key code (0xFFFF: none) and
  /// the device-independent modifier flags.
  struct Value {
    std::uint16_t keyEquivalent = 0;
    std::uint16_t keyCode = 0;
    std::uint32_t modifiers = 0;
  };
  /// A read's status (0: success) and, on success, the value.
  struct Reading {
    std::int32_t status = 0;
    Value value;
  };

  virtual ~SymbolicHotKeySource() = default;
  /// Whether both the value reader and the enabled check exist.
  virtual bool canRead() = 0;
  /// Whether the switch exists.
  virtual bool canSwitch() = 0;
  /// The shortcut's value; only called when `canRead`.
  virtual Reading value(std::int32_t id) = 0;
  /// Whether the shortcut is on; only called when `canRead`.
  virtual bool isEnabled(std::int32_t id) = 0;
  /// Turns the shortcut on or off; the status, 0 on success. Only called when `canSwitch`.
  virtual std::int32_t setEnabled(std::int32_t id, bool on) = 0;
};

}  // namespace kestles::platform
