#pragma once

#include <cstdint>
#include <exception>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

/// Helpers for the tolerant JSON coding of stored records: strict readers for required
/// fields, forgiving readers for fields with defaults, and lossy lists and maps.
namespace kestles::coding {

using nlohmann::json;

/// The one error every decoder throws: a record lacks a required field, a value has the
/// wrong shape, or the bytes are no JSON document. Tolerant readers catch exactly this.
struct DecodeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// The parser's or converter's message without its internal "[json.exception…] " prefix.
std::string describeJSONError(const nlohmann::json::exception& error);

/// Throws unless the value is a JSON object.
void requireObject(const json& value, std::string_view what);

/// The member at key, or nullptr when the object has none.
const json* member(const json& object, std::string_view key);

/// Strict conversion of one JSON value; integers must be whole numbers in range and
/// booleans real booleans, so that `true` is never read as 1.
template <class T>
T decode(const json& value) {
  if constexpr (std::is_same_v<T, bool>) {
    if (!value.is_boolean()) throw DecodeError("expected a boolean");
    return value.get<bool>();
  } else if constexpr (std::is_integral_v<T>) {
    if (value.is_number_unsigned()) {
      auto number = value.get<std::uint64_t>();
      if (number > static_cast<std::uint64_t>(std::numeric_limits<T>::max()))
        throw DecodeError("number out of range");
      return static_cast<T>(number);
    }
    if (!value.is_number_integer()) throw DecodeError("expected an integer");
    auto number = value.get<std::int64_t>();
    if (number < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
        (number > 0 && static_cast<std::uint64_t>(number) >
                           static_cast<std::uint64_t>(std::numeric_limits<T>::max())))
      throw DecodeError("number out of range");
    return static_cast<T>(number);
  } else if constexpr (std::is_floating_point_v<T>) {
    if (!value.is_number()) throw DecodeError("expected a number");
    return value.get<T>();
  } else if constexpr (std::is_same_v<T, std::string>) {
    if (!value.is_string()) throw DecodeError("expected a string");
    return value.get<std::string>();
  } else {
    // Records decode through their from_json; the library's own conversions may still
    // throw its exceptions, which become the one decoding error here.
    try {
      return value.get<T>();
    } catch (const nlohmann::json::exception& error) {
      throw DecodeError(describeJSONError(error));
    }
  }
}

/// The value at key; throws when it is missing or does not decode.
template <class T>
T required(const json& object, std::string_view key) {
  const json* value = member(object, key);
  if (!value) throw DecodeError("missing key \"" + std::string(key) + "\"");
  return decode<T>(*value);
}

/// The value at key, or nothing when it is missing, null or does not decode.
template <class T>
std::optional<T> optional(const json& object, std::string_view key) {
  const json* value = member(object, key);
  if (!value || value->is_null()) return std::nullopt;
  try {
    return decode<T>(*value);
  } catch (const DecodeError&) {
    return std::nullopt;
  }
}

/// The value at key, or nothing when it is missing or null; throws when a value is there
/// but does not decode.
template <class T>
std::optional<T> nullable(const json& object, std::string_view key) {
  const json* value = member(object, key);
  if (!value || value->is_null()) return std::nullopt;
  return decode<T>(*value);
}

/// The value at key, or the fallback when it is missing or does not decode.
template <class T>
T value(const json& object, std::string_view key, T fallback) {
  auto decoded = optional<T>(object, key);
  return decoded ? std::move(*decoded) : std::move(fallback);
}

/// Writes the value at key, or nothing when it is absent.
template <class T>
void putOptional(json& object, std::string_view key, const std::optional<T>& value) {
  if (value) object[std::string(key)] = *value;
}

}  // namespace kestles::coding
