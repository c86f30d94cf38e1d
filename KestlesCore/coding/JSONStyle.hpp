#pragma once

#include <exception>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace kestles::json_style {

/// The bytes of a value in the shared file style: indent 2, keys sorted, slashes
/// unescaped, no final newline. Throws on text that is not valid UTF-8.
std::string encode(const nlohmann::json& value);

/// Parses bytes as JSON; throws coding::DecodeError on anything that is not one JSON
/// document, and on documents nested more than 256 levels deep. A number too large for a
/// double (1e400) is read as an empty list, so that only the item holding it fails.
nlohmann::json parse(std::string_view bytes);

/// The description of a read or decode error as shown to users, without the parser's
/// internal prefix.
std::string describe(const std::exception& error);

}  // namespace kestles::json_style
