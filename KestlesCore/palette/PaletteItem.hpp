#pragma once

#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/palette/PaletteAction.hpp"
#include "KestlesCore/palette/PaletteSection.hpp"

namespace kestles {

/// One line of the palette.
struct PaletteItem {
  PaletteAction action;
  PaletteSection section = PaletteSection::tiling;
  std::string title;
  std::optional<std::string> subtitle;  // searched like the title
  std::optional<std::string> detail;    // shown at the line's end (a key), never searched
  std::vector<std::string> keywords;    // other words the item is found by, ranked lower

  bool operator==(const PaletteItem&) const = default;
};

/// The items of one section, as the palette lists them under its heading.
struct PaletteGroup {
  PaletteSection section = PaletteSection::tiling;
  std::vector<PaletteItem> items;

  bool operator==(const PaletteGroup&) const = default;
};

}  // namespace kestles
