#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "KestlesApp/CommandRunner.hpp"
#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/keyboard/KeyboardMode.hpp"
#include "KestlesEngine/engine/Conductor.hpp"
#include "KestlesEngine/engine/WindowEngine.hpp"
#include "KestlesEngine/platform/LogSink.hpp"
#include "KestlesEngine/platform/Overlay.hpp"
#include "KestlesEngine/platform/Time.hpp"

namespace kestles::app {

/// The keyboard modes on the desktop: window hints, move to tile, pick windows, edit tiles,
/// arrange with keys and the palette. The core's `KeyboardMode` plans what each key does; this
/// shows its labels on the overlay, which holds the keyboard until the mode ends, and hands each
/// change to the command runner, which moves the windows and records the change for undo.
/// One mode is open at a time; opening one ends the one open. Main queue only.
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

  /// Shows the modes on `overlay` (nothing: every mode says it cannot open), which must
  /// outlive this object.
  KeyboardModes(Services services, platform::Overlay* overlay);
  ~KeyboardModes();
  KeyboardModes(const KeyboardModes&) = delete;
  KeyboardModes& operator=(const KeyboardModes&) = delete;

  /// Whether the command opens a keyboard mode.
  static bool opens(const KestlesCommand& command) { return KeyboardMode::opens(command); }
  /// Opens the command's mode over the windows as they are now.
  void open(const KestlesCommand& command);
  /// Ends the open mode without a change.
  void close();

 private:
  /// Hands a key to the open mode (on the main queue).
  void typed(const TypedKey& key);
  /// Shows the open mode's labels when they changed; the mode ends when the keyboard cannot
  /// be held.
  void showMode();
  /// Moves the windows to the frames at once, with no undo step.
  void place(const std::map<std::uint32_t, CGRect>& frames);
  std::optional<std::uint32_t> front();
  void tell(const std::string& sentence);

  Services services_;
  platform::Overlay* overlay_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // main queue only
  std::optional<KeyboardMode> mode_;
  std::optional<std::vector<ModeLabel>> shown_;  // the labels on the overlay
};

}  // namespace kestles::app
