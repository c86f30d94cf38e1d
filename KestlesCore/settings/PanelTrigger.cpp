#include "KestlesCore/settings/PanelTrigger.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

std::optional<KeyCombo> PanelTrigger::combo() const {
  if (const auto* combo = std::get_if<KeyCombo>(&value)) return *combo;
  return std::nullopt;
}

void to_json(nlohmann::json& json, const PanelTrigger& trigger) {
  if (auto combo = trigger.combo())
    json = {{"keys", *combo}};
  else if (std::holds_alternative<PanelTrigger::Off>(trigger.value))
    json = {{"off", true}};
  else
    json = {{"doubleControl", true}};
}

void from_json(const nlohmann::json& json, PanelTrigger& trigger) {
  coding::requireObject(json, "a panel trigger");
  if (coding::member(json, "keys"))
    trigger = PanelTrigger::keys(coding::required<KeyCombo>(json, "keys"));
  else if (coding::member(json, "off"))
    trigger = PanelTrigger::off();
  else
    trigger = PanelTrigger::doubleControl();
}

}  // namespace kestles
