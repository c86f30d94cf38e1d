#include "KestlesCore/snap/Unsnap.hpp"

#include <algorithm>
#include <cmath>

#include "KestlesCore/snap/Snapper.hpp"

namespace kestles {

std::optional<CGRect> Unsnap::dragOut(WindowDragKind kind, std::uint32_t window,
                                      const CGRect& start, CGPoint pointer,
                                      const SnapMemory& memory, bool restoresSizeOnDragOut) {
  if (!restoresSizeOnDragOut || kind != WindowDragKind::move) return std::nullopt;
  auto entry = memory.entry(window);
  if (!entry || !Snapper::edgesWithin(start, entry->frame, Snapper::placeTolerance))
    return std::nullopt;
  double width = entry->original.width();
  double height = entry->original.height();
  if (std::fabs(width - start.width()) <= Snapper::resizeTolerance &&
      std::fabs(height - start.height()) <= Snapper::resizeTolerance)
    return std::nullopt;
  double share =
      start.width() > 0 ? std::clamp((pointer.x - start.minX()) / start.width(), 0.0, 1.0) : 0.5;
  double depth = std::clamp(pointer.y - start.minY(), 0.0, height);
  return CGRect(pointer.x - share * width, pointer.y - depth, width, height).rounded();
}

}  // namespace kestles
