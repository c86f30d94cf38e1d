#include "KestlesCore/palette/PaletteSection.hpp"

#include "KestlesCore/model/EnumTable.hpp"

namespace kestles {
namespace {

struct SectionWords {
  PaletteSection value;
  std::string_view raw;
  std::string_view title;
};

constexpr EnumTable kSections{std::to_array<SectionWords>({
    {PaletteSection::kestles, "kestles", "Kestles"},
    {PaletteSection::layouts, "layouts", "Layouts"},
    {PaletteSection::tiling, "tiling", "Tiling"},
    {PaletteSection::rearrange, "rearrange", "Rearrange"},
    {PaletteSection::focusAndSwap, "focusAndSwap", "Focus & Swap"},
    {PaletteSection::snap, "snap", "Snap"},
    {PaletteSection::settings, "settings", "Settings"},
    {PaletteSection::windows, "windows", "Windows"},
    {PaletteSection::ask, "ask", "Ask"},
    {PaletteSection::recent, "recent", "Recent"},
    {PaletteSection::history, "history", "History"},
})};

}  // namespace

std::span<const PaletteSection> allPaletteSections() {
  return kSections.cases();
}

std::string_view rawValue(PaletteSection section) {
  return kSections[section].raw;
}

std::optional<PaletteSection> paletteSectionFromRawValue(std::string_view raw) {
  return kSections.find(&SectionWords::raw, raw);
}

std::string_view title(PaletteSection section) {
  return kSections[section].title;
}

}  // namespace kestles
