#include "KestlesCore/keys/ShortcutBinding.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const ShortcutBinding& binding) {
  json = {{"action", rawValue(binding.action)}, {"keys", nullptr}};
  if (binding.keys) json["keys"] = *binding.keys;
}

void from_json(const nlohmann::json& json, ShortcutBinding& binding) {
  coding::requireObject(json, "a shortcut");
  auto action = snapActionFromRawValue(coding::required<std::string>(json, "action"));
  if (!action) throw coding::DecodeError("unknown snap action");
  binding.action = *action;
  binding.keys = coding::nullable<KeyCombo>(json, "keys");
}

}  // namespace kestles
