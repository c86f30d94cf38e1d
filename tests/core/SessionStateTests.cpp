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
  return state;
}

TEST(SessionState, EveryPartSurvivesARoundTrip) {
  auto state = fullState();
  nlohmann::json json = state;
  EXPECT_EQ(json.get<SessionState>(), state);
  EXPECT_EQ(json["liveTiles"]["order"], (nlohmann::json{11, 22}));
  // Without keep tiled the state holds none of its keys.
  nlohmann::json empty = SessionState{};
  for (const char* key : {"liveTiles", "keptTiles", "keptTiled"})
    EXPECT_FALSE(empty.contains(key)) << key;
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

}  // namespace
}  // namespace kestles
