#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/keyboard/ArrangeKeys.hpp"
#include "KestlesCore/keyboard/ModeLabel.hpp"
#include "KestlesCore/keyboard/PickToTile.hpp"
#include "KestlesCore/keyboard/TileEditor.hpp"
#include "KestlesCore/keyboard/TileHints.hpp"
#include "KestlesCore/keyboard/TypedKey.hpp"
#include "KestlesCore/keyboard/WindowHints.hpp"
#include "KestlesCore/library/Library.hpp"
#include "KestlesCore/palette/PaletteAction.hpp"
#include "KestlesCore/palette/PaletteMode.hpp"
#include "KestlesCore/session/CommandPlanner.hpp"
#include "KestlesCore/session/SessionState.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// One open keyboard mode (window hints, move to tile, pick windows, edit tiles, arrange
/// with keys, the palette) over the world it opened on: the labels it shows and what each
/// typed key does, planned without a desktop. Escape ends every mode.
class KeyboardMode {
 public:
  /// What a key did.
  struct Step {
    /// Windows to put at these frames at once, with no undo step (the tile editor's windows
    /// follow its tiles while it is open).
    std::map<std::uint32_t, CGRect> follow;
    /// With an outcome, the command the outcome is recorded as, as one undo step; without
    /// one, a command to run as a link would (arrange with keys, the palette).
    std::optional<KestlesCommand> command;
    std::optional<CommandOutcome> outcome;
    /// A sentence for the user: why a mode the key asked for could not open (the mode open
    /// stays), or why the palette item chosen cannot be carried out.
    std::optional<std::string> refusal = std::nullopt;
    /// The palette action chosen, to put at the front of the recents before the command.
    std::optional<PaletteAction> recent = std::nullopt;
  };

  /// Opens the command's mode over the world; `front` is the focused window. The sentence
  /// that says why when the mode cannot open (or the command opens none).
  static std::variant<KeyboardMode, std::string> open(const KestlesCommand& command,
                                                      const World& world, const Library& library,
                                                      const SessionState& state,
                                                      std::optional<std::uint32_t> front);

  /// Whether the command opens a keyboard mode.
  static bool opens(const KestlesCommand& command);

  /// Hands a key to the mode. The mode may end with it (see `isOpen`).
  Step typed(const TypedKey& key);
  /// The world changed under an open mode (arrange with keys after each key): its legend
  /// and its next keys follow the new world, session state and front window.
  void see(const World& world, const SessionState& state, std::optional<std::uint32_t> front);

  bool isOpen() const { return !std::holds_alternative<std::monostate>(mode_); }
  /// Whether the mode stays open after a change (arrange with keys).
  bool isArranging() const { return std::holds_alternative<Arrange>(mode_); }
  /// The labels the mode shows now; none once it ended.
  std::vector<ModeLabel> labels() const;
  /// The world the mode plans on.
  const World& world() const { return world_; }

 private:
  struct Hints {
    std::vector<WindowHints::Hint> hints;
  };
  struct MoveToTile {
    std::uint32_t window = 0;
    LiveTiles session;
    std::vector<TileHints::Hint> hints;
  };
  struct Pick {
    PickToTile pick;
  };
  struct Edit {
    TileEditor editor;
  };
  struct Arrange {};
  struct Palette {
    PaletteMode palette;
    Library library;  // what the chosen item is looked up in
    CGRect display;   // the visible frame the panel shows on
  };
  using Mode = std::variant<std::monostate, Hints, MoveToTile, Pick, Edit, Arrange, Palette>;

  KeyboardMode() = default;
  /// Opens the command's mode on the mode's world; the sentence when it cannot.
  std::optional<std::string> enter(const KestlesCommand& command);
  Step typedIn(Hints& mode, const TypedKey& key);
  Step typedIn(MoveToTile& mode, const TypedKey& key);
  Step typedIn(Pick& mode, const TypedKey& key);
  Step typedIn(Edit& mode, const TypedKey& key);
  Step typedIn(Arrange& mode, const TypedKey& key);
  Step typedIn(Palette& mode, const TypedKey& key);
  Step push(TileEdge edge);
  CommandOutcome unchanged() const;
  LiveTiles session() const;

  Mode mode_;
  World world_;
  SessionState state_;
  std::optional<std::uint32_t> front_;
  Gaps gaps_;
  std::set<std::string> keptTiled_;
};

/// The arrange-with-keys legend, a column per group: its heading, then a line per hint with
/// its keys and title.
std::vector<std::vector<std::string>> legendColumns(const ArrangeKeys::Context& context);

/// What typing the keys in the command's mode does, from its opening on the world: the
/// moves of every change the keys make (each recorded in the state's undo history as the
/// app records it), the focus, the session state after, and `labels`, what the mode shows
/// when it is still open after the last key. A mode that cannot open says why.
struct ModeDryRun {
  CommandOutcome outcome;
  std::optional<std::vector<ModeLabel>> labels;
};
ModeDryRun planModeKeys(const KestlesCommand& command, const std::vector<TypedKey>& keys,
                        const World& world, const Library& library, const SessionState& state,
                        std::optional<std::uint32_t> front);

/// Keys "centre", "lines" and "highlighted"; a list panel adds "list" ("field", "width",
/// "dimmed" and, with a chosen row, "selected").
void to_json(nlohmann::json& json, const ModeLabel& label);

}  // namespace kestles
