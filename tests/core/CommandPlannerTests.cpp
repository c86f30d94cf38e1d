#include "KestlesCore/session/CommandPlanner.hpp"

#include <gtest/gtest.h>

#include "ApplyTestSupport.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/session/CommandRecord.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

KestlesCommand command(const std::string& link) {
  auto decoded = decodeCommandLink(link);
  EXPECT_TRUE(decoded) << link;
  return decoded.value_or(KestlesCommand{});
}

/// The world with each moved window at the frame the outcome gave it.
World carriedOut(World world, const CommandOutcome& outcome) {
  for (auto& window : world.windows)
    if (auto found = outcome.frames.find(window.id); found != outcome.frames.end())
      window.frame = found->second;
  return world;
}

TEST(CommandPlanner, SettlingPutsTiledAndSnappedWindowsWhereTheCommandsLeftThem) {
  auto world = laptopAndWide();
  for (auto& window : world.windows)
    if (window.id == 11) window.minimumSize = {900, 400};  // wider than half the laptop
  Library library;
  auto tiled = planCommand(command("kestles://tile"), world, library, {}, 11);
  ASSERT_FALSE(tiled.message);
  auto snapped = planCommand(command("kestles://snap/right-half"), world, library, tiled.state, 32);
  ASSERT_EQ(snapped.frames.size(), 1u);
  auto state = snapped.state;
  state.tilings["GONE"] = Tiling::make("GONE", templateShape("halves"), std::nullopt, {21});

  auto settled = settledWorld(world, state, library.settings.gaps);
  auto expected = carriedOut(carriedOut(world, tiled), snapped);
  EXPECT_EQ(settled, expected);
  // Settled, the same command finds its windows in place and steps on.
  auto again = planCommand(command("kestles://tile"), settled, library, state, 11);
  ASSERT_TRUE(again.plan && tiled.plan);
  EXPECT_EQ(again.plan->arrangement, tiled.plan->nextArrangement);
}

// The kept displays are the library's until a dry run records its own set in the state; what
// a look finds is remembered, so looking again at the settled world changes nothing.
TEST(CommandPlanner, KeepTiledReadsTheDryRunsOwnSetBeforeTheLibrarys) {
  auto world = laptopAndWide();
  Library library;
  library.settings.keptTiled = {"LAPTOP"};
  auto look = planTileChanges(world, library, {});
  EXPECT_EQ(look.notice, "Keep Tiled made room for 2 windows");
  EXPECT_EQ(look.state.tilings.at("LAPTOP").windows,
            (std::vector<std::optional<std::uint32_t>>{11, 22}));
  EXPECT_EQ(look.state.liveTiles.order(), (std::vector<std::uint32_t>{11, 22}));
  auto again =
      planTileChanges(settledWorld(world, look.state, library.settings.gaps), library, look.state);
  EXPECT_TRUE(again.frames.empty());
  EXPECT_FALSE(again.notice);

  // The front window (11) is on the laptop, which the library keeps: the toggle turns it off.
  auto off = planCommand(command("kestles://keep-tiled"), world, library, look.state, 11);
  EXPECT_EQ(off.keptTiled, std::set<std::string>{});
  EXPECT_EQ(off.state.keptTiled, std::set<std::string>{});
  EXPECT_TRUE(off.frames.empty());
  EXPECT_FALSE(off.state.keptTiles.known.contains("LAPTOP"));
  world.windows.erase(world.windows.begin());  // 11 closes; nothing kept closes up behind it
  EXPECT_TRUE(planTileChanges(world, library, off.state).frames.empty());

  auto wideOn = planCommand(command("kestles://keep-tiled/on?display=Studio"), world, library,
                            off.state, std::nullopt);
  EXPECT_EQ(wideOn.keptTiled, std::set<std::string>{"WIDE"});
  EXPECT_EQ(wideOn.notice, "Keep Tiled made room for 2 windows");  // 21 and 32
}

TEST(CommandPlanner, SwappingDisplaysNeedsASecondDisplayAndCarriesWhatTheDisplaysKnow) {
  Library library;
  auto single = worldOf({laptop()});
  single.windows = {window(1, kCode, 101, {10, 50, 600, 400})};
  auto alone = planCommand(command("kestles://swap-displays"), single, library, {}, 1);
  EXPECT_TRUE(alone.frames.empty());
  EXPECT_FALSE(alone.message);

  SessionState state;
  state.keptTiles.known = {{"LAPTOP", {11, 22}}, {"WIDE", {21, 32}}};
  state.tilings["LAPTOP"] = Tiling::make("LAPTOP", templateShape("halves"), std::nullopt, {11, 22});
  auto swapped =
      planCommand(command("kestles://swap-displays"), laptopAndWide(), library, state, 11);
  EXPECT_EQ(swapped.state.keptTiles.known, (std::map<std::string, std::set<std::uint32_t>>{
                                               {"WIDE", {11, 22}}, {"LAPTOP", {21, 32}}}));
  EXPECT_FALSE(swapped.state.tilings.contains("LAPTOP"));
  EXPECT_EQ(swapped.state.tilings.at("WIDE").windows,
            (std::vector<std::optional<std::uint32_t>>{11, 22}));
}

TEST(CommandPlanner, OutcomesOfCommandsThatMoveNothing) {
  auto world = laptopAndWide();
  Library library;
  // Rearranging without a tiling, or make-main of an untiled window: nothing, and why.
  for (const char* link : {"kestles://rotate", "kestles://make-main", "kestles://swap/left"}) {
    auto outcome = planCommand(command(link), world, library, {}, 22);
    EXPECT_TRUE(outcome.frames.empty()) << link;
    EXPECT_FALSE(outcome.message) << link;
    EXPECT_EQ(outcome.unchanged, "The focused window’s display has no tiles; tile it first.")
        << link;
    EXPECT_EQ(outcome.state, SessionState{}) << link;
  }
  auto json = outcomeJSON(planCommand(command("kestles://rotate"), world, library, {}, 22), false);
  EXPECT_EQ(json, (nlohmann::json{
                      {"frames", nlohmann::json::object()},
                      {"unchanged", "The focused window’s display has no tiles; tile it first."}}));
}

// Undo is planned on the world like any other command: the recorded frames of the windows
// still open, the tilings back, and the entry that redoes it holds the frames the windows
// have now and the library values the undo puts back; the library itself is left alone.
TEST(CommandPlanner, UndoPutsTheNewestEntryBackAndKeepsItsOpposite) {
  auto world = laptopAndWide();
  Library library;
  auto tile = command("kestles://tile");
  auto tiled = planCommand(tile, world, library, {}, 11);
  auto entry = undoEntryFor(tile, tiled, world, library, {});
  ASSERT_TRUE(entry);
  ASSERT_EQ(entry->frames.size(), 2u);
  auto previous = UUID::random();
  entry->previousKestleID = previous;
  auto state = tiled.state;
  state.undo.record(*entry);
  auto current = UUID::random();
  library.currentKestleID = current;
  // One of the tiled windows closed since.
  auto after = carriedOut(world, tiled);
  auto closed = std::prev(entry->frames.end())->first;
  std::erase_if(after.windows, [&](const WindowSnapshot& window) { return window.id == closed; });

  auto undone = planCommand(command("kestles://undo"), after, library, state, 11);

  ASSERT_FALSE(undone.message);
  ASSERT_TRUE(undone.undone);
  EXPECT_EQ(undone.undone->id, entry->id);
  auto back = entry->frames;
  back.erase(closed);
  EXPECT_EQ(undone.frames, back);
  EXPECT_TRUE(undone.state.tilings.empty());
  EXPECT_TRUE(undone.state.undo.entries.empty());
  ASSERT_EQ(undone.state.undo.redoEntries.size(), 1u);
  const auto& redo = undone.state.undo.redoEntries.front();
  EXPECT_EQ(redo.frames, (std::map<std::uint32_t, CGRect>{
                             {back.begin()->first, tiled.frames.at(back.begin()->first)}}));
  EXPECT_EQ(redo.previousKestleID, current);
  ASSERT_TRUE(redo.rearrangement);
  // The tilings it replaced, without the window that closed.
  EXPECT_EQ(redo.rearrangement->tilings, state.forgettingClosedWindows(after).tilings);
  EXPECT_EQ(library.currentKestleID, current);

  auto nothing = planCommand(command("kestles://undo"), world, library, {}, 11);
  EXPECT_EQ(nothing.message, "There’s nothing to undo.");
  EXPECT_TRUE(nothing.frames.empty());
  EXPECT_FALSE(nothing.undone);
}

// Redo takes the newest entry of the redo stack the way undo takes the undo stack's, and the
// entry that undoes it again goes back on the undo stack: tile, undo, redo, undo goes back and
// forth without losing either side.
TEST(CommandPlanner, RedoPutsBackWhatUndoTookAway) {
  auto world = laptopAndWide();
  Library library;
  auto tile = command("kestles://tile");
  auto tiled = planCommand(tile, world, library, {}, 11);
  auto state = tiled.state;
  state.undo.record(*undoEntryFor(tile, tiled, world, library, {}));
  auto afterTile = carriedOut(world, tiled);

  auto undone = planCommand(command("kestles://undo"), afterTile, library, state, 11);
  ASSERT_TRUE(undone.undone);
  auto afterUndo = carriedOut(afterTile, undone);
  EXPECT_EQ(afterUndo, world);

  auto redone = planCommand(command("kestles://redo"), afterUndo, library, undone.state, 11);
  ASSERT_FALSE(redone.message);
  ASSERT_TRUE(redone.undone);
  EXPECT_EQ(redone.frames, tiled.frames);
  EXPECT_EQ(redone.state.tilings, tiled.state.tilings);
  EXPECT_TRUE(redone.state.undo.redoEntries.empty());
  ASSERT_EQ(redone.state.undo.entries.size(), 1u);

  auto again = planCommand(command("kestles://undo"), carriedOut(afterUndo, redone), library,
                           redone.state, 11);
  EXPECT_EQ(carriedOut(carriedOut(afterUndo, redone), again), world);

  auto nothing = planCommand(command("kestles://redo"), world, library, state, 11);
  EXPECT_EQ(nothing.message, "There’s nothing to redo.");
  EXPECT_FALSE(nothing.undone);
}

// Saving reads the windows as they stand: side by side windows become a tree of tiles, each
// pinned to its window's app, under a name the library does not hold yet; --update rewrites
// only the arrangement for the displays connected now.
TEST(CommandPlanner, SaveMakesAKestleOfTheWindowsOnEveryDisplay) {
  World world;
  world.setup.displays = {laptop(), wide()};
  world.windows = {window(1, kCode, 10, {0, 38, 756, 944}),
                   window(2, kSafari, 20, {756, 38, 756, 944}),
                   window(3, kTerminal, 30, {1512, 25, 2560, 1415})};
  Library library;
  library.addKestle(Kestle::make("Work"));

  auto saved = planCommand(command("kestles://save/work"), world, library, {}, 1);
  ASSERT_FALSE(saved.message);
  ASSERT_TRUE(saved.saved);
  EXPECT_TRUE(saved.frames.empty());
  EXPECT_EQ(saved.saved->name, "work 2");
  EXPECT_NE(saved.saved->id, library.kestles[0].id);
  const auto& screens = saved.saved->arrangements.at(world.setup.fingerprint()).screens;
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_EQ(screens[0].display, DisplayKind::of(laptop()));
  EXPECT_EQ(screens[0].pins, (std::vector<std::optional<AppRef>>{kCode, kSafari}));
  EXPECT_EQ(screens[0].shape.tileCount(), 2u);
  EXPECT_EQ(screens[1].pins, (std::vector<std::optional<AppRef>>{kTerminal}));
  Library after = library;
  ASSERT_TRUE(recordInLibrary(after, saved));
  EXPECT_EQ(after.kestles.size(), 2u);

  auto kept = library.kestles[0];
  kept.arrangements["ELSEWHERE"] = {};
  library.updateKestle(kept);
  auto updated = planCommand(command("kestles://save/WORK?update"), world, library, {}, 1);
  ASSERT_TRUE(updated.saved);
  EXPECT_EQ(updated.saved->id, kept.id);
  EXPECT_EQ(updated.saved->name, "Work");
  EXPECT_EQ(updated.saved->arrangements.size(), 2u);
  const auto& rewritten = updated.saved->arrangements.at(world.setup.fingerprint()).screens;
  ASSERT_EQ(rewritten.size(), 2u);
  EXPECT_EQ(rewritten[0].pins, screens[0].pins);
  EXPECT_EQ(rewritten[1].pins, screens[1].pins);
  after = library;
  ASSERT_TRUE(recordInLibrary(after, updated));
  EXPECT_EQ(after.kestles, (std::vector<Kestle>{*updated.saved}));

  EXPECT_TRUE(planCommand(command("kestles://save/Nope?update"), world, library, {}, 1).message);
  world.windows.clear();
  EXPECT_EQ(planCommand(command("kestles://save/Empty"), world, library, {}, 1).message,
            "There are no windows on screen to save as a kestle.");
}

// Windows that overlap cannot be cut into a tree; each keeps its own place as a drawn tile.
TEST(CommandPlanner, SaveKeepsOverlappingWindowsAsDrawnTiles) {
  World world;
  world.setup.displays = {laptop()};
  world.windows = {window(1, kCode, 10, {0, 38, 1000, 600}),
                   window(2, kSafari, 20, {500, 300, 1012, 682})};
  auto saved = planCommand(command("kestles://save/Loose"), world, Library{}, {}, 1);
  ASSERT_TRUE(saved.saved);
  const auto& screen = saved.saved->arrangements.begin()->second.screens.at(0);
  const auto* drawn = std::get_if<TileShape::Drawn>(&screen.shape.value);
  ASSERT_NE(drawn, nullptr);
  ASSERT_EQ(drawn->tiles.size(), 2u);
  EXPECT_EQ(drawn->tiles[1].unit, (CGRect{500.0 / 1512, 262.0 / 944, 1012.0 / 1512, 682.0 / 944}));
  EXPECT_EQ(screen.pins, (std::vector<std::optional<AppRef>>{kCode, kSafari}));
}

TEST(CommandPlanner, ATiledWindowsSnapWorksOnTheTilesNotTheMemory) {
  auto world = laptopAndWide();
  Library library;
  auto tiled = planCommand(command("kestles://tile"), world, library, {}, 22).state;
  auto snap = planCommand(command("kestles://snap/maximize"), world, library, tiled, 22);
  EXPECT_FALSE(snap.message);
  EXPECT_EQ(snap.frames.size(), 1u);
  EXPECT_TRUE(snap.state.snapMemory.entries.empty());
  const Tiling* holding = tilingHolding(snap.state.tilings, 22);
  ASSERT_TRUE(holding);
  EXPECT_EQ(holding->zoomed, 22u);
  auto back = planCommand(command("kestles://snap/restore"), world, library, snap.state, 22);
  EXPECT_EQ(back.state.tilings, tiled.tilings);
}

// The outcome says when a command did nothing, and why, or that it did only part of it.

/// `count` Terminal windows on the laptop, the first one in front.
World laptopWith(int count) {
  auto world = worldOf({laptop()});
  for (int i = 0; i < count; ++i)
    world.windows.push_back(window(static_cast<std::uint32_t>(70 + i), kTerminal, 103,
                                   {60.0 + 20 * i, 80.0 + 20 * i, 600, 400}, i));
  return world;
}

TEST(NothingDone, ACommandThatNeedsAWindowSaysNoneIsFocused) {
  // With no window at all, snap, focus and the rest used to end silently with nothing moved.
  auto world = worldOf({laptop()});
  for (const auto* link : {"kestles://snap/left-half", "kestles://focus/left", "kestles://swap/up",
                           "kestles://make-main", "kestles://tile-or-float"}) {
    auto outcome = planCommand(command(link), world, {}, {}, std::nullopt);
    EXPECT_EQ(outcome.message, "No window is focused.") << link;
  }
}

TEST(NothingDone, ACommandThatMovesNothingSaysWhy) {
  // These all used to be carried out as if they had done something.
  auto world = laptopWith(2);
  Library library;
  auto snapped = planCommand(command("kestles://snap/maximize"), world, library, {}, 70);
  ASSERT_FALSE(snapped.unchanged);
  auto settled = carriedOut(world, snapped);
  Library noGaps;
  noGaps.settings.gaps = {0, 0};
  struct Row {
    const char* link;
    const World& world;
    const Library& library;
    const char* why;
  };
  const Row rows[] = {
      {"kestles://snap/maximize", settled, library, "The window already stands there."},
      {"kestles://focus/up", world, library, "There’s no window above the focused one."},
      {"kestles://gaps/narrower", world, noGaps,
       "The gaps are already at their narrowest: there are none."},
      {"kestles://gaps/8", world, library, "The gaps are already 8 pixels."},
      {"kestles://swap/left", world, library,
       "The focused window’s display has no tiles; tile it first."},
      {"kestles://swap-displays", world, library, "There’s only one display, so nothing to trade."},
      {"kestles://tile", worldOf({laptop()}), library, "There are no windows to tile."},
  };
  for (const auto& row : rows) {
    auto outcome = planCommand(command(row.link), row.world, row.library, snapped.state, 70);
    EXPECT_FALSE(outcome.message) << row.link;
    EXPECT_EQ(outcome.unchanged, row.why) << row.link;
    EXPECT_FALSE(outcome.partly) << row.link;
  }
}

TEST(NothingDone, ALayoutOverWindowsAlreadyInItsTilesDoesNothing) {
  auto world = laptopWith(2);
  Library library;
  auto first = planCommand(command("kestles://layout/Halves"), world, library, {}, 70);
  ASSERT_FALSE(first.unchanged);
  auto again = planCommand(command("kestles://layout/Halves"), carriedOut(world, first), library,
                           first.state, 70);
  EXPECT_EQ(again.unchanged, "The windows already stand in this arrangement.");
}

TEST(NothingDone, ATileThatLeavesWindowsOutSaysHowManyAndWhy) {
  // The grid holds 4 windows on the laptop: the 2 left over stayed where they were without a
  // word.
  Library library;
  auto six = planCommand(command("kestles://tile?style=grid"), laptopWith(6), library, {}, 70);
  EXPECT_FALSE(six.unchanged);
  EXPECT_EQ(six.partly,
            "Tiled 4 of 6 windows on Built-in Retina Display: Grid holds at most 4 here; 2 stay "
            "where they were.");
  auto five = planCommand(command("kestles://tile?style=grid"), laptopWith(5), library, {}, 70);
  EXPECT_EQ(five.partly,
            "Tiled 4 of 5 windows on Built-in Retina Display: Grid holds at most 4 here; 1 stays "
            "where it was.");
  auto four = planCommand(command("kestles://tile?style=grid"), laptopWith(4), library, {}, 70);
  EXPECT_FALSE(four.partly);
}

// Windows of apps a kestle opens join the tilings once the launch queue placed them. They used
// to stay out, so a later swap, rotation or keep tiled treated their tiles as empty.

/// Code 11 on the laptop, Safari 22 beside it; Notes is not running.
World laptopWithCode() {
  auto world = worldOf({laptop()});
  world.windows = {window(11, kCode, 101, {40, 60, 900, 700}, 0),
                   window(22, kSafari, 102, {300, 120, 1000, 760}, 1)};
  return world;
}

/// Notes' first window, appearing after the kestle was applied.
World withNotesWindow(World world) {
  world.apps.push_back({106, kNotes.bundleID, kNotes.name, false});
  world.windows.push_back(window(51, kNotes, 106, {500, 500, 400, 300}, 2));
  return world;
}

TEST(OpenedWindows, TakeTheTileTheyWereOpenedForAndMoveWithItLater) {
  struct Row {
    std::string name;
    std::vector<std::optional<AppRef>> pins;
    // What stands in Notes' tile before its window appears: nothing, or Safari put there.
    bool safariTakesTheTile = false;
    std::vector<std::optional<std::uint32_t>> slots;
  };
  const Row rows[] = {
      {"beside a running app", {kCode, kNotes}, false, {11, 51}},
      // Every window of the display was still to come: the state had no tiling left.
      {"alone on the display", {kNotes}, false, {51, std::nullopt}},
      {"whose tile another window took", {kCode, kNotes}, true, {11, 22}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Library library;
    library.kestles = {kestle("Notes", {{"LAPTOP", {{screen(laptop(), "halves", row.pins)}}}})};
    auto world = laptopWithCode();
    auto applied = planCommand(command("kestles://kestle/Notes"), world, library, {}, 11);
    ASSERT_TRUE(applied.plan);
    ASSERT_EQ(applied.plan->launches.size(), 1u);
    auto tile = applied.plan->launches[0].tiles.at(0);
    auto state = applied.state;
    if (row.safariTakesTheTile) state.tilings.at("LAPTOP").restore(22, tile.tile);

    auto later = withNotesWindow(world);
    std::vector<ApplyPlan::Move> placed{{51, 106, tile.displayID, tile.tile, tile.frame}};
    auto after = planOpenedWindows(placed, applied.plan->tilings, later, state);
    ASSERT_TRUE(after.tilings.contains("LAPTOP"));
    EXPECT_EQ(after.tilings.at("LAPTOP").windows, row.slots);
    EXPECT_TRUE(after.identities.contains(51) || row.safariTakesTheTile);
  }
}

TEST(OpenedWindows, ALaterSwapMovesTheOpenedWindow) {
  Library library;
  library.kestles = {
      kestle("Notes", {{"LAPTOP", {{screen(laptop(), "halves", {kCode, kNotes})}}}})};
  auto applied = planCommand(command("kestles://kestle/Notes"), laptopWithCode(), library, {}, 11);
  ASSERT_TRUE(applied.plan);
  auto tile = applied.plan->launches.at(0).tiles.at(0);
  auto later = withNotesWindow(laptopWithCode());
  later.windows.back().frame = tile.frame;
  later.windows.front().frame = applied.frames.at(11);
  auto state = planOpenedWindows({{51, 106, tile.displayID, tile.tile, tile.frame}},
                                 applied.plan->tilings, later, applied.state);

  auto swapped = planCommand(command("kestles://swap/left"), later, library, state, 51);
  EXPECT_EQ(swapped.frames,
            (std::map<std::uint32_t, CGRect>{{51, applied.frames.at(11)}, {11, tile.frame}}));
  EXPECT_EQ(swapped.state.tilings.at("LAPTOP").windows,
            (std::vector<std::optional<std::uint32_t>>{51, 11}));
}

// A window the user floated out of its tile stays out of what tiles a display's windows, and
// out of what the app arranges on its own; a kestle names its apps, so it takes it back.
TEST(FloatedWindows, AreSkippedByTileRequestsAndTakenBackByAKestle) {
  auto world = laptopWithCode();
  Library library;
  library.kestles = {
      kestle("Both", {{"LAPTOP", {{screen(laptop(), "halves", {kCode, kSafari})}}}})};
  SessionState state;
  state.keptTiles.floating = {22};
  for (const auto* link :
       {"kestles://tile", "kestles://tile?all-displays", "kestles://layout/Halves"}) {
    auto outcome = planCommand(command(link), world, library, state, 11);
    ASSERT_TRUE(outcome.plan) << link;
    EXPECT_FALSE(outcome.frames.contains(22)) << link;
    EXPECT_FALSE(outcome.state.tilings.at("LAPTOP").contains(22)) << link;
    EXPECT_EQ(outcome.state.keptTiles.floating, std::set<std::uint32_t>{22}) << link;
  }
  auto kestled = planCommand(command("kestles://kestle/Both"), world, library, state, 11);
  EXPECT_TRUE(kestled.frames.contains(22));
  EXPECT_TRUE(kestled.state.keptTiles.floating.empty());
}

// A kestle switched for the displays that came comes back away when they leave.

struct ComingBack {
  Kestle home = kestle("Home", {{"LAPTOP", {{screen(laptop(), "halves", {kCode, kSafari})}}}}, 1);
  Kestle talk =
      kestle("Talk",
             {{"LAPTOP+WIDE",
               {{screen(laptop(), "centered", {kCode}), screen(wide(), "centered", {kSafari})}}}},
             2);
  DisplayChange connecting = *DisplayChange::make({{laptop()}}, {{laptop(), wide()}});
  DisplayChange leaving = *DisplayChange::make({{laptop(), wide()}}, {{laptop()}});

  Library library(std::optional<UUID> current) const {
    Library library;
    library.kestles = {home, talk};
    library.currentKestleID = current;
    library.rules = {{DisplayKind::of(ultrawide()), LayoutRef::templateLayout("thirds")}};
    return library;
  }
};

TEST(ComingBack, ADisplayChangeSwitchesToTheKestleMadeForItAndBack) {
  ComingBack fixture;
  auto world = laptopAndWide();
  auto switched = planDisplayChange(fixture.connecting, world, fixture.library(idOf(1)), {}, 11);
  ASSERT_EQ(switched.size(), 1u);
  ASSERT_TRUE(switched[0].plan);
  EXPECT_EQ(switched[0].plan->kestleID, idOf(2));
  EXPECT_EQ(switched[0].notice,
            "Studio Display connected. Switched to the kestle “Talk”, made for these displays; "
            "the one before comes back when they leave.");
  EXPECT_EQ(switched[0].state.focusReturn, (FocusReturn{true, idOf(1), idOf(2)}));

  auto laptopOnly = world;
  laptopOnly.setup.displays = {laptop()};
  auto back = planDisplayChange(fixture.leaving, laptopOnly, fixture.library(idOf(2)),
                                switched[0].state, 11);
  ASSERT_EQ(back.size(), 1u);
  ASSERT_TRUE(back[0].plan);
  EXPECT_EQ(back[0].plan->kestleID, idOf(1));
  EXPECT_EQ(back[0].notice, "Studio Display disconnected. Back to the kestle “Home”.");
  EXPECT_EQ(back[0].state.focusReturn, FocusReturn{});

  // Once the user chose a kestle, nothing comes back: the current one adapts as ever.
  auto chosen = planCommand(command("kestles://kestle/Talk"), world, fixture.library(idOf(2)),
                            switched[0].state, 11);
  EXPECT_FALSE(chosen.state.focusReturn.isArmed);
  auto stays =
      planDisplayChange(fixture.leaving, laptopOnly, fixture.library(idOf(2)), chosen.state, 11);
  ASSERT_TRUE(stays.at(0).plan);
  EXPECT_EQ(stays[0].plan->kestleID, idOf(2));
  EXPECT_EQ(stays[0].notice, "Studio Display disconnected");
}

TEST(ComingBack, NoSwitchWithoutAKestleUnderRulesOrWhenTheCurrentOneFits) {
  ComingBack fixture;
  auto rulesOff = fixture.library(idOf(1));
  rulesOff.settings.rulesEnabled = false;
  auto noRule = fixture.library(idOf(1));
  noRule.rules.clear();
  auto fits = fixture.library(idOf(1));
  fits.kestles[0].arrangements["LAPTOP+WIDE"] = fits.kestles[0].arrangements.at("LAPTOP");
  struct Row {
    std::string name;
    Library library;
  };
  const Row rows[] = {{"rules off", rulesOff},
                      {"no rule", noRule},
                      {"no current kestle", fixture.library(std::nullopt)},
                      {"the current kestle fits", fits}};
  for (const auto& row : rows) {
    auto outcomes = planDisplayChange(fixture.connecting, laptopAndWide(), row.library, {}, 11);
    for (const auto& outcome : outcomes) {
      EXPECT_FALSE(outcome.plan && outcome.plan->kestleID == idOf(2)) << row.name;
      EXPECT_EQ(outcome.state.focusReturn, FocusReturn{}) << row.name;
    }
    EXPECT_EQ(outcomes.at(0).notice, "Studio Display connected") << row.name;
  }
}

}  // namespace
}  // namespace kestles
