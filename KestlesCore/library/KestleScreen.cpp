#include "KestlesCore/library/KestleScreen.hpp"

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const KestleScreen& screen) {
  json = {{"display", screen.display}, {"shape", screen.shape}};
  coding::putOptional(json, "layout", screen.layout);
  auto& pins = json["pins"] = nlohmann::json::array();
  for (const auto& pin : screen.pins)
    pins.push_back(pin ? nlohmann::json(*pin) : nullptr);
}

void from_json(const nlohmann::json& json, KestleScreen& screen) {
  coding::requireObject(json, "a screen");
  screen.display = coding::required<DisplayKind>(json, "display");
  screen.shape = coding::required<TileShape>(json, "shape");
  screen.layout = coding::optional<LayoutRef>(json, "layout");
  screen.pins.clear();
  if (const auto* pins = coding::member(json, "pins"); pins && pins->is_array())
    for (const auto& pin : *pins)
      screen.pins.push_back(Lossy<AppRef>::decoded(pin).value);
}

}  // namespace kestles
