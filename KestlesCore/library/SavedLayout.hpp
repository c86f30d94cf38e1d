#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/coding/Date.hpp"
#include "KestlesCore/layout/TileShape.hpp"
#include "KestlesCore/library/DisplayKind.hpp"
#include "KestlesCore/model/UUID.hpp"

namespace kestles {

/// A tile shape saved without apps. "name" and "shape" are required; without a display it
/// fits any display. A default one has the nil id and the zero date; `make` gives a new one
/// its own.
struct SavedLayout {
  UUID id;
  std::string name;
  TileShape shape;
  std::optional<DisplayKind> display;
  std::optional<int> number;
  Date created;

  /// A new saved layout with a fresh random id and now as its date.
  static SavedLayout make(std::string name, TileShape shape);

  bool operator==(const SavedLayout&) const = default;
};

/// Saved layouts shown together under the display they were made for.
struct LayoutGroup {
  std::optional<DisplayKind> display;
  bool isConnected = false;
  std::vector<SavedLayout> layouts;

  bool operator==(const LayoutGroup&) const = default;
};

void to_json(nlohmann::json& json, const SavedLayout& layout);
void from_json(const nlohmann::json& json, SavedLayout& layout);

}  // namespace kestles
