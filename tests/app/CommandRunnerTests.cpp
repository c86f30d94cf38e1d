#include "KestlesApp/CommandRunner.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "KestlesCore/archive/KestlesArchive.hpp"
#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/command/KeyBindings.hpp"
#include "KestlesCore/keys/KeyLabel.hpp"
#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"
#include "KestlesCore/tiling/Suggestion.hpp"
#include "tests/app/RunnerDesk.hpp"

namespace kestles::app {
namespace {

TEST(CommandRunnerTests, TilesWhereTheStateSaysAndUndoPutsEveryWindowBack) {
  RunnerDesk r;
  r.runner.load();
  auto before = r.frames();

  r.run("kestles://tile");
  EXPECT_EQ(r.frames(), r.settledFrames());
  EXPECT_NE(r.frames(), before);
  ASSERT_EQ(r.savedState().undo.entries.size(), 1u);
  EXPECT_EQ(r.savedState().tilings.size(), 1u);

  r.run("kestles://undo");
  EXPECT_EQ(r.frames(), before);
  EXPECT_TRUE(r.savedState().undo.entries.empty());
  EXPECT_EQ(r.savedState().undo.redoEntries.size(), 1u);
  EXPECT_TRUE(r.savedState().tilings.empty());
  // Only the notice that names the tile and the key that undoes it.
  ASSERT_EQ(r.notifier.notices.size(), 1u);
  EXPECT_EQ(r.notifier.notices[0].title, "Tile Windows");
}

TEST(CommandRunnerTests, SnapsTheFocusedWindowAndRestartsWithItsHistory) {
  RunnerDesk r;
  r.runner.load();
  auto before = r.frameOf(11);
  r.run("kestles://snap/left-half");
  EXPECT_EQ(r.frameOf(11), r.settledFrames()[11]);
  EXPECT_LE(r.frameOf(11).size.width, 720);  // the left half of the 1440-point display

  // A new app run reads the history the last one saved and can still undo the snap.
  CommandRunner restarted{{r.conductor, r.desk.engine, r.desk.log, r.notifier},
                          {r.folder.path() / "library.json", r.folder.path() / "state.json"}};
  restarted.load();
  restarted.run(*decodeCommandLink("kestles://undo"));
  EXPECT_EQ(r.frameOf(11), before);
}

TEST(CommandRunnerTests, ADropSnapsAsOneUndoStepFlashesAndOwnTileFloats) {
  RunnerDesk r;
  r.runner.load();
  std::vector<SnapFlash::Shown> flashes;
  r.runner.onSnapped = [&](const SnapFlash::Shown& shown) { flashes.push_back(shown); };
  auto before = r.conductor.snapshot();
  auto start = r.frameOf(11);

  // Dropped at the left edge: the left half, flashed under its own name.
  r.runner.drop(11, {3, 450}, before);
  auto half = r.frameOf(11);
  EXPECT_LE(half.size.width, 720);
  ASSERT_EQ(flashes.size(), 1u);
  EXPECT_EQ(flashes[0].label.title, "Left Half");
  EXPECT_EQ(flashes[0].frame, half);
  r.run("kestles://undo");
  EXPECT_EQ(r.frameOf(11), start);
  // The key snap lands where the drop did, and flashes too.
  r.run("kestles://snap/left-half");
  EXPECT_EQ(r.frameOf(11), half);
  EXPECT_EQ(flashes.size(), 2u);

  // A tiled window dropped on its own tile leaves its tiling where it was let go.
  r.run("kestles://tile");
  auto tiled = r.conductor.snapshot();
  auto tile = r.frameOf(11);
  ASSERT_TRUE(tilingHolding(r.runner.state().tilings, 11));
  r.runner.drop(11, {tile.midX(), tile.midY()}, tiled);
  EXPECT_FALSE(tilingHolding(r.runner.state().tilings, 11));
  EXPECT_EQ(r.frameOf(11), tile);
  EXPECT_EQ(flashes.size(), 2u) << "a drop that snaps nowhere does not flash";
}

TEST(CommandRunnerTests, AWindowThatGotAClosedWindowsNumberInheritsNoneOfItsMemories) {
  // A new window inherited a closed window's memories: the editor's window 11 was snapped,
  // the editor quit, and the viewer's next window got number 11; Restore and Undo then moved
  // it to 11's old frames. Both while the app runs and after it starts again.
  for (bool restart : {false, true}) {
    SCOPED_TRACE(restart ? "after a restart" : "while running");
    RunnerDesk r;
    r.runner.load();
    r.run("kestles://snap/left-half");
    ASSERT_EQ(r.runner.state().snapMemory.entries.size(), 1u);

    r.desk.sim.quit(kEditor);
    CGRect own{300, 300, 500, 400};
    r.desk.sim.addWindow(engine::testing::window(11, engine::testing::kViewer, own, -1));
    r.desk.sim.setFocusedApp(engine::testing::kViewer);
    r.desk.sim.setFocusedWindow(11);
    CommandRunner restarted{{r.conductor, r.desk.engine, r.desk.log, r.notifier},
                            {r.folder.path() / "library.json", r.folder.path() / "state.json"}};
    restarted.load();
    auto& runner = restart ? restarted : r.runner;

    runner.run(*decodeCommandLink("kestles://snap/restore"));
    EXPECT_EQ(r.frameOf(11), own);
    runner.run(*decodeCommandLink("kestles://undo"));
    EXPECT_EQ(r.frameOf(11), own);
    ASSERT_FALSE(r.notifier.notices.empty());
    EXPECT_EQ(r.notifier.notices.back().body, "There’s nothing to undo.");
    EXPECT_TRUE(r.savedState().snapMemory.entries.empty());
  }
}

// A command was carried out with the plan made while its window was full screen: the window
// manager puts a window back at its own frame when it leaves full screen, so the frames
// planned from the full-screen frame no longer held.
TEST(CommandRunnerTests, AWindowLeavingFullScreenIsPlannedAgainWhereItLanded) {
  auto world = smallWorld();
  world.windows[2].frame = {0, 0, 1440, 900};
  world.windows[2].isFullScreen = true;
  RunnerDesk r(world);
  r.desk.sim.setFocusedApp(engine::testing::kViewer);
  r.desk.sim.setFocusedWindow(21);
  r.runner.load();
  // The window manager brings the window back to its old frame a moment after it left.
  const CGRect own{0, 25, 500, 500};
  r.desk.clock.schedule(platform::seconds(0.2), [&] {
    auto element = r.desk.sim.elementOf(21);
    r.desk.sim.ax().setValue(element, "AXPosition", platform::AXValue{own.origin});
    r.desk.sim.ax().setValue(element, "AXSize", platform::AXValue{own.size});
  });
  auto landed = world;
  landed.windows[2].frame = own;
  landed.windows[2].isFullScreen = false;
  auto expected =
      planCommand(*decodeCommandLink("kestles://snap/center"), landed, Library{}, {}, 21);
  ASSERT_EQ(expected.frames.size(), 1u);

  r.run("kestles://snap/center");
  EXPECT_EQ(r.frameOf(21), (CGRect{0, 0, 1440, 900}));  // nothing placed while it settles
  r.desk.clock.advance(platform::seconds(3));

  EXPECT_FALSE(r.desk.sim.window(21)->isFullScreen);
  EXPECT_EQ(r.frameOf(21), expected.frames.at(21));
  // Undo puts it back where it landed, the frame the change was planned from.
  r.run("kestles://undo");
  EXPECT_EQ(r.frameOf(21), own);
}

TEST(CommandRunnerTests, CommandsThatCannotRunHereSaySoAndMoveNothing) {
  struct Case {
    std::string link;
    std::string sentenceStart;
  };
  const std::vector<Case> cases = {
      {"kestles://kestle/Nowhere", "No kestle matches “Nowhere”."},
      {"kestles://undo", "There’s nothing to undo."},
      {"kestles://open/layouts", "Kestles has no settings window"},
      {"kestles://panel", "The palette needs an X display"},
      {"kestles://hints", "The keyboard modes need an X display"},
      {"kestles://tour", "The tour and the tips"},
  };
  for (const auto& c : cases) {
    RunnerDesk r;
    r.runner.load();
    r.desk.sim.clearCalls();
    r.run(c.link);
    ASSERT_EQ(r.notifier.notices.size(), 1u) << c.link;
    EXPECT_TRUE(r.notifier.notices[0].body.starts_with(c.sentenceStart))
        << c.link << ": " << r.notifier.notices[0].body;
    EXPECT_EQ(r.desk.sim.writes(), std::vector<sim::SimWrite>{}) << c.link;
  }
}

TEST(CommandRunnerTests, KeepTiledTakesInANewWindowAndIsSavedInTheLibrary) {
  RunnerDesk r;
  r.runner.load();
  r.run("kestles://keep-tiled/on");
  EXPECT_EQ(r.savedLibrary().settings.keptTiled, (std::set<std::string>{"LEFT"}));
  EXPECT_EQ(r.frames(), r.settledFrames());

  auto added = engine::testing::window(13, kEditor, {50, 50, 300, 300}, -1);
  r.desk.sim.addWindow(added);
  r.desk.world.windows.push_back(added);
  r.runner.windowsChanged();
  EXPECT_NE(r.frameOf(13), (CGRect{50, 50, 300, 300}));
  EXPECT_EQ(r.frames(), r.settledFrames());
}

// With keep tiled on, a window that opened while the tiles were full floated for ever, even
// after a tile was freed.
TEST(CommandRunnerTests, KeepTiledHandsAFreedTileToTheWaitingWindow) {
  // Five windows, one app each past the editor's two; the grid holds four on this display.
  auto world = smallWorld();
  for (std::int32_t pid : {303, 404}) {
    world.apps.push_back({pid, "com.example.app" + std::to_string(pid), "App", false});
    auto added = engine::testing::window(static_cast<std::uint32_t>(pid / 10), pid,
                                         {400, 300, 400, 300}, pid);
    added.bundleID = "com.example.app" + std::to_string(pid);
    world.windows.push_back(added);
  }
  RunnerDesk r{world};
  r.runner.load();
  r.run("kestles://keep-tiled/on");
  const auto& tiling = r.runner.state().tilings.at("LEFT");
  ASSERT_EQ(tiling.windowIDs().size(), 4u);
  std::optional<std::uint32_t> waiting, closing;
  for (const auto& window : r.desk.world.windows) {
    if (!tiling.contains(window.id))
      waiting = window.id;
    else if (window.pid != kEditor && !closing)
      closing = window.id;
  }
  ASSERT_TRUE(waiting && closing);
  auto waitingFrame = r.frameOf(*waiting);
  auto freed = r.frameOf(*closing);
  auto closingPID = r.desk.sim.window(*closing)->pid;

  r.desk.sim.quit(closingPID);
  std::erase_if(r.desk.world.windows, [&](const auto& window) { return window.id == *closing; });
  r.runner.windowsChanged();
  EXPECT_NE(r.frameOf(*waiting), waitingFrame);
  EXPECT_EQ(r.frameOf(*waiting), freed);
  EXPECT_TRUE(r.runner.state().tilings.at("LEFT").contains(*waiting));
  EXPECT_EQ(r.frames(), r.settledFrames());
}

TEST(CommandRunnerTests, GapsAreKeptInTheLibraryAndUndoBringsTheOldOnesBack) {
  RunnerDesk r;
  r.runner.load();
  r.run("kestles://tile");
  auto gaps = r.runner.library().settings.gaps;
  r.run("kestles://gaps/wider");
  EXPECT_NE(r.savedLibrary().settings.gaps, gaps);
  EXPECT_EQ(r.frames(), r.settledFrames());
  r.run("kestles://undo");
  EXPECT_EQ(r.savedLibrary().settings.gaps, gaps);
}

TEST(CommandRunnerTests, WritesTheRecentsAndKestlesOtherProcessesHandItAndKeepsThem) {
  RunnerDesk r;
  r.runner.load();
  r.run("kestles://tile");
  PaletteAction grid{PaletteAction::TileAs{TilingStyle::grid}};
  r.runner.record({RecordRequest::PaletteRecent{grid}});
  auto focus = Kestle::make("Focus");
  r.runner.record({RecordRequest::AddKestle{focus}});
  r.runner.record({RecordRequest::AddKestle{Kestle::make("Focus")}});
  EXPECT_EQ(r.savedState().paletteRecents.actions, std::vector{grid});
  auto names = [&] {
    std::vector<std::string> result;
    for (const auto& kestle : r.savedLibrary().kestles)
      result.push_back(kestle.name);
    return result;
  };
  EXPECT_EQ(names(), (std::vector<std::string>{"Focus", "Focus 2"}));

  // Later writes of the app's keep them: they are the app's own.
  r.run("kestles://kestle/Focus");
  r.run("kestles://undo");
  EXPECT_EQ(r.savedState().paletteRecents.actions, std::vector{grid});
  EXPECT_EQ(names(), (std::vector<std::string>{"Focus", "Focus 2"}));
  EXPECT_EQ(r.savedState().undo.redoEntries.size(), 1u);
}

TEST(CommandRunnerTests, ImportsAnArchiveAndTellsWhatCameIn) {
  RunnerDesk r;
  r.runner.load();
  Library source;
  source.addKestle(Kestle::make("Deep Work"));
  auto archive = r.folder.path() / "shared.kestles";
  std::ofstream(archive) << KestlesArchive::ofLibrary(source).encoded();

  r.runner.importArchive(archive);
  ASSERT_EQ(r.savedLibrary().kestles.size(), 1u);
  EXPECT_EQ(r.notifier.notices.back(), (Notice{"Imported", "1 kestle"}));
  r.runner.importArchive(archive);
  EXPECT_EQ(r.notifier.notices.back().title, "Nothing to import");
  r.runner.importArchive(r.folder.path() / "missing.kestles");
  EXPECT_TRUE(r.notifier.notices.back().body.starts_with("There’s no file at"));
}

// An archive shared by someone else carried their keys and switches into the library; they
// come in only when asked for, and the notice says what stayed.
TEST(CommandRunnerTests, ImportKeepsTheUsersSettingsUnlessAsked) {
  RunnerDesk r;
  r.runner.load();
  Library source;
  source.addKestle(Kestle::make("Deep Work"));
  source.settings.showsTips = false;
  auto archive = r.folder.path() / "shared.kestles";
  std::ofstream(archive) << KestlesArchive::ofLibrary(source).encoded();

  r.runner.importArchive(archive);
  EXPECT_EQ(r.savedLibrary().settings, Settings{});
  EXPECT_EQ(r.notifier.notices.back(),
            (Notice{"Imported",
                    "1 kestle. Your settings stay as they are; import the file with "
                    "--settings to take its settings instead."}));
  r.runner.importArchive(archive, true);
  EXPECT_FALSE(r.savedLibrary().settings.showsTips);
  EXPECT_EQ(r.notifier.notices.back(), (Notice{"Imported", "settings"}));
}

TEST(CommandRunnerTests, AFileURLNamesItsPath) {
  EXPECT_EQ(pathOfFileURL("file:///tmp/My%20Library.kestles"),
            std::filesystem::path("/tmp/My Library.kestles"));
  EXPECT_EQ(pathOfFileURL("file:///tmp/What%3F.kestles?settings"),
            std::filesystem::path("/tmp/What?.kestles"));
  EXPECT_EQ(pathOfFileURL("file://localhost/a"), std::filesystem::path("/a"));
  EXPECT_EQ(pathOfFileURL("file://elsewhere/a"), std::nullopt);
  EXPECT_EQ(pathOfFileURL("kestles://tile"), std::nullopt);
}

/// Four windows on the 1440 × 875 visible frame of the small world.
World fourWindows() {
  auto world = smallWorld();
  world.windows.push_back(
      engine::testing::window(22, engine::testing::kViewer, {300, 300, 500, 400}, 3));
  return world;
}

// An asked-for style gave whatever led the suggestions board: `tile --style columns` laid four
// windows out as a grid, and repeated presses of one style wandered off through the board.
TEST(CommandRunnerTests, AnAskedForStyleLeadsAndARepeatedPressStepsOn) {
  RunnerDesk r{fourWindows()};
  r.runner.load();
  auto shapeOf = [&] { return unitFrames(r.runner.state().tilings.at("LEFT").shape); };
  auto styled = [&](TilingStyle style) { return unitFrames(shapeForCount(4, {1440, 875}, style)); };
  ASSERT_FALSE(sameTiles(styled(TilingStyle::columns), styled(TilingStyle::grid)));

  for (auto style : {TilingStyle::columns, TilingStyle::grid}) {
    std::string link = "kestles://tile?style=" + std::string(rawValue(style));
    SCOPED_TRACE(link);
    r.run(link);
    EXPECT_TRUE(sameTiles(shapeOf(), styled(style)));
    EXPECT_EQ(r.frames(), r.settledFrames());
    // The same press again lays the same windows out another way, then another.
    r.run(link);
    auto second = shapeOf();
    EXPECT_FALSE(sameTiles(second, styled(style)));
    r.run(link);
    EXPECT_FALSE(sameTiles(shapeOf(), second));
  }
}

}  // namespace
}  // namespace kestles::app

namespace kestles::app {
namespace {

TEST(CommandRunnerTests, ADisplayThatLeavesKeepsItsTilesForItsReturn) {
  RunnerDesk r;
  r.runner.load();
  r.run("kestles://tile");
  auto tiled = r.frames();
  auto full = r.desk.world.setup;
  DisplaySetup rightOnly{{full.displays[1]}};
  r.notifier.notices.clear();  // the tile's undo notice

  r.runner.displaysChanged(full);
  EXPECT_TRUE(r.notifier.notices.empty()) << "the first look only learns the displays";
  r.runner.displaysChanged(rightOnly);
  EXPECT_EQ(r.notifier.notices.back().title, "Built-in disconnected");
  EXPECT_FALSE(r.savedState().tilings.contains("LEFT"));

  // The windows wandered off while the display was away; its tiles bring them back.
  for (std::uint32_t id : {11u, 12u, 21u})
    r.desk.sim.ax().setValue(r.desk.sim.elementOf(id), "AXPosition",
                             platform::AXValue{CGPoint{5, 40}});
  r.runner.displaysChanged(full);
  EXPECT_EQ(r.notifier.notices.back().title, "Built-in connected");
  EXPECT_TRUE(r.savedState().tilings.contains("LEFT"));
  EXPECT_EQ(r.frames(), tiled);
}

}  // namespace
}  // namespace kestles::app

namespace kestles::app {
namespace {

TEST(CommandRunnerTests, AnAppLeftOutIsNotTiledUntilItIsTiledAgain) {
  RunnerDesk r;
  r.runner.load();
  auto editorFrame = r.frameOf(11);
  r.run("kestles://leave-out/on");  // the front window's app: the editor
  ASSERT_EQ(r.savedLibrary().settings.floatingApps,
            (std::vector<AppRef>{{"com.example.editor", "Editor"}}));
  EXPECT_EQ(r.notifier.notices.back().body, "Editor is left out of tiles.");

  r.run("kestles://tile");
  EXPECT_EQ(r.frameOf(11), editorFrame);
  EXPECT_NE(r.frameOf(21), (CGRect{0, 25, 500, 500}));

  r.run("kestles://leave-out/off?app=editor");
  EXPECT_TRUE(r.savedLibrary().settings.floatingApps.empty());
  r.run("kestles://leave-out?app=Nothing");
  EXPECT_TRUE(r.notifier.notices.back().body.starts_with("No open app matches “Nothing”."))
      << r.notifier.notices.back().body;
}

TEST(CommandRunnerTests, ALinkIsAnsweredWithHowItEnded) {
  // The sender used to hear "ok" for everything, and the sentences went to notices only.
  RunnerDesk r;
  r.runner.load();
  using link::LinkReply;
  EXPECT_EQ(r.answer("kestles://snap/maximize"), LinkReply::accepted());
  EXPECT_EQ(r.answer("kestles://snap/maximize"),
            LinkReply::refused("The window already stands there."));
  EXPECT_EQ(r.answer("kestles://kestle/Nowhere").kind, LinkReply::Kind::error);
  EXPECT_EQ(r.answer("kestles://panel").kind, LinkReply::Kind::error);
  // The sender prints them; a notice would say the same twice. Only the undo notice came.
  ASSERT_EQ(r.notifier.notices.size(), 1u);
  EXPECT_EQ(r.notifier.notices[0].title, "Maximize");

  // A command that did nothing from a key has nobody to answer: it is a notice.
  r.run("kestles://snap/maximize");
  EXPECT_EQ(r.notifier.notices.back(), (Notice{"Kestles", "The window already stands there."}));
}

TEST(CommandRunnerTests, WindowsThatRefuseTheirFramesMakeAPartlyDoneCommand) {
  // An app that stops answering between the snapshot and its move: the other windows move,
  // and the sender hears which did not. Where in its calls it stops is tried in turn.
  std::optional<link::LinkReply> partly;
  for (int call = 1; call <= 40 && !partly; ++call) {
    RunnerDesk r;
    r.runner.load();
    r.desk.sim.stopAnswering(engine::testing::kViewer, call);
    auto answer = r.answer("kestles://tile");
    if (answer.kind == link::LinkReply::Kind::partly) partly = answer;
  }
  ASSERT_TRUE(partly) << "the viewer never stopped answering between the snapshot and its move";
  EXPECT_EQ(partly->sentence, "Couldn't move Viewer.");
}

TEST(CommandRunnerTests, TheUndoNoticeNamesWhatWasDoneAndTheKeyThatUndoesIt) {
  for (bool on : {true, false}) {
    SCOPED_TRACE(on ? "on" : "off");
    RunnerDesk r;
    Library library;
    library.settings.showsUndoToast = on;
    JSONFile<Library>{r.folder.path() / "library.json"}.save(library);
    r.runner.load();
    std::optional<KeyCombo> undoKey;
    for (const auto& binding : KeyBindings::of(library).bindings)
      if (std::holds_alternative<KestlesCommand::Undo>(binding.command.value))
        undoKey = binding.combo;
    ASSERT_TRUE(undoKey);
    r.run("kestles://tile");
    r.run("kestles://undo");  // an undo is not itself undone by a key
    if (on)
      EXPECT_EQ(
          r.notifier.notices,
          (std::vector<Notice>{{"Tile Windows", KeyLabel::written(*undoKey) + " undoes it."}}));
    else
      EXPECT_TRUE(r.notifier.notices.empty());
  }
}

// The windows of apps a kestle opened never entered the session's tilings: a later swap,
// rotation or keep tiled took their tiles for empty.
struct OpeningDesk {
  static constexpr std::int32_t kNotes = 303;
  inline static const AppRef kNotesApp{"com.example.notes", "Notes"};

  /// The kestle "Pair": the editor on the left half of LEFT, Notes (installed, not running,
  /// its window 31 coming `after` opening) on the right.
  explicit OpeningDesk(double after, const World& world = editorAlone()) : r(world) {
    auto display = r.desk.world.setup.displays.front();
    Kestle pair = Kestle::make("Pair");
    const auto* halves = Template::withID("halves");
    pair.arrangements["LEFT"] = {{{DisplayKind::of(display),
                                   halves->shape,
                                   LayoutRef::templateLayout("halves"),
                                   {AppRef{"com.example.editor", "Editor"}, kNotesApp}}}};
    Library library;
    library.kestles = {pair};
    JSONFile<Library>{r.folder.path() / "library.json"}.save(library);
    notes = engine::testing::window(31, kNotes, {300, 300, 500, 400}, 0);
    notes.bundleID = kNotesApp.bundleID;
    notes.appName = kNotesApp.name;
    r.desk.sim.install(kNotesApp, {kNotes, {notes}, platform::seconds(after), false});
    r.runner.load();
  }

  /// The editor's window 11 alone on the display.
  static World editorAlone() {
    auto world = smallWorld();
    std::erase_if(world.windows, [](const auto& window) { return window.id != 11; });
    return world;
  }

  RunnerDesk r;
  WindowSnapshot notes;
};

TEST(CommandRunnerTests, AnOpenedAppsWindowJoinsItsTileAndASwapMovesIt) {
  OpeningDesk o(1.0);
  auto& r = o.r;
  r.run("kestles://kestle/Pair");
  auto editorTile = r.frameOf(11);
  r.desk.clock.advance(platform::seconds(2));
  ASSERT_TRUE(r.desk.sim.window(31));
  auto notesTile = r.frameOf(31);
  EXPECT_EQ(r.runner.state().tilings.at("LEFT").windows,
            (std::vector<std::optional<std::uint32_t>>{11, 31}));
  EXPECT_EQ(r.savedState().tilings, r.runner.state().tilings) << "the state is saved";

  r.desk.sim.setFocusedWindow(31);
  EXPECT_EQ(r.answer("kestles://swap/left"), link::LinkReply::accepted());
  EXPECT_EQ(r.frameOf(31), editorTile);
  EXPECT_EQ(r.frameOf(11), notesTile);
}

// With keep tiled on, the new window used to be taken as a stranger: the editor's second
// window, waiting for a tile, took the one opened for Notes. The window's arrival is the
// moment to place it, not the next poll.
TEST(CommandRunnerTests, AnOpenedAppsWindowTakesItsOwnTileBeforeKeepTiledSeesIt) {
  auto world = smallWorld();
  std::erase_if(world.windows, [](const auto& window) { return window.id == 21; });
  OpeningDesk o(1.1, world);
  auto& r = o.r;
  r.run("kestles://keep-tiled/on");
  r.run("kestles://kestle/Pair");
  auto opened = r.runner.state().tilings.at("LEFT").tileID(1);
  ASSERT_TRUE(opened);
  r.desk.clock.advance(platform::seconds(1.1));  // the window is there; the poll is at 1.2 s
  ASSERT_TRUE(r.desk.sim.window(31));
  r.desk.world.windows.push_back(o.notes);
  r.runner.windowsChanged();
  const auto& tiling = r.runner.state().tilings.at("LEFT");
  ASSERT_TRUE(tiling.tileOf(31));
  EXPECT_EQ(tiling.tileID(*tiling.tileOf(31)), opened) << ::testing::PrintToString(tiling.windows);
  // Placed at its arrival, where its tile is.
  EXPECT_EQ(r.frameOf(31), r.settledFrames().at(31));
}

// The kestle a display change switched to gives way to the one before when the displays leave.
TEST(CommandRunnerTests, AKestleSwitchedForTheDisplaysGivesWayToTheOneBeforeWhenTheyLeave) {
  RunnerDesk r;
  auto full = r.desk.world.setup;
  DisplaySetup leftOnly{{full.displays[0]}};
  auto screen = [](const DisplayInfo& display, const char* layout, std::optional<AppRef> app) {
    return KestleScreen{DisplayKind::of(display),
                        Template::withID(layout)->shape,
                        LayoutRef::templateLayout(layout),
                        {std::move(app)}};
  };
  Kestle home = Kestle::make("Home");
  home.arrangements["LEFT"] = {
      {screen(full.displays[0], "centered", AppRef{"com.example.editor", "Editor"})}};
  Kestle talk = Kestle::make("Talk");
  talk.arrangements[full.fingerprint()] = {
      {screen(full.displays[0], "centered", AppRef{"com.example.editor", "Editor"}),
       screen(full.displays[1], "centered", AppRef{"com.example.viewer", "Viewer"})}};
  Library library;
  library.kestles = {home, talk};
  library.currentKestleID = home.id;
  library.rules = {{DisplayKind::of(full.displays[1]), LayoutRef::templateLayout("halves")}};
  JSONFile<Library>{r.folder.path() / "library.json"}.save(library);
  r.runner.load();

  r.runner.displaysChanged(leftOnly);
  r.runner.displaysChanged(full);
  EXPECT_EQ(r.notifier.notices.back().title,
            "Studio connected. Switched to the kestle “Talk”, made for these displays; the one "
            "before comes back when they leave.");
  EXPECT_EQ(r.savedLibrary().currentKestleID, talk.id);
  EXPECT_GE(r.frameOf(21).origin.x, 1440) << "the viewer went to the display Talk puts it on";
  EXPECT_EQ(r.savedState().focusReturn, (FocusReturn{true, home.id, talk.id}));

  r.runner.displaysChanged(leftOnly);
  EXPECT_EQ(r.notifier.notices.back().title, "Studio disconnected. Back to the kestle “Home”.");
  EXPECT_EQ(r.savedLibrary().currentKestleID, home.id);
  EXPECT_EQ(r.savedState().focusReturn, FocusReturn{});
}

// A window floated out of its tile stays where it floats when the display is tiled again.
TEST(CommandRunnerTests, AFloatedWindowIsLeftOutOfTheNextTiling) {
  RunnerDesk r;
  r.runner.load();
  r.run("kestles://tile");
  r.run("kestles://tile-or-float");  // the focused window, 11
  ASSERT_FALSE(r.runner.state().tilings.at("LEFT").contains(11));
  auto floated = r.frameOf(11);

  EXPECT_EQ(r.answer("kestles://tile?style=columns"), link::LinkReply::accepted());
  EXPECT_EQ(r.frameOf(11), floated);
  EXPECT_EQ(r.runner.state().tilings.at("LEFT").windowIDs(), (std::vector<std::uint32_t>{12, 21}));
}

}  // namespace
}  // namespace kestles::app
