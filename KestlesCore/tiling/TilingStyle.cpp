#include "KestlesCore/tiling/TilingStyle.hpp"

#include "KestlesCore/model/EnumTable.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

struct StyleWords {
  TilingStyle value;
  std::string_view raw;
  std::string_view title;
  std::string_view commandLineWord;
};

constexpr EnumTable kStyles{std::to_array<StyleWords>({
    {TilingStyle::grid, "grid", "Grid", "grid"},
    {TilingStyle::mainStack, "mainStack", "Main + Stack", "main-stack"},
    {TilingStyle::spiral, "spiral", "Spiral", "spiral"},
    {TilingStyle::columns, "columns", "Columns", "columns"},
})};

}  // namespace

std::span<const TilingStyle> allTilingStyles() {
  return kStyles.cases();
}

std::string_view rawValue(TilingStyle style) {
  return kStyles[style].raw;
}

std::optional<TilingStyle> tilingStyleFromRawValue(std::string_view raw) {
  return kStyles.find(&StyleWords::raw, raw);
}

std::string_view title(TilingStyle style) {
  return kStyles[style].title;
}

std::string_view commandLineWord(TilingStyle style) {
  return kStyles[style].commandLineWord;
}

std::optional<TilingStyle> readTilingStyle(std::string_view text) {
  auto typed = text::lettersAndDigits(text::asciiLowercased(text));
  for (auto style : allTilingStyles()) {
    if (text::lettersAndDigits(commandLineWord(style)) == typed) return style;
    if (text::lettersAndDigits(text::asciiLowercased(title(style))) == typed) return style;
  }
  if (typed == "main") return TilingStyle::mainStack;
  return std::nullopt;
}

}  // namespace kestles
