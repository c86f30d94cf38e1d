#include "KestlesCore/palette/PaletteCatalog.hpp"

#include <gtest/gtest.h>

#include "KestlesCore/palette/PaletteIndex.hpp"

namespace kestles {
namespace {

using Plain = PaletteAction::Plain;

/// A library with one kestle and one saved layout, two windows of one app and an untitled
/// one, and an undo history of two changes.
std::vector<PaletteItem> catalog() {
  Library library;
  auto writing = Kestle::make("Écriture");
  KestleScreen screen;
  screen.pins = {AppRef{"org.mozilla.firefox", "Firefox"}, std::nullopt};
  writing.arrangements["A"].screens = {screen};
  library.kestles = {writing};
  SavedLayout saved;
  saved.name = "Three Columns";
  library.layouts = {saved};
  World world;
  world.apps = {{1, "org.mozilla.firefox", "Firefox", false},
                {2, "org.mozilla.firefox", "Firefox", false}};
  for (auto [id, title] : {std::pair<std::uint32_t, const char*>{11, "Inbox — Mail"}, {12, ""}}) {
    WindowSnapshot window;
    window.id = id;
    window.bundleID = "org.mozilla.firefox";
    window.appName = "Firefox";
    window.title = title;
    world.windows.push_back(window);
  }
  UndoHistory undo;
  UndoEntry first, second;
  first.title = "Tile Windows";
  second.title = "Left Half";
  undo.entries = {first, second};
  return PaletteCatalog::items(library, world, undo);
}

TEST(PaletteCatalog, OffersEveryCommandOnceAndTheLibraryWindowsAndHistory) {
  auto items = catalog();
  // What a Linux desktop cannot do is not offered: there are no permissions to grant, no
  // system shortcuts to take over, no updater of the app's own, no settings window or tour.
  const std::set<Plain> notHere{Plain::allowAccessibility, Plain::takeSystemKeys,
                                Plain::showTipsAgain,      Plain::checkForUpdates,
                                Plain::openKestles,        Plain::tour};
  for (int plain = 0; plain <= static_cast<int>(Plain::tour); ++plain)
    EXPECT_EQ(std::count_if(items.begin(), items.end(),
                            [&](const PaletteItem& item) {
                              return item.action == PaletteAction{static_cast<Plain>(plain)};
                            }),
              notHere.contains(static_cast<Plain>(plain)) ? 0 : 1)
        << PaletteAction{static_cast<Plain>(plain)}.caseName();
  EXPECT_TRUE(std::none_of(items.begin(), items.end(), [](const PaletteItem& item) {
    return std::holds_alternative<PaletteAction::Page>(item.action.value) ||
           std::holds_alternative<PaletteAction::Learn>(item.action.value);
  }));
  auto titled = [&](std::string_view title) {
    return std::find_if(items.begin(), items.end(),
                        [&](const PaletteItem& item) { return item.title == title; });
  };
  ASSERT_NE(titled("Écriture"), items.end());
  EXPECT_EQ(titled("Écriture")->subtitle, "Firefox");
  EXPECT_NE(titled("Three Columns"), items.end());
  EXPECT_EQ(titled("Inbox — Mail")->subtitle, "Firefox");
  EXPECT_EQ(titled("Firefox")->action, PaletteAction{PaletteAction::Window{12}});
  EXPECT_EQ(std::count_if(items.begin(), items.end(),
                          [](const PaletteItem& item) { return item.title == "Float Firefox"; }),
            1);  // one app, however many processes
  // Sections come in order, and the history newest first after undo and redo.
  EXPECT_TRUE(std::is_sorted(items.begin(), items.end(),
                             [](const auto& a, const auto& b) { return a.section < b.section; }));
  std::vector<std::string> history;
  for (const auto& item : items)
    if (item.section == PaletteSection::history) history.push_back(item.title);
  EXPECT_EQ(history, (std::vector<std::string>{"Undo", "Redo", "Left Half", "Tile Windows"}));
}

TEST(PaletteCatalog, FindsCommandsByAFewLetters) {
  PaletteIndex index(catalog());
  auto first = [&](std::string_view typed) {
    auto matches = index.search(typed);
    return matches.empty() ? std::string() : index.entries()[matches[0].item].item.title;
  };
  EXPECT_EQ(first("tile win"), "Tile Windows");
  EXPECT_EQ(first("kt"), "Keep Tiled");
  EXPECT_EQ(first("ecri"), "Écriture");
  EXPECT_EQ(first("left half"), "Left Half");
  EXPECT_EQ(first("mirror"), "Flip Tiles Left to Right");  // a keyword
  EXPECT_EQ(PaletteCatalog::ask("  mail left ").action,
            PaletteAction{PaletteAction::Ask{"mail left"}});
}

}  // namespace
}  // namespace kestles
