#pragma once

#include <optional>
#include <variant>

#include "KestlesCore/settings/KeyCommand.hpp"
#include "KestlesCore/snap/SnapAction.hpp"

namespace kestles {

/// What a key combination is used for.
struct ShortcutUse {
  struct Panel {
    bool operator==(const Panel&) const = default;
  };
  /// The digit keys 1 to 9 with the kestle modifiers.
  struct Kestles {
    bool operator==(const Kestles&) const = default;
  };
  /// The digit keys 1 to 9 with the layout modifiers.
  struct Layouts {
    bool operator==(const Layouts&) const = default;
  };
  std::variant<KeyCommand, SnapAction, Panel, Kestles, Layouts> value;

  static ShortcutUse command(KeyCommand command) { return {command}; }
  static ShortcutUse snap(SnapAction action) { return {action}; }
  static ShortcutUse panel() { return {Panel{}}; }
  static ShortcutUse kestles() { return {Kestles{}}; }
  static ShortcutUse layouts() { return {Layouts{}}; }

  bool operator==(const ShortcutUse&) const = default;
};

/// The outcome of recording a key combination.
struct RecordResult {
  /// Taken; `takenFrom` names the use that had the combination before, if any.
  struct Recorded {
    std::optional<ShortcutUse> takenFrom;
    bool operator==(const Recorded&) const = default;
  };
  /// Refused: the combination belongs to a use that cannot give it up.
  struct Reserved {
    ShortcutUse use;
    bool operator==(const Reserved&) const = default;
  };
  /// Refused: no ⌃, ⌥ or ⌘.
  struct NeedsModifier {
    bool operator==(const NeedsModifier&) const = default;
  };
  /// Refused: the kestle and layout keys are set with a digit key 1 to 9.
  struct NeedsNumber {
    bool operator==(const NeedsNumber&) const = default;
  };
  std::variant<Recorded, Reserved, NeedsModifier, NeedsNumber> value;

  static RecordResult recorded(std::optional<ShortcutUse> takenFrom) {
    return {Recorded{std::move(takenFrom)}};
  }
  static RecordResult reserved(ShortcutUse use) { return {Reserved{use}}; }
  static RecordResult needsModifier() { return {NeedsModifier{}}; }
  static RecordResult needsNumber() { return {NeedsNumber{}}; }

  bool operator==(const RecordResult&) const = default;
};

}  // namespace kestles
