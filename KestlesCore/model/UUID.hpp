#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// A 128-bit identifier, written as 8-4-4-4-12 upper-case hexadecimal digits.
struct UUID {
  std::array<std::uint8_t, 16> bytes{};

  /// A random version-4 identifier from the operating system's random source.
  static UUID random();
  /// Reads the hyphenated form in either case; nothing for any other text.
  static std::optional<UUID> fromString(std::string_view text);

  /// The upper-case hyphenated form.
  std::string uuidString() const;

  auto operator<=>(const UUID&) const = default;
};

/// The string form; reading throws when the text is not a UUID.
void to_json(nlohmann::json& json, const UUID& uuid);
void from_json(const nlohmann::json& json, UUID& uuid);

}  // namespace kestles

template <>
struct std::hash<kestles::UUID> {
  std::size_t operator()(const kestles::UUID& uuid) const noexcept;
};
