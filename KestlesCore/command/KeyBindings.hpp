#pragma once

#include <string>
#include <vector>

#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/keys/KeyCombo.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/settings/KeyCommand.hpp"

namespace kestles {

/// One global key and the command it gives.
struct KeyBinding {
  KeyCombo combo;
  KestlesCommand command;
  std::string title;  // what the key is for, for the log ("Tile Windows", "Kestle “Code”")
  bool operator==(const KeyBinding&) const = default;
};

/// Every global key the library's settings ask for: the commands' keys, the snap keys when
/// they are on, the digit keys of numbered kestles and layouts. A combination already taken
/// by an earlier binding goes to `clashes` instead, so that one key never runs two commands.
struct KeyBindings {
  std::vector<KeyBinding> bindings;
  std::vector<KeyBinding> clashes;
  bool operator==(const KeyBindings&) const = default;

  static KeyBindings of(const Library& library);
};

/// The command a key command gives.
KestlesCommand commandOf(KeyCommand command);

}  // namespace kestles
