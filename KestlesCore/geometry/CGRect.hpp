#pragma once

#include <cmath>
#include <optional>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// Rounds halves away from zero, as every frame handed to a window is.
inline double roundedHalfAwayFromZero(double value) {
  return std::round(value);
}

/// A point in the global display space, y growing downward.
struct CGPoint {
  double x = 0;
  double y = 0;
  bool operator==(const CGPoint&) const = default;
};

/// A width and a height in points.
struct CGSize {
  double width = 0;
  double height = 0;
  bool operator==(const CGSize&) const = default;
};

/// A rectangle of doubles, y down: its top edge is minY. A negative size extends the
/// rectangle from the origin the other way; the edge accessors standardize it.
struct CGRect {
  CGPoint origin;
  CGSize size;

  CGRect() = default;
  CGRect(CGPoint o, CGSize s) : origin(o), size(s) {}
  CGRect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}

  double minX() const { return std::fmin(origin.x, origin.x + size.width); }
  double maxX() const { return std::fmax(origin.x, origin.x + size.width); }
  double midX() const { return origin.x + size.width * 0.5; }
  double minY() const { return std::fmin(origin.y, origin.y + size.height); }
  double maxY() const { return std::fmax(origin.y, origin.y + size.height); }
  double midY() const { return origin.y + size.height * 0.5; }
  double width() const { return std::fabs(size.width); }
  double height() const { return std::fabs(size.height); }
  CGPoint center() const { return {midX(), midY()}; }
  double area() const { return width() * height(); }
  bool isEmpty() const { return size.width == 0 || size.height == 0; }

  /// Minimum edges inclusive, maximum edges exclusive; an empty rectangle holds nothing.
  bool contains(CGPoint point) const;
  /// Whether `other` lies wholly inside, edges included.
  bool contains(const CGRect& other) const;
  /// The overlap, or nothing when the rectangles are apart; touching edges give a
  /// rectangle with a zero side.
  std::optional<CGRect> intersection(const CGRect& other) const;
  /// The overlap's area, 0 when apart.
  double intersectionArea(const CGRect& other) const;
  /// Moves every edge inward by dx (left and right) and dy (top and bottom); a side that
  /// would become negative becomes 0 around the old centre.
  CGRect insetBy(double dx, double dy) const;
  /// The smallest rectangle holding both.
  CGRect unionWith(const CGRect& other) const;
  /// Moved by dx and dy.
  CGRect offsetBy(double dx, double dy) const {
    return {origin.x + dx, origin.y + dy, size.width, size.height};
  }
  /// Whole points, halves away from zero; the size comes from the rounded far edges, so
  /// neighbours that met still meet.
  CGRect rounded() const;
  /// The same rectangle with a non-negative size.
  CGRect standardized() const { return {minX(), minY(), width(), height()}; }

  bool operator==(const CGRect&) const = default;
};

/// [x, y]
void to_json(nlohmann::json& json, const CGPoint& point);
void from_json(const nlohmann::json& json, CGPoint& point);
/// [width, height]
void to_json(nlohmann::json& json, const CGSize& size);
void from_json(const nlohmann::json& json, CGSize& size);
/// [[x, y], [width, height]]
void to_json(nlohmann::json& json, const CGRect& rect);
void from_json(const nlohmann::json& json, CGRect& rect);

}  // namespace kestles
