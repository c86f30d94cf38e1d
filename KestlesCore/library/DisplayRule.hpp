#pragma once

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/library/DisplayKind.hpp"

namespace kestles {

/// When this kind of display is connected, lay it out with this layout.
/// JSON keys "display" and "layout", both required.
struct DisplayRule {
  DisplayKind display;
  LayoutRef layout;

  bool operator==(const DisplayRule&) const = default;
};

void to_json(nlohmann::json& json, const DisplayRule& rule);
void from_json(const nlohmann::json& json, DisplayRule& rule);

}  // namespace kestles
