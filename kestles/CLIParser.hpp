#pragma once

#include <span>
#include <string>

#include "kestles/CLIRequest.hpp"

namespace kestles::tool {

/// Reads the tool's arguments (without the program name) into a request, or the first error
/// in the order the checks are made. Reads no file and asks nothing of the machine.
ParseResult parseArguments(std::span<const std::string> arguments);

}  // namespace kestles::tool
