#pragma once

#include <string>

#include "KestlesCore/library/Kestle.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// The windows as they stand, read back as a kestle's arrangement: one screen per display
/// that shows tileable windows, its tiles where those windows are and each tile pinned to
/// its window's app.
struct WindowsArrangement {
  std::string fingerprint;  // the world's display set
  Arrangement arrangement;

  /// A display's windows become a tree of splits when their frames cut apart along columns
  /// and rows (empty room becomes spacers), else one drawn tile per window. An arrangement
  /// without screens when no display shows a tileable window.
  static WindowsArrangement of(const World& world);
};

}  // namespace kestles
