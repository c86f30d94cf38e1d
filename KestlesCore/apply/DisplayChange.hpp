#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/apply/RuleAction.hpp"
#include "KestlesCore/display/DisplaySetup.hpp"
#include "KestlesCore/library/DisplayKind.hpp"
#include "KestlesCore/library/Library.hpp"

namespace kestles {

/// Displays that came or went: the setup now, the displays new to it, and the kinds of
/// the displays that left.
struct DisplayChange {
  DisplaySetup setup;
  std::vector<DisplayInfo> connected;     // in the order of `setup`
  std::vector<DisplayKind> disconnected;  // in the previous order

  /// The change from one setup to another; nothing when both hold the same display ids
  /// (order, names and frames are not compared).
  static std::optional<DisplayChange> make(const DisplaySetup& previous, const DisplaySetup& now);

  /// The notice: "<name> connected" or "<n> displays connected" when any display came,
  /// else "<name> disconnected" or "<n> displays disconnected".
  std::string title() const;

  /// What to do: adapt the current kestle when it can be (and nothing else); else the
  /// remembered tilings of connected displays come back, and, with no kestle current,
  /// each new display without a returning tiling gets its first rule's layout.
  std::vector<RuleAction> ruleActions(const std::vector<Tiling>& remembered,
                                      const Library& library) const;

  bool operator==(const DisplayChange&) const = default;
};

}  // namespace kestles

/// Combines the setup's hash, the connected ids and the disconnected kinds.
template <>
struct std::hash<kestles::DisplayChange> {
  std::size_t operator()(const kestles::DisplayChange& change) const noexcept;
};
