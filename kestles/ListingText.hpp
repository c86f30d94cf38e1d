#pragma once

#include <string>

#include "KestlesCore/library/Library.hpp"
#include "kestles/CLIRequest.hpp"

namespace kestles::tool {

/// What `list`, `list kestles` and `list layouts` print; the text ends in its own newline
/// (or is empty for a bare list with nothing in it). Control characters in names are
/// printed as escapes ("\n", "\x1B", "\xC2\x9B"), so every name stays on its own line.
std::string listingText(Listing listing, const Library& library);

}  // namespace kestles::tool
