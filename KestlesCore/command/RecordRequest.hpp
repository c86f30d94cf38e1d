#pragma once

#include <variant>

#include "KestlesCore/library/Kestle.hpp"
#include "KestlesCore/palette/PaletteAction.hpp"

namespace kestles {

/// What a one-shot process asks the running app to write for it. The app is the only writer of
/// the library and the session state, so the palette's recents and the assistant's kestles
/// reach the files through it, as links like the commands (see `recordLink`).
struct RecordRequest {
  /// Puts a palette action at the front of the recents.
  struct PaletteRecent {
    PaletteAction action;
    bool operator==(const PaletteRecent&) const = default;
  };
  /// Adds a kestle to the library under a unique name (`Library::addKestle`).
  struct AddKestle {
    Kestle kestle;
    bool operator==(const AddKestle&) const = default;
  };
  std::variant<PaletteRecent, AddKestle> value;

  bool operator==(const RecordRequest&) const = default;
};

}  // namespace kestles
