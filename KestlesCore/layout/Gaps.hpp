#pragma once

#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/layout/GapsChange.hpp"

namespace kestles {

/// The room between tiles (`inner`) and between tiles and the visible frame's edge
/// (`outer`), in points.
struct Gaps {
  double inner = 8;
  double outer = 8;

  /// Both gaps set to the changed value: `points` as given, `wider` and `narrower` one
  /// 4-point step from the inner gap, clamped to [0, 24]. Nothing when both already have it.
  std::optional<Gaps> applying(const GapsChange& change) const;

  /// "No Gaps", "Gaps 8 pt", or for unequal gaps "Gaps 8 → 4 pt".
  std::string title() const;

  bool operator==(const Gaps&) const = default;
};

/// The title of one gap value: "No Gaps" for 0, else "Gaps 8 pt".
std::string gapTitle(double value);

/// Keys "inner" and "outer"; on reading, a missing or non-numeric value is 8 and every
/// value is clamped to [0, 24].
void to_json(nlohmann::json& json, const Gaps& gaps);
void from_json(const nlohmann::json& json, Gaps& gaps);

}  // namespace kestles
