#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestles {

/// Typed words matched against key descriptions in the settings ("⌃⌥←", "Left Half").
struct KeySearch {
  std::vector<std::string> words;  // as typed, split at white space

  KeySearch() = default;
  explicit KeySearch(std::string_view text);

  /// Whether every word occurs in the text, folded (case, diacritics, width), or in the
  /// spoken form of its key glyphs ("⌃" as "control"). The words "ctrl", "alt", "opt" and
  /// "cmd" stand for "control", "option" and "command"; a word that is itself a modifier or
  /// key glyph matches the glyph. No words match everything.
  bool matches(std::string_view text) const;

  bool operator==(const KeySearch&) const = default;
};

}  // namespace kestles
