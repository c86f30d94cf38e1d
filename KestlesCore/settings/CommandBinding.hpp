#pragma once

#include <optional>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/keys/KeyCombo.hpp"
#include "KestlesCore/settings/KeyCommand.hpp"

namespace kestles {

/// The key chosen for a command; absent keys mean the command has no key, even if it has
/// a default. JSON: {"command": raw value, "keys": combination or null}.
struct CommandBinding {
  KeyCommand command = KeyCommand::nextKestle;
  std::optional<KeyCombo> keys;

  bool operator==(const CommandBinding&) const = default;
};

void to_json(nlohmann::json& json, const CommandBinding& binding);
void from_json(const nlohmann::json& json, CommandBinding& binding);

}  // namespace kestles
