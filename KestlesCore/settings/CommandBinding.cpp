#include "KestlesCore/settings/CommandBinding.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const CommandBinding& binding) {
  json = {{"command", rawValue(binding.command)}, {"keys", nullptr}};
  if (binding.keys) json["keys"] = *binding.keys;
}

void from_json(const nlohmann::json& json, CommandBinding& binding) {
  coding::requireObject(json, "a command key");
  auto command = keyCommandFromRawValue(coding::required<std::string>(json, "command"));
  if (!command) throw coding::DecodeError("unknown command");
  binding.command = *command;
  binding.keys = coding::nullable<KeyCombo>(json, "keys");
}

}  // namespace kestles
