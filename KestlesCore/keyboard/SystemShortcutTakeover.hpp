#pragma once

#include <set>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/keyboard/SystemShortcut.hpp"

namespace kestles {

/// The system shortcuts that were turned off because they clash, so that exactly those are
/// turned back on.
struct SystemShortcutTakeover {
  /// What to write to the system's shortcut settings.
  struct Change {
    std::set<int> turnOff;
    std::set<int> turnOn;
    bool operator==(const Change&) const = default;
  };

  std::set<int> turnedOff;  // symbolic hot key ids

  /// Wanted off: the clashing shortcuts' ids while `takes`, else none. Turns off what is
  /// wanted and not yet off, turns on what is off and no longer wanted, and remembers the
  /// wanted set.
  Change update(const std::vector<SystemShortcut>& clashing, bool takes);

  /// The remembered shortcuts that are still off, with `isOn` set, to be written back;
  /// those the user already turned on again, or that are gone, are not returned. Everything
  /// is forgotten afterwards: the returned ones are on again, and a later `update` must turn
  /// them off anew.
  std::vector<SystemShortcut> restore(const std::vector<SystemShortcut>& current);

  bool operator==(const SystemShortcutTakeover&) const = default;
};

/// {"turnedOff": [ids]}; reading skips items that are not integers.
void to_json(nlohmann::json& json, const SystemShortcutTakeover& takeover);
void from_json(const nlohmann::json& json, SystemShortcutTakeover& takeover);

}  // namespace kestles
