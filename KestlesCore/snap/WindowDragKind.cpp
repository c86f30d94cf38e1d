#include "KestlesCore/snap/WindowDragKind.hpp"

#include <cmath>

namespace kestles {

WindowDragKind windowDragKind(const CGRect& start, const CGRect& now) {
  bool resized = std::fabs(start.width() - now.width()) > 0.5 ||
                 std::fabs(start.height() - now.height()) > 0.5;
  return resized ? WindowDragKind::resize : WindowDragKind::move;
}

}  // namespace kestles
