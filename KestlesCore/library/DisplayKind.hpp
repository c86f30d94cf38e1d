#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/display/DisplayInfo.hpp"

namespace kestles {

/// What kind of display something was made on, so that it can be matched to another.
/// JSON keys "displayID", "name", "isBuiltIn", "aspect"; all four are required.
struct DisplayKind {
  /// How well a connected display matches a kind, best first.
  enum class Fit { same, similar, other };

  std::string displayID;
  std::string name;
  bool isBuiltIn = false;
  double aspect = 1;  // width / height

  /// The kind of a connected display; the aspect is 1 when the height is not positive.
  static DisplayKind of(const DisplayInfo& display);

  /// `same` for the same display id, `similar` when the aspects differ by at most 8 % of
  /// this kind's aspect, else `other` (always `other` for a non-positive aspect).
  Fit fit(const DisplayInfo& display) const;

  bool operator==(const DisplayKind&) const = default;
};

void to_json(nlohmann::json& json, const DisplayKind& kind);
void from_json(const nlohmann::json& json, DisplayKind& kind);

}  // namespace kestles

template <>
struct std::hash<kestles::DisplayKind> {
  std::size_t operator()(const kestles::DisplayKind& kind) const noexcept {
    std::size_t seed = std::hash<std::string>()(kind.displayID);
    seed = seed * 31 + std::hash<std::string>()(kind.name);
    seed = seed * 31 + std::hash<bool>()(kind.isBuiltIn);
    return seed * 31 + std::hash<double>()(kind.aspect);
  }
};
