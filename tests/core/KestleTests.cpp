#include "KestlesCore/library/Kestle.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Lossy.hpp"
#include "KestlesCore/library/DisplayRule.hpp"
#include "KestlesCore/library/SavedLayout.hpp"
#include "KestlesCore/undo/UndoEntry.hpp"

namespace kestles {
namespace {

using nlohmann::json;

const char* kDisplay =
    R"({"displayID": "D1", "name": "Studio", "isBuiltIn": false, "aspect": 1.6})";
const char* kShape = R"({"kind": "tree", "tree": {"id": "5C1E3B0A-1111-4222-8333-444455556666"}})";

json screenWith(const std::string& pins) {
  return json::parse(std::string(R"({"display": )") + kDisplay + R"(, "shape": )" + kShape +
                     R"(, "pins": )" + pins + "}");
}

TEST(Kestle, OnlyANameTakesEveryDefault) {
  auto before = Date::now();
  auto kestle = json::parse(R"({"name": "Work"})").get<Kestle>();
  auto other = json::parse(R"({"name": "Work"})").get<Kestle>();
  EXPECT_EQ(kestle.name, "Work");
  EXPECT_NE(kestle.id, other.id);
  EXPECT_EQ(kestle.identity.color, KestleColor::blue);
  EXPECT_EQ(kestle.identity.symbol, KestleSymbol::sf("macwindow"));
  EXPECT_EQ(kestle.number, std::nullopt);
  EXPECT_TRUE(kestle.opensApps);
  EXPECT_TRUE(kestle.arrangements.empty());
  EXPECT_GE(kestle.created, before);
  EXPECT_LE(kestle.created, Date::now());
}

TEST(Kestle, RequiredAndOptionalFields) {
  struct Row {
    const char* json;
    bool decodes;
  };
  for (auto row : std::initializer_list<Row>{
           {R"({})", false},
           {R"({"name": 5})", false},
           {R"([])", false},
           {R"("Work")", false},
           {R"({"name": "W", "id": "nonsense", "number": "three", "opensApps": 1,
                "identity": 7, "arrangements": [], "created": "yesterday"})",
            true},
       }) {
    EXPECT_EQ(Lossy<Kestle>::decoded(json::parse(row.json)).value.has_value(), row.decodes)
        << row.json;
  }
}

TEST(Kestle, DamagedArrangementIsDroppedAlone) {
  auto kestle = json::parse(std::string(R"({"name": "W", "arrangements": {
      "good": {"screens": [)") +
                            screenWith("[]").dump() + R"(]},
      "bad": 12,
      "empty": {}}})")
                    .get<Kestle>();
  ASSERT_EQ(kestle.arrangements.size(), 2u);
  EXPECT_EQ(kestle.arrangements.at("good").screens.size(), 1u);
  EXPECT_TRUE(kestle.arrangements.at("empty").screens.empty());
}

TEST(KestleScreen, PinsKeepTheirPositions) {
  auto screen = screenWith(R"([null, {"bundleID": "com.apple.Safari"}, 5, {"name": "x"},
                               {"bundleID": "a", "name": "A"}])")
                    .get<KestleScreen>();
  ASSERT_EQ(screen.pins.size(), 5u);
  EXPECT_EQ(screen.pins[0], std::nullopt);
  EXPECT_EQ(screen.pins[1], (AppRef{"com.apple.Safari", "com.apple.Safari"}));
  EXPECT_EQ(screen.pins[2], std::nullopt);
  EXPECT_EQ(screen.pins[3], std::nullopt);
  EXPECT_EQ(screen.pins[4], (AppRef{"a", "A"}));
}

TEST(KestleScreen, MissingDisplayOrShapeFails) {
  auto screen = screenWith("[]");
  for (const char* key : {"display", "shape"}) {
    auto damaged = screen;
    damaged.erase(key);
    EXPECT_FALSE(Lossy<KestleScreen>::decoded(damaged).value) << key;
  }
  auto noPins = screen;
  noPins.erase("pins");
  EXPECT_TRUE(noPins.get<KestleScreen>().pins.empty());
}

TEST(Kestle, DefaultRecordsDrawNoIdAndReadNoClock) {
  // Regression: default constructors drew a random id (and read the clock), so every decode
  // drew ids it threw away and two default values were never equal.
  EXPECT_EQ(Kestle{}, Kestle{});
  EXPECT_EQ(Kestle{}.id, UUID{});
  EXPECT_EQ(Kestle{}.created, Date{});
  EXPECT_EQ(SavedLayout{}, SavedLayout{});
  EXPECT_EQ(SavedLayout{}.id, UUID{});
  EXPECT_EQ(UndoEntry{}, UndoEntry{});
  EXPECT_EQ(UndoEntry{}.date, Date{});
  EXPECT_EQ(LayoutNode{}, LayoutNode{});
  EXPECT_EQ(DrawnTile{}, DrawnTile{});
  EXPECT_EQ(TileShape{}, TileShape{});

  // The named factories give each new record its own id and the current date.
  auto before = Date::now();
  auto kestle = Kestle::make("Work");
  auto layout = SavedLayout::make("Halves", TileShape::tree(LayoutNode::tile()));
  auto entry = UndoEntry::make(UndoEntry::Kind::gaps, "Gaps", "8 pt");
  EXPECT_EQ(kestle.name, "Work");
  EXPECT_EQ(layout.name, "Halves");
  EXPECT_EQ(entry.kind, UndoEntry::Kind::gaps);
  for (const auto& id :
       {kestle.id, layout.id, entry.id, LayoutNode::tile().id, DrawnTile::make({0, 0, 1, 1}).id})
    EXPECT_NE(id, UUID{});
  EXPECT_NE(kestle.id, Kestle::make("Work").id);
  EXPECT_GE(kestle.created, before);
  EXPECT_GE(layout.created, before);
  EXPECT_GE(entry.date, before);
}

TEST(Kestle, RoundTripKeepsEveryField) {
  Kestle kestle;
  kestle.name = "Écriture / notes";
  kestle.identity = {KestleColor::graphite, KestleSymbol::emoji("🦊")};
  kestle.number = 4;
  kestle.opensApps = false;
  kestle.created = *Date::fromISO("2026-12-04T11:41:00Z");
  auto screen = screenWith(R"([null, {"bundleID": "b", "name": "B"}])").get<KestleScreen>();
  screen.layout = LayoutRef::saved(UUID::random());
  kestle.arrangements["fp"] = Arrangement{{screen}};
  json encoded = kestle;
  EXPECT_EQ(encoded["created"], "2026-12-04T11:41:00Z");
  EXPECT_EQ(encoded["arrangements"]["fp"]["screens"][0]["pins"][0], nullptr);
  EXPECT_EQ(encoded.get<Kestle>(), kestle);
}

TEST(KestleSymbol, Decoding) {
  struct Row {
    const char* json;
    KestleSymbol symbol;
  };
  for (const auto& row : std::initializer_list<Row>{
           {R"({"sf": "star"})", KestleSymbol::sf("star")},
           {R"({"emoji": "🌊"})", KestleSymbol::emoji("🌊")},
           {R"({"sf": "star", "emoji": "🌊"})", KestleSymbol::emoji("🌊")},
           {R"({"emoji": 3, "sf": "star"})", KestleSymbol::sf("star")},
           {R"({})", KestleSymbol::sf("macwindow")},
       }) {
    EXPECT_EQ(json::parse(row.json).get<KestleSymbol>(), row.symbol) << row.json;
  }
}

TEST(Identity, UnreadablePartsTakeDefaults) {
  struct Row {
    const char* json;
    KestleColor color;
    KestleSymbol symbol;
  };
  for (const auto& row : std::initializer_list<Row>{
           {R"({"color": "mint", "symbol": {"sf": "bolt"}})", KestleColor::mint,
            KestleSymbol::sf("bolt")},
           {R"({"color": "chartreuse", "symbol": "bolt"})", KestleColor::blue,
            KestleSymbol::sf("macwindow")},
           {R"({})", KestleColor::blue, KestleSymbol::sf("macwindow")},
       }) {
    auto identity = json::parse(row.json).get<Identity>();
    EXPECT_EQ(identity.color, row.color) << row.json;
    EXPECT_EQ(identity.symbol, row.symbol) << row.json;
  }
}

TEST(LayoutRef, Decoding) {
  const auto id = *UUID::fromString("0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0");
  struct Row {
    std::string json;
    std::optional<LayoutRef> ref;
  };
  for (const auto& row : std::initializer_list<Row>{
           {R"({"template": "halves"})", LayoutRef::templateLayout("halves")},
           {R"({"saved": "0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f0"})", LayoutRef::saved(id)},
           {R"({"saved": "0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0", "template": "halves"})",
            LayoutRef::saved(id)},
           {R"({"saved": "broken", "template": "halves"})", LayoutRef::templateLayout("halves")},
           {R"({"saved": "broken"})", std::nullopt},
           {R"({})", std::nullopt},
       }) {
    EXPECT_EQ(Lossy<LayoutRef>::decoded(json::parse(row.json)).value, row.ref) << row.json;
  }
  EXPECT_EQ(json(LayoutRef::saved(id)).dump(),
            R"({"saved":"0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0"})");
}

TEST(SavedLayoutAndRule, RequiredFields) {
  std::string shape = kShape, display = kDisplay;
  struct Row {
    std::string json;
    bool layoutDecodes;
    bool ruleDecodes;
  };
  for (const auto& row : std::initializer_list<Row>{
           {R"({"name": "L", "shape": )" + shape + "}", true, false},
           {R"({"name": "L"})", false, false},
           {R"({"shape": )" + shape + "}", false, false},
           {R"({"display": )" + display + R"(, "layout": {"template": "t"}})", false, true},
           {R"({"display": {"displayID": "D"}, "layout": {"template": "t"}})", false, false},
           {R"({"display": )" + display + "}", false, false},
       }) {
    auto value = json::parse(row.json);
    EXPECT_EQ(Lossy<SavedLayout>::decoded(value).value.has_value(), row.layoutDecodes) << row.json;
    EXPECT_EQ(Lossy<DisplayRule>::decoded(value).value.has_value(), row.ruleDecodes) << row.json;
  }
  auto layout =
      json::parse(R"({"name": "L", "display": 4, "shape": )" + shape + "}").get<SavedLayout>();
  EXPECT_EQ(layout.display, std::nullopt);
  EXPECT_EQ(json(layout).get<SavedLayout>(), layout);
}

TEST(Lossy, ListsAndMapsKeepWhatDecodes) {
  auto list = coding::lossyList<AppRef>(
      json::parse(R"([{"bundleID": "a"}, null, {"bundleID": 1}, {"bundleID": "b", "name": 2}])"));
  EXPECT_EQ(list, (std::vector<AppRef>{{"a", "a"}, {"b", "b"}}));
  auto map = coding::lossyMap<AppRef>(json::parse(R"({"x": {"bundleID": "a"}, "y": []})"));
  ASSERT_EQ(map.size(), 1u);
  EXPECT_EQ(map.at("x"), (AppRef{"a", "a"}));
}

}  // namespace
}  // namespace kestles
