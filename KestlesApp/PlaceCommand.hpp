#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace kestles::app {

/// `kestles-app place WINDOW X Y W H`: moves one window's outer frame and prints the frame
/// it landed at as [[x, y], [w, h]]. Returns the exit status; failures print a sentence.
int runPlaceCommand(std::span<const std::string_view> arguments, std::ostream& out,
                    std::ostream& err);

}  // namespace kestles::app
