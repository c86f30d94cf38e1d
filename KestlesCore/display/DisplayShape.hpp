#pragma once

#include <optional>
#include <span>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// The kind of a display that templates, tiling memory and suggestions are chosen for.
enum class DisplayShape { laptop, wide, ultrawide, portrait };

/// Every shape, in case order.
std::span<const DisplayShape> allDisplayShapes();

/// The raw value stored in files ("ultrawide").
std::string_view rawValue(DisplayShape shape);

/// The shape of a raw value, or nothing.
std::optional<DisplayShape> displayShapeFromRawValue(std::string_view raw);

/// The title shown to users ("Built-in" for a laptop).
std::string_view title(DisplayShape shape);

/// The shape of a display with this frame size: portrait when taller than wide, ultrawide
/// from a 2:1 ratio, else laptop for the built-in panel and wide for the rest.
DisplayShape displayShape(double width, double height, bool isBuiltIn);

/// The raw value; reading throws on any other text.
void to_json(nlohmann::json& json, DisplayShape shape);
void from_json(const nlohmann::json& json, DisplayShape& shape);

}  // namespace kestles
