#pragma once

#include <optional>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// The smallest size a window takes; a zero side has no limit.
struct MinimumSize {
  double width = 0;
  double height = 0;
  bool operator==(const MinimumSize&) const = default;
};

/// The largest size a window takes; a zero side has no limit.
struct MaximumSize {
  double width = 0;
  double height = 0;
  bool operator==(const MaximumSize&) const = default;
};

/// How far a window's size may differ from the one asked before it teaches a limit.
inline constexpr double kLearningTolerance = 24;

/// The limits a window was seen to keep.
struct SizeLimits {
  MinimumSize minimum;
  MaximumSize maximum;

  /// The frame a window with these limits really takes when asked for `frame`: its size
  /// limited, landed on the frame within the visible frame; the frame itself when the
  /// limits change it by half a point or less.
  CGRect applied(const CGRect& frame, const CGRect& within) const;

  /// The limits after a window asked for `requested` came out at `actual`: a new minimum
  /// on a side that came out more than 24 points larger, a maximum on one that came out
  /// more than 24 smaller; when forgetting, a maximum overshot by more than 24 is dropped.
  /// Nothing when nothing changes.
  std::optional<SizeLimits> learning(CGSize requested, CGSize actual, bool forgetting) const;

  bool operator==(const SizeLimits&) const = default;
};

/// Where a window of `size` sits centred on `target` without leaving `visible`.
CGRect landing(CGSize size, const CGRect& target, const CGRect& visible);

/// Keys "width" and "height"; reading throws for anything but an object.
void to_json(nlohmann::json& json, const MinimumSize& size);
void from_json(const nlohmann::json& json, MinimumSize& size);
void to_json(nlohmann::json& json, const MaximumSize& size);
void from_json(const nlohmann::json& json, MaximumSize& size);
/// Flat: "width" and "height" for the minimum (always written), "maxWidth" and
/// "maxHeight" for the maximum (written when above 0); an unreadable value is 0, and
/// reading throws for anything but an object.
void to_json(nlohmann::json& json, const SizeLimits& limits);
void from_json(const nlohmann::json& json, SizeLimits& limits);

}  // namespace kestles
