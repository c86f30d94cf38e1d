#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kestles {

/// The text with every key glyph that `drawable` says the font lacks written as its word
/// instead ("⎋" as "Esc", "⌃" as "Ctrl+", "↩" as "Return"), so that no key shows as an empty
/// box. Other characters stay as they are. `drawable` is asked about one glyph at a time.
std::string withGlyphWords(std::string_view text,
                           const std::function<bool(std::string_view glyph)>& drawable);

}  // namespace kestles
