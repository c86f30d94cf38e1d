#include "KestlesCore/undo/UndoHistory.hpp"

#include <gtest/gtest.h>

#include "KestlesCore/library/Library.hpp"

namespace kestles {
namespace {

UndoEntry entry(std::string name) {
  return UndoEntry::make(UndoEntry::Kind::apply, "Tile Windows", std::move(name));
}

std::vector<std::string> names(const std::vector<UndoEntry>& stack) {
  std::vector<std::string> result;
  for (const auto& each : stack)
    result.push_back(each.name);
  return result;
}

TEST(UndoHistory, KeepsTheNewestTwenty) {
  UndoHistory history;
  for (int i = 1; i <= 21; ++i)
    history.record(entry(std::to_string(i)));
  ASSERT_EQ(history.entries.size(), 20u);
  EXPECT_EQ(history.entries.front().name, "2");
  EXPECT_EQ(history.peekUndo()->name, "21");
  int undone = 0;
  while (auto taken = history.undo()) {
    history.pushRedo(*taken);
    ++undone;
  }
  EXPECT_EQ(undone, 20);
  EXPECT_EQ(history.redoEntries.size(), 20u);
  history.pushRedo(entry("extra"));
  EXPECT_EQ(history.redoEntries.size(), 20u);
  EXPECT_EQ(history.peekRedo()->name, "extra");
}

TEST(UndoHistory, EmptyHistoryDoesNothing) {
  UndoHistory history;
  EXPECT_EQ(history.undo(), std::nullopt);
  EXPECT_EQ(history.redo(), std::nullopt);
  EXPECT_EQ(history.peekUndo(), nullptr);
  EXPECT_EQ(history.peekRedo(), nullptr);
  EXPECT_EQ(history, UndoHistory{});
}

TEST(UndoHistory, UndoRedoAndANewChange) {
  UndoHistory history;
  history.record(entry("a"));
  history.record(entry("b"));
  auto undone = history.undo();
  ASSERT_TRUE(undone);
  EXPECT_EQ(undone->name, "b");
  history.pushRedo(*undone);
  auto redone = history.redo();
  ASSERT_TRUE(redone);
  history.pushUndo(*redone);
  EXPECT_EQ(names(history.entries), (std::vector<std::string>{"a", "b"}));
  history.pushRedo(*history.undo());
  history.pushUndo(entry("redone keeps redo"));
  EXPECT_EQ(history.redoEntries.size(), 1u);
  history.record(entry("c"));
  EXPECT_TRUE(history.redoEntries.empty());
  EXPECT_EQ(names(history.entries), (std::vector<std::string>{"a", "redone keeps redo", "c"}));
}

TEST(UndoEntry, UndoingAnApplyRestoresTheLibraryAndRedoPutsItBack) {
  Library library;
  Kestle before, applied;
  before.name = "Before";
  applied.name = "Applied";
  library.addKestle(before);
  library.addKestle(applied);
  library.currentKestleID = applied.id;
  library.setCurrentLayout("D1", LayoutRef::templateLayout("thirds"));
  library.setCurrentLayout("D2", LayoutRef::templateLayout("halves"));
  library.settings.keptTiled = {"D1"};

  UndoEntry change = entry("Applied");
  change.previousKestleID = before.id;
  change.previousLayouts = {{"D1", LayoutRef::templateLayout("halves")}, {"D2", std::nullopt}};
  change.keptTiledOn = {"D1"};
  change.keptTiledOff = {"D3"};
  auto original = library;

  auto redo = change.restoreLibrary(library);
  EXPECT_EQ(library.currentKestleID, before.id);
  EXPECT_EQ(library.currentLayouts,
            (std::map<std::string, LayoutRef>{{"D1", LayoutRef::templateLayout("halves")}}));
  EXPECT_EQ(library.settings.keptTiled, (std::set<std::string>{"D3"}));
  EXPECT_EQ(redo.previousKestleID, applied.id);
  EXPECT_EQ(redo.id, change.id);
  EXPECT_TRUE(redo.frames.empty());

  redo.restoreLibrary(library);
  EXPECT_EQ(library, original);
}

TEST(UndoEntry, UndoingAnApplyWithNoKestleBeforeLeavesNoneCurrent) {
  Library library;
  Kestle applied = Kestle::make("Applied");
  library.addKestle(applied);
  library.currentKestleID = applied.id;
  entry("Applied").restoreLibrary(library);
  EXPECT_EQ(library.currentKestleID, std::nullopt);
}

TEST(UndoEntry, GapsComeBackOnlyForAGapsEntry) {
  Library library;
  library.settings.gaps = {16, 16};
  UndoEntry change = entry("Gaps");
  change.gaps = Gaps{4, 4};
  change.restoreLibrary(library);
  EXPECT_EQ(library.settings.gaps, (Gaps{16, 16}));

  change.kind = UndoEntry::Kind::gaps;
  auto redo = change.restoreLibrary(library);
  EXPECT_EQ(library.settings.gaps, (Gaps{4, 4}));
  EXPECT_EQ(redo.gaps, (Gaps{16, 16}));
}

}  // namespace
}  // namespace kestles
