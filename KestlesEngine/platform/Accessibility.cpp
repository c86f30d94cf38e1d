#include "KestlesEngine/platform/Accessibility.hpp"

#include <cmath>
#include <set>

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

namespace {

/// A size within a point of the one asked for already fits.
constexpr double kSizeTolerance = 1.0;

FrameResult failedWith(AXErrorCode error) {
  return {error, std::nullopt};
}

/// The frame read back after a set: position, then size, each with its own error.
FrameResult readBack(Accessibility& ax, AXElement element) {
  auto position = ax.copyValue(element, ax::position);
  const auto* origin = position.value ? std::get_if<CGPoint>(&*position.value) : nullptr;
  if (!origin)
    return failedWith(position.error == ax_error::success ? ax_error::noValue : position.error);
  auto size = ax.copyValue(element, ax::size);
  const auto* extent = size.value ? std::get_if<CGSize>(&*size.value) : nullptr;
  if (!extent) return failedWith(size.error == ax_error::success ? ax_error::noValue : size.error);
  return {ax_error::success, CGRect(*origin, *extent)};
}

FrameResult setFrameByParts(Accessibility& ax, const FrameRequest& request) {
  const auto& target = request.frame;
  const auto& current = request.current;
  bool writeSize = !current || std::fabs(current->width() - target.width()) > kSizeTolerance ||
                   std::fabs(current->height() - target.height()) > kSizeTolerance;
  for (bool sizePass : {true, false, true}) {
    if (sizePass && !writeSize) continue;
    auto error = sizePass ? ax.setSize(request.element, target.size)
                          : ax.setPosition(request.element, target.origin);
    if (error == ax_error::cannotComplete) return failedWith(error);
  }
  return readBack(ax, request.element);
}

}  // namespace

std::vector<FrameResult> Accessibility::setFrames(std::span<const FrameRequest> requests) {
  std::vector<FrameResult> results;
  std::set<std::int32_t> silent;
  for (const auto& request : requests) {
    if (silent.contains(request.pid)) {
      results.push_back(failedWith(ax_error::cannotComplete));
      continue;
    }
    results.push_back(setFrameByParts(*this, request));
    if (results.back().error == ax_error::cannotComplete) silent.insert(request.pid);
  }
  return results;
}

std::vector<std::optional<CGSize>> Accessibility::fittedSizes(
    std::span<const FrameRequest> requests) {
  return std::vector<std::optional<CGSize>>(requests.size());
}

bool Accessibility::raiseInOrder(std::span<const AXElement>, std::optional<AXElement>) {
  return false;
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
