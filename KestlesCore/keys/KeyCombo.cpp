#include "KestlesCore/keys/KeyCombo.hpp"

#include "KestlesCore/library/Coding.hpp"

namespace kestles {

std::string KeyCombo::description() const {
  return modifiers.glyphs() + key().label();
}

void to_json(nlohmann::json& json, const KeyCombo& combo) {
  json = {{"keyCode", combo.keyCode}, {"modifiers", combo.modifiers.rawValue}};
}

void from_json(const nlohmann::json& json, KeyCombo& combo) {
  coding::requireObject(json, "a key combination");
  combo.keyCode = coding::required<int>(json, "keyCode");
  combo.modifiers.rawValue = coding::required<int>(json, "modifiers");
}

}  // namespace kestles
