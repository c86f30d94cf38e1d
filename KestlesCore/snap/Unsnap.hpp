#pragma once

#include <cstdint>
#include <optional>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/snap/SnapMemory.hpp"
#include "KestlesCore/snap/WindowDragKind.hpp"

namespace kestles {

/// Leaving a snapped place by dragging the window out of it.
struct Unsnap {
  /// The frame a window takes as soon as a drag pulls it out of the place a snap gave it: the
  /// size it had before its run of snaps, placed so that the pointer holds the same share of
  /// its width and the same depth below its top (within the new height). `start` is the
  /// frame when the drag began. Nothing when the window keeps its size: the setting
  /// `restoresSizeOnDragOut` is off, the drag resizes, the window is in no run, or it no
  /// longer sits where the last snap put it (within 2 points), or the size would not change.
  /// The memory is left alone: Restore still knows the whole frame from before the run.
  static std::optional<CGRect> dragOut(WindowDragKind kind, std::uint32_t window,
                                       const CGRect& start, CGPoint pointer,
                                       const SnapMemory& memory, bool restoresSizeOnDragOut);
};

}  // namespace kestles
