#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace kestles::app {

/// `kestles-app world`: prints the platform's world as a world file (JSON). Returns the exit
/// status; failures print a sentence on `err`.
int runWorldCommand(std::span<const std::string_view> arguments, std::ostream& out,
                    std::ostream& err);

}  // namespace kestles::app
