#pragma once

#include <array>
#include <optional>
#include <span>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/layout/TileEdge.hpp"
#include "KestlesCore/snap/SnapAction.hpp"

namespace kestles {

/// The frame arithmetic of every snap place, move and resize step on one display. All of it
/// works in the area R: the visible frame inset by the outer gap; neighbouring places keep the
/// inner gap between them. Every frame returned is rounded edge by edge.
struct Snapper {
  /// The step of moves, growth and edge pushes.
  static constexpr double step = 40;
  /// The share of the area an almost-maximized window covers on each axis.
  static constexpr double almostMaximizeFraction = 0.9;
  /// How near a frame must be to a half, or to two thirds, for a press to cycle on.
  static constexpr double cyclingTolerance = 24;
  /// How near a frame must be to count as already at a place.
  static constexpr double placeTolerance = 2;
  /// How much a resize step must change a frame to count.
  static constexpr double resizeTolerance = 0.5;
  /// The smallest size shrinking leaves: the larger of this and a share of the area.
  static constexpr double smallestSize = 200;
  static constexpr double smallestShare = 0.2;

  /// The 15 places a window can be at, in the order `matchingPlace` searches them.
  static const std::array<SnapAction, 15>& places();
  /// Whether the action is one of the 15 places.
  static bool isPlace(SnapAction action);
  /// The edge a move goes toward; nothing for every action but the four moves.
  static std::optional<TileEdge> moveEdge(SnapAction action);
  /// Whether every edge of `a` lies within `tolerance` of the same edge of `b`.
  static bool edgesWithin(const CGRect& a, const CGRect& b, double tolerance);

  /// The frame the action gives a window now at `window` on a display whose visible frame is
  /// `visible`. Halves cycle on to two thirds and one third when the window is already there.
  /// Nothing for fill space, restore and the display moves (the planner does those), and
  /// nothing when a move or a resize step would leave the window where it is.
  static std::optional<CGRect> frame(SnapAction action, const CGRect& window, const CGRect& visible,
                                     const Gaps& gaps);
  /// The frame of one of the 15 places, without cycling; nothing for any other action.
  static std::optional<CGRect> placeFrame(SnapAction action, const CGRect& visible,
                                          const Gaps& gaps);
  /// The first place, in search order, whose frame lies within 2 points of `frame` on all four
  /// edges; nothing when the frame is at no place.
  static std::optional<SnapAction> matchingPlace(const CGRect& frame, const CGRect& visible,
                                                 const Gaps& gaps);
  /// The frame carried from the visible frame `from` to the visible frame `to`: a frame at a
  /// place keeps the place, any other is scaled.
  static CGRect carried(const CGRect& frame, const CGRect& from, const CGRect& to,
                        const Gaps& gaps);
  /// The frame scaled by the ratio of the two visible frames, never larger than `to`; the frame
  /// itself when `from` has no width or no height.
  static CGRect scaled(const CGRect& frame, const CGRect& from, const CGRect& to);
  /// The window's edge pushed outward by a step toward the area's edge, or, when it already
  /// touches that side, the window shrunk by a step from the opposite side. Nothing when the
  /// result changes nothing or the window is already at its smallest.
  static std::optional<CGRect> pushEdge(TileEdge edge, const CGRect& window, const CGRect& visible,
                                        double outer);
  /// The window grown into the free room around it among the obstacles `others`: first
  /// sideways, then up and down within the new width. Nothing when that changes nothing.
  static std::optional<CGRect> fillSpace(const CGRect& window, std::span<const CGRect> others,
                                         const CGRect& visible, const Gaps& gaps);
};

}  // namespace kestles
