#include "KestlesCore/keyboard/KeySearch.hpp"

#include <array>
#include <utility>

#include "KestlesCore/keys/KeyLabel.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

/// The short names people type for modifiers.
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kAliases{{
    {"ctrl", "control"},
    {"alt", "option"},
    {"opt", "option"},
    {"cmd", "command"},
}};

std::string expanded(const std::string& word) {
  for (const auto& [alias, name] : kAliases)
    if (word == alias) return std::string(name);
  return word;
}

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

KeySearch::KeySearch(std::string_view text) {
  std::string word;
  for (char c : text) {
    if (!isSpace(c)) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
}

bool KeySearch::matches(std::string_view text) const {
  std::string haystack = text::folded(text) + " " + text::folded(KeyLabel::spoken(text));
  for (const auto& word : words) {
    std::string needle = expanded(text::folded(word));
    if (haystack.find(needle) == std::string::npos) return false;
  }
  return true;
}

}  // namespace kestles
