#pragma once

#include <string>

#include <nlohmann/json_fwd.hpp>

namespace kestles {

/// A kestle's symbol: a system symbol by name or an emoji. JSON: {"sf": name} or
/// {"emoji": text}; "emoji" wins when both are present.
struct KestleSymbol {
  enum class Kind { sf, emoji };
  Kind kind = Kind::sf;
  std::string text = "macwindow";

  static KestleSymbol sf(std::string name) { return {Kind::sf, std::move(name)}; }
  static KestleSymbol emoji(std::string text) { return {Kind::emoji, std::move(text)}; }

  bool operator==(const KestleSymbol&) const = default;
};

void to_json(nlohmann::json& json, const KestleSymbol& symbol);
/// Reads "emoji", else "sf", else `sf("macwindow")`; never fails on an object.
void from_json(const nlohmann::json& json, KestleSymbol& symbol);

}  // namespace kestles
