#include "KestlesCore/keyboard/KeyboardMode.hpp"

#include <gtest/gtest.h>

#include "../ApplyTestSupport.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/keyboard/ModeKeys.hpp"

namespace kestles {
namespace {

KestlesCommand command(const std::string& link) {
  auto decoded = decodeCommandLink(link);
  EXPECT_TRUE(decoded) << link;
  return decoded.value_or(KestlesCommand{});
}

/// Code 11, Safari 21 (in front) and 22, Terminal 31 (focused) on one laptop display.
World laptopThree() {
  return nlohmann::json::parse(json_style::readFile(apply_testing::kWorlds / "laptop-three.json"))
      .get<World>();
}

std::vector<TypedKey> keys(std::string_view names) {
  auto typed = TypedKey::sequence(names);
  EXPECT_TRUE(typed) << names;
  return typed.value_or(std::vector<TypedKey>{});
}

TEST(TypedKey, NamesAsADryRunWritesThem) {
  const std::pair<std::string_view, std::optional<TypedKey>> rows[] = {
      {"a", TypedKey{0, {}, "a"}},
      {"S", TypedKey{1, {}, "s"}},
      {"Shift+2", TypedKey{19, {KeyModifiers::shift}, "2"}},
      {"ctrl+alt+Left",
       TypedKey{mode_keys::leftArrow, {KeyModifiers::control | KeyModifiers::option}, ""}},
      {"Super+=", TypedKey{24, {KeyModifiers::command}, "="}},
      {"Return", TypedKey{mode_keys::returnKey, {}, "\r"}},
      {"escape", TypedKey{mode_keys::escape, {}, "\x1b"}},
      {"Space", TypedKey{49, {}, " "}},
      {"BackSpace", TypedKey{mode_keys::deleteKey, {}, "\x7f"}},
      {"Hyper+A", std::nullopt},
      {"Shift+", std::nullopt},
      {"AB", std::nullopt},
      {"+", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [name, key] : rows)
    EXPECT_EQ(TypedKey::named(name), key) << name;
  EXPECT_EQ(TypedKey::sequence("  Tab  Shift+Tab "),
            (std::vector<TypedKey>{{mode_keys::tab, {}, "\t"},
                                   {mode_keys::tab, {KeyModifiers::shift}, "\t"}}));
  EXPECT_EQ(TypedKey::sequence("A Nope"), std::nullopt);
}

/// The tile-grid state on the laptop: 21 and 11 above, 22 and 31 below.
SessionState tiled(const World& world, const Library& library) {
  return planCommand(command("kestles://tile?style=grid"), world, library, {}, 31).state;
}

TEST(KeyboardMode, WindowHintsFocusTheLetteredWindow) {
  auto world = laptopThree();
  auto hints = WindowHints::hints(world);
  ASSERT_GE(hints.size(), 2u);
  const auto& second = hints[1];
  auto run = planModeKeys(command("kestles://hints"), keys(std::string(1, second.letter)), world,
                          {}, {}, 31);
  EXPECT_EQ(run.outcome.focus, second.window);
  EXPECT_TRUE(run.outcome.frames.empty());
  EXPECT_FALSE(run.labels);  // the mode ended with the letter
  // Nothing typed yet: a letter on each window, nothing moved.
  auto opened = planModeKeys(command("kestles://hints"), {}, world, {}, {}, 31);
  ASSERT_TRUE(opened.labels);
  EXPECT_EQ(opened.labels->size(), hints.size());
  EXPECT_EQ(opened.labels->front().lines,
            std::vector<std::string>{std::string(1, hints[0].letter)});
  EXPECT_FALSE(opened.outcome.focus);
}

// Each change a mode makes is one undo step against the world it was planned on; keys that
// end a mode without a change record nothing.
TEST(KeyboardMode, EachModesOutcomeIsOneUndoStep) {
  auto world = laptopThree();
  Library library;
  auto state = tiled(world, library);
  auto settled = settledWorld(world, state, library.settings.gaps);
  const auto* tile21 = &*std::find_if(settled.windows.begin(), settled.windows.end(),
                                      [](const auto& window) { return window.id == 21; });
  struct Row {
    std::string link;
    std::string keys;
    std::set<std::uint32_t> moved;
  };
  const Row rows[] = {
      // Terminal trades tiles with Safari 21 (the first tile's key).
      {"kestles://move-to-tile", "1", {21, 31}},
      // Code and Terminal picked, tiled at once side by side.
      {"kestles://pick-windows", "C T Space", {11, 31}},
      // The divider between Terminal's tile and its neighbour pushed, then kept.
      {"kestles://edit-tiles", "Alt+Left Return", {22, 31}},
      {"kestles://edit-tiles", "Alt+Left Escape", {}},
      {"kestles://move-to-tile", "Escape 1", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.link + " " + row.keys);
    auto run = planModeKeys(command(row.link), keys(row.keys), settled, library, state, 31);
    ASSERT_FALSE(run.outcome.message) << *run.outcome.message;
    std::set<std::uint32_t> moved;
    for (const auto& [id, frame] : run.outcome.frames)
      moved.insert(id);
    EXPECT_EQ(moved, row.moved);
    EXPECT_FALSE(run.labels);
    ASSERT_EQ(run.outcome.state.undo.entries.size(), row.moved.empty() ? 0u : 1u);
    if (row.moved.empty()) continue;
    const auto& entry = run.outcome.state.undo.entries.front();
    for (auto id : row.moved)
      EXPECT_EQ(entry.frames.at(id), windowWithID(settled, id)->frame) << id;
  }
  auto traded =
      planModeKeys(command("kestles://move-to-tile"), keys("1"), settled, library, state, 31);
  EXPECT_EQ(traded.outcome.frames.at(31), tile21->frame);
}

// Arrange with keys runs a command per key, each planned on the world the one before left
// and recorded on its own; its undo key takes back the last.
TEST(KeyboardMode, ArrangeWithKeysRunsACommandPerKey) {
  auto world = laptopThree();
  Library library;
  auto run =
      planModeKeys(command("kestles://arrange-with-keys"), keys("A R U"), world, library, {}, 31);
  ASSERT_FALSE(run.outcome.message);
  ASSERT_TRUE(run.outcome.undone);
  EXPECT_EQ(run.outcome.undone->title, "Rearrange Tiles");
  EXPECT_EQ(run.outcome.state.undo.entries.size(), 1u);
  EXPECT_EQ(run.outcome.state.undo.redoEntries.size(), 1u);
  auto tiledOnly =
      planModeKeys(command("kestles://arrange-with-keys"), keys("A"), world, library, {}, 31);
  EXPECT_EQ(run.outcome.state.tilings, tiledOnly.outcome.state.tilings);
  EXPECT_EQ(run.outcome.frames.size(), 4u);
  // Still open: the legend for the front window, a column per group.
  ASSERT_TRUE(run.labels);
  EXPECT_EQ(run.labels->size(), 4u);
  EXPECT_EQ(run.labels->at(2).lines.front(), "Terminal");
  // Its window-hints key opens window hints in its place; a mode that cannot open says why
  // and leaves the legend.
  auto hints =
      planModeKeys(command("kestles://arrange-with-keys"), keys("W"), world, library, {}, 31);
  ASSERT_TRUE(hints.labels);
  EXPECT_EQ(hints.labels->size(), WindowHints::hints(world).size());
  auto opened = KeyboardMode::open(command("kestles://arrange-with-keys"), world, library, {}, 31);
  auto& arranging = std::get<KeyboardMode>(opened);
  auto refused = arranging.typed(*TypedKey::named("T"));  // move to tile, with no tiles
  EXPECT_EQ(refused.refusal, "There are no tiles to move the window into; tile a display first.");
  EXPECT_TRUE(arranging.isArranging());
}

TEST(KeyboardMode, MoveEdgePushesAFreeWindowsEdge) {
  // Move Edge did nothing on a window that is not in tiles.
  auto world = laptopThree();  // Terminal 31 at (500, 300, 700, 500)
  Library library;
  auto tiledState = tiled(world, library);
  auto settled = settledWorld(world, tiledState, library.settings.gaps);
  // The display stays tiled, but Terminal has left its tile and stands free.
  auto floated = tiledState;
  for (auto& slot : floated.tilings.at("LAPTOP").windows)
    if (slot == 31u) slot.reset();
  for (auto& window : settled.windows)
    if (window.id == 31) window.frame = {500, 300, 700, 500};
  struct Row {
    const char* what;
    const World& world;
    SessionState state;
    std::string keys;
    CGRect expected;
  };
  const Row rows[] = {
      {"untiled, right", world, {}, "Alt+Right", {500, 300, 740, 500}},
      {"untiled, top", world, {}, "Alt+Up", {500, 260, 700, 540}},
      {"free on a tiled display, left", settled, floated, "Alt+Left", {460, 300, 740, 500}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    auto run = planModeKeys(command("kestles://arrange-with-keys"), keys(row.keys), row.world,
                            library, row.state, 31);
    ASSERT_FALSE(run.outcome.message) << *run.outcome.message;
    // Only the free window moves; the tiles keep their windows.
    EXPECT_EQ(run.outcome.frames, (std::map<std::uint32_t, CGRect>{{31, row.expected}}));
    EXPECT_EQ(run.outcome.state.tilings, row.state.tilings);
    EXPECT_EQ(run.outcome.state.undo.entries.size(), 1u);
    auto entry = run.outcome.state.snapMemory.entry(31);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->original, CGRect(500, 300, 700, 500));
  }
}

TEST(KeyboardMode, ModesThatCannotOpenSayWhy) {
  World empty = laptopThree();
  empty.windows.clear();
  const std::pair<std::string, std::string> rows[] = {
      {"kestles://hints", "There are no windows to go to."},
      {"kestles://pick-windows", "There are no windows to pick."},
      {"kestles://move-to-tile", "There’s no window in front to move into a tile."},
  };
  for (const auto& [link, sentence] : rows) {
    auto run = planModeKeys(command(link), keys("A"), empty, {}, {}, std::nullopt);
    EXPECT_EQ(run.outcome.message, sentence) << link;
    EXPECT_FALSE(run.labels) << link;
  }
  auto untiled = planModeKeys(command("kestles://move-to-tile"), {}, laptopThree(), {}, {}, 31);
  EXPECT_EQ(untiled.outcome.message,
            "There are no tiles to move the window into; tile a display first.");
}

// The palette plans as the other modes do: Return hands the chosen item on as its command
// (recorded among the recents), a window item focuses its window, Escape does nothing.
TEST(KeyboardMode, PaletteCarriesTheChosenItemOutAsItsCommand) {
  auto world = laptopThree();
  Library library;
  auto panel = command("kestles://panel");

  auto opened = planModeKeys(panel, {}, world, library, {}, 31);
  ASSERT_TRUE(opened.labels);
  ASSERT_EQ(opened.labels->size(), 1u);
  const auto& label = opened.labels->front();
  ASSERT_TRUE(label.list);
  EXPECT_EQ(label.list->field, "");
  EXPECT_EQ(label.list->selected, 1u);  // the first item, under its heading
  EXPECT_EQ(label.centre.x, 756);       // across the middle of the front window's display
  EXPECT_GT(label.centre.y, 38);

  auto tiled =
      planModeKeys(panel, keys("t i l e Space w i n d o w s Return"), world, library, {}, 31);
  auto expected = planCommand(command("kestles://tile"), world, library, {}, 31);
  EXPECT_FALSE(tiled.labels);
  EXPECT_FALSE(tiled.outcome.frames.empty());
  EXPECT_EQ(tiled.outcome.frames, expected.frames);
  EXPECT_EQ(tiled.outcome.state.paletteRecents.actions,
            std::vector<PaletteAction>{{PaletteAction::Plain::tileWindows}});

  auto focused = planModeKeys(panel, keys("n e w s Return"), world, library, {}, 31);
  EXPECT_EQ(focused.outcome.focus, 22u);
  EXPECT_TRUE(focused.outcome.frames.empty());
  EXPECT_TRUE(focused.outcome.state.paletteRecents.actions.empty());  // windows aren't recorded

  for (auto names : {"t i l e Escape", "z z z Return Escape"}) {
    auto closed = planModeKeys(panel, keys(names), world, library, {}, 31);
    EXPECT_FALSE(closed.labels) << names;
    EXPECT_TRUE(closed.outcome.frames.empty()) << names;
    EXPECT_FALSE(closed.outcome.focus) << names;
  }
  // Nothing matching: Return leaves the palette open, saying so.
  auto unmatched = planModeKeys(panel, keys("z z z Return"), world, library, {}, 31);
  ASSERT_TRUE(unmatched.labels);
  EXPECT_EQ(unmatched.labels->front().lines,
            std::vector<std::string>{"Nothing in the palette matches “zzz”."});
  EXPECT_EQ(unmatched.labels->front().list->selected, std::nullopt);
}

}  // namespace
}  // namespace kestles
