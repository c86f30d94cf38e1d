#include "KestlesCore/snap/Snapper.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestles {
namespace {

/// One axis of a rectangle: its leading and trailing edge.
struct Span {
  double min = 0;
  double max = 0;
  double length() const { return max - min; }
};

Span span(const CGRect& rect, bool horizontal) {
  return horizontal ? Span{rect.minX(), rect.maxX()} : Span{rect.minY(), rect.maxY()};
}

CGRect joined(Span horizontal, Span vertical) {
  return {horizontal.min, vertical.min, horizontal.length(), vertical.length()};
}

/// The rectangle with one axis replaced.
CGRect replacing(const CGRect& rect, bool horizontal, Span with) {
  return horizontal ? joined(with, span(rect, false)) : joined(span(rect, true), with);
}

/// How far two spans overlap; negative when they are apart.
double overlap(Span a, Span b) {
  return std::min(a.max, b.max) - std::max(a.min, b.min);
}

/// The rounded result, or nothing when it stays within `tolerance` of the window.
std::optional<CGRect> changed(const CGRect& result, const CGRect& window, double tolerance) {
  CGRect rounded = result.rounded();
  if (Snapper::edgesWithin(rounded, window, tolerance)) return std::nullopt;
  return rounded;
}

/// `value` kept within [low, high], the low end winning when the range is empty.
double clamped(double value, double low, double high) {
  return std::max(low, std::min(high, value));
}

/// The area places are laid out in and the inner gap between neighbouring places.
struct Area {
  CGRect r;
  double g = 0;

  Area(const CGRect& visible, const Gaps& gaps)
      : r(visible.insetBy(gaps.outer, gaps.outer)), g(gaps.inner) {}

  double half(double extent) const { return (extent - g) * 0.5; }
  double third(double extent) const { return (extent - 2 * g) / 3; }
  double twoThirds(double extent) const { return g + 2 * third(extent); }
};

bool isHorizontalHalf(SnapAction half) {
  return half == SnapAction::leftHalf || half == SnapAction::rightHalf;
}

/// A frame against the half's side of R, `length` deep.
CGRect againstSide(SnapAction half, const CGRect& r, double length) {
  switch (half) {
    case SnapAction::leftHalf:
      return {r.minX(), r.minY(), length, r.height()};
    case SnapAction::rightHalf:
      return {r.maxX() - length, r.minY(), length, r.height()};
    case SnapAction::topHalf:
      return {r.minX(), r.minY(), r.width(), length};
    default:
      return {r.minX(), r.maxY() - length, r.width(), length};
  }
}

/// A frame across the whole short side of R, at `offset` along the long side (a square
/// counts as landscape).
CGRect alongLongSide(const CGRect& r, double offset, double length) {
  if (r.width() >= r.height()) return {r.minX() + offset, r.minY(), length, r.height()};
  return {r.minX(), r.minY() + offset, r.width(), length};
}

/// A place's frame before rounding; nothing for actions that are not places.
std::optional<CGRect> exactPlace(SnapAction action, const Area& area) {
  const CGRect& r = area.r;
  double halfW = area.half(r.width());
  double halfH = area.half(r.height());
  double longSide = std::max(r.width(), r.height());
  double third = area.third(longSide);
  double two = area.twoThirds(longSide);
  switch (action) {
    case SnapAction::leftHalf:
    case SnapAction::rightHalf:
      return againstSide(action, r, halfW);
    case SnapAction::topHalf:
    case SnapAction::bottomHalf:
      return againstSide(action, r, halfH);
    case SnapAction::topLeft:
      return CGRect(r.minX(), r.minY(), halfW, halfH);
    case SnapAction::topRight:
      return CGRect(r.maxX() - halfW, r.minY(), halfW, halfH);
    case SnapAction::bottomLeft:
      return CGRect(r.minX(), r.maxY() - halfH, halfW, halfH);
    case SnapAction::bottomRight:
      return CGRect(r.maxX() - halfW, r.maxY() - halfH, halfW, halfH);
    case SnapAction::firstThird:
      return alongLongSide(r, 0, third);
    case SnapAction::centerThird:
      return alongLongSide(r, area.g + third, third);
    case SnapAction::lastThird:
      return alongLongSide(r, longSide - third, third);
    case SnapAction::firstTwoThirds:
      return alongLongSide(r, 0, two);
    case SnapAction::lastTwoThirds:
      return alongLongSide(r, longSide - two, two);
    case SnapAction::maximize:
      return r;
    case SnapAction::almostMaximize: {
      constexpr double margin = (1 - Snapper::almostMaximizeFraction) / 2;
      return r.insetBy(r.width() * margin, r.height() * margin);
    }
    default:
      return std::nullopt;
  }
}

/// Half, then two thirds, then one third, then half again, on the half's own axis.
CGRect cycled(SnapAction half, const CGRect& window, const Area& area) {
  double extent = isHorizontalHalf(half) ? area.r.width() : area.r.height();
  CGRect halfFrame = againstSide(half, area.r, area.half(extent)).rounded();
  CGRect twoThirds = againstSide(half, area.r, area.twoThirds(extent)).rounded();
  if (Snapper::edgesWithin(window, halfFrame, Snapper::cyclingTolerance)) return twoThirds;
  if (Snapper::edgesWithin(window, twoThirds, Snapper::cyclingTolerance))
    return againstSide(half, area.r, area.third(extent)).rounded();
  return halfFrame;
}

/// The window kept in R (narrowed to fit), then pushed against the move's edge.
std::optional<CGRect> moved(TileEdge edge, const CGRect& window, const CGRect& r) {
  double w = std::min(r.width(), window.width());
  double h = std::min(r.height(), window.height());
  double x = clamped(window.minX(), r.minX(), r.maxX() - w);
  double y = clamped(window.minY(), r.minY(), r.maxY() - h);
  switch (edge) {
    case TileEdge::left:
      x = r.minX();
      break;
    case TileEdge::right:
      x = r.maxX() - w;
      break;
    case TileEdge::top:
      y = r.minY();
      break;
    case TileEdge::bottom:
      y = r.maxY() - h;
      break;
  }
  return changed({x, y, w, h}, window, Snapper::placeTolerance);
}

/// Both edges a step outward, never past the area and never inward.
Span grown(Span window, Span area) {
  return {std::min(window.min, std::max(area.min, window.min - Snapper::step)),
          std::max(window.max, std::min(window.max + Snapper::step, area.max))};
}

double smallestLength(Span area) {
  return std::max(Snapper::smallestSize, Snapper::smallestShare * area.length());
}

bool atLeading(Span window, Span area) {
  return std::fabs(window.min - area.min) <= Snapper::placeTolerance;
}

bool atTrailing(Span window, Span area) {
  return std::fabs(window.max - area.max) <= Snapper::placeTolerance;
}

/// One axis a step smaller: a side held against the area's edge stays there, a free window
/// shrinks around its middle, and a window filling the whole area shrinks on both sides.
Span shrunk(Span window, Span area, bool fillsArea) {
  double room = window.length() - smallestLength(area);
  if (room <= 0) return window;
  bool leading = atLeading(window, area);
  bool trailing = atTrailing(window, area);
  if (!fillsArea && leading && trailing) return window;
  if (fillsArea || (!leading && !trailing)) {
    double inset = std::min(room, 2 * Snapper::step) * 0.5;
    return {window.min + inset, window.max - inset};
  }
  double by = std::min(room, Snapper::step);
  return leading ? Span{window.min, window.max - by} : Span{window.min + by, window.max};
}

std::optional<CGRect> smaller(const CGRect& window, const CGRect& r) {
  Span h = span(window, true), v = span(window, false);
  Span rh = span(r, true), rv = span(r, false);
  bool fills = atLeading(h, rh) && atTrailing(h, rh) && atLeading(v, rv) && atTrailing(v, rv);
  return changed(joined(shrunk(h, rh, fills), shrunk(v, rv, fills)), window,
                 Snapper::resizeTolerance);
}

/// The window's span on one axis widened to the nearest obstacle edge on either side (or
/// the area's edge); only obstacles overlapping `across` by more than a point stop it.
Span outward(Span window, Span across, Span area, std::span<const CGRect> obstacles,
             bool horizontal) {
  Span result = area;
  for (const auto& obstacle : obstacles) {
    if (overlap(span(obstacle, !horizontal), across) <= 1) continue;
    Span along = span(obstacle, horizontal);
    if (along.max <= window.min + 1)
      result.min = std::max(result.min, along.max);
    else if (along.min >= window.max - 1)
      result.max = std::min(result.max, along.min);
  }
  return result;
}

}  // namespace

const std::array<SnapAction, 15>& Snapper::places() {
  static constexpr std::array<SnapAction, 15> kPlaces{
      SnapAction::maximize,    SnapAction::almostMaximize, SnapAction::leftHalf,
      SnapAction::rightHalf,   SnapAction::topHalf,        SnapAction::bottomHalf,
      SnapAction::topLeft,     SnapAction::topRight,       SnapAction::bottomLeft,
      SnapAction::bottomRight, SnapAction::firstThird,     SnapAction::centerThird,
      SnapAction::lastThird,   SnapAction::firstTwoThirds, SnapAction::lastTwoThirds};
  return kPlaces;
}

bool Snapper::isPlace(SnapAction action) {
  const auto& all = places();
  return std::find(all.begin(), all.end(), action) != all.end();
}

std::optional<TileEdge> Snapper::moveEdge(SnapAction action) {
  switch (action) {
    case SnapAction::moveLeft:
      return TileEdge::left;
    case SnapAction::moveRight:
      return TileEdge::right;
    case SnapAction::moveUp:
      return TileEdge::top;
    case SnapAction::moveDown:
      return TileEdge::bottom;
    default:
      return std::nullopt;
  }
}

bool Snapper::edgesWithin(const CGRect& a, const CGRect& b, double tolerance) {
  return std::fabs(a.minX() - b.minX()) <= tolerance &&
         std::fabs(a.minY() - b.minY()) <= tolerance &&
         std::fabs(a.maxX() - b.maxX()) <= tolerance && std::fabs(a.maxY() - b.maxY()) <= tolerance;
}

std::optional<CGRect> Snapper::placeFrame(SnapAction action, const CGRect& visible,
                                          const Gaps& gaps) {
  auto exact = exactPlace(action, Area(visible, gaps));
  if (!exact) return std::nullopt;
  return exact->rounded();
}

std::optional<CGRect> Snapper::frame(SnapAction action, const CGRect& window, const CGRect& visible,
                                     const Gaps& gaps) {
  Area area(visible, gaps);
  const CGRect& r = area.r;
  switch (action) {
    case SnapAction::leftHalf:
    case SnapAction::rightHalf:
    case SnapAction::topHalf:
    case SnapAction::bottomHalf:
      return cycled(action, window, area);
    case SnapAction::maximizeHeight: {
      double w = std::min(r.width(), window.width());
      double x = clamped(window.minX(), r.minX(), r.maxX() - w);
      return CGRect(x, r.minY(), w, r.height()).rounded();
    }
    case SnapAction::maximizeWidth: {
      double h = std::min(r.height(), window.height());
      double y = clamped(window.minY(), r.minY(), r.maxY() - h);
      return CGRect(r.minX(), y, r.width(), h).rounded();
    }
    case SnapAction::center: {
      double w = std::min(r.width(), window.width());
      double h = std::min(r.height(), window.height());
      return CGRect(r.midX() - w * 0.5, r.midY() - h * 0.5, w, h).rounded();
    }
    case SnapAction::moveLeft:
    case SnapAction::moveRight:
    case SnapAction::moveUp:
    case SnapAction::moveDown:
      return moved(*moveEdge(action), window, r);
    case SnapAction::larger:
      return changed(joined(grown(span(window, true), span(r, true)),
                            grown(span(window, false), span(r, false))),
                     window, resizeTolerance);
    case SnapAction::smaller:
      return smaller(window, r);
    case SnapAction::fillSpace:
    case SnapAction::restore:
    case SnapAction::nextDisplay:
    case SnapAction::previousDisplay:
      return std::nullopt;
    case SnapAction::topLeft:
    case SnapAction::topRight:
    case SnapAction::bottomLeft:
    case SnapAction::bottomRight:
    case SnapAction::firstThird:
    case SnapAction::centerThird:
    case SnapAction::lastThird:
    case SnapAction::firstTwoThirds:
    case SnapAction::lastTwoThirds:
    case SnapAction::maximize:
    case SnapAction::almostMaximize:
      return exactPlace(action, area)->rounded();
  }
  return std::nullopt;
}

std::optional<SnapAction> Snapper::matchingPlace(const CGRect& frame, const CGRect& visible,
                                                 const Gaps& gaps) {
  Area area(visible, gaps);
  for (auto place : places())
    if (Snapper::edgesWithin(exactPlace(place, area)->rounded(), frame, placeTolerance))
      return place;
  return std::nullopt;
}

CGRect Snapper::carried(const CGRect& frame, const CGRect& from, const CGRect& to,
                        const Gaps& gaps) {
  if (auto place = matchingPlace(frame, from, gaps)) return *placeFrame(*place, to, gaps);
  return scaled(frame, from, to);
}

CGRect Snapper::scaled(const CGRect& frame, const CGRect& from, const CGRect& to) {
  if (!(from.width() > 0 && from.height() > 0)) return frame;
  double sx = to.width() / from.width();
  double sy = to.height() / from.height();
  return CGRect(to.minX() + sx * (frame.minX() - from.minX()),
                to.minY() + sy * (frame.minY() - from.minY()),
                std::min(to.width(), sx * frame.width()),
                std::min(to.height(), sy * frame.height()))
      .rounded();
}

std::optional<CGRect> Snapper::pushEdge(TileEdge edge, const CGRect& window, const CGRect& visible,
                                        double outer) {
  bool horizontal = axis(edge) == Split::columns;
  bool trailing = isAfter(edge);
  Span area = span(visible.insetBy(outer, outer), horizontal);
  Span result = span(window, horizontal);
  double shortBy = trailing ? area.max - result.max : result.min - area.min;
  if (shortBy > placeTolerance) {
    if (trailing)
      result.max = std::min(area.max, result.max + step);
    else
      result.min = std::max(area.min, result.min - step);
  } else {
    // Already against that side: make room toward it by giving up the opposite side.
    double room = result.length() - smallestLength(area);
    if (room <= resizeTolerance) return std::nullopt;
    double by = std::min(room, step);
    if (trailing)
      result.min += by;
    else
      result.max -= by;
  }
  return changed(replacing(window, horizontal, result), window, resizeTolerance);
}

std::optional<CGRect> Snapper::fillSpace(const CGRect& window, std::span<const CGRect> others,
                                         const CGRect& visible, const Gaps& gaps) {
  CGRect r = visible.insetBy(gaps.outer, gaps.outer);
  CGRect core = window.insetBy(1, 1);
  std::vector<CGRect> obstacles;
  obstacles.reserve(others.size());
  for (const auto& other : others) {
    auto inside = other.intersection(r);
    // Slivers of a point or less only touch the area; they stop nothing.
    if (!inside || inside->width() <= 1 || inside->height() <= 1) continue;
    // A window lying over this one cannot be grown past; it is left out rather than
    // letting it pin the window where it is.
    if (overlap(span(*inside, true), span(core, true)) > 0 &&
        overlap(span(*inside, false), span(core, false)) > 0)
      continue;
    obstacles.push_back(*inside);
  }
  Span h = outward(span(window, true), span(window, false), span(r, true), obstacles, true);
  Span v = outward(span(window, false), h, span(r, false), obstacles, false);
  return changed(joined(h, v), window, placeTolerance);
}

}  // namespace kestles
