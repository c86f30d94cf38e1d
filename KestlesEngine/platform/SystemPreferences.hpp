#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

namespace kestles::platform {

/// A stored preference: a boolean, a number, a string, or a structure (a dictionary or an
/// array, as JSON: dictionaries as objects).
using PreferenceValue = std::variant<bool, double, std::string, nlohmann::json>;

/// The value read as a boolean the way the system reads one: a boolean, or a number (true
/// when not zero); nothing for a string or a structure.
inline std::optional<bool> boolValue(const PreferenceValue& value) {
  if (const auto* flag = std::get_if<bool>(&value)) return *flag;
  if (const auto* number = std::get_if<double>(&value)) return *number != 0;
  return std::nullopt;
}

/// The system's own preference domains ("com.apple.WindowManager", "com.apple.dock"), read
/// and written by key. Main thread only.
class SystemPreferences {
 public:
  virtual ~SystemPreferences() = default;
  /// Brings the domain up to date with its store (writes go out, others' changes come in).
  /// False when the platform has no such domain: it has none of the domain's features.
  virtual bool synchronize(std::string_view domain) = 0;
  /// The key's value; nothing when it is not set.
  virtual std::optional<PreferenceValue> value(std::string_view domain, std::string_view key) = 0;
  /// Sets the key, or removes it (nothing) so that the system's default applies again.
  virtual void setValue(std::string_view domain, std::string_view key,
                        const std::optional<PreferenceValue>& value) = 0;
};

}  // namespace kestles::platform
