#pragma once

#include <span>
#include <string>

namespace kestles::app {

/// Runs `kestles-app` for its arguments (without the program name) and returns the exit status.
/// With no arguments it serves command links until it is stopped.
int runApp(std::span<const std::string> arguments);

}  // namespace kestles::app
