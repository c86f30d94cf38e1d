#pragma once

#include <map>
#include <string>
#include <vector>

#include "KestlesCore/world/World.hpp"

namespace kestles {

/// The windows a user can see on each display, by display id, in world order: neither
/// minimized nor full screen, and not of a hidden app. A window belongs to the display that
/// shows most of its frame (the display setup's own lookup).
std::map<std::string, std::vector<const WindowSnapshot*>> visibleWindowsByDisplay(
    const World& world);

}  // namespace kestles
