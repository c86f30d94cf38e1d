#pragma once

#include <span>
#include <string>

namespace kestles::tool {

/// Runs the tool for its arguments (without the program name): writes to standard output and
/// standard error, and returns the exit status (0, or 1 after a "kestles: " sentence).
int runTool(std::span<const std::string> arguments);

}  // namespace kestles::tool
