#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/palette/PaletteItem.hpp"

namespace kestles {

/// What choosing a palette item comes to where the palette is a list on the command line
/// rather than the app's own window: a command for the running app, a window to bring
/// forward, or the sentence that says the item can only be used elsewhere.
struct PaletteChoice {
  struct Link {
    KestlesCommand command;
    bool operator==(const Link&) const = default;
  };
  struct FocusWindow {
    std::uint32_t window = 0;
    bool operator==(const FocusWindow&) const = default;
  };
  struct Elsewhere {
    std::string sentence;
    bool operator==(const Elsewhere&) const = default;
  };
  std::variant<Link, FocusWindow, Elsewhere> value;

  /// The command of an item. Kestles are named by their id and saved layouts by their name,
  /// as the links' name lookup reads both; an item whose kestle or layout has left the
  /// library is `Elsewhere`, with a sentence that says so.
  static PaletteChoice of(const PaletteItem& item, const Library& library);

  bool operator==(const PaletteChoice&) const = default;
};

}  // namespace kestles
