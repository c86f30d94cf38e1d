#pragma once

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/Split.hpp"
#include "KestlesCore/model/UUID.hpp"

namespace kestles {

/// A freely drawn tile, placed by fractions (0 to 1) of the visible frame, y down.
struct DrawnTile {
  UUID id;  // nil by default; `make` draws a fresh one
  CGRect unit;

  /// A new tile at the unit rectangle with a fresh random id.
  static DrawnTile make(CGRect unit) { return {UUID::random(), unit}; }

  /// Flipped left to right along columns (x = 1 − maxX), top to bottom along rows.
  DrawnTile flipped(Split axis) const;

  bool operator==(const DrawnTile&) const = default;
};

/// Keys "id" (a missing one gets a fresh id) and "unit" (required).
void to_json(nlohmann::json& json, const DrawnTile& tile);
void from_json(const nlohmann::json& json, DrawnTile& tile);

}  // namespace kestles

/// The id and the unit rectangle's four numbers, consistent with `==`.
template <>
struct std::hash<kestles::DrawnTile> {
  std::size_t operator()(const kestles::DrawnTile& tile) const noexcept;
};
