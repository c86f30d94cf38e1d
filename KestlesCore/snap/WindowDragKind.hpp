#pragma once

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// What a mouse drag of a window does to it.
enum class WindowDragKind { move, resize };

/// A drag that changed the window's size by more than half a point on either side is a
/// resize (dragging a left or top edge moves the origin too); any other is a move.
WindowDragKind windowDragKind(const CGRect& start, const CGRect& now);

}  // namespace kestles
