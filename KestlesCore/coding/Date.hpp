#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// A moment to the second, stored in files as ISO 8601 ("2026-12-04T11:41:00Z").
struct Date {
  std::chrono::sys_seconds time{};

  /// The current moment, to the second.
  static Date now();
  /// Reads "YYYY-MM-DDTHH:MM:SS", optional fractional seconds, then "Z" or an offset
  /// "+HH:MM"; nothing for any other text or an impossible date.
  static std::optional<Date> fromISO(std::string_view text);
  /// The UTC form with a "Z", as written in files.
  std::string iso() const;

  auto operator<=>(const Date&) const = default;
};

void to_json(nlohmann::json& json, const Date& date);
void from_json(const nlohmann::json& json, Date& date);

}  // namespace kestles
