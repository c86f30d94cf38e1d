#pragma once

#include <cstddef>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/palette/PaletteAction.hpp"

namespace kestles {

/// The actions last used from the palette, newest first.
struct PaletteRecents {
  /// How many actions are kept and shown.
  static constexpr std::size_t kLimit = 3;

  std::vector<PaletteAction> actions;

  /// Puts a recordable action at the front, removing an equal one further back, and keeps
  /// at most three; an action that is never recorded changes nothing.
  void record(const PaletteAction& action);
  /// The recordable actions, at most three, newest first. Filters again because a
  /// state file written by hand or by an older version may hold anything.
  std::vector<PaletteAction> shown() const;

  bool operator==(const PaletteRecents&) const = default;
};

/// {"actions": [...]}; reading drops the actions that do not decode, and a missing list is
/// empty.
void to_json(nlohmann::json& json, const PaletteRecents& recents);
void from_json(const nlohmann::json& json, PaletteRecents& recents);

}  // namespace kestles
