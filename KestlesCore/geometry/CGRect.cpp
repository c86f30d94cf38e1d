#include "KestlesCore/geometry/CGRect.hpp"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

#include "KestlesCore/coding/JSONNumber.hpp"

namespace kestles {
namespace {

/// An inset of one axis: both edges move inward, a negative length collapses on the middle.
std::pair<double, double> insetAxis(double min, double max, double by) {
  double low = min + by;
  double high = max - by;
  if (high >= low) return {low, high - low};
  return {(min + max) * 0.5, 0.0};
}

/// Two numbers in a two-element array.
std::pair<double, double> readPair(const nlohmann::json& json) {
  if (!json.is_array() || json.size() != 2)
    throw coding::DecodeError("Expected an array of two numbers.");
  return {readNumber(json[0]), readNumber(json[1])};
}

}  // namespace

bool CGRect::contains(CGPoint point) const {
  return point.x >= minX() && point.x < maxX() && point.y >= minY() && point.y < maxY();
}

bool CGRect::contains(const CGRect& other) const {
  return !isEmpty() && other.minX() >= minX() && other.maxX() <= maxX() && other.minY() >= minY() &&
         other.maxY() <= maxY();
}

std::optional<CGRect> CGRect::intersection(const CGRect& other) const {
  double left = std::fmax(minX(), other.minX());
  double right = std::fmin(maxX(), other.maxX());
  double top = std::fmax(minY(), other.minY());
  double bottom = std::fmin(maxY(), other.maxY());
  if (right < left || bottom < top) return std::nullopt;
  return CGRect(left, top, right - left, bottom - top);
}

double CGRect::intersectionArea(const CGRect& other) const {
  auto overlap = intersection(other);
  return overlap ? overlap->area() : 0.0;
}

CGRect CGRect::insetBy(double dx, double dy) const {
  auto [x, width] = insetAxis(minX(), maxX(), dx);
  auto [y, height] = insetAxis(minY(), maxY(), dy);
  return {x, y, width, height};
}

CGRect CGRect::unionWith(const CGRect& other) const {
  double left = std::fmin(minX(), other.minX());
  double top = std::fmin(minY(), other.minY());
  return {left, top, std::fmax(maxX(), other.maxX()) - left, std::fmax(maxY(), other.maxY()) - top};
}

CGRect CGRect::rounded() const {
  double x = roundedHalfAwayFromZero(minX());
  double y = roundedHalfAwayFromZero(minY());
  return {x, y, roundedHalfAwayFromZero(maxX()) - x, roundedHalfAwayFromZero(maxY()) - y};
}

void to_json(nlohmann::json& json, const CGPoint& point) {
  json = nlohmann::json::array({jsonNumber(point.x), jsonNumber(point.y)});
}

void from_json(const nlohmann::json& json, CGPoint& point) {
  auto [x, y] = readPair(json);
  point = {x, y};
}

void to_json(nlohmann::json& json, const CGSize& size) {
  json = nlohmann::json::array({jsonNumber(size.width), jsonNumber(size.height)});
}

void from_json(const nlohmann::json& json, CGSize& size) {
  auto [width, height] = readPair(json);
  size = {width, height};
}

void to_json(nlohmann::json& json, const CGRect& rect) {
  json = nlohmann::json::array({rect.origin, rect.size});
}

void from_json(const nlohmann::json& json, CGRect& rect) {
  if (!json.is_array() || json.size() != 2)
    throw coding::DecodeError("Expected a rectangle as [[x, y], [width, height]].");
  rect = {coding::decode<CGPoint>(json[0]), coding::decode<CGSize>(json[1])};
}

}  // namespace kestles
