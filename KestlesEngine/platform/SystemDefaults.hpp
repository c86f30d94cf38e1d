#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace kestles::platform {

/// Preferences the system and other programs keep in their own suites, read-only. Property
/// list values come as JSON: dictionaries as objects, arrays, strings, numbers, booleans.
class SystemDefaults {
 public:
  virtual ~SystemDefaults() = default;
  /// The value of `key` in `suite`; nothing when the suite or the key is missing.
  virtual std::optional<nlohmann::json> read(const std::string& suite, const std::string& key) = 0;
};

}  // namespace kestles::platform
