#include "KestlesEngine/engine/Dictation.hpp"

#include "KestlesEngine/platform/ModifierMasks.hpp"

namespace kestles::engine {
namespace {

constexpr const char* kSuite = "com.apple.symbolichotkeys";
constexpr const char* kHotKeys = "AppleSymbolicHotKeys";
constexpr const char* kDictationEntry = "164";

// A property list keeps a flag as a boolean or as the number 0 or 1; both read as a flag.
bool isTrue(const nlohmann::json& value) {
  if (value.is_boolean()) return value.get<bool>();
  return value.is_number_integer() && value.get<std::int64_t>() == 1;
}

const nlohmann::json* member(const nlohmann::json& object, const char* key) {
  if (!object.is_object()) return nullptr;
  auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

}  // namespace

bool Dictation::usesDoubleControl() {
  if (!preferences_.synchronize(kSuite)) return false;
  auto stored = preferences_.value(kSuite, kHotKeys);
  const auto* hotKeys = stored ? std::get_if<nlohmann::json>(&*stored) : nullptr;
  if (!hotKeys) return false;
  const auto* entry = member(*hotKeys, kDictationEntry);
  if (!entry) return false;
  const auto* enabled = member(*entry, "enabled");
  const auto* value = member(*entry, "value");
  if (!enabled || !isTrue(*enabled) || !value) return false;
  const auto* type = member(*value, "type");
  const auto* parameters = member(*value, "parameters");
  if (!type || *type != "modifier" || !parameters || !parameters->is_array() || parameters->empty())
    return false;
  const auto& first = parameters->front();
  return first.is_number_integer() && first.get<std::uint64_t>() == platform::kControlEventFlag;
}

}  // namespace kestles::engine
