#pragma once

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/library/KestleColor.hpp"
#include "KestlesCore/library/KestleSymbol.hpp"

namespace kestles {

/// How a kestle looks in lists: its colour and symbol. An unreadable colour decodes as
/// blue and an unreadable symbol as `sf("macwindow")`.
struct Identity {
  KestleColor color = KestleColor::blue;
  KestleSymbol symbol;

  bool operator==(const Identity&) const = default;
};

void to_json(nlohmann::json& json, const Identity& identity);
void from_json(const nlohmann::json& json, Identity& identity);

}  // namespace kestles
