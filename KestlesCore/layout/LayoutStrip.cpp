#include "KestlesCore/layout/LayoutStrip.hpp"

#include <algorithm>
#include <cmath>

namespace kestles {
namespace {

constexpr double kHotMargin = 10;
constexpr double kZoneDepth = 110;
constexpr double kSideMargin = 100;
constexpr double kTopOffset = 8 + 10;

bool near(double a, double b) {
  return std::fabs(a - b) <= 0.002;
}

}  // namespace

double LayoutStrip::thumbnailWidth(const CGRect& visible) {
  if (visible.height() == 0) return kThumbnailHeight;
  return roundedHalfAwayFromZero(visible.width() * kThumbnailHeight / visible.height());
}

std::size_t LayoutStrip::capacity(const CGRect& visible) {
  double fitting =
      std::trunc((visible.width() - kSideMargin + kSpacing) / (thumbnailWidth(visible) + kSpacing));
  return fitting >= 1 ? static_cast<std::size_t>(fitting) : 1;
}

std::vector<CGRect> LayoutStrip::thumbnailFrames(const CGRect& visible, std::size_t layoutCount) {
  std::size_t n = std::min(capacity(visible), layoutCount);
  double width = thumbnailWidth(visible);
  auto count = static_cast<double>(n);
  double firstX = std::floor(visible.midX() - ((count - 1) * kSpacing + width * count) * 0.5);
  std::vector<CGRect> frames;
  frames.reserve(n);
  for (std::size_t i = 0; i < n; ++i)
    frames.emplace_back(firstX + (width + kSpacing) * static_cast<double>(i),
                        visible.minY() + kTopOffset, width, kThumbnailHeight);
  return frames;
}

std::optional<CGRect> LayoutStrip::hotArea(std::span<const CGRect> thumbnails) {
  if (thumbnails.empty()) return std::nullopt;
  CGRect all = thumbnails.front();
  for (const auto& frame : thumbnails)
    all = all.unionWith(frame);
  return all.insetBy(-kHotMargin, -kHotMargin);
}

bool LayoutStrip::isInZone(CGPoint point, const CGRect& visible) {
  return point.y <= visible.minY() + kZoneDepth;
}

std::optional<std::size_t> LayoutStrip::thumbnail(CGPoint point,
                                                  std::span<const CGRect> thumbnails) {
  for (std::size_t i = 0; i < thumbnails.size(); ++i)
    if (thumbnails[i].insetBy(-4, -10).contains(point)) return i;
  return std::nullopt;
}

bool LayoutStrip::sameFrames(std::span<const CGRect> a, std::span<const CGRect> b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!near(a[i].minX(), b[i].minX()) || !near(a[i].minY(), b[i].minY()) ||
        !near(a[i].width(), b[i].width()) || !near(a[i].height(), b[i].height()))
      return false;
  return true;
}

std::optional<std::size_t> LayoutStrip::matchingLayout(
    std::span<const CGRect> current, std::span<const std::vector<CGRect>> solved) {
  for (std::size_t i = 0; i < solved.size(); ++i)
    if (sameFrames(current, solved[i])) return i;
  return std::nullopt;
}

}  // namespace kestles
