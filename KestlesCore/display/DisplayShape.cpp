#include "KestlesCore/display/DisplayShape.hpp"

#include <string>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/model/EnumTable.hpp"

namespace kestles {
namespace {

struct ShapeWords {
  DisplayShape value;
  std::string_view raw;
  std::string_view title;
};

constexpr EnumTable kShapes{std::to_array<ShapeWords>({
    {DisplayShape::laptop, "laptop", "Built-in"},
    {DisplayShape::wide, "wide", "Wide"},
    {DisplayShape::ultrawide, "ultrawide", "Ultrawide"},
    {DisplayShape::portrait, "portrait", "Portrait"},
})};

}  // namespace

std::span<const DisplayShape> allDisplayShapes() {
  return kShapes.cases();
}

std::string_view rawValue(DisplayShape shape) {
  return kShapes[shape].raw;
}

std::optional<DisplayShape> displayShapeFromRawValue(std::string_view raw) {
  return kShapes.find(&ShapeWords::raw, raw);
}

std::string_view title(DisplayShape shape) {
  return kShapes[shape].title;
}

DisplayShape displayShape(double width, double height, bool isBuiltIn) {
  if (width < height) return DisplayShape::portrait;
  if (height > 0 && width / height >= 2.0) return DisplayShape::ultrawide;
  return isBuiltIn ? DisplayShape::laptop : DisplayShape::wide;
}

void to_json(nlohmann::json& json, DisplayShape shape) {
  json = std::string(rawValue(shape));
}

void from_json(const nlohmann::json& json, DisplayShape& shape) {
  auto read = displayShapeFromRawValue(coding::decode<std::string>(json));
  if (!read) throw coding::DecodeError("Unknown display shape.");
  shape = *read;
}

}  // namespace kestles
