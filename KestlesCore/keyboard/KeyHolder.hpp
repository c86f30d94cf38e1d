#pragma once

#include <optional>
#include <unordered_set>
#include <variant>
#include <vector>

#include "KestlesCore/keyboard/SystemShortcut.hpp"
#include "KestlesCore/keys/KeyCombo.hpp"

namespace kestles {

/// Who holds a combination that the system could not register.
struct KeyHolder {
  /// An operating-system shortcut that is on.
  struct System {
    SystemShortcut shortcut;
    bool operator==(const System&) const = default;
  };
  /// Another app registered it first.
  struct OtherApp {
    bool operator==(const OtherApp&) const = default;
  };
  std::variant<System, OtherApp> value;

  static KeyHolder macOS(SystemShortcut shortcut) { return {System{std::move(shortcut)}}; }
  static KeyHolder otherApp() { return {OtherApp{}}; }

  /// The system shortcut that is on with that combination; else another app when the
  /// combination is among those known to be held elsewhere; else nothing. A system shortcut
  /// that is off holds nothing, so a failed registration then points at another app.
  static std::optional<KeyHolder> holder(const KeyCombo& combo,
                                         const std::vector<SystemShortcut>& shortcuts,
                                         const std::unordered_set<KeyCombo>& heldElsewhere);

  bool operator==(const KeyHolder&) const = default;
};

}  // namespace kestles
