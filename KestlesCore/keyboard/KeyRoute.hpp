#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <variant>

#include "KestlesCore/keys/KeyCombo.hpp"

namespace kestles {

/// How a command is reached from the keyboard: its own combination, or the arrange-with-keys
/// combination followed by a plain key.
struct KeyRoute {
  struct Combo {
    KeyCombo combo;
    bool operator==(const Combo&) const = default;
  };
  struct Arranging {
    KeyCombo arrange;
    KeyCombo then;
    bool operator==(const Arranging&) const = default;
  };
  std::variant<Combo, Arranging> value;

  static KeyRoute combo(KeyCombo combo) { return {Combo{combo}}; }
  static KeyRoute arranging(KeyCombo arrange, KeyCombo then) { return {Arranging{arrange, then}}; }

  /// The combination's description, or for arranging both joined by ", then " ("⌃⌥A, then S").
  std::string description() const;

  bool operator==(const KeyRoute&) const = default;
};

}  // namespace kestles

template <>
struct std::hash<kestles::KeyRoute> {
  std::size_t operator()(const kestles::KeyRoute& route) const noexcept;
};
