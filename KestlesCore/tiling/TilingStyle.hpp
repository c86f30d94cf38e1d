#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace kestles {

/// The four ways of tiling a display's windows.
enum class TilingStyle { grid, mainStack, spiral, columns };

/// Every style, in case order.
std::span<const TilingStyle> allTilingStyles();

/// The raw value stored in files ("mainStack").
std::string_view rawValue(TilingStyle style);

/// The style of a raw value, or nothing.
std::optional<TilingStyle> tilingStyleFromRawValue(std::string_view raw);

/// The title shown to users ("Main + Stack").
std::string_view title(TilingStyle style);

/// The word of the "--style" option and of links ("main-stack").
std::string_view commandLineWord(TilingStyle style);

/// The style names rule: lower-cased letters and digits equal to a style's word or title,
/// tried in case order; failing all, "main" names main-stack.
std::optional<TilingStyle> readTilingStyle(std::string_view text);

}  // namespace kestles
