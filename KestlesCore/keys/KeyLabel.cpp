#include "KestlesCore/keys/KeyLabel.hpp"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "KestlesCore/text/Text.hpp"

namespace kestles::KeyLabel {
namespace {

using Pair = std::pair<std::string_view, std::string_view>;

constexpr std::array<std::string_view, 4> kModifierGlyphs{"⌃", "⌥", "⇧", "⌘"};

constexpr std::array<Pair, 6> kKeyWords{{
    {"⇥", "tab"},
    {"↩", "return"},
    {"⌫", "delete"},
    {"⎋", "esc"},
    {"⌤", "enter"},
    {"Space", "space"},
}};

constexpr std::array<Pair, 6> kWordTitles{{
    {"esc", "Escape"},
    {"tab", "Tab"},
    {"return", "Return"},
    {"delete", "Delete"},
    {"enter", "Enter"},
    {"space", "Space"},
}};

// Glyphs and punctuation keys that are read by name; each is a word of its own.
constexpr std::array<Pair, 29> kSpokenNames{{
    {"⌃", "Control"},      {"⌥", "Option"},       {"⇧", "Shift"},         {"⌘", "Command"},
    {"←", "Left Arrow"},   {"→", "Right Arrow"},  {"↑", "Up Arrow"},      {"↓", "Down Arrow"},
    {"↩", "Return"},       {"⇥", "Tab"},          {"⌫", "Delete"},        {"⌦", "Forward Delete"},
    {"⎋", "Escape"},       {"⌤", "Enter"},        {"↖", "Home"},          {"↘", "End"},
    {"⇞", "Page Up"},      {"⇟", "Page Down"},    {",", "Comma"},         {".", "Period"},
    {"=", "Equals"},       {"-", "Minus"},        {"/", "Slash"},         {";", "Semicolon"},
    {"'", "Quote"},        {"[", "Left Bracket"}, {"]", "Right Bracket"}, {"\\", "Backslash"},
    {"`", "Grave Accent"},
}};

// The names Linux desktops and their manuals give the special keys.
constexpr std::array<std::pair<int, std::string_view>, 27> kLinuxKeyNames{{
    {36, "Return"},  {48, "Tab"},   {49, "Space"}, {51, "Backspace"}, {53, "Esc"},
    {117, "Delete"}, {76, "Enter"}, {123, "Left"}, {124, "Right"},    {125, "Down"},
    {126, "Up"},     {115, "Home"}, {119, "End"},  {116, "Page Up"},  {121, "Page Down"},
    {122, "F1"},     {120, "F2"},   {99, "F3"},    {118, "F4"},       {96, "F5"},
    {97, "F6"},      {98, "F7"},    {100, "F8"},   {101, "F9"},       {109, "F10"},
    {103, "F11"},    {111, "F12"},
}};

// Super first: every default key holds it, so lists of keys line up by what follows.
constexpr std::array<std::pair<int, std::string_view>, 4> kLinuxModifierNames{{
    {KeyModifiers::command, "Super"},
    {KeyModifiers::control, "Ctrl"},
    {KeyModifiers::option, "Alt"},
    {KeyModifiers::shift, "Shift"},
}};

constexpr std::string_view kArrowRun = "←→↑↓";
constexpr std::string_view kArrowKeys = "Arrow keys";
constexpr std::string_view kEnDash = "\u2013";
// Spoken between the first and last keys of a range: 1 to 9.
constexpr std::string_view kRangeWord = "to";
constexpr std::string_view kThinSpace = "\u2009";

template <std::size_t N>
std::optional<std::string_view> lookUp(const std::array<Pair, N>& table, std::string_view key) {
  for (const auto& [from, to] : table)
    if (from == key) return to;
  return std::nullopt;
}

std::size_t codePointLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

bool isWhiteSpace(std::string_view character) {
  return !character.empty() && text::trimmed(character).empty();
}

// Collects words; ordinary characters build up a word until something else ends it.
struct Words {
  std::vector<std::string> words;
  std::string pending;

  void endWord() {
    if (!pending.empty()) words.push_back(std::move(pending));
    pending.clear();
  }
  void add(std::string_view word) {
    endWord();
    words.emplace_back(word);
  }
};

}  // namespace

std::string typed(std::string_view label) {
  std::size_t split = 0;
  for (bool found = true; found;) {
    found = false;
    for (auto glyph : kModifierGlyphs) {
      if (label.substr(split).starts_with(glyph)) {
        split += glyph.size();
        found = true;
      }
    }
  }
  auto word = lookUp(kKeyWords, label.substr(split));
  if (!word) return std::string(label);
  if (split == 0) return std::string(*word);
  std::string result(label.substr(0, split));
  result.append(kThinSpace).append(*word);
  return result;
}

std::string written(KeyModifiers modifiers) {
  std::string text;
  for (const auto& [bit, name] : kLinuxModifierNames)
    if (modifiers.contains(bit)) text.append(text.empty() ? "" : "+").append(name);
  return text;
}

std::string written(KeyCode key) {
  for (const auto& [code, name] : kLinuxKeyNames)
    if (code == key.rawValue) return std::string(name);
  return key.label();
}

std::string written(const KeyCombo& combo) {
  auto text = written(combo.modifiers);
  return text.empty() ? written(combo.key()) : text + "+" + written(combo.key());
}

std::string title(std::string_view word) {
  return std::string(lookUp(kWordTitles, word).value_or(word));
}

std::string spoken(std::string_view text) {
  Words words;
  for (std::size_t at = 0; at < text.size();) {
    if (text.substr(at).starts_with(kArrowRun)) {
      words.add(kArrowKeys);
      at += kArrowRun.size();
      continue;
    }
    auto character = text.substr(at, codePointLength(static_cast<unsigned char>(text[at])));
    at += character.size();
    if (auto name = lookUp(kSpokenNames, character)) {
      words.add(*name);
    } else if (character == kEnDash) {
      words.add(kRangeWord);
    } else if (isWhiteSpace(character)) {
      words.endWord();
    } else {
      words.pending.append(character);
    }
  }
  words.endWord();
  return text::joined(words.words, " ");
}

}  // namespace kestles::KeyLabel
