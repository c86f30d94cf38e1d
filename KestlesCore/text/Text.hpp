#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestles::text {

/// Folds case, diacritics and width (only the <wide>/<narrow> mappings) without
/// a locale. Invalid UTF-8 bytes become U+FFFD, so the result is always valid.
std::string folded(std::string_view text);

/// The text as valid UTF-8: every byte that is not part of a valid sequence becomes U+FFFD.
std::string repairedUTF8(std::string_view text);

/// The bytes without a UTF-8 sequence left unfinished at their end, as when a read stops at
/// a byte limit: a lead byte followed by fewer continuation bytes than it announces is
/// dropped whole. Every other byte, invalid ones included, is kept.
std::string_view withoutPartialEnd(std::string_view bytes);

/// What `escapedControls` does with a backslash.
enum class Backslash {
  doubled,  // "\\": nothing in the text can pass for an escape (logs)
  kept,     // as it is, so that names read as typed (listings)
};

/// Text from outside made safe to print on one line of a terminal or a log: line feed, tab
/// and carriage return become "\n", "\t", "\r"; other C0 controls and DEL become "\xHH";
/// a C1 control (U+0080 to U+009F, which terminals obey) becomes the escapes of its two
/// bytes ("\xC2\x9B"); a byte that is not valid UTF-8 becomes its escape too. Every other
/// character is kept, so the result is valid UTF-8 holding no control character.
std::string escapedControls(std::string_view text, Backslash backslash = Backslash::doubled);

/// Removes white space (any Unicode space separator or control space) at both ends.
std::string trimmed(std::string_view text);

/// Keeps only letters and digits (Unicode categories L and N).
std::string lettersAndDigits(std::string_view text);

/// The form used to compare spellings: folded, trimmed, then letters and digits only.
std::string normalized(std::string_view text);

/// The form used to compare names: folded and trimmed.
std::string nameKey(std::string_view text);

/// The number of user-perceived characters (extended grapheme clusters).
std::size_t characterCount(std::string_view text);

/// The user-perceived characters (extended grapheme clusters), each as its own UTF-8 text.
std::vector<std::string> characters(std::string_view text);

/// What a character is, judged by its first code point's category.
struct CharacterClass {
  bool isLetterOrDigit = false;
  bool isLowercase = false;  // a lower-case letter (Ll)
  bool isUppercase = false;  // an upper-case or title-case letter (Lu, Lt)
  bool isWhiteSpace = false;
};

/// The class of one character (a grapheme cluster); an empty text is none of them.
CharacterClass characterClass(std::string_view character);

/// Lower-cases ASCII letters only.
std::string asciiLowercased(std::string_view text);

/// Lower-cases every letter by its Unicode simple lower-case mapping, without a locale.
std::string lowercased(std::string_view text);

/// The text between typographic quotes, as messages name what a user typed: “text”.
std::string quoted(std::string_view text);

/// Joins items with a separator.
std::string joined(std::span<const std::string> items, std::string_view separator);

/// The name rule: an empty text matches nothing; the first name equal to the text
/// after folding and trimming wins; else the only name that starts with the text.
/// Returns the index of the match, or nothing.
std::optional<std::size_t> matchName(std::string_view text, std::span<const std::string> names);

/// The name rule over any list, reading each item's name through `nameOf`.
template <class Item, class NameOf>
std::optional<std::size_t> matchName(std::string_view text, const std::vector<Item>& items,
                                     NameOf nameOf) {
  std::vector<std::string> names;
  names.reserve(items.size());
  for (const auto& item : items)
    names.emplace_back(std::invoke(nameOf, item));
  return matchName(text, names);
}

}  // namespace kestles::text
