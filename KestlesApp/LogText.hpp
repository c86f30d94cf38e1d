#pragma once

#include <string>
#include <string_view>

namespace kestles::app {

/// Text from outside (a received link) made safe for one log line: the text module's escapes
/// of control characters and invalid bytes, with backslashes doubled so that no escape can
/// be forged.
std::string escapedForLog(std::string_view text);

}  // namespace kestles::app
