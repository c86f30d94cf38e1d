#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "KestlesCore/keys/KeyCode.hpp"
#include "KestlesCore/keys/KeyModifiers.hpp"
#include "KestlesCore/layout/TileEdge.hpp"
#include "KestlesCore/settings/KeyCommand.hpp"
#include "KestlesCore/snap/SnapAction.hpp"

namespace kestles {

/// The arrange-with-keys mode: plain keys run arrangement commands one after another until
/// Escape or Return; its legend adapts to the front window.
struct ArrangeKeys {
  /// What a key runs.
  struct Action {
    struct Push {
      TileEdge edge = TileEdge::left;
      bool operator==(const Push&) const = default;
    };
    struct Done {
      bool operator==(const Done&) const = default;
    };
    std::variant<KeyCommand, SnapAction, Push, Done> value;

    static Action command(KeyCommand command) { return {command}; }
    static Action snap(SnapAction action) { return {action}; }
    /// Pushes the front window's edge outward.
    static Action push(TileEdge edge) { return {Push{edge}}; }
    /// Ends the mode.
    static Action done() { return {Done{}}; }

    /// A stable name: "command.rotate", "snap.larger", "push.left", "done".
    std::string name() const;

    bool operator==(const Action&) const = default;
  };

  /// The legend's sections, in order.
  enum class Group { arrows, tiles, window, more };

  /// One line of the legend: its keys run its actions, one action per key.
  struct Hint {
    std::vector<Action> actions;
    std::vector<KeyCode> keys;  // keys[i] runs actions[i]
    KeyModifiers modifiers;
    std::string title;
    std::string symbol;  // a system symbol image name
    Group group = Group::more;

    /// The first action's name, stable while the title adapts.
    std::string id() const;
    /// The keys as shown: the modifier glyphs, then the labels ("⇧←→↑↓", "= -").
    std::string keyText() const;
    /// The keys as read aloud: "Arrow keys" for the four arrows, else the spoken labels,
    /// after "Shift with " or "Option with " ("Shift with Arrow keys").
    std::string spokenKeys() const;

    bool operator==(const Hint&) const = default;
  };

  /// What the legend adapts to.
  struct Context {
    std::optional<std::string> appName;  // of the front window
    std::optional<bool> isTiled;         // whether the front window is tiled
    bool putsBack = false;               // tile-or-float would put the window back
    std::optional<bool> keepsTiled;      // whether its display is kept tiled
    std::optional<std::string> undoTitle;
    bool hasOtherDisplays = false;
    bool operator==(const Context&) const = default;
  };

  /// The legend for the context, group by group; each hint's keys come from the key map
  /// (for an action with several keys the lowest key code; Escape for `done`).
  static std::vector<Hint> hints(const Context& context);

  /// The action of a key: an exact match of key and modifiers in the key map; failing that,
  /// with Shift alone, the key's plain action (so "+" on ⇧= grows, and caps lock-style
  /// shifted letters still work). Nothing otherwise.
  static std::optional<Action> action(int keyCode, KeyModifiers modifiers);

  /// A group's heading: "Arrows", "Tiles", the front app's name (else "Window"), "More".
  static std::string heading(Group group, const Context& context);
};

}  // namespace kestles
