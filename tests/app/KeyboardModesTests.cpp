#include "KestlesApp/KeyboardModes.hpp"

#include <gtest/gtest.h>

#include "KestlesApp/AppRuntime.hpp"
#include "KestlesCore/command/KeyBindings.hpp"
#include "KestlesEngine/platform/ModifierMasks.hpp"
#include "KestlesEngine/sim/SimDesktop.hpp"
#include "KestlesEngine/sim/SimOverlay.hpp"
#include "tests/app/RunnerDesk.hpp"

namespace kestles::app {
namespace {

using Command = KestlesCommand;

/// The keyboard modes over the simulated desktop: keys typed on the simulated overlay reach
/// the mode at once, and the commands arrange-with-keys runs go to the runner.
struct ModesDesk : RunnerDesk {
  ModesDesk() { runner.load(); }

  /// Types the keys; false when one found the keyboard let go.
  bool type(std::string_view keys) { return overlay.type(keys); }
  std::size_t undoSteps() { return runner.state().undo.entries.size(); }

  sim::SimOverlay overlay;
  sim::InlineExecutor main;
  KeyboardModes modes{{conductor, desk.engine, runner, main, desk.log,
                       [this](const Command& command) {
                         if (KeyboardModes::opens(command))
                           modes.open(command);
                         else
                           runner.run(command);
                       }},
                      &overlay};
};

/// Where each window stands. The engine leaves a window whose size is within a point of its
/// target alone, and the tiles' widths differ by such a rounding point.
std::map<std::uint32_t, CGPoint> origins(const std::map<std::uint32_t, CGRect>& frames) {
  std::map<std::uint32_t, CGPoint> result;
  for (const auto& [id, frame] : frames)
    result[id] = frame.origin;
  return result;
}

TEST(KeyboardModesTests, MoveToTileTradesTilesAsOneUndoStep) {
  ModesDesk m;
  m.run("kestles://tile");
  auto tiled = m.frames();
  m.modes.open(Command{Command::MoveToTile{}});
  ASSERT_TRUE(m.overlay.isHolding());
  // A key on each tile but the front window's own.
  EXPECT_EQ(m.overlay.labels().size(), tiled.size() - 1);
  EXPECT_EQ(m.overlay.labels().front().lines.front(), "1");

  ASSERT_TRUE(m.type("1"));

  EXPECT_FALSE(m.overlay.isHolding());
  EXPECT_TRUE(m.overlay.labels().empty());
  std::optional<std::uint32_t> partner;
  for (const auto& [id, frame] : tiled)
    if (id != 11 && frame.origin == m.frameOf(11).origin) partner = id;
  ASSERT_TRUE(partner) << "11 took no other window's tile";
  EXPECT_EQ(m.frameOf(*partner).origin, tiled[11].origin);
  EXPECT_EQ(m.undoSteps(), 2u);
  EXPECT_EQ(origins(m.frames()), origins(m.settledFrames()));
  m.run("kestles://undo");
  EXPECT_EQ(m.frames(), tiled);
}

// The windows follow the tiles while the editor is open; Escape puts them back and records
// nothing, Return keeps the whole edit as one undo step.
TEST(KeyboardModesTests, EditTilesMovesTheWindowsLiveAndKeepsOneStep) {
  ModesDesk m;
  m.run("kestles://tile");
  auto tiled = m.frames();
  m.modes.open(Command{Command::EditTiles{}});
  ASSERT_TRUE(m.type("Alt+Right"));
  EXPECT_TRUE(m.overlay.isHolding());
  EXPECT_NE(m.frames(), tiled);
  ASSERT_TRUE(m.type("Escape"));
  EXPECT_FALSE(m.overlay.isHolding());
  EXPECT_EQ(m.frames(), tiled);
  EXPECT_EQ(m.undoSteps(), 1u);

  m.modes.open(Command{Command::EditTiles{}});
  ASSERT_TRUE(m.type("Alt+Right Alt+Right Return"));
  auto edited = m.frames();
  EXPECT_NE(edited, tiled);
  EXPECT_EQ(edited, m.settledFrames());
  EXPECT_EQ(m.undoSteps(), 2u);
  EXPECT_EQ(m.runner.state().undo.peekUndo()->title, "Edit Tiles");
  m.run("kestles://undo");
  EXPECT_EQ(m.frames(), tiled);
}

TEST(KeyboardModesTests, ArrangeWithKeysRunsACommandPerKeyUnderItsLegend) {
  ModesDesk m;
  auto before = m.frames();
  m.modes.open(Command{Command::ArrangeWithKeys{}});
  ASSERT_TRUE(m.overlay.isHolding());
  ASSERT_EQ(m.overlay.labels().size(), 4u);
  EXPECT_EQ(m.overlay.labels()[2].lines.front(), "Editor");  // the front window's app

  ASSERT_TRUE(m.type("A"));  // tile
  EXPECT_TRUE(m.overlay.isHolding());
  EXPECT_NE(m.frames(), before);
  EXPECT_EQ(m.frames(), m.settledFrames());
  // The legend follows: undo now names the tiling.
  auto legend = m.overlay.shown().back();
  EXPECT_NE(legend, m.overlay.shown().front());

  ASSERT_TRUE(m.type("U"));  // undo
  EXPECT_EQ(m.frames(), before);
  ASSERT_TRUE(m.type("Escape"));
  EXPECT_FALSE(m.overlay.isHolding());
  EXPECT_FALSE(m.type("A"));  // the keyboard is let go: keys reach the windows again
  EXPECT_EQ(m.frames(), before);
}

TEST(KeyboardModesTests, WindowHintsFocusTheLetteredWindow) {
  ModesDesk m;
  m.modes.open(Command{Command::Hints{}});
  auto hints = WindowHints::hints(m.conductor.snapshot());
  auto viewer = std::find_if(hints.begin(), hints.end(),
                             [](const WindowHints::Hint& hint) { return hint.window == 21; });
  ASSERT_NE(viewer, hints.end());
  EXPECT_EQ(m.overlay.labels().size(), hints.size());

  ASSERT_TRUE(m.type(std::string(1, viewer->letter)));

  EXPECT_FALSE(m.overlay.isHolding());
  auto calls = m.desk.sim.calls();
  EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const sim::SimCall& call) {
    return call.kind == sim::SimCall::Kind::setValue && call.window == 21 && call.name == "AXMain";
  }));
}

TEST(KeyboardModesTests, AModeThatCannotOpenSaysWhyAndHoldsNothing) {
  ModesDesk m;
  m.modes.open(Command{Command::MoveToTile{}});
  EXPECT_TRUE(m.overlay.shown().empty());
  ASSERT_EQ(m.notifier.notices.size(), 1u);
  EXPECT_EQ(m.notifier.notices[0].body,
            "There are no tiles to move the window into; tile a display first.");

  m.overlay.keyboardTaken = true;
  m.modes.open(Command{Command::Hints{}});
  EXPECT_FALSE(m.overlay.isHolding());
  auto logged = m.desk.log.records(platform::LogCategory::hotkeys, platform::LogLevel::notice);
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0].message,
            "Another program holds the keyboard, so the keyboard mode didn’t open.");
  EXPECT_FALSE(m.type("A"));
}

/// The app on the simulated laptop with three windows, its modes shown on a simulated
/// overlay, its files in a temporary folder that holds the library given.
struct AppOnSim {
  explicit AppOnSim(const Library& library = {}) {
    JSONFile<Library>{folder.path() / "library.json"}.save(library);
    auto overlay = std::make_unique<sim::SimOverlay>();
    shown = overlay.get();
    layer.adoptOverlay(std::move(overlay));
    app.start();
  }

  testing::TemporaryFolder folder;
  WorldFile file =
      WorldFile::read(std::filesystem::path(KESTLES_FIXTURES) / "worlds" / "laptop-three.json");
  sim::FakeClock clock;
  sim::SimDesktop layer{file.world, clock, file.focusedWindow};
  sim::SimOverlay* shown = nullptr;
  sim::MemoryLog log;
  RecordingNotifier notifier;
  AppRuntime app{layer,
                 log,
                 notifier,
                 {folder.path() / "library.json", folder.path() / "state.json"},
                 folder.path() / "limits.json"};
};

// The app opens the modes on the overlay its desktop holds, whatever the desktop: here the
// simulated one, with a mode link and keys typed on the overlay.
TEST(KeyboardModesTests, TheAppShowsItsModesOnTheOverlayOfItsDesktop) {
  AppOnSim a;
  auto& shown = *a.shown;
  std::optional<link::LinkReply> answered;
  a.app.receive("kestles://hints", [&](const link::LinkReply& reply) { answered = reply; });
  a.app.finishQueued();
  EXPECT_EQ(answered, link::LinkReply::accepted());
  ASSERT_TRUE(shown.isHolding());
  EXPECT_FALSE(shown.labels().empty());
  ASSERT_TRUE(shown.type("Escape"));
  a.app.finishQueued();
  EXPECT_FALSE(shown.isHolding());
  EXPECT_TRUE(a.notifier.notices.empty());
}

// The panel key opens the palette on the desktop's overlay; Return hands the chosen item to
// the runner as a link would, recorded among the recents. The double Control tap opens the
// palette only when the panel trigger is that tap: it used to open window hints whatever
// the setting said.
TEST(KeyboardModesTests, ThePanelKeyOpensThePaletteAndReturnCarriesTheItemOut) {
  constexpr std::uint16_t kLeftControl = 59;
  constexpr std::uint64_t kControl = 0x40000;
  for (bool tapTrigger : {false, true}) {
    SCOPED_TRACE(tapTrigger ? "double Control trigger" : "key trigger");
    Library library;
    if (tapTrigger) library.settings.panelTrigger = PanelTrigger::doubleControl();
    AppOnSim a(library);
    auto& shown = *a.shown;
    auto& app = a.app;
    auto& layer = a.layer;
    auto& clock = a.clock;
    clock.advance(platform::seconds(100));
    for (int tap = 0; tap < 2; ++tap) {
      clock.advance(platform::seconds(0.1));
      layer.changeFlags(kLeftControl, kControl);
      clock.advance(platform::seconds(0.1));
      layer.changeFlags(kLeftControl, 0);
    }
    app.finishQueued();
    EXPECT_EQ(shown.isHolding(), tapTrigger);
    if (!tapTrigger) {
      auto keys = KeyBindings::of(library).bindings;
      auto panel = std::find_if(keys.begin(), keys.end(), [](const KeyBinding& binding) {
        return std::holds_alternative<Command::Panel>(binding.command.value);
      });
      ASSERT_NE(panel, keys.end());
      layer.press(static_cast<std::uint32_t>(panel->combo.keyCode),
                  platform::carbonModifiers(panel->combo.modifiers));
      app.finishQueued();
    }
    ASSERT_TRUE(shown.isHolding());
    ASSERT_EQ(shown.labels().size(), 1u);
    ASSERT_TRUE(shown.labels()[0].list);

    ASSERT_TRUE(shown.type("t i l e Space w i n d o w s"));
    app.finishQueued();
    EXPECT_EQ(shown.labels()[0].list->field, "tile windows");
    EXPECT_EQ(shown.labels()[0].lines.at(1), "Tile Windows");
    ASSERT_TRUE(shown.type("Return"));
    app.finishQueued();

    EXPECT_FALSE(shown.isHolding());
    auto state = SessionState::read(a.folder.path() / "state.json");
    EXPECT_EQ(state.paletteRecents.actions,
              std::vector<PaletteAction>{{PaletteAction::Plain::tileWindows}});
    ASSERT_NE(state.undo.peekUndo(), nullptr) << "the tiling was carried out";
    EXPECT_EQ(state.undo.peekUndo()->title, "Tile Windows");
    // The only notice is the one that says how to undo what the palette did.
    ASSERT_EQ(a.notifier.notices.size(), 1u);
    EXPECT_EQ(a.notifier.notices[0].title, "Tile Windows");
  }
}

// A palette item that cannot be carried out says why, and the keyboard is let go; Escape
// closes the palette without doing anything.
TEST(KeyboardModesTests, ThePaletteSaysWhyAnItemCannotRunAndEscapeClosesIt) {
  ModesDesk m;
  auto before = m.frames();
  m.modes.open(Command{Command::Panel{}});
  ASSERT_TRUE(m.overlay.isHolding());
  ASSERT_TRUE(m.type("t i l e Escape"));
  EXPECT_FALSE(m.overlay.isHolding());
  EXPECT_TRUE(m.notifier.notices.empty());

  m.modes.open(Command{Command::Panel{}});
  ASSERT_TRUE(m.type("s a v e Space l a y o u t"));
  ASSERT_EQ(m.overlay.labels()[0].lines.at(1), "Save Layout…");
  ASSERT_TRUE(m.type("Return"));
  EXPECT_FALSE(m.overlay.isHolding());
  ASSERT_EQ(m.notifier.notices.size(), 1u);
  EXPECT_TRUE(m.notifier.notices[0].body.starts_with("“Save Layout…” can’t be done"))
      << m.notifier.notices[0].body;
  EXPECT_EQ(m.frames(), before);
  EXPECT_EQ(m.undoSteps(), 0u);
}

// A desktop without an overlay (sway) cannot show a mode: its link is refused with the
// reason instead of being taken and doing nothing; window commands still run.
TEST(KeyboardModesTests, WithoutAnOverlayAModeLinkSaysItIsNotAvailable) {
  testing::TemporaryFolder folder;
  sim::SimDesktop layer(
      WorldFile::read(std::filesystem::path(KESTLES_FIXTURES) / "worlds" / "laptop-three.json"));
  sim::MemoryLog log;
  RecordingNotifier notifier;
  AppRuntime app(layer, log, notifier,
                 {folder.path() / "library.json", folder.path() / "state.json"},
                 folder.path() / "limits.json");
  app.start();

  for (const char* link : {"kestles://hints", "kestles://edit-tiles"}) {
    std::optional<link::LinkReply> answered;
    app.receive(link, [&](const link::LinkReply& reply) { answered = reply; });
    EXPECT_EQ(answered,
              link::LinkReply::refused("Keyboard modes are not available on this desktop."))
        << link;
  }
  std::optional<link::LinkReply> tiled;
  app.receive("kestles://tile", [&](const link::LinkReply& reply) { tiled = reply; });
  app.finishQueued();
  ASSERT_TRUE(tiled);
  EXPECT_NE(tiled->kind, link::LinkReply::Kind::error) << tiled->sentence;
}

}  // namespace
}  // namespace kestles::app
