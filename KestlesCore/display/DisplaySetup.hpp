#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"

namespace kestles {

/// All connected displays, in the order the engine listed them.
struct DisplaySetup {
  std::vector<DisplayInfo> displays;

  /// The first display containing the point, else the nearest (earlier wins ties);
  /// nothing only when there are no displays.
  std::optional<DisplayInfo> display(CGPoint point) const;
  /// The display showing most of the frame (earlier wins ties), else the display at the
  /// frame's centre; nothing only when there are no displays.
  std::optional<DisplayInfo> display(const CGRect& frame) const;
  /// The first display whose id equals the text exactly.
  std::optional<DisplayInfo> displayWithID(std::string_view id) const;
  /// The display a user names: its id, "built-in"/"internal"/"laptop", "main", or the
  /// name rule over display names.
  std::optional<DisplayInfo> matching(std::string_view text) const;
  /// The main display, else the first one.
  std::optional<DisplayInfo> fallback() const;
  /// The display that counts as current: the one showing the focused window's frame, else
  /// the fallback; nothing only when there are no displays.
  std::optional<DisplayInfo> active(const std::optional<CGRect>& focusedFrame) const;
  /// Built-in first, then left to right by minimum x; ties keep listing order.
  std::vector<DisplayInfo> ordered() const;
  /// The sorted ids joined with "+": the same for the same set of displays.
  std::string fingerprint() const;
  /// The ordered names joined with " + ".
  std::string title() const;

  bool operator==(const DisplaySetup&) const = default;
};

}  // namespace kestles

/// Combines the number of displays and their ids in order.
template <>
struct std::hash<kestles::DisplaySetup> {
  std::size_t operator()(const kestles::DisplaySetup& setup) const noexcept;
};
