#include "KestlesCore/session/SessionState.hpp"

#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ApplyTestSupport.hpp"
#include "tests/support/ToolProcess.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

UndoEntry undoEntry(int idNumber, std::string title) {
  UndoEntry entry;
  entry.id = idOf(idNumber);
  entry.title = std::move(title);
  entry.date = Date{};
  return entry;
}

/// A state with something in every part, including the parts other subsystems still own.
SessionState fullState() {
  SessionState state;
  state.tilings["LAPTOP"] = Tiling::make("LAPTOP", templateShape("halves"),
                                         LayoutRef::templateLayout("halves"), {11, 22});
  state.away.keep(Tiling::make("WIDE", templateShape("thirds"), std::nullopt, {21}));
  state.tilingMemory.record("halves",
                            {2, {AppRole::editor, AppRole::browser}, DisplayShape::laptop});
  state.snapMemory.remember(32, {10, 20, 300, 400}, {0, 38, 756, 944});
  state.mainPair = MainTile::Pair{"LAPTOP", 22, 11, {11, 22}};
  auto entry = undoEntry(1, "Tile Windows");
  entry.kind = UndoEntry::Kind::gaps;
  entry.frames = {{11, {1, 2, 3, 4}}};
  entry.minimize = {12};
  entry.hide = {104};
  entry.previousKestleID = idOf(5);
  entry.previousLayouts = {{"LAPTOP", LayoutRef::templateLayout("halves")}, {"WIDE", std::nullopt}};
  entry.rearrangement = UndoEntry::Rearrangement{{"LAPTOP"}, state.tilings, state.snapMemory};
  entry.keptTiledOn = {"LAPTOP"};
  entry.keptTiledOff = {"WIDE"};
  entry.fullScreen = {31};
  entry.gaps = Gaps{4, 6};
  state.undo.record(entry);
  state.undo.pushRedo(undoEntry(2, "Halves"));
  state.liveTiles.adopt(state.tilings, World{});
  state.keptTiles.known["LAPTOP"] = {11, 22};
  state.keptTiled = std::set<std::string>{"LAPTOP"};
  state.lastSuggestion =
      SuggestionStep{"LAPTOP", {11, 22}, {"template:halves", "template:thirds"}, "template:halves"};
  state.paletteRecents.record({PaletteAction::Snap{SnapAction::leftHalf}});
  state.focusReturn = FocusReturn{true, std::nullopt, idOf(7)};
  return state;
}

TEST(SessionState, EveryPartSurvivesARoundTrip) {
  auto state = fullState();
  nlohmann::json json = state;
  EXPECT_EQ(json.get<SessionState>(), state);
  EXPECT_EQ(json["liveTiles"]["order"], (nlohmann::json{11, 22}));
  // Without keep tiled the state holds none of its keys.
  nlohmann::json empty = SessionState{};
  for (const char* key : {"liveTiles", "keptTiles", "keptTiled", "focusReturn"})
    EXPECT_FALSE(empty.contains(key)) << key;
  // An armed memory with no kestle before it is still armed when read back.
  EXPECT_EQ(json["focusReturn"], (nlohmann::json{{"isArmed", true}, {"applied", idOf(7)}}));
  EXPECT_EQ(json["undo"]["entries"][0]["kind"], "gaps");
  EXPECT_EQ(json["undo"]["entries"][0]["previousLayouts"]["WIDE"], nullptr);
  EXPECT_EQ(json["lastSuggestion"]["current"], "template:halves");
  EXPECT_FALSE(nlohmann::json(SessionState{}).contains("lastSuggestion"));
}

TEST(SessionState, DamagedItemsAreDroppedOneByOne) {
  nlohmann::json json = fullState();
  json["tilings"]["BROKEN"] = "not a tiling";
  json["tilings"]["LAPTOP"]["displayID"] = "ELSEWHERE";  // filed under LAPTOP, so LAPTOP
  json["snapMemory"] = 7;
  json["mainPair"] = {{"displayID", "LAPTOP"}};
  json["liveTiles"] = "not a session";
  json["keptTiled"] = {"WIDE", 7};
  json["lastSuggestion"].erase("current");
  auto& entries = json["undo"]["entries"];
  entries.push_back({{"id", "nope"}, {"title", "Bad"}, {"kind", "apply"}});
  entries.push_back({{"id", idOf(3).uuidString()}, {"title", "Odd"}, {"kind", "sideways"}});
  auto kept = entries[0];
  kept["frames"] = {{"11", {{1, 2}, {3, 4}}}, {"x", {{0, 0}, {1, 1}}}, {"12", "oops"}};
  kept["minimize"] = {12, "thirteen", 14};
  kept["gaps"] = "wide";
  entries.push_back(kept);

  auto state = json.get<SessionState>();
  auto expected = fullState();
  EXPECT_EQ(state.tilings, expected.tilings);
  EXPECT_EQ(state.away, expected.away);
  EXPECT_EQ(state.tilingMemory, expected.tilingMemory);
  EXPECT_EQ(state.snapMemory, SnapMemory{});
  EXPECT_EQ(state.mainPair, std::nullopt);
  EXPECT_EQ(state.liveTiles, LiveTiles{});
  EXPECT_EQ(state.keptTiles, expected.keptTiles);
  EXPECT_EQ(state.keptTiled, (std::set<std::string>{"WIDE"}));
  EXPECT_EQ(state.lastSuggestion, std::nullopt);
  ASSERT_EQ(state.undo.entries.size(), 2u);
  EXPECT_EQ(state.undo.entries[0], expected.undo.entries[0]);
  const auto& mended = state.undo.entries[1];
  EXPECT_EQ(mended.frames, (std::map<std::uint32_t, CGRect>{{11, {1, 2, 3, 4}}}));
  EXPECT_EQ(mended.minimize, (std::vector<std::uint32_t>{12, 14}));
  EXPECT_EQ(mended.gaps, std::nullopt);
  EXPECT_EQ(mended.previousKestleID, idOf(5));
  EXPECT_EQ(state.undo.redoEntries, expected.undo.redoEntries);
}

TEST(SessionState, UndoStacksKeepTheNewestTwentyWhenRead) {
  nlohmann::json entries = nlohmann::json::array();
  for (int i = 1; i <= 25; ++i)
    entries.push_back(undoEntry(i, "Step " + std::to_string(i)));
  auto history = nlohmann::json{{"entries", entries}}.get<UndoHistory>();
  ASSERT_EQ(history.entries.size(), UndoHistory::kLimit);
  EXPECT_EQ(history.entries.front().title, "Step 6");
  EXPECT_EQ(history.entries.back().title, "Step 25");
  EXPECT_TRUE(history.redoEntries.empty());
}

TEST(SessionState, FileWritesAtomicallyAndReadsBackOrStartsEmpty) {
  testing::TemporaryFolder folder;
  auto path = folder.path() / "state" / "session.json";
  std::string problem;
  EXPECT_EQ(SessionState::read(path, &problem), SessionState{});
  EXPECT_TRUE(problem.empty());

  fullState().write(path);
  EXPECT_EQ(SessionState::read(path, &problem), fullState());
  EXPECT_TRUE(problem.empty());

  for (const char* damaged : {"{\"tilings\": ", "[1, 2]", ""}) {
    std::ofstream(path) << damaged;
    EXPECT_EQ(SessionState::read(path, &problem), SessionState{}) << damaged;
    EXPECT_TRUE(problem.starts_with("The session state ")) << damaged;
    EXPECT_TRUE(std::filesystem::exists(path)) << "the damaged file is left for the app";
    problem.clear();
  }
}

TEST(SessionState, AClosedWindowLeavesEveryPartAndANewWindowWithItsNumberInheritsNothing) {
  // A new window inherited a closed window's memories: the display server gave it the
  // closed window's number, and Restore and Undo moved it to the closed window's frames.
  auto world = laptopAndWide();
  auto state = fullState();
  auto only22 = undoEntry(3, "Left Half");
  only22.frames = {{22, {5, 5, 50, 50}}};
  auto with21 = undoEntry(4, "Swap");
  with21.frames = {{21, {6, 6, 60, 60}}, {22, {7, 7, 70, 70}}};
  state.undo.entries.push_back(only22);
  state.undo.entries.push_back(with21);
  state.keptTiles.floating = {22};

  // A state without identities takes its windows on their numbers, and learns who they are.
  auto seen = state.forgettingClosedWindows(world);
  EXPECT_EQ(seen.windows(), (std::set<std::uint32_t>{11, 12, 21, 22, 31, 32}));
  EXPECT_EQ(seen.identities.at(11), (WindowIdentity{11, 101, kCode.bundleID}));
  EXPECT_EQ(seen.identities.size(), 6u);
  // The same windows keep everything.
  EXPECT_EQ(seen.forgettingClosedWindows(world), seen);

  // 22 closes, and Slack opens a window that gets 11's number.
  std::erase_if(world.windows, [](const WindowSnapshot& window) { return window.id == 22; });
  for (auto& window : world.windows)
    if (window.id == 11) window = apply_testing::window(11, kSlack, 104, {0, 38, 600, 400});
  EXPECT_EQ(seen.reusedWindows(world), (std::set<std::uint32_t>{11}));
  auto after = seen.forgettingClosedWindows(world);
  EXPECT_EQ(after.windows(), (std::set<std::uint32_t>{12, 21, 31, 32}));
  EXPECT_FALSE(after.tilings.contains("LAPTOP"));  // both of its windows went
  EXPECT_EQ(after.away, seen.away);
  EXPECT_EQ(after.snapMemory, seen.snapMemory);
  EXPECT_EQ(after.mainPair, std::nullopt);
  EXPECT_EQ(after.lastSuggestion, std::nullopt);
  EXPECT_TRUE(after.keptTiles.windows().empty());
  EXPECT_TRUE(after.liveTiles.windows().empty());
  EXPECT_FALSE(after.identities.contains(11));
  EXPECT_FALSE(after.identities.contains(22));
  // Undo entries lose the closed windows' parts; one left with nothing to do goes.
  ASSERT_EQ(after.undo.entries.size(), 2u);
  const auto& first = after.undo.entries[0];
  EXPECT_TRUE(first.frames.empty());
  EXPECT_EQ(first.minimize, (std::vector<std::uint32_t>{12}));
  EXPECT_EQ(first.rearrangement->tilings.at("LAPTOP").windowIDs(), std::vector<std::uint32_t>{});
  EXPECT_EQ(after.undo.entries[1].frames, (std::map<std::uint32_t, CGRect>{{21, {6, 6, 60, 60}}}));
  EXPECT_EQ(after.undo.redoEntries, seen.undo.redoEntries);
  // The newcomer is new to every part, from now on under its own identity.
  EXPECT_EQ(after.forgettingClosedWindows(world), after);
}

TEST(SessionState, AWindowOnAnotherDesktopIsOutOfSightNotClosed) {
  // Switching to another virtual desktop took its windows out of the snapshot, and the state
  // forgot their snapped frames, tiles and undo as if they had closed.
  auto world = laptopAndWide();
  auto seen = fullState().forgettingClosedWindows(world);
  std::erase_if(world.windows, [](const WindowSnapshot& window) { return window.id == 32; });
  world.elsewhere = {32};
  auto away = seen.forgettingClosedWindows(world);
  EXPECT_EQ(away.windows(), seen.windows());
  EXPECT_EQ(away.snapMemory, seen.snapMemory);
  EXPECT_EQ(away.identities.at(32), seen.identities.at(32));
  // Once it is gone from the desktops as well, it has closed.
  world.elsewhere.clear();
  EXPECT_FALSE(seen.forgettingClosedWindows(world).windows().contains(32));
}

TEST(SessionState, ReadingAndWritingCutTheStateToItsBounds) {
  SessionState big;
  for (std::uint32_t window = 1; window <= 300; ++window)
    big.snapMemory.remember(window, {0, 0, 100, 100}, {0, 0, 50, 50});
  // Away displays with 1 to 12 windows, numbered above the snapped ones.
  std::uint32_t next = 1000;
  for (int count = 1; count <= 12; ++count) {
    std::vector<std::uint32_t> windows;
    std::vector<LayoutNode> tiles;
    for (int i = 0; i < count; ++i) {
      windows.push_back(next++);
      tiles.push_back(LayoutNode::tile());
    }
    auto shape = TileShape::tree(LayoutNode::columns(std::move(tiles)));
    big.away.keep(Tiling::make("AWAY-" + std::to_string(count), shape, std::nullopt, windows));
  }
  for (int i = 1; i <= 30; ++i) {
    big.undo.entries.push_back(undoEntry(i, "Step " + std::to_string(i)));
    big.undo.redoEntries.push_back(undoEntry(100 + i, "Redo " + std::to_string(i)));
  }
  for (auto action : {SnapAction::leftHalf, SnapAction::rightHalf, SnapAction::topHalf,
                      SnapAction::bottomHalf, SnapAction::maximize})
    big.paletteRecents.actions.push_back({PaletteAction::Snap{action}});
  // Kept displays come and go (projectors, docks): a display's record of which windows it knows
  // stayed after its windows closed, one more for every display ever kept.
  for (int display = 0; display < 50; ++display)
    big.keptTiles.known["PROJECTOR-" + std::to_string(display)] = {};
  big.keptTiles.known["LEFT"] = {300};
  big.identities[300] = {300, 7, "org.example.seven"};
  big.identities[9999] = {9999, 7, "org.example.seven"};  // a window it holds nothing of

  auto expectBounded = [](const SessionState& state) {
    ASSERT_EQ(state.undo.entries.size(), UndoHistory::kLimit);
    EXPECT_EQ(state.undo.entries.front().title, "Step 11");
    EXPECT_EQ(state.undo.redoEntries.size(), UndoHistory::kLimit);
    EXPECT_EQ(state.paletteRecents.actions.size(), PaletteRecents::kLimit);
    // The away displays with the most windows stay: 5 to 12 windows, 68 in all.
    ASSERT_EQ(state.away.tilings.size(), SessionState::kMostAwayDisplays);
    EXPECT_FALSE(state.away.tilings.contains("AWAY-4"));
    EXPECT_TRUE(state.away.tilings.contains("AWAY-5"));
    // The newest windows stay: the 68 away ones and the 60 snapped last.
    auto windows = state.windows();
    ASSERT_EQ(windows.size(), SessionState::kMostWindows);
    EXPECT_EQ(*windows.begin(), 241u);
    EXPECT_EQ(state.snapMemory.entries.size(), 60u);
    EXPECT_EQ(state.identities.size(), 1u);
    EXPECT_EQ(state.keptTiles.known, (std::map<std::string, std::set<WindowID>>{{"LEFT", {300}}}));
  };
  expectBounded(nlohmann::json(big).get<SessionState>());

  testing::TemporaryFolder folder;
  auto path = folder.path() / "state.json";
  big.write(path);
  auto written = nlohmann::json::parse(json_style::readFile(path));
  EXPECT_EQ(written["undo"]["entries"].size(), UndoHistory::kLimit);
  EXPECT_EQ(written["snapMemory"]["entries"].size(), 60u);
  EXPECT_EQ(written["away"]["tilings"].size(), SessionState::kMostAwayDisplays);
  EXPECT_EQ(written["paletteRecents"]["actions"].size(), PaletteRecents::kLimit);
  expectBounded(SessionState::read(path));
}

TEST(SessionState, AFileOverTheSizeLimitIsRefusedWithoutBeingParsed) {
  // A large state file made the start slow: tens of megabytes of valid JSON were parsed.
  testing::TemporaryFolder folder;
  auto path = folder.path() / "state.json";
  nlohmann::json json = fullState();
  json["padding"] = std::string(SessionState::kMaxFileSize, 'x');
  std::ofstream(path) << json.dump();
  std::string problem;
  EXPECT_EQ(SessionState::read(path, &problem), SessionState{});
  EXPECT_EQ(problem, "The session state " + path.string() +
                         " can’t be read (it’s larger than 2 MB), so it starts empty.");
  EXPECT_TRUE(std::filesystem::exists(path)) << "the file is left for the app to overwrite";

  // Just under the limit it is read.
  json["padding"] = std::string(SessionState::kMaxFileSize - 64 * 1024, 'x');
  std::ofstream(path, std::ios::trunc) << json.dump();
  EXPECT_EQ(SessionState::read(path, &problem), fullState());
}

}  // namespace
}  // namespace kestles
