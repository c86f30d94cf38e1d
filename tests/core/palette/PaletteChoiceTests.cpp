#include "KestlesCore/palette/PaletteChoice.hpp"

#include <gtest/gtest.h>

#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/palette/PaletteCatalog.hpp"

namespace kestles {
namespace {

using C = KestlesCommand;
using A = PaletteAction;

struct Fixture {
  Library library;
  World world;

  Fixture() {
    auto work = Kestle::make("Work");
    library.kestles = {work};
    SavedLayout saved;
    saved.name = "Three Columns";
    library.layouts = {saved};
    world.apps = {{1, "org.mozilla.firefox", "Firefox", false}};
    WindowSnapshot window;
    window.id = 11;
    window.bundleID = "org.mozilla.firefox";
    window.appName = "Firefox";
    window.title = "Inbox";
    world.windows = {window};
  }
};

PaletteItem item(A action, std::string title = "Item") {
  PaletteItem made;
  made.action = std::move(action);
  made.title = std::move(title);
  return made;
}

PaletteChoice link(C command) {
  return {PaletteChoice::Link{std::move(command)}};
}
PaletteChoice elsewhere(std::string sentence) {
  return {PaletteChoice::Elsewhere{sentence}};
}

TEST(PaletteChoice, MapsItemsToLinksWindowsOrASentence) {
  Fixture fixture;
  const auto& library = fixture.library;
  auto kestleID = library.kestles[0].id;
  auto layoutID = library.layouts[0].id;
  struct Case {
    PaletteItem item;
    PaletteChoice expected;
  };
  std::vector<Case> cases{
      {item(A{A::Plain::tileWindows}), link(C{C::Tile{}})},
      {item(A{A::Plain::tileAppWindows}), link(C{C::Tile{std::nullopt, TileApps::front(), {}}})},
      {item(A{A::TileAs{TilingStyle::spiral}}),
       link(C{C::Tile{std::nullopt, TileApps::all(), TilingStyle::spiral}})},
      {item(A{A::Kestle{kestleID}}), link(C{C::Kestle{kestleID.uuidString()}})},
      {item(A{A::Kestle{UUID::random()}}, "Gone"),
       elsewhere("“Gone” is no longer in your library.")},
      {item(A{A::Layout{LayoutRef::templateLayout("halves")}}),
       link(C{C::Layout{"Halves", std::nullopt}})},
      {item(A{A::Layout{LayoutRef::saved(layoutID)}}),
       link(C{C::Layout{"Three Columns", std::nullopt}})},
      {item(A{A::Layout{LayoutRef::saved(UUID::random())}}, "Old"),
       elsewhere("“Old” is no longer in your library.")},
      {item(A{A::FloatApp{{"org.mozilla.firefox", "Firefox"}}}),
       link(C{C::LeaveOut{true, "Firefox"}})},
      {item(A{A::Learn{Lesson::snapping}}), link(C{C::Tour{Lesson::snapping}})},
      {item(A{A::Window{11}}), {PaletteChoice::FocusWindow{11}}},
      {item(A{A::Plain::saveLayout}, "Save Layout…"),
       elsewhere("“Save Layout…” can’t be done from the command line.")},
      {item(A{A::Plain::exportLibrary}, "Export Library…"),
       elsewhere("“Export Library…” can’t be done from the command line. Run kestles export "
                 "[file] instead.")},
      {item(A{A::History{UUID::random()}}, "Left Half"),
       elsewhere("“Left Half” can’t be done from the command line.")},
  };
  for (const auto& [given, expected] : cases)
    EXPECT_EQ(PaletteChoice::of(given, library), expected) << given.title;
}

TEST(PaletteChoice, EveryLinkOfTheCatalogReadsBackAsTheSameCommand) {
  Fixture fixture;
  int links = 0;
  for (const auto& given : PaletteCatalog::items(fixture.library, fixture.world, {})) {
    auto choice = PaletteChoice::of(given, fixture.library);
    auto* chosen = std::get_if<PaletteChoice::Link>(&choice.value);
    if (chosen == nullptr) continue;
    ++links;
    EXPECT_EQ(decodeCommandLink(commandLink(chosen->command)), chosen->command) << given.title;
  }
  EXPECT_GT(links, 60);
}

}  // namespace
}  // namespace kestles
