#include "KestlesCore/palette/PaletteRecents.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace kestles {
namespace {

using Plain = PaletteAction::Plain;

const PaletteAction kTile{Plain::tileWindows};
const PaletteAction kLeft{PaletteAction::Snap{SnapAction::leftHalf}};
const PaletteAction kGrid{PaletteAction::TileAs{TilingStyle::grid}};
const PaletteAction kHints{Plain::windowHints};

TEST(PaletteRecents, KeepsTheLastThreeNewestFirstAndMovesARepeatToTheFront) {
  PaletteRecents recents;
  for (const auto& action : {kTile, kLeft, kGrid, kHints})
    recents.record(action);
  EXPECT_EQ(recents.actions, (std::vector{kHints, kGrid, kLeft}));
  recents.record(kLeft);
  EXPECT_EQ(recents.actions, (std::vector{kLeft, kHints, kGrid}));
  EXPECT_EQ(recents.shown(), recents.actions);
}

TEST(PaletteRecents, NeverRecordsHistoryRequestsWindowsUndoOrRedo) {
  PaletteRecents recents;
  recents.record(kTile);
  for (const auto& action :
       {PaletteAction{PaletteAction::History{UUID{}}},
        PaletteAction{PaletteAction::Ask{"mail left"}}, PaletteAction{PaletteAction::Window{42}},
        PaletteAction{Plain::undo}, PaletteAction{Plain::redo}})
    recents.record(action);
  EXPECT_EQ(recents.actions, std::vector{kTile});
}

TEST(PaletteRecents, ShowsOnlyRecordableActionsFromAStoredList) {
  // A list written elsewhere may hold anything; what is shown is filtered again.
  auto stored = nlohmann::json::parse(R"({"actions": [
    {"undo": {}}, {"tileWindows": {}}, {"nonsense": {}}, {"window": {"_0": 7}},
    {"snap": {"_0": "leftHalf"}}, {"tileAs": {"_0": "grid"}}, {"windowHints": {}}]})");
  auto recents = stored.get<PaletteRecents>();
  EXPECT_EQ(recents.actions.size(), 6u);  // the unknown case is dropped on reading
  EXPECT_EQ(recents.shown(), (std::vector{kTile, kLeft, kGrid}));
  EXPECT_EQ(nlohmann::json(recents).get<PaletteRecents>(), recents);
}

}  // namespace
}  // namespace kestles
