#include "KestlesCore/keys/KeyModifiers.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

std::string KeyModifiers::glyphs() const {
  std::string text;
  if (contains(control)) text += "⌃";
  if (contains(option)) text += "⌥";
  if (contains(shift)) text += "⇧";
  if (contains(command)) text += "⌘";
  return text;
}

void to_json(nlohmann::json& json, const KeyModifiers& modifiers) {
  json = modifiers.rawValue;
}

void from_json(const nlohmann::json& json, KeyModifiers& modifiers) {
  modifiers.rawValue = coding::decode<int>(json);
}

}  // namespace kestles
