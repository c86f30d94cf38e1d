#pragma once

#include <array>
#include <optional>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// The axis along which a container lays out its children.
enum class Split {
  columns,  // side by side, left to right, sharing the width
  rows,     // stacked, top to bottom, sharing the height
};

inline constexpr std::array<Split, 2> kAllSplits{Split::columns, Split::rows};

/// The raw value stored in files ("columns", "rows").
std::string_view rawValue(Split split);

/// The split of a raw value, or nothing.
std::optional<Split> splitFromRawValue(std::string_view raw);

/// The other axis.
inline Split toggled(Split split) {
  return split == Split::columns ? Split::rows : Split::columns;
}

/// The raw value; reading throws on any other text.
void to_json(nlohmann::json& json, Split split);
void from_json(const nlohmann::json& json, Split& split);

}  // namespace kestles
