#pragma once

#include <string>
#include <string_view>

namespace kestles::app {

/// Text from outside (a received link) made safe for one log line: control characters,
/// including the C1 ones that terminals obey, become escapes (\n, \t, \r, \xHH for the
/// byte); a backslash is doubled so that an escape cannot be forged. Other text is unchanged.
std::string escapedForLog(std::string_view text);

}  // namespace kestles::app
