#include "kestles/CLIParser.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "KestlesCore/snap/SnapAction.hpp"

namespace kestles::tool {
namespace {

using C = KestlesCommand;
using Args = std::vector<std::string>;

ParseResult parse(const Args& args) {
  return parseArguments(args);
}

CLIRequest send(KestlesCommand command) {
  return {CLIRequest::Send{std::move(command)}};
}

ParseResult error(std::string message) {
  return Failure{std::move(message)};
}

struct Row {
  Args args;
  ParseResult expected;
};

void expectRows(const std::vector<Row>& rows) {
  for (const auto& row : rows) {
    std::string typed;
    for (const auto& arg : row.args)
      typed += "[" + arg + "]";
    auto result = parse(row.args);
    EXPECT_EQ(result, row.expected)
        << typed << " gave "
        << (std::holds_alternative<Failure>(result) ? std::get<Failure>(result).message
                                                    : std::string("a request"));
  }
}

TEST(CLIParser, RequestsWithoutCommands) {
  expectRows({
      {{}, CLIRequest{CLIRequest::Help{}}},
      {{"help"}, CLIRequest{CLIRequest::Help{}}},
      {{"HELP"}, CLIRequest{CLIRequest::Help{}}},
      {{"--Help"}, CLIRequest{CLIRequest::Help{}}},
      {{"-h"}, CLIRequest{CLIRequest::Help{}}},
      {{"--version"}, CLIRequest{CLIRequest::Version{}}},
      {{"Version"}, CLIRequest{CLIRequest::Version{}}},
      {{"list"}, CLIRequest{CLIRequest::List{Listing::all}}},
      {{"list", "Kestles"}, CLIRequest{CLIRequest::List{Listing::kestles}}},
      {{"list", "layouts"}, CLIRequest{CLIRequest::List{Listing::layouts}}},
      {{"list", "all"}, error("kestles can list kestles or layouts, not “all”.")},
      {{"list", "kestles", "now"},
       error("kestles can list kestles or layouts, not “kestles now”.")},
      {{"export"}, CLIRequest{CLIRequest::ExportArchive{std::nullopt}}},
      {{"export", "My", "Work.kestles"}, CLIRequest{CLIRequest::ExportArchive{"My Work.kestles"}}},
      {{"import"}, error("import needs a file, like: kestles import ~/Desktop/Work.kestles")},
      {{"import", "a.kestles"}, CLIRequest{CLIRequest::ImportArchive{"a.kestles"}}},
      {{"import", "My", "Work", "--settings"},
       CLIRequest{CLIRequest::ImportArchive{"My Work", true}}},
      {{"import", "--settings"},
       error("import needs a file, like: kestles import ~/Desktop/Work.kestles")},
      {{"Frobnicate"}, error("There’s no command “Frobnicate”. Run kestles help to see them all.")},
  });
}

TEST(CLIParser, WordsThatTakeNothing) {
  expectRows({
      {{"next"}, send({C::NextKestle{1}})},
      {{"previous"}, send({C::NextKestle{-1}})},
      {{"PREV"}, send({C::NextKestle{-1}})},
      {{"next", "now"}, error("next takes nothing more, not “now”.")},
      {{"Undo", "it", "all"}, error("undo takes nothing more, not “it all”.")},
      {{"main"}, send({C::MakeMain{}})},
      {{"float"}, send({C::TileOrFloat{}})},
      {{"evenout"}, send({C::RetileTiles{Retile::evenOut()}})},
      {{"turn"}, send({C::RetileTiles{Retile::turn()}})},
      {{"hints"}, send({C::Hints{}})},
      {{"move-to-tile"}, send({C::MoveToTile{}})},
      {{"pick"}, send({C::PickWindows{}})},
      {{"edit-tiles"}, send({C::EditTiles{}})},
      {{"arrange"}, send({C::ArrangeWithKeys{}})},
      {{"redo"}, send({C::Redo{}})},
      {{"redo", "twice"}, error("redo takes nothing more, not “twice”.")},
      {{"panel"}, send({C::Panel{}})},
      {{"panel", ""}, send({C::Panel{}})},  // an empty word adds nothing
  });
}

TEST(CLIParser, KestlesAndLayouts) {
  expectRows({
      {{"Kestle", "Code"}, send({C::Kestle{"Code"}})},
      {{"kestle", "Deep", "Work"}, send({C::Kestle{"Deep Work"}})},
      {{"KESTLE"}, error("kestle needs a kestle’s name or number, like: kestles kestle Code")},
      {{"layout"}, error("layout needs a layout’s name, like: kestles layout Halves")},
      {{"layout", "--display", "Main"},
       error("layout needs a layout’s name, like: kestles layout Halves")},
      {{"layout", "Two", "Up"}, send({C::Layout{"Two Up", std::nullopt}})},
      {{"layout", "Halves", "-d", "Studio", "Display"},
       send({C::Layout{"Halves", "Studio Display"}})},
      {{"layout", "Halves", "-d"},
       error("-d needs a display’s name, like: --display Studio Display")},
      {{"layout", "Halves", "--DISPLAY", "x"},
       send({C::Layout{"Halves --DISPLAY x", std::nullopt}})},
      {{"save", "Deep", "Work"}, send({C::Save{"Deep Work"}})},
      {{"Save", "--update", "Code"}, send({C::Save{"Code", true}})},
      {{"save", "Code", "--update"}, send({C::Save{"Code", true}})},
      {{"save"}, error("save needs a name for the new kestle, like: kestles save Code")},
      {{"save", "--update"},
       error("save --update needs the name of a kestle, like: kestles save --update Code")},
  });
}

TEST(CLIParser, Tile) {
  const auto all = TileApps::all();
  expectRows({
      {{"tile"}, send({C::Tile{std::nullopt, all, std::nullopt}})},
      {{"tile", "--style", "spiral"}, send({C::Tile{std::nullopt, all, TilingStyle::spiral}})},
      {{"tile", "-s", "Main", "+", "Stack"},
       send({C::Tile{std::nullopt, all, TilingStyle::mainStack}})},
      {{"tile", "-s", "main"}, send({C::Tile{std::nullopt, all, TilingStyle::mainStack}})},
      {{"tile", "-s", "MAIN-STACK"}, send({C::Tile{std::nullopt, all, TilingStyle::mainStack}})},
      {{"tile", "--app", "Visual", "Studio", "-d", "Left"},
       send({C::Tile{"Left", TileApps::named("Visual Studio"), std::nullopt}})},
      {{"tile", "--front-app", "--display", "Studio Display", "--style", "spiral"},
       send({C::Tile{"Studio Display", TileApps::front(), TilingStyle::spiral}})},
      {{"tile", "--all-displays"}, send({C::TileAllDisplays{std::nullopt}})},
      {{"tile", "-s", "grid", "--all-displays"}, send({C::TileAllDisplays{TilingStyle::grid}})},
      {{"tile", "Safari"},
       error("tile takes --display, --app, --front-app, --style or --all-displays, not “Safari”, "
             "like: kestles tile --app Firefox")},
      {{"tile", "--front-app", "Safari", "now"},
       error("tile takes --display, --app, --front-app, --style or --all-displays, not “Safari "
             "now”, like: kestles tile --app Firefox")},
      {{"tile", "--APP", "Safari"},
       error("tile takes --display, --app, --front-app, --style or --all-displays, not “--APP "
             "Safari”, like: kestles tile --app Firefox")},
      {{"tile", "-a"}, error("-a needs an app’s name, like: --app Firefox")},
      {{"tile", "--app", "--style", "grid"},
       error("--app needs an app’s name, like: --app Firefox")},
      {{"tile", "--app", "Safari", "--front-app"},
       error("tile takes one of --app and --front-app, not both.")},
      {{"tile", "--front-app", "-a", "Safari"},
       error("tile takes one of --app and --front-app, not both.")},
      {{"tile", "--style", "spiral", "--style", "grid"}, error("tile takes --style once.")},
      {{"tile", "-d", "A", "--display", "B"}, error("tile takes --display once.")},
      {{"tile", "-d"}, error("-d needs a display’s name, like: --display Studio Display")},
      {{"tile", "-s"}, error("-s needs a style, like: -s spiral")},
      {{"tile", "--style", "hexagons"},
       error("--style takes grid, main-stack, spiral or columns, not “hexagons”.")},
      {{"tile", "--all-displays", "-d", "Left"}, error("tile --all-displays takes only --style.")},
      {{"tile", "--front-app", "--all-displays"}, error("tile --all-displays takes only --style.")},
  });
}

TEST(CLIParser, SnapFocusSwapAndRetile) {
  const std::string places = placesList();
  expectRows({
      {{"snap", "Left", "Half"}, send({C::Snap{SnapAction::leftHalf}})},
      {{"snap", "lefthalf"}, send({C::Snap{SnapAction::leftHalf}})},
      {{"snap", "FIRST-TWO-THIRDS"}, send({C::Snap{SnapAction::firstTwoThirds}})},
      {{"snap"}, error("snap needs a place. Places: " + places)},
      {{"snap", "sideways"}, error("There’s no place called “sideways”. Places: " + places)},
      {{"swap", "up"}, send({C::Swap{TileEdge::top}})},
      {{"focus", "Bottom"}, send({C::Focus{TileEdge::bottom}})},
      {{"Focus"}, error("focus needs a way. Ways: left, right, up, down")},
      {{"swap", "forward"}, error("There’s no way called “forward”. Ways: left, right, up, down")},
      {{"swap", "displays", "back"}, send({C::SwapDisplays{-1}})},
      {{"swap", "Displays"}, send({C::SwapDisplays{1}})},
      {{"swap-displays", "BACK"}, send({C::SwapDisplays{-1}})},
      {{"swap", "displays", "twice"}, error("swap-displays takes back or nothing, not “twice”.")},
      {{"rotate"}, send({C::RetileTiles{Retile::rotate(1)}})},
      {{"rotate", "Back"}, send({C::RetileTiles{Retile::rotate(-1)}})},
      {{"rotate", "twice"}, error("rotate takes back or nothing, not “twice”.")},
      {{"flip", "Horizontal"}, send({C::RetileTiles{Retile::flip(Retile::Flip::horizontal)}})},
      {{"flip", "vertical"}, send({C::RetileTiles{Retile::flip(Retile::Flip::vertical)}})},
      {{"flip"}, error("flip needs a way. Ways: horizontal, vertical")},
      {{"flip", "diagonal"}, error("There’s no way called “diagonal”. Ways: horizontal, vertical")},
  });
  EXPECT_EQ(places.substr(0, 41), "left-half, right-half, top-half, bottom-h");
  EXPECT_TRUE(places.ends_with("move-up, move-down, larger, smaller"));
}

TEST(CLIParser, GapsAndSwitches) {
  expectRows({
      {{"gaps"}, error("gaps needs wider, narrower, or a size from 0 to 24 pixels.")},
      {{"gaps", "Wider"}, send({C::Gaps{GapsChange::wider()}})},
      {{"gaps", "narrower"}, send({C::Gaps{GapsChange::narrower()}})},
      {{"gaps", "24"}, send({C::Gaps{GapsChange::points(24)}})},
      {{"gaps", "08"}, send({C::Gaps{GapsChange::points(8)}})},
      {{"gaps", "0"}, send({C::Gaps{GapsChange::points(0)}})},
      {{"gaps", "25"}, error("Gaps go from 0 to 24 pixels, not 25.")},
      {{"gaps", "-1"}, error("Gaps go from 0 to 24 pixels, not -1.")},
      {{"gaps", "4.5"},
       error("gaps takes wider, narrower, or a size from 0 to 24 pixels, not “4.5”.")},
      {{"gaps", "1", "2"},
       error("gaps takes wider, narrower, or a size from 0 to 24 pixels, not “1 2”.")},
      {{"keep-tiled"}, send({C::KeepTiled{std::nullopt, std::nullopt}})},
      {{"keep-tiled", "ON", "--display", "Built-in"}, send({C::KeepTiled{true, "Built-in"}})},
      {{"keep-tiled", "-d", "Left"}, send({C::KeepTiled{std::nullopt, "Left"}})},
      {{"keep-tiled", "maybe"}, error("keep-tiled takes on, off or nothing, not “maybe”.")},
      {{"keep-tiled", "off", "-d"},
       error("-d needs a display’s name, like: --display Studio Display")},
      {{"leave-out", "off", "-a", "Mail"}, send({C::LeaveOut{false, "Mail"}})},
      {{"leave-out"}, send({C::LeaveOut{std::nullopt, std::nullopt}})},
      {{"leave-out", "Safari"},
       error("leave-out takes on, off or nothing, not “Safari”, like: kestles leave-out on --app "
             "Firefox")},
      {{"leave-out", "--app"}, error("--app needs an app’s name, like: --app Firefox")},
  });
}

TEST(CLIParser, PagesLessonsTipsAndDebug) {
  const std::string lessons =
      "tiling, snapping, kestles, arrange-with-keys, window-hints, pick-windows, move-to-tile, "
      "edit-tiles, keep-tiled, assistant";
  const std::string tips = "drag-window, tile-windows, snap-keys, applied-kestle, keep-tiled";
  expectRows({
      {{"open"}, send({C::Open{std::nullopt}})},
      {{"open", "Snapping"}, send({C::Open{KestlesPage::tiling}})},
      {{"open", "Keys"}, send({C::Open{KestlesPage::keys}})},
      {{"open", "nowhere"},
       error("There’s no page called “nowhere”. Pages: kestles, layouts, rules, tiling, keys, "
             "general")},
      {{"welcome"}, send({C::Welcome{std::nullopt}})},
      {{"welcome", "accessibility"}, send({C::Welcome{TourPage{TourPage::Fixed::permission}}})},
      {{"welcome", "tiling"}, send({C::Welcome{TourPage{Lesson::tiling}}})},
      {{"welcome", "x"},
       error("There’s no page called “x”. Pages: welcome, permission, panel, " + lessons +
             ", settings, first-kestle, chapters")},
      {{"tour"}, send({C::Tour{std::nullopt}})},
      {{"tour", "panel"}, send({C::Tour{Lesson::panel}})},
      {{"tour", "x"}, error("There’s no lesson called “x”. Lessons: panel, " + lessons)},
      {{"show-me", "window-hints"}, send({C::ShowMe{Lesson::windowHints}})},
      {{"show-me"}, error("show-me needs a lesson, like: kestles show-me window-hints")},
      {{"show-me", "panel"}, error("There’s nothing to show for panel. Lessons: " + lessons)},
      {{"tip", "snap-keys"}, send({C::ShowTip{Tip::snapKeys}})},
      {{"tip"}, error("tip needs a tip, like: kestles tip drag-window. Tips: " + tips)},
      {{"tip", "x"}, error("There’s no tip called “x”. Tips: " + tips)},
      {{"debug", "appearance", "dark"},
       send({C::Debug{DebugCommand{DebugCommand::Appearance{Look::dark}}}})},
      {{"debug", "transparency/glass"},
       send({C::Debug{DebugCommand{DebugCommand::Transparency{false}}}})},
      {{"debug", "close"}, send({C::Debug{DebugCommand{DebugCommand::Close{}}}})},
      {{"debug", "appearance", "purple"}, error("There’s no debug link “appearance purple”.")},
      {{"debug"}, error("There’s no debug link “”.")},
  });
}

}  // namespace
}  // namespace kestles::tool
