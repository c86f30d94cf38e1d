#include "KestlesCore/display/DisplayShape.hpp"

#include <string>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

std::string_view rawValue(DisplayShape shape) {
  switch (shape) {
    case DisplayShape::laptop:
      return "laptop";
    case DisplayShape::wide:
      return "wide";
    case DisplayShape::ultrawide:
      return "ultrawide";
    case DisplayShape::portrait:
      return "portrait";
  }
  return "laptop";
}

std::optional<DisplayShape> displayShapeFromRawValue(std::string_view raw) {
  for (auto shape : kAllDisplayShapes)
    if (rawValue(shape) == raw) return shape;
  return std::nullopt;
}

std::string_view title(DisplayShape shape) {
  switch (shape) {
    case DisplayShape::laptop:
      return "Built-in";
    case DisplayShape::wide:
      return "Wide";
    case DisplayShape::ultrawide:
      return "Ultrawide";
    case DisplayShape::portrait:
      return "Portrait";
  }
  return "Built-in";
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
