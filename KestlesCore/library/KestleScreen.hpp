#pragma once

#include <optional>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/layout/TileShape.hpp"
#include "KestlesCore/world/AppRef.hpp"
#include "KestlesCore/library/DisplayKind.hpp"
#include "KestlesCore/layout/LayoutRef.hpp"

namespace kestles {

/// One display's part of an arrangement: its tiles and the app pinned to each tile.
/// JSON keys "display" and "shape" (required), "layout" and "pins" (optional).
struct KestleScreen {
  DisplayKind display;
  TileShape shape;
  std::optional<LayoutRef> layout;
  /// One entry per tile in tile order; a null or damaged entry is an empty pin that keeps
  /// the positions of the others.
  std::vector<std::optional<AppRef>> pins;

  bool operator==(const KestleScreen&) const = default;
};

void to_json(nlohmann::json& json, const KestleScreen& screen);
void from_json(const nlohmann::json& json, KestleScreen& screen);

}  // namespace kestles
