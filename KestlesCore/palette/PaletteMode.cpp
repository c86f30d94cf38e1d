#include "KestlesCore/palette/PaletteMode.hpp"

#include <algorithm>
#include <cctype>

#include "KestlesCore/keyboard/ModeKeys.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

/// Titles come from other programs: their control characters are escaped so that a row
/// stays one line and the tab before the detail stays the only one.
std::string rowText(const PaletteItem& item) {
  auto text = item.subtitle ? item.title + " — " + *item.subtitle : item.title;
  text = text::escapedControls(text, text::Backslash::kept);
  if (item.detail)
    text.append(1, '\t').append(text::escapedControls(*item.detail, text::Backslash::kept));
  return text;
}

/// What a key types into the field; nothing for a key that types no text or is held with a
/// modifier that makes it a command.
std::optional<std::string> typedText(const TypedKey& key) {
  if (key.modifiers.contains(KeyModifiers::control) ||
      key.modifiers.contains(KeyModifiers::option) || key.modifiers.contains(KeyModifiers::command))
    return std::nullopt;
  if (key.characters.empty()) return std::nullopt;
  for (unsigned char byte : key.characters)
    if (byte < 0x20 || byte == 0x7f) return std::nullopt;
  // The key's characters are what it types without modifiers: Shift can only be honoured
  // for letters, whose upper case is known without the layout.
  if (key.characters.size() == 1 && key.modifiers.contains(KeyModifiers::shift))
    return std::string(
        1, static_cast<char>(std::toupper(static_cast<unsigned char>(key.characters[0]))));
  return key.characters;
}

/// The text without its last word (and the spaces after it).
std::string withoutLastWord(std::string text) {
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  while (!text.empty() && text.back() != ' ')
    text.pop_back();
  return text;
}

/// The text without its last character (a whole grapheme cluster).
std::string withoutLastCharacter(const std::string& text) {
  auto characters = text::characters(text);
  return text.substr(0, text.size() - characters.back().size());
}

}  // namespace

PaletteMode::PaletteMode(std::vector<PaletteItem> items, PaletteRecents recents)
    : index_(std::move(items)), recents_(std::move(recents)) {
  search();
}

std::string PaletteMode::nothingMatchesSentence(std::string_view query) {
  return "Nothing in the palette matches " + text::quoted(query) + ".";
}

void PaletteMode::search() {
  rows_.clear();
  items_.clear();
  itemRows_.clear();
  for (auto& group : index_.groups(text_, recents_)) {
    rows_.push_back({std::string(title(group.section)), true});
    for (auto& item : group.items) {
      itemRows_.push_back(rows_.size());
      rows_.push_back({rowText(item), false});
      items_.push_back(std::move(item));
    }
  }
  chosen_ = 0;
  top_ = 0;
}

void PaletteMode::move(int step) {
  auto count = static_cast<int>(items_.size());
  chosen_ = static_cast<std::size_t>(((static_cast<int>(chosen_) + step) % count + count) % count);
  auto row = itemRows_[chosen_];
  if (row <= top_) {
    // Upwards: the item's heading comes into view with it.
    top_ = row > 0 && rows_[row - 1].isHeading ? row - 1 : row;
  } else if (row >= top_ + kShownRows) {
    top_ = row + 1 - kShownRows;
  }
}

PaletteMode::Outcome PaletteMode::typed(const TypedKey& key) {
  using namespace mode_keys;
  bool control = key.modifiers.contains(KeyModifiers::control);
  bool shift = key.modifiers.contains(KeyModifiers::shift);
  switch (key.keyCode) {
    case escape:
      return Outcome::closed;
    case returnKey:
    case enter:
      return items_.empty() ? Outcome::unchanged : Outcome::chosen;
    case upArrow:
    case downArrow:
    case tab: {
      if (items_.size() < 2) return Outcome::unchanged;
      bool up = key.keyCode == upArrow || (key.keyCode == tab && shift);
      move(up ? -1 : 1);
      return Outcome::changed;
    }
    case deleteKey:
      if (text_.empty()) return Outcome::unchanged;
      text_ = control ? withoutLastWord(text_) : withoutLastCharacter(text_);
      search();
      return Outcome::changed;
    default:
      break;
  }
  if (control && key.characters == "u") {
    if (text_.empty()) return Outcome::unchanged;
    text_.clear();
    search();
    return Outcome::changed;
  }
  auto typed = typedText(key);
  if (!typed) return Outcome::unchanged;
  text_ += *typed;
  search();
  return Outcome::changed;
}

const PaletteItem* PaletteMode::chosen() const {
  return items_.empty() ? nullptr : &items_[chosen_];
}

std::vector<PaletteMode::Row> PaletteMode::shownRows() const {
  auto end = std::min(rows_.size(), top_ + kShownRows);
  return {rows_.begin() + static_cast<std::ptrdiff_t>(top_),
          rows_.begin() + static_cast<std::ptrdiff_t>(end)};
}

std::optional<std::size_t> PaletteMode::chosenRow() const {
  if (items_.empty()) return std::nullopt;
  return itemRows_[chosen_] - top_;
}

}  // namespace kestles
