#include "KestlesEngine/platform/Accessibility.hpp"

#include <cmath>

namespace kestles::platform {

std::optional<AXValue> Accessibility::value(AXElement element, std::string_view name) {
  auto read = copyValue(element, name);
  if (read.error != ax_error::success) return std::nullopt;
  return read.value;
}

std::optional<std::string> Accessibility::string(AXElement element, std::string_view name) {
  auto read = value(element, name);
  if (auto text = read ? std::get_if<std::string>(&*read) : nullptr) return *text;
  return std::nullopt;
}

std::optional<bool> Accessibility::boolean(AXElement element, std::string_view name) {
  auto read = value(element, name);
  if (!read) return std::nullopt;
  if (auto flag = std::get_if<bool>(&*read)) return *flag;
  if (auto number = std::get_if<double>(&*read)) return *number != 0;
  return std::nullopt;
}

std::optional<AXElement> Accessibility::element(AXElement element, std::string_view name) {
  auto read = value(element, name);
  if (auto found = read ? std::get_if<AXElement>(&*read) : nullptr) return *found;
  return std::nullopt;
}

std::vector<AXElement> Accessibility::elements(AXElement element, std::string_view name) {
  auto read = value(element, name);
  if (auto list = read ? std::get_if<std::vector<AXElement>>(&*read) : nullptr) return *list;
  return {};
}

bool Accessibility::isSettable(AXElement element, std::string_view name) {
  return attributeIsSettable(element, name).value_or(false);
}

std::optional<CGPoint> Accessibility::position(AXElement element) {
  auto read = value(element, ax::position);
  if (auto point = read ? std::get_if<CGPoint>(&*read) : nullptr) return *point;
  return std::nullopt;
}

std::optional<CGSize> Accessibility::size(AXElement element) {
  auto read = value(element, ax::size);
  if (auto found = read ? std::get_if<CGSize>(&*read) : nullptr) return *found;
  return std::nullopt;
}

std::optional<CGRect> Accessibility::frame(AXElement element) {
  auto origin = position(element);
  if (!origin) return std::nullopt;
  auto extent = size(element);
  if (!extent) return std::nullopt;
  return CGRect(*origin, *extent);
}

std::vector<std::optional<AXValue>> Accessibility::values(AXElement element,
                                                          std::span<const std::string_view> names) {
  auto read = copyValues(element, names);
  if (!read || read->size() != names.size())
    return std::vector<std::optional<AXValue>>(names.size());
  for (auto& entry : *read)
    if (entry && std::holds_alternative<AXErrorValue>(*entry)) entry.reset();
  return std::move(*read);
}

AXErrorCode Accessibility::setPosition(AXElement element, CGPoint point) {
  if (!std::isfinite(point.x) || !std::isfinite(point.y)) return ax_error::illegalArgument;
  return setValue(element, ax::position, AXValue{point});
}

AXErrorCode Accessibility::setSize(AXElement element, CGSize extent) {
  if (!std::isfinite(extent.width) || !std::isfinite(extent.height))
    return ax_error::illegalArgument;
  return setValue(element, ax::size, AXValue{extent});
}

}  // namespace kestles::platform
