#include "KestlesCore/palette/PaletteAction.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {
namespace {

using nlohmann::json;
using Plain = PaletteAction::Plain;

TEST(PaletteAction, CodesEveryCaseAsAOneKeyObject) {
  auto id = *UUID::fromString("00000000-0000-0000-0000-0000000000AB");
  struct Row {
    PaletteAction action;
    const char* coded;
  };
  const Row rows[] = {
      {{Plain::toggleFullScreen}, R"({"toggleFullScreen":{}})"},
      {{Plain::tour}, R"({"tour":{}})"},
      {{PaletteAction::Kestle{id}}, R"({"kestle":{"_0":"00000000-0000-0000-0000-0000000000AB"}})"},
      {{PaletteAction::Layout{LayoutRef::templateLayout("halves")}},
       R"({"layout":{"_0":{"template":"halves"}}})"},
      {{PaletteAction::Snap{SnapAction::firstTwoThirds}}, R"({"snap":{"_0":"firstTwoThirds"}})"},
      {{PaletteAction::TileAs{TilingStyle::mainStack}}, R"({"tileAs":{"_0":"mainStack"}})"},
      {{PaletteAction::SwapDisplays{-1}}, R"({"swapDisplays":{"_0":-1}})"},
      {{PaletteAction::RetileTiles{Retile::rotate(1)}}, R"({"retile":{"_0":{"rotate":{"_0":1}}}})"},
      {{PaletteAction::Gaps{GapsChange::wider()}}, R"({"gaps":{"_0":{"wider":{}}}})"},
      {{PaletteAction::FloatApp{{"org.mozilla.firefox", "Firefox"}}},
       R"({"floatApp":{"_0":{"bundleID":"org.mozilla.firefox","name":"Firefox"}}})"},
      {{PaletteAction::History{id}},
       R"({"history":{"_0":"00000000-0000-0000-0000-0000000000AB"}})"},
      {{PaletteAction::Learn{Lesson::arrangeKeys}}, R"({"learn":{"_0":"arrange-with-keys"}})"},
      {{PaletteAction::Focus{TileEdge::top}}, R"({"focus":{"_0":"top"}})"},
      {{PaletteAction::Swap{TileEdge::left}}, R"({"swap":{"_0":"left"}})"},
      {{PaletteAction::NextKestle{1}}, R"({"nextKestle":{"_0":1}})"},
      {{PaletteAction::Page{KestlesPage::keys}}, R"({"page":{"_0":"keys"}})"},
      {{PaletteAction::Ask{"mail left"}}, R"({"ask":{"_0":"mail left"}})"},
      {{PaletteAction::Window{4026531841u}}, R"({"window":{"_0":4026531841}})"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(json(row.action).dump(), row.coded);
    EXPECT_EQ(json::parse(row.coded).get<PaletteAction>(), row.action) << row.coded;
  }
}

TEST(PaletteAction, RefusesAnythingButOneKnownCaseWithItsPayload) {
  const char* damaged[] = {
      R"({})",
      R"({"undo":{},"redo":{}})",
      R"({"fly":{}})",
      R"({"snap":{}})",
      R"({"snap":{"_0":"sideways"}})",
      R"({"learn":{"_0":"arrangeKeys"}})",  // lessons are written by their spelling
      R"({"page":{"_0":"snapping"}})",      // a spelling the command line reads, not a raw value
      R"({"retile":{"_0":{"spin":{}}}})",
      R"({"window":{"_0":-3}})",
      R"({"kestle":{"_0":"not a uuid"}})",
      R"(["tileWindows"])",
  };
  for (auto text : damaged)
    EXPECT_THROW(json::parse(text).get<PaletteAction>(), coding::DecodeError) << text;
}

}  // namespace
}  // namespace kestles
