#pragma once

#include <map>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/tiling/Tiling.hpp"

namespace kestles {

/// The tilings of displays that are not connected, kept until the display returns.
struct AwayTiles {
  std::map<std::string, Tiling> tilings;  // by display id

  /// Keeps the tiling of a display that went away, replacing one kept before for it.
  void keep(Tiling tiling);
  /// The tiling kept for a display that came back, forgotten here; nothing when none is kept.
  std::optional<Tiling> take(const std::string& displayID);

  bool operator==(const AwayTiles&) const = default;
};

/// {"tilings": {display id: Tiling}}; tilings are read one by one (a damaged one is
/// dropped), and each takes the display id it is filed under.
void to_json(nlohmann::json& json, const AwayTiles& away);
void from_json(const nlohmann::json& json, AwayTiles& away);

}  // namespace kestles
