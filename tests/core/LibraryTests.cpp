#include "KestlesCore/library/Library.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/JSONFile.hpp"

namespace kestles {
namespace {

using nlohmann::json;

const std::filesystem::path kFixtures = std::filesystem::path(KESTLES_FIXTURES) / "library";

UUID id(const char* text) {
  return *UUID::fromString(text);
}

Library fixture(const char* name) {
  return *JSONFile<Library>{kFixtures / name}.load();
}

Kestle named(const char* name, std::optional<int> number = std::nullopt) {
  Kestle kestle = Kestle::make(name);
  kestle.number = number;
  return kestle;
}

std::vector<std::string> names(const Library& library) {
  std::vector<std::string> result;
  for (const auto& kestle : library.kestles)
    result.push_back(kestle.name);
  return result;
}

TEST(Library, EmptyObjectIsANewLibrary) {
  auto library = json::parse("{}").get<Library>();
  EXPECT_EQ(library, Library{});
  EXPECT_EQ(library.version, 4);
  EXPECT_EQ(library.settings, Settings{});
}

TEST(Library, NonObjectsDoNotDecode) {
  for (const char* text : {"[]", "3", "null", "\"library\""})
    EXPECT_THROW(json::parse(text).get<Library>(), std::exception) << text;
}

TEST(Library, DamagedItemsCostOnlyThemselves) {
  auto library = fixture("damaged-items.json");
  EXPECT_EQ(names(library), (std::vector<std::string>{"Mail", "Code"}));
  ASSERT_NE(library.currentKestle(), nullptr);
  const auto& code = *library.currentKestle();
  EXPECT_EQ(code.name, "Code");
  EXPECT_EQ(code.identity, (Identity{KestleColor::teal, KestleSymbol::emoji("🐚")}));
  ASSERT_EQ(code.arrangements.size(), 1u);
  const auto& screens = code.arrangements.at("D1").screens;
  ASSERT_EQ(screens.size(), 1u);
  EXPECT_EQ(screens[0].layout, LayoutRef::templateLayout("halves"));
  EXPECT_EQ(screens[0].pins,
            (std::vector<std::optional<AppRef>>{
                std::nullopt, AppRef{"com.apple.Safari", "com.apple.Safari"}, std::nullopt}));
  ASSERT_EQ(library.layouts.size(), 1u);
  EXPECT_EQ(library.layouts[0].number, 2);
  EXPECT_EQ(library.layouts[0].created.iso(), "2026-01-02T03:04:05Z");
  ASSERT_EQ(library.rules.size(), 1u);
  EXPECT_EQ(library.rules[0].layout, LayoutRef::saved(id("C0000000-0000-4000-8000-000000000001")));
  EXPECT_EQ(library.currentLayouts,
            (std::map<std::string, LayoutRef>{{"D1", LayoutRef::templateLayout("halves")}}));
  Settings settings;
  settings.showsTips = false;
  EXPECT_EQ(library.settings, settings);
}

TEST(Library, OlderVersionIsMigratedOnce) {
  auto library = fixture("version2.json");
  EXPECT_EQ(library.version, 4);
  EXPECT_EQ(library.currentKestleID, std::nullopt);  // it named a deleted kestle
  // Moved to ⌃ and ⌃⌥ as version 3 did, then on to the Super keys.
  EXPECT_EQ(library.settings.kestleModifiers.rawValue, 8);
  EXPECT_EQ(library.settings.layoutModifiers.rawValue, 10);
  EXPECT_EQ(library.settings.panelTrigger, PanelTrigger{});
  // ⌃1 is now the first kestle key, so rotate lost it.
  EXPECT_EQ(library.settings.keys(KeyCommand::rotate), std::nullopt);

  json saved = library;
  EXPECT_EQ(saved["version"], 4);
  saved["settings"]["kestleModifiers"] = 3;  // a version-4 file keeps what it says
  EXPECT_EQ(saved.get<Library>().settings.kestleModifiers.rawValue, 3);
}

// Libraries written before the default keys moved to Super hold the former defaults verbatim
// (Ctrl+Space for the panel, Ctrl and Ctrl+Alt with the digits): those take today's, and
// whatever the user changed stays, as does everything a version-4 library says.
TEST(Library, OlderDefaultKeysMoveToSuperAndTheUsersOwnStay) {
  struct Row {
    int version;
    const char* panel;
    int kestle, layout;
    PanelTrigger panelAfter;
    int kestleAfter, layoutAfter;
  };
  const auto standard = PanelTrigger{};
  const auto ctrlSpace = PanelTrigger::keys({49, KeyModifiers{1}});
  for (const auto& row : std::initializer_list<Row>{
           {3, R"({"keys": {"keyCode": 49, "modifiers": 1}})", 1, 3, standard, 8, 10},
           {3, R"({"keys": {"keyCode": 40, "modifiers": 3}})", 9, 3,
            PanelTrigger::keys({40, KeyModifiers{3}}), 9, 10},
           {3, R"({"doubleControl": true})", 1, 8, PanelTrigger::doubleControl(), 1, 8},
           {3, R"({"off": true})", 2, 10, PanelTrigger::off(), 2, 10},
           {4, R"({"keys": {"keyCode": 49, "modifiers": 1}})", 1, 3, ctrlSpace, 1, 3},
       }) {
    auto text =
        std::string(R"({"version": )") + std::to_string(row.version) +
        R"(, "settings": {"panelTrigger": )" + row.panel + R"(, "kestleModifiers": )" +
        std::to_string(row.kestle) + R"(, "layoutModifiers": )" + std::to_string(row.layout) +
        R"(, "commandShortcuts": [{"command": "rotate", "keys": {"keyCode": 15, "modifiers": 3}}]}})";
    auto settings = json::parse(text).get<Library>().settings;
    EXPECT_EQ(settings.panelTrigger, row.panelAfter) << text;
    EXPECT_EQ(settings.kestleModifiers.rawValue, row.kestleAfter) << text;
    EXPECT_EQ(settings.layoutModifiers.rawValue, row.layoutAfter) << text;
    EXPECT_EQ(settings.keys(KeyCommand::rotate), (KeyCombo{15, KeyModifiers{3}})) << text;
  }
}

TEST(Library, UniqueNames) {
  struct Row {
    std::vector<std::string> taken;
    const char* name;
    const char* unique;
  };
  for (const auto& row : std::initializer_list<Row>{
           {{}, "Work", "Work"},
           {{"Work"}, "Work", "Work 2"},
           {{"WORK", "work 2"}, "Work", "Work 3"},
           {{"Work 2"}, "Work", "Work"},
           {{"Éclair"}, "éCLAIR", "éCLAIR 2"},
           {{"Eclair"}, "Éclair", "Éclair"},
       }) {
    EXPECT_EQ(uniqueName(row.name, row.taken), row.unique) << row.name;
  }
}

TEST(Library, Duplicates) {
  Library library;
  auto work = library.addKestle(named("Work", 3));
  library.addKestle(named("Play"));
  auto first = library.duplicateKestle(work.id);
  auto second = library.duplicateKestle(work.id);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(names(library), (std::vector<std::string>{"Work", "Work copy 2", "Work copy", "Play"}));
  EXPECT_NE(first->id, work.id);
  EXPECT_EQ(first->number, std::nullopt);
  EXPECT_EQ(library.kestles[0].number, 3);
  EXPECT_EQ(library.duplicateKestle(UUID::random()), std::nullopt);

  Library other;
  auto original = other.addKestle(named("Work"));
  other.addKestle(named("work copy"));
  EXPECT_EQ(other.duplicateKestle(original.id)->name, "Work copy 2");
}

TEST(Library, NumbersNameOneKestleEach) {
  Library library;
  auto a = library.addKestle(named("A", 1));
  auto b = library.addKestle(named("B", 1));  // comes in without the taken number
  EXPECT_EQ(b.number, std::nullopt);
  library.numberKestle(b.id, 1);
  EXPECT_EQ(library.kestle(a.id)->number, std::nullopt);
  EXPECT_EQ(library.kestle(b.id)->number, 1);
  library.numberKestle(b.id, std::nullopt);
  EXPECT_EQ(library.kestle(b.id)->number, std::nullopt);
}

TEST(Library, RemovingAndRestoringAKestle) {
  Library library;
  library.addKestle(named("A"));
  auto b = library.addKestle(named("B"));
  library.addKestle(named("C"));
  library.currentKestleID = b.id;
  auto removal = library.removeKestle(b.id);
  ASSERT_TRUE(removal);
  EXPECT_EQ(removal->index, 1u);
  EXPECT_TRUE(removal->wasCurrent);
  EXPECT_EQ(library.currentKestleID, std::nullopt);
  EXPECT_EQ(library.removeKestle(b.id), std::nullopt);
  library.restoreKestle(*removal);
  EXPECT_EQ(names(library), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(library.currentKestleID, b.id);
}

TEST(Library, UpdatingRenamingAndMoving) {
  Library library;
  auto a = library.addKestle(named("A"));
  auto b = library.addKestle(named("B"));
  auto changed = a;
  changed.opensApps = false;
  EXPECT_TRUE(library.updateKestle(changed));
  EXPECT_FALSE(library.kestles[0].opensApps);
  EXPECT_FALSE(library.updateKestle(named("Z")));
  EXPECT_TRUE(library.renameKestle(a.id, "b"));
  EXPECT_EQ(library.kestles[0].name, "b 2");
  EXPECT_TRUE(library.renameKestle(b.id, "b"));  // its own name does not count
  EXPECT_EQ(library.kestles[1].name, "b");
  EXPECT_TRUE(library.moveKestle(b.id, 0));
  EXPECT_EQ(names(library), (std::vector<std::string>{"b", "b 2"}));
  EXPECT_TRUE(library.moveKestle(b.id, 99));
  EXPECT_EQ(names(library), (std::vector<std::string>{"b 2", "b"}));
}

TEST(Library, NextKestleFollowsTheUsersOrder) {
  Library library;
  EXPECT_EQ(library.kestleAfterCurrent(1), std::nullopt);
  auto a = library.addKestle(named("A"));
  auto b = library.addKestle(named("B"));
  auto c = library.addKestle(named("C"));
  EXPECT_EQ(library.kestleAfterCurrent(1), a.id);
  EXPECT_EQ(library.kestleAfterCurrent(-1), c.id);
  library.currentKestleID = c.id;
  EXPECT_EQ(library.kestleAfterCurrent(1), a.id);
  library.currentKestleID = a.id;
  EXPECT_EQ(library.kestleAfterCurrent(-1), c.id);
  EXPECT_EQ(library.kestleAfterCurrent(1), b.id);
}

TEST(Library, LayoutsRulesAndCurrentLayouts) {
  Library library;
  SavedLayout halves = SavedLayout::make("Halves", TileShape{});
  halves.number = 2;
  auto added = library.addLayout(halves);
  SavedLayout again = halves;
  again.id = UUID::random();
  auto second = library.addLayout(again);
  EXPECT_EQ(second.name, "Halves 2");
  EXPECT_EQ(second.number, std::nullopt);

  library.setCurrentLayout("D1", LayoutRef::saved(added.id));
  library.setCurrentLayout("D2", LayoutRef::templateLayout("thirds"));
  auto removal = library.removeLayout(added.id);
  ASSERT_TRUE(removal);
  EXPECT_EQ(library.currentLayouts.size(), 1u);
  library.restoreLayout(*removal);
  EXPECT_EQ(library.layouts[0].id, added.id);
  EXPECT_EQ(library.currentLayouts.at("D1"), LayoutRef::saved(added.id));
  library.setCurrentLayout("D2", std::nullopt);
  EXPECT_FALSE(library.currentLayouts.contains("D2"));

  DisplayKind studio{"D1", "Studio", false, 1.78};
  library.setRule({studio, LayoutRef::templateLayout("halves")});
  library.setRule({studio, LayoutRef::saved(added.id)});
  ASSERT_EQ(library.rules.size(), 1u);
  EXPECT_EQ(library.rules[0].layout, LayoutRef::saved(added.id));
  EXPECT_TRUE(library.removeRule("D1"));
  EXPECT_FALSE(library.removeRule("D1"));
}

TEST(Library, ReadingItemByItemMatchesTheWholeDocument) {
  const std::string kestleA = R"({"name": "A", "id": "A0000000-0000-4000-8000-000000000001",
                                  "created": "2026-01-01T00:00:00Z"})";
  const std::string kestleB = R"({"name": "B", "id": "A0000000-0000-4000-8000-000000000002",
                                  "created": "2026-01-01T00:00:00Z", "arrangements": {"x":
                                  {"screens": [[1, {"a": [2]}], {"display": 3}]}}})";
  for (const std::string& text : std::initializer_list<std::string>{
           "{}",
           R"({"kestles": [)" + kestleA + ", " + kestleB + "]}",
           R"({"kestles": [)" + kestleA + R"(], "kestles": [)" + kestleB + "]}",
           R"({"kestles": [)" + kestleA + R"(], "kestles": 5})",
           R"({"kestles": 5, "kestles": [)" + kestleA + "]}",
           R"({"kestles": [1, "two", null, [], {}, )" + kestleA + R"(], "rules": [[[]]]})",
           R"({"version": 2, "kestles": {"name": "A"}, "settings": {"kestleModifiers": 3,
                "layoutModifiers": 7}, "currentKestleID": "A0000000-0000-4000-8000-000000000001",
                "layouts": [], "extra": {"kestles": [1]}, "rules": [], "kestles": [)" +
               kestleA + "]}",
       }) {
    auto whole = json::parse(text).get<Library>();
    EXPECT_EQ(decodeDocument(text, std::type_identity<Library>{}), whole) << text;
  }
  for (const char* text : {"[]", "null", "{\"kestles\": [", ""})
    EXPECT_THROW(decodeDocument(text, std::type_identity<Library>{}), std::exception) << text;
}

TEST(Library, RoundTrip) {
  auto library = fixture("damaged-items.json");
  library.settings.keptTiled = {"D1"};
  EXPECT_EQ(json(library).get<Library>(), library);
}

}  // namespace
}  // namespace kestles
