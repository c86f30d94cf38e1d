#pragma once

#include <string>
#include <string_view>

namespace kestles::json_style {

/// nlohmann's error id for a number too large for a double, such as 1e400.
inline constexpr int kNumberOverflow = 406;

/// The bytes with every number too large for a double replaced by an empty list of the same
/// length ("1e400" becomes "[   ]"), which no number field accepts: the item that holds it is
/// dropped like any other damaged item, instead of the whole document failing to parse.
std::string withOverflowingNumbersMasked(std::string_view bytes);

}  // namespace kestles::json_style
