#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace kestles {

/// The sections of the palette's lists, in the order they are shown.
enum class PaletteSection {
  kestles,
  layouts,
  tiling,
  rearrange,
  focusAndSwap,
  snap,
  settings,
  windows,
  ask,
  recent,
  history,
};

/// Every section, in case order.
std::span<const PaletteSection> allPaletteSections();

/// The raw value: the case name ("focusAndSwap").
std::string_view rawValue(PaletteSection section);

/// The section of a raw value, or nothing.
std::optional<PaletteSection> paletteSectionFromRawValue(std::string_view raw);

/// The heading shown above the section's items ("Focus & Swap").
std::string_view title(PaletteSection section);

}  // namespace kestles
