#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestles {

/// The palette's fuzzy matcher: a typed query scored against titles and keywords, with
/// case, diacritics and width folded away and characters counted as grapheme clusters.
struct Fuzzy {
  /// A typed query, prepared once per search.
  struct Query {
    std::vector<std::string> letters;  // the folded query's characters, white space removed
    std::string whole;                 // the letters as one string

    /// The query of a typed text; empty letters when the text is only white space.
    static Query of(std::string_view typed);
    bool isEmpty() const { return letters.empty(); }
  };

  /// A searchable text, prepared once when the palette's items are indexed.
  struct Folded {
    std::vector<std::string> original;  // the text's characters
    std::vector<std::string> letters;   // the folded text's characters
    std::string whole;                  // the folded text

    /// The prepared form of a title or keyword.
    static Folded of(std::string_view text);

   private:
    friend struct Fuzzy;
    // Per original character: a letter or digit, lower case, upper case (bits 0, 1, 2).
    std::vector<unsigned char> classes_;
  };

  /// The query's score against the text, higher is better; nothing when it does not match.
  static std::optional<int> score(const Query& query, const Folded& folded);
};

}  // namespace kestles
