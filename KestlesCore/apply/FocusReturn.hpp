#pragma once

#include <optional>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/library/Kestle.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/model/UUID.hpp"

namespace kestles {

/// A memory that lets the app go back to the kestle that was current before it switched
/// kestles on the user's behalf.
struct FocusReturn {
  bool isArmed = false;         // a kestle was switched with the wish to come back
  std::optional<UUID> before;   // current when the memory was armed
  std::optional<UUID> applied;  // switched to last

  /// Notes a switch to the kestle and returns it to apply, or nothing when it is current
  /// already. With rules off or an unknown kestle nothing changes. `remember` arms the
  /// memory (keeping the first `before`); without it the memory is disarmed.
  std::optional<Kestle> switchTo(const UUID& kestleID, bool remember, const Library& library);

  /// The kestle to go back to: `before`, when the memory is armed, rules are on and the
  /// kestle switched to is still current. Always clears the memory.
  std::optional<Kestle> comeBack(const Library& library);

  bool operator==(const FocusReturn&) const = default;
};

/// Keys "isArmed", and "before" and "applied" when present; reading takes what it can and
/// leaves the rest at its initial value.
void to_json(nlohmann::json& json, const FocusReturn& memory);
void from_json(const nlohmann::json& json, FocusReturn& memory);

}  // namespace kestles
