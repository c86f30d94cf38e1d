#include "KestlesCore/keyboard/TypedKey.hpp"

#include <array>
#include <cctype>
#include <utility>

#include "KestlesCore/keyboard/ModeKeys.hpp"
#include "KestlesCore/keys/KeyCode.hpp"

namespace kestles {
namespace {

std::string lowered(std::string_view text) {
  std::string result(text);
  for (auto& character : result)
    character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
  return result;
}

constexpr std::array<std::pair<std::string_view, int>, 4> kModifiers{{
    {"ctrl", KeyModifiers::control},
    {"alt", KeyModifiers::option},
    {"shift", KeyModifiers::shift},
    {"super", KeyModifiers::command},
}};

/// The special keys by their X keysym names, and what each types.
struct Special {
  std::string_view name;
  int keyCode;
  std::string_view characters;
};
constexpr std::array<Special, 11> kSpecial{{
    {"return", mode_keys::returnKey, "\r"},
    {"enter", mode_keys::enter, "\r"},
    {"tab", mode_keys::tab, "\t"},
    {"escape", mode_keys::escape, "\x1b"},
    {"backspace", mode_keys::deleteKey, "\x7f"},
    {"delete", mode_keys::forwardDelete, ""},
    {"space", 49, " "},
    {"left", mode_keys::leftArrow, ""},
    {"right", mode_keys::rightArrow, ""},
    {"up", mode_keys::upArrow, ""},
    {"down", mode_keys::downArrow, ""},
}};

/// The key code whose label is the character (letters upper-cased), else nothing.
std::optional<int> printableCode(char character) {
  std::string label(1, static_cast<char>(std::toupper(static_cast<unsigned char>(character))));
  for (int code = 0; code < 128; ++code)
    if (!KeyCode{code}.isSpecial() && KeyCode{code}.label() == label) return code;
  return std::nullopt;
}

}  // namespace

std::optional<TypedKey> TypedKey::named(std::string_view name) {
  TypedKey key;
  // "+" alone (or after a modifier) is the plus key's name, not a separator.
  for (auto plus = name.find('+'); plus != std::string_view::npos && plus + 1 < name.size();
       plus = name.find('+')) {
    auto word = lowered(name.substr(0, plus));
    bool known = false;
    for (const auto& [modifier, bit] : kModifiers)
      if (word == modifier) {
        key.modifiers.rawValue |= bit;
        known = true;
      }
    if (!known) return std::nullopt;
    name.remove_prefix(plus + 1);
  }
  if (name.size() == 1) {
    auto code = printableCode(name.front());
    if (!code) return std::nullopt;
    key.keyCode = *code;
    key.characters = lowered(name);
    return key;
  }
  auto word = lowered(name);
  for (const auto& special : kSpecial)
    if (word == special.name) {
      key.keyCode = special.keyCode;
      key.characters = special.characters;
      return key;
    }
  return std::nullopt;
}

std::optional<std::vector<TypedKey>> TypedKey::sequence(std::string_view names) {
  std::vector<TypedKey> keys;
  while (!names.empty()) {
    auto start = names.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    names.remove_prefix(start);
    auto end = std::min(names.find(' '), names.size());
    auto key = named(names.substr(0, end));
    if (!key) return std::nullopt;
    keys.push_back(std::move(*key));
    names.remove_prefix(end);
  }
  return keys;
}

}  // namespace kestles
