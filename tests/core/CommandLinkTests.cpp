#include "KestlesCore/command/CommandLink.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "KestlesCore/command/PlainCommand.hpp"

namespace kestles {
namespace {

using C = KestlesCommand;

struct LinkRow {
  KestlesCommand command;
  std::string link;
};

std::vector<LinkRow> linkRows() {
  return {
      {{C::Kestle{"Deep Work"}}, "kestles://kestle/Deep%20Work"},
      {{C::Kestle{"a/b"}}, "kestles://kestle/a%2Fb"},
      {{C::Kestle{"Café"}}, "kestles://kestle/Caf%C3%A9"},
      {{C::Kestle{"x?y&z=1#"}}, "kestles://kestle/x%3Fy%26z%3D1%23"},
      {{C::NextKestle{1}}, "kestles://next-kestle"},
      {{C::NextKestle{-1}}, "kestles://previous-kestle"},
      {{C::Layout{"Halves", std::nullopt}}, "kestles://layout/Halves"},
      {{C::Layout{"Two Up", "Studio Display"}},
       "kestles://layout/Two%20Up?display=Studio%20Display"},
      {{C::Tile{std::nullopt, TileApps::all(), std::nullopt}}, "kestles://tile"},
      {{C::Tile{std::nullopt, TileApps::all(), TilingStyle::spiral}},
       "kestles://tile?style=spiral"},
      {{C::Tile{"Studio Display", TileApps::front(), TilingStyle::spiral}},
       "kestles://tile?display=Studio%20Display&front-app&style=spiral"},
      {{C::Tile{std::nullopt, TileApps::named("Safari & Co"), TilingStyle::mainStack}},
       "kestles://tile?app=Safari%20%26%20Co&style=main-stack"},
      {{C::TileAllDisplays{std::nullopt}}, "kestles://tile?all-displays"},
      {{C::TileAllDisplays{TilingStyle::columns}}, "kestles://tile?all-displays&style=columns"},
      {{C::SwapDisplays{1}}, "kestles://swap-displays"},
      {{C::SwapDisplays{-1}}, "kestles://swap-displays/back"},
      {{C::Snap{SnapAction::leftHalf}}, "kestles://snap/left-half"},
      {{C::Snap{SnapAction::firstTwoThirds}}, "kestles://snap/first-two-thirds"},
      {{C::Snap{SnapAction::smaller}}, "kestles://snap/smaller"},
      {{C::Focus{TileEdge::top}}, "kestles://focus/up"},
      {{C::Swap{TileEdge::bottom}}, "kestles://swap/down"},
      {{C::Swap{TileEdge::left}}, "kestles://swap/left"},
      {{C::RetileTiles{Retile::rotate(1)}}, "kestles://rotate"},
      {{C::RetileTiles{Retile::rotate(-1)}}, "kestles://rotate/back"},
      {{C::RetileTiles{Retile::flip(Retile::Flip::horizontal)}}, "kestles://flip/horizontal"},
      {{C::RetileTiles{Retile::flip(Retile::Flip::vertical)}}, "kestles://flip/vertical"},
      {{C::RetileTiles{Retile::evenOut()}}, "kestles://even-out"},
      {{C::RetileTiles{Retile::turn()}}, "kestles://turn-split"},
      {{C::Gaps{GapsChange::points(0)}}, "kestles://gaps/0"},
      {{C::Gaps{GapsChange::points(24)}}, "kestles://gaps/24"},
      {{C::Gaps{GapsChange::wider()}}, "kestles://gaps/wider"},
      {{C::Gaps{GapsChange::narrower()}}, "kestles://gaps/narrower"},
      {{C::KeepTiled{std::nullopt, std::nullopt}}, "kestles://keep-tiled"},
      {{C::KeepTiled{true, "Built-in"}}, "kestles://keep-tiled/on?display=Built-in"},
      {{C::LeaveOut{false, "Mail"}}, "kestles://leave-out/off?app=Mail"},
      {{C::LeaveOut{std::nullopt, std::nullopt}}, "kestles://leave-out"},
      {{C::Open{std::nullopt}}, "kestles://open"},
      {{C::Open{KestlesPage::general}}, "kestles://open/general"},
      {{C::Tour{std::nullopt}}, "kestles://tour"},
      {{C::Tour{Lesson::arrangeKeys}}, "kestles://tour/arrange-with-keys"},
      {{C::ShowMe{Lesson::windowHints}}, "kestles://show-me/window-hints"},
      {{C::Welcome{std::nullopt}}, "kestles://welcome"},
      {{C::Welcome{TourPage{TourPage::Fixed::firstKestle}}}, "kestles://welcome/first-kestle"},
      {{C::Welcome{TourPage{Lesson::keepTiled}}}, "kestles://welcome/keep-tiled"},
      {{C::ShowTip{Tip::appliedKestle}}, "kestles://tip/applied-kestle"},
      {{C::Debug{DebugCommand{DebugCommand::Appearance{Look::contrastDark}}}},
       "kestles://debug/appearance/contrast-dark"},
      {{C::Debug{DebugCommand{DebugCommand::Transparency{true}}}},
       "kestles://debug/transparency/solid"},
      {{C::Debug{DebugCommand{DebugCommand::Transparency{false}}}},
       "kestles://debug/transparency/glass"},
      {{C::Debug{DebugCommand{DebugCommand::Transparency{std::nullopt}}}},
       "kestles://debug/transparency/system"},
      {{C::Debug{DebugCommand{DebugCommand::Close{}}}}, "kestles://debug/close"},
      {{C::Debug{DebugCommand{DebugCommand::Toast{}}}}, "kestles://debug/toast"},
      {{C::MakeMain{}}, "kestles://make-main"},
      {{C::TileOrFloat{}}, "kestles://tile-or-float"},
      {{C::Hints{}}, "kestles://hints"},
      {{C::MoveToTile{}}, "kestles://move-to-tile"},
      {{C::PickWindows{}}, "kestles://pick-windows"},
      {{C::EditTiles{}}, "kestles://edit-tiles"},
      {{C::ArrangeWithKeys{}}, "kestles://arrange-with-keys"},
      {{C::Undo{}}, "kestles://undo"},
      {{C::Redo{}}, "kestles://redo"},
      {{C::Save{"Deep Work"}}, "kestles://save/Deep%20Work"},
      {{C::Save{"Code", true}}, "kestles://save/Code?update"},
      {{C::Panel{}}, "kestles://panel"},
  };
}

TEST(CommandLink, EveryCommandWritesItsLinkAndReadsBack) {
  for (const auto& row : linkRows()) {
    EXPECT_EQ(commandLink(row.command), row.link);
    EXPECT_EQ(decodeCommandLink(row.link), row.command) << row.link;
  }
}

TEST(CommandLink, EverySnapActionRoundTrips) {
  for (auto action : allSnapActions()) {
    KestlesCommand command{C::Snap{action}};
    EXPECT_EQ(decodeCommandLink(commandLink(command)), command) << rawValue(action);
  }
}

// A command that carries nothing but is missing from the plain-command table would be
// written as a link without a host.
TEST(CommandLink, EveryCommandThatCarriesNothingHasItsHost) {
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    (
        [&] {
          using Value = std::variant_alternative_t<I, KestlesCommand::Value>;
          if constexpr (CarriesNothing<Value>) {
            KestlesCommand command{Value{}};
            auto host = plainLinkHost(command);
            ASSERT_TRUE(host.has_value()) << I;
            ASSERT_NE(plainCommandWithHost(*host), nullptr);
            EXPECT_EQ(plainCommandWithHost(*host)->command, command);
            EXPECT_EQ(commandLink(command), "kestles://" + std::string(*host));
          }
        }(),
        ...);
  }
  (std::make_index_sequence<std::variant_size_v<KestlesCommand::Value>>{});
}

TEST(CommandLink, ZeroOffsetIsNext) {
  EXPECT_EQ(commandLink({C::NextKestle{0}}), "kestles://next-kestle");
}

TEST(CommandLink, ReadsLinksWrittenByOtherPrograms) {
  struct Row {
    const char* link;
    KestlesCommand expected;
  };
  const Row rows[] = {
      {"KESTLES://KESTLE/Code", {C::Kestle{"Code"}}},
      {"kestles://kestle//Code/", {C::Kestle{"Code"}}},  // empty pieces are dropped
      {"kestles://snap/Left%20Half", {C::Snap{SnapAction::leftHalf}}},
      {"kestles://focus/TOP", {C::Focus{TileEdge::top}}},
      {"kestles://rotate/BACK", {C::RetileTiles{Retile::rotate(-1)}}},
      {"kestles://gaps/08", {C::Gaps{GapsChange::points(8)}}},
      {"kestles://tile?style=Main%20%2B%20Stack",
       {C::Tile{std::nullopt, TileApps::all(), TilingStyle::mainStack}}},
      {"kestles://tile?front-app=&app=Mail",
       {C::Tile{std::nullopt, TileApps::named("Mail"), std::nullopt}}},
      {"kestles://tile?style=grid&all-displays=1", {C::TileAllDisplays{TilingStyle::grid}}},
      {"kestles://keep-tiled/ON", {C::KeepTiled{true, std::nullopt}}},
      {"kestles://welcome/accessibility", {C::Welcome{TourPage{TourPage::Fixed::permission}}}},
      {"kestles://open/snapping", {C::Open{KestlesPage::tiling}}},
      {"kestles://debug/Appearance/DARK",
       {C::Debug{DebugCommand{DebugCommand::Appearance{Look::dark}}}}},
      {"kestles://undo#fragment", {C::Undo{}}},
      {"kestles://user@panel:99", {C::Panel{}}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(decodeCommandLink(row.link), row.expected) << row.link;
}

TEST(CommandLink, LinksThatDoNotFitGiveNoCommand) {
  const char* links[] = {
      "",
      "kestles",
      "kestles:",
      "kestles:undo",     // no host
      "kestles:///undo",  // empty host
      "http://undo",
      "kestle://undo",
      "1kestles://undo",
      "kestles://unknown",
      "kestles://kestle",      // a kestle needs a name
      "kestles://kestle/a/b",  // a name is one piece
      "kestles://kestle/%",    // broken escapes
      "kestles://kestle/%4",
      "kestles://kestle/%zz",
      "kestles://kestle/%FF",  // not UTF-8 once decoded
      "kestles://snap",
      "kestles://snap/sideways",
      "kestles://focus/forward",
      "kestles://gaps/25",
      "kestles://gaps/-1",
      "kestles://gaps/99999999999999999999999",
      "kestles://gaps/wide",
      "kestles://rotate/forward",
      "kestles://swap-displays/next",
      "kestles://flip",
      "kestles://keep-tiled/maybe",
      "kestles://tile?style=hexagons",
      "kestles://tile/extra",
      "kestles://tile?style",
      "kestles://undo/now",
      "kestles://show-me",
      "kestles://tip/unknown",
      "kestles://open/nowhere",
      "kestles://debug",
      "kestles://debug/appearance",
      "kestles://debug/appearance/purple",
      "kestles://debug/close/now",
      "kestles://tile?app=%E0%A4",
  };
  for (const char* link : links)
    EXPECT_EQ(decodeCommandLink(link), std::nullopt) << link;
}

TEST(CommandLink, ANulInAnyPartGivesNoCommand) {
  // "%00" was decoded into names and values, where it cut them short once they were handed on
  // as C strings.
  const std::string links[] = {
      "kestles://kestle/Work%00Extra",
      "kestles://layout/Halves?display=Studio%00Display",
      "kestles://tile?app=Fire%00fox",
      "kestles://leave-out/on?app=code%00",
      "kestles://kes%00tle/Work",
      "kestles://tile?dis%00play=Studio",  // even an item that would be passed over
      std::string("kestles://kestle/Wo\0rk", 22),
  };
  for (const auto& link : links)
    EXPECT_EQ(decodeCommandLink(link), std::nullopt) << link;
  EXPECT_EQ(percentDecoded("a%00b"), std::nullopt);
}

TEST(CommandLink, RecordLinksCarryTheirValueAndNothingElseReadsAsOne) {
  auto kestle = Kestle::make("“Deep” Work & more?");
  const std::vector<RecordRequest> requests{
      {RecordRequest::PaletteRecent{PaletteAction{PaletteAction::TileAs{TilingStyle::spiral}}}},
      {RecordRequest::PaletteRecent{PaletteAction{PaletteAction::Plain::undo}}},
      {RecordRequest::AddKestle{kestle}},
  };
  for (const auto& request : requests) {
    auto link = recordLink(request);
    EXPECT_TRUE(link.starts_with("kestles://record/")) << link;
    EXPECT_EQ(decodeRecordLink(link), request) << link;
    EXPECT_EQ(decodeCommandLink(link), std::nullopt) << link;
  }
  EXPECT_EQ(
      recordLink(requests[0]),
      "kestles://record/palette-recent?action=%7B%22tileAs%22%3A%7B%22_0%22%3A%22spiral%22%7D%7D");
  for (const char* link : {
           "kestles://record/kestle",                         // no value
           "kestles://record/kestle?kestle=%7Bnot%20json",    // not JSON
           "kestles://record/kestle?kestle=%7B%7D",           // a kestle needs its name
           "kestles://record/palette-recent?action=%5B1%5D",  // not an action
           "kestles://record/layout?layout=%7B%7D",           // nothing else is recorded
           "kestles://record/kestle?kestle=%7B%22name%22%3A%22A%22%7D&x=1",  // one item only
           "kestles://record?kestle=%7B%22name%22%3A%22A%22%7D",             // what is recorded
           "kestles://undo",
       })
    EXPECT_EQ(decodeRecordLink(link), std::nullopt) << link;
}

TEST(CommandLink, OnlyCommandsThatShowTheAppsWindowsActivateIt) {
  for (const auto& row : linkRows()) {
    bool shows = std::holds_alternative<C::Open>(row.command.value) ||
                 std::holds_alternative<C::Tour>(row.command.value) ||
                 std::holds_alternative<C::ShowMe>(row.command.value) ||
                 std::holds_alternative<C::Welcome>(row.command.value);
    EXPECT_EQ(activates(row.command), shows) << row.link;
  }
}

}  // namespace
}  // namespace kestles
