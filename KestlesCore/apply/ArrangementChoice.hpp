#pragma once

#include <optional>

#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/library/Kestle.hpp"

namespace kestles {

/// The arrangement a kestle offers for a set of connected displays.
struct ArrangementChoice {
  Arrangement arrangement;
  bool isDerived = false;  // made from the kestle's arrangements for other display sets

  /// The arrangement stored under the setup's fingerprint, else one derived from the
  /// kestle's other arrangements; nothing when neither exists.
  static std::optional<ArrangementChoice> forSetup(const Kestle& kestle, const DisplaySetup& setup);

  /// An arrangement for the setup made from the kestle's stored ones, whatever their
  /// fingerprints. Each stored arrangement's screens are matched to the connected displays
  /// (`DisplayKind::Fit`): first every screen to the display with its own id, then the
  /// rest to a display of similar aspect, then to any display left, each display taking
  /// one screen, displays in `ordered` order. The stored arrangement with the most `same`
  /// matches wins, then the most `similar`, then the most screens matched, then the fewest
  /// screens left over; ties go to the first fingerprint in sorted order. Its matched
  /// screens, in their own order, are carried over to their displays with their shapes,
  /// layouts and pins; a screen moved to a display of the other orientation has its tiles
  /// transposed and no layout. Nothing when no screen finds a display.
  static std::optional<Arrangement> derived(const Kestle& kestle, const DisplaySetup& setup);

  bool operator==(const ArrangementChoice&) const = default;
};

}  // namespace kestles
