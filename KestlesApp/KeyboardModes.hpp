#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "KestlesApp/CommandRunner.hpp"
#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/keyboard/ArrangeKeys.hpp"
#include "KestlesCore/keyboard/PickToTile.hpp"
#include "KestlesCore/keyboard/TileEditor.hpp"
#include "KestlesCore/keyboard/TileHints.hpp"
#include "KestlesCore/keyboard/WindowHints.hpp"
#include "KestlesEngine/engine/Conductor.hpp"
#include "KestlesEngine/engine/WindowEngine.hpp"
#include "KestlesEngine/platform/LogSink.hpp"
#include "KestlesEngine/platform/Time.hpp"
#include "KestlesEngine/x11/overlay/X11Overlay.hpp"

namespace kestles::app {

/// The keyboard modes on the desktop: window hints, move to tile, pick windows, edit tiles
/// and arrange with keys. A mode shows its keys over the windows, holds the keyboard until
/// it ends (Escape ends every one) and hands its result to the command runner, which moves
/// the windows and records the change for undo. One mode is open at a time; opening one
/// ends the one open. Main queue only, except where said.
class KeyboardModes {
 public:
  struct Services {
    engine::Conductor& conductor;
    engine::WindowEngine& engine;
    CommandRunner& runner;
    platform::SerialExecutor& main;
    platform::LogSink& log;
    /// Runs a command as a link would (arrange-with-keys runs one per key).
    std::function<void(const KestlesCommand&)> run;
  };

  /// Draws on the X display `display` (nothing: $DISPLAY); without one every mode says it
  /// cannot open.
  KeyboardModes(Services services, const std::optional<std::string>& display);
  ~KeyboardModes();
  KeyboardModes(const KeyboardModes&) = delete;
  KeyboardModes& operator=(const KeyboardModes&) = delete;

  /// Whether the command opens a keyboard mode.
  static bool opens(const KestlesCommand& command);
  /// Opens the command's mode over the windows as they are now.
  void open(const KestlesCommand& command);
  /// Ends the open mode without a change.
  void close();

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
  using Mode = std::variant<std::monostate, Hints, MoveToTile, Pick, Edit, Arrange>;

  /// Hands a key to the open mode (on the main queue).
  void typed(const x11::OverlayKey& key);
  void typedIn(Hints& mode, const x11::OverlayKey& key);
  void typedIn(MoveToTile& mode, const x11::OverlayKey& key);
  void typedIn(Pick& mode, const x11::OverlayKey& key);
  void typedIn(Edit& mode, const x11::OverlayKey& key);
  void typedIn(Arrange& mode, const x11::OverlayKey& key);
  void push(TileEdge edge);
  /// Shows the open mode's labels; the mode ends when the keyboard cannot be held.
  void showMode();
  std::vector<x11::OverlayLabel> labels() const;
  /// Moves the windows to the frames at once, with no undo step (the tile editor's windows
  /// follow its tiles while it is open).
  void place(const std::map<std::uint32_t, CGRect>& frames);
  void finish(const KestlesCommand& command, CommandOutcome outcome);
  CommandOutcome unchanged() const;
  std::optional<std::uint32_t> front();
  void tell(const std::string& sentence);

  Services services_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // main queue only
  std::unique_ptr<x11::X11Overlay> overlay_;
  Mode mode_;
  World world_;                         // when the mode opened
  std::optional<std::uint32_t> front_;  // the focused window then
};

/// The arrange-with-keys legend, a column per group: its heading, then a line per hint with
/// its keys and title.
std::vector<std::vector<std::string>> legendColumns(const ArrangeKeys::Context& context);

}  // namespace kestles::app
