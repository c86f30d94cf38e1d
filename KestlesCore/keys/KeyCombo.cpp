#include "KestlesCore/keys/KeyCombo.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

std::string KeyCombo::description() const {
  return modifiers.glyphs() + key().label();
}

void to_json(nlohmann::json& json, const KeyCombo& combo) {
  json = {{"keyCode", combo.keyCode}, {"modifiers", combo.modifiers}};
}

void from_json(const nlohmann::json& json, KeyCombo& combo) {
  coding::requireObject(json, "a key combination");
  combo.keyCode = coding::required<int>(json, "keyCode");
  combo.modifiers = coding::required<KeyModifiers>(json, "modifiers");
}

}  // namespace kestles
