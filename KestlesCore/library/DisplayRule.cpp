#include "KestlesCore/library/DisplayRule.hpp"

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const DisplayRule& rule) {
  json = {{"display", rule.display}, {"layout", rule.layout}};
}

void from_json(const nlohmann::json& json, DisplayRule& rule) {
  coding::requireObject(json, "a display rule");
  rule.display = coding::required<DisplayKind>(json, "display");
  rule.layout = coding::required<LayoutRef>(json, "layout");
}

}  // namespace kestles
