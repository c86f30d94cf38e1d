#include "KestlesCore/display/DisplaySetup.hpp"

#include <algorithm>

#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

/// How far a value lies outside [min, max]; 0 inside.
double distanceOutside(double value, double min, double max) {
  if (value < min) return min - value;
  if (value > max) return value - max;
  return 0;
}

double squaredDistance(const CGRect& frame, CGPoint point) {
  double dx = distanceOutside(point.x, frame.minX(), frame.maxX());
  double dy = distanceOutside(point.y, frame.minY(), frame.maxY());
  return dx * dx + dy * dy;
}

template <class Predicate>
std::optional<DisplayInfo> firstWhere(const std::vector<DisplayInfo>& displays, Predicate test) {
  auto found = std::find_if(displays.begin(), displays.end(), test);
  if (found == displays.end()) return std::nullopt;
  return *found;
}

}  // namespace

std::optional<DisplayInfo> DisplaySetup::display(CGPoint point) const {
  if (auto holder = firstWhere(displays, [&](auto& d) { return d.frame.contains(point); }))
    return holder;
  const DisplayInfo* nearest = nullptr;
  double best = 0;
  for (const auto& candidate : displays) {
    double distance = squaredDistance(candidate.frame, point);
    if (!nearest || distance < best) {
      nearest = &candidate;
      best = distance;
    }
  }
  if (!nearest) return std::nullopt;
  return *nearest;
}

std::optional<DisplayInfo> DisplaySetup::display(const CGRect& frame) const {
  const DisplayInfo* largest = nullptr;
  double best = 0;
  for (const auto& candidate : displays) {
    double area = candidate.frame.intersectionArea(frame);
    if (!largest || area > best) {
      largest = &candidate;
      best = area;
    }
  }
  if (!largest) return std::nullopt;
  if (best > 0) return *largest;
  return display(frame.center());
}

std::optional<DisplayInfo> DisplaySetup::displayWithID(std::string_view id) const {
  return firstWhere(displays, [&](auto& d) { return d.id == id; });
}

std::optional<DisplayInfo> DisplaySetup::matching(std::string_view text) const {
  auto trimmedText = text::trimmed(text);
  if (trimmedText.empty()) return std::nullopt;
  if (auto byID = displayWithID(trimmedText)) return byID;
  auto key = text::normalized(text);
  if (key == "builtin" || key == "internal" || key == "laptop")
    return firstWhere(displays, [](auto& d) { return d.isBuiltIn; });
  if (key == "main") return firstWhere(displays, [](auto& d) { return d.isMain; });
  auto index = text::matchName(text, displays, [](const DisplayInfo& d) { return d.name; });
  if (!index) return std::nullopt;
  return displays[*index];
}

std::optional<DisplayInfo> DisplaySetup::fallback() const {
  if (auto main = firstWhere(displays, [](auto& d) { return d.isMain; })) return main;
  if (displays.empty()) return std::nullopt;
  return displays.front();
}

std::optional<DisplayInfo> DisplaySetup::active(const std::optional<CGRect>& focusedFrame) const {
  if (focusedFrame)
    if (auto shown = display(*focusedFrame)) return shown;
  return fallback();
}

std::vector<DisplayInfo> DisplaySetup::ordered() const {
  auto sorted = displays;
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
    if (a.isBuiltIn != b.isBuiltIn) return a.isBuiltIn;
    return a.frame.minX() < b.frame.minX();
  });
  return sorted;
}

std::string DisplaySetup::fingerprint() const {
  std::vector<std::string> ids;
  ids.reserve(displays.size());
  for (const auto& d : displays)
    ids.push_back(d.id);
  std::sort(ids.begin(), ids.end());
  return text::joined(ids, "+");
}

std::string DisplaySetup::title() const {
  std::vector<std::string> names;
  for (const auto& d : ordered())
    names.push_back(d.name);
  return text::joined(names, " + ");
}

}  // namespace kestles

std::size_t std::hash<kestles::DisplaySetup>::operator()(
    const kestles::DisplaySetup& setup) const noexcept {
  std::size_t seed = std::hash<std::size_t>{}(setup.displays.size());
  for (const auto& d : setup.displays)
    seed ^= std::hash<std::string>{}(d.id) + 0x9E3779B97F4A7C15ULL + (seed << 6) + (seed >> 2);
  return seed;
}
