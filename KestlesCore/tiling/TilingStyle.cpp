#include "KestlesCore/tiling/TilingStyle.hpp"

#include "KestlesCore/text/Text.hpp"

namespace kestles {

std::string_view rawValue(TilingStyle style) {
  switch (style) {
    case TilingStyle::grid:
      return "grid";
    case TilingStyle::mainStack:
      return "mainStack";
    case TilingStyle::spiral:
      return "spiral";
    case TilingStyle::columns:
      return "columns";
  }
  return "grid";
}

std::optional<TilingStyle> tilingStyleFromRawValue(std::string_view raw) {
  for (auto style : kAllTilingStyles)
    if (rawValue(style) == raw) return style;
  return std::nullopt;
}

std::string_view title(TilingStyle style) {
  switch (style) {
    case TilingStyle::grid:
      return "Grid";
    case TilingStyle::mainStack:
      return "Main + Stack";
    case TilingStyle::spiral:
      return "Spiral";
    case TilingStyle::columns:
      return "Columns";
  }
  return "Grid";
}

std::string_view commandLineWord(TilingStyle style) {
  return style == TilingStyle::mainStack ? "main-stack" : rawValue(style);
}

std::optional<TilingStyle> readTilingStyle(std::string_view text) {
  auto typed = text::lettersAndDigits(text::asciiLowercased(text));
  for (auto style : kAllTilingStyles) {
    if (text::lettersAndDigits(commandLineWord(style)) == typed) return style;
    if (text::lettersAndDigits(text::asciiLowercased(title(style))) == typed) return style;
  }
  if (typed == "main") return TilingStyle::mainStack;
  return std::nullopt;
}

}  // namespace kestles
