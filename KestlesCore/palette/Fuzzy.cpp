#include "KestlesCore/palette/Fuzzy.hpp"

#include <algorithm>

#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

constexpr unsigned char kLetterOrDigit = 1, kLowercase = 2, kUppercase = 4;

// The terms of a score, in the order they are applied.
constexpr int kPerLetter = 1;
constexpr int kAtStart = 12;
constexpr int kWordStart = 8;
constexpr int kCapitalInWord = 8;
constexpr int kFirstLetterPenaltyCap = 6;
constexpr int kNextToPrevious = 5;
constexpr int kGapPenaltyCap = 4;
constexpr int kWholePrefix = 20;
constexpr int kWholeInside = 6;
constexpr int kScale = 100;
constexpr int kLengthCap = 99;

int lengthPenalty(const Fuzzy::Folded& folded) {
  return static_cast<int>(std::min<std::size_t>(folded.letters.size(), kLengthCap));
}

/// Where folding changed the number of characters, positions in the folded text say
/// nothing about the original, so only the order of the letters counts.
std::optional<int> subsequenceScore(const Fuzzy::Query& query, const Fuzzy::Folded& folded) {
  auto at = folded.letters.begin();
  for (const auto& letter : query.letters) {
    at = std::find(at, folded.letters.end(), letter);
    if (at == folded.letters.end()) return std::nullopt;
    ++at;
  }
  return kScale - lengthPenalty(folded);
}

}  // namespace

Fuzzy::Query Fuzzy::Query::of(std::string_view typed) {
  Query query;
  for (auto& character : text::characters(text::folded(text::trimmed(typed)))) {
    if (text::characterClass(character).isWhiteSpace) continue;
    query.whole += character;
    query.letters.push_back(std::move(character));
  }
  return query;
}

Fuzzy::Folded Fuzzy::Folded::of(std::string_view text) {
  Folded folded;
  folded.original = text::characters(text);
  folded.whole = text::folded(text);
  folded.letters = text::characters(folded.whole);
  folded.classes_.reserve(folded.original.size());
  for (const auto& character : folded.original) {
    auto kind = text::characterClass(character);
    folded.classes_.push_back(static_cast<unsigned char>(
        (kind.isLetterOrDigit ? kLetterOrDigit : 0) | (kind.isLowercase ? kLowercase : 0) |
        (kind.isUppercase ? kUppercase : 0)));
  }
  return folded;
}

std::optional<int> Fuzzy::score(const Query& query, const Folded& folded) {
  if (query.isEmpty()) return std::nullopt;
  if (folded.letters.size() != folded.original.size()) return subsequenceScore(query, folded);
  const auto& letters = folded.letters;
  const auto& classes = folded.classes_;
  std::size_t position = 0;
  std::optional<std::size_t> previous;
  int s = 0;
  for (const auto& letter : query.letters) {
    auto found =
        std::find(letters.begin() + static_cast<std::ptrdiff_t>(position), letters.end(), letter);
    if (found == letters.end()) return std::nullopt;
    auto i = static_cast<std::size_t>(found - letters.begin());
    s += kPerLetter;
    if (i == 0)
      s += kAtStart;
    else if (!(classes[i - 1] & kLetterOrDigit))
      s += kWordStart;
    else if ((classes[i - 1] & kLowercase) && (classes[i] & kUppercase))
      s += kCapitalInWord;
    if (!previous)
      s -= static_cast<int>(std::min<std::size_t>(i, kFirstLetterPenaltyCap));
    else if (i == *previous + 1)
      s += kNextToPrevious;
    else
      s -= static_cast<int>(std::min<std::size_t>(i - *previous - 1, kGapPenaltyCap));
    position = i + 1;
    previous = i;
  }
  if (folded.whole.starts_with(query.whole))
    s += kWholePrefix;
  else if (folded.whole.find(query.whole) != std::string::npos)
    s += kWholeInside;
  return s * kScale - lengthPenalty(folded);
}

}  // namespace kestles
