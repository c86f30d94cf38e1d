#pragma once

#include <string>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// One panel a keyboard mode shows: lines of text on a plate centred on a point of the
/// desktop.
struct ModeLabel {
  CGPoint centre;
  std::vector<std::string> lines;
  bool highlighted = false;  // the selected tile, a picked window
  bool operator==(const ModeLabel&) const = default;
};

}  // namespace kestles
