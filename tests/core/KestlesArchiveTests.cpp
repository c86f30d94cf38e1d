#include "KestlesCore/archive/KestlesArchive.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

using nlohmann::json;

Kestle kestle(const char* name, std::optional<int> number = std::nullopt) {
  Kestle made = Kestle::make(name);
  made.number = number;
  made.created = *Date::fromISO("2026-01-01T00:00:00Z");
  return made;
}

SavedLayout layout(const char* name, std::optional<int> number = std::nullopt) {
  SavedLayout made = SavedLayout::make(name, TileShape::tree(LayoutNode::tile()));
  made.number = number;
  made.created = *Date::fromISO("2026-01-01T00:00:00Z");
  return made;
}

TEST(KestlesArchive, EmptyObjectIsAnEmptyVersionOneArchive) {
  auto archive = KestlesArchive::decoded("{}");
  EXPECT_EQ(archive.archiveVersion, 1);
  EXPECT_EQ(archive.exported, std::nullopt);
  EXPECT_TRUE(archive.isEmpty());
  archive.settings = Settings{};
  EXPECT_FALSE(archive.isEmpty());
  for (const char* bytes : {"", "[]", "{", "\"kestles\""})
    EXPECT_THROW(KestlesArchive::decoded(bytes), std::exception) << bytes;
}

TEST(KestlesArchive, DamagedItemsAreDropped) {
  auto archive = KestlesArchive::decoded(R"({
    "archiveVersion": 1, "exported": "2026-12-04T11:41:00Z",
    "kestles": [{"name": "A"}, {"nom": "B"}],
    "layouts": [{"name": "L"}],
    "rules": [5],
    "settings": {"showsTips": false}})");
  EXPECT_EQ(archive.exported->iso(), "2026-12-04T11:41:00Z");
  ASSERT_EQ(archive.kestles.size(), 1u);
  EXPECT_TRUE(archive.layouts.empty() && archive.rules.empty());
  ASSERT_TRUE(archive.settings);
  EXPECT_FALSE(archive.settings->showsTips);
}

TEST(KestlesArchive, ReadingItemByItemMatchesTheWholeDocument) {
  for (const char* text : {
           "{}",
           R"({"kestles": [{"name": "A", "id": "A0000000-0000-4000-8000-000000000001",
                            "created": "2026-01-01T00:00:00Z"}, 7], "settings": {},
               "layouts": {"name": "L"}, "archiveVersion": 4, "rules": [null]})",
       }) {
    EXPECT_EQ(KestlesArchive::decoded(text), json::parse(text).get<KestlesArchive>()) << text;
  }
}

TEST(KestlesArchive, WholeLibraryAndOneKestle) {
  Library library;
  auto used = library.addLayout(layout("Used"));
  library.addLayout(layout("Unused"));
  auto alsoUsed = library.addLayout(layout("Also used"));
  Kestle work = kestle("Work");
  KestleScreen screen{{"D", "D", false, 1.5}, used.shape, LayoutRef::saved(alsoUsed.id), {}};
  KestleScreen other = screen;
  other.layout = LayoutRef::saved(used.id);
  KestleScreen builtIn = screen;
  builtIn.layout = LayoutRef::templateLayout("halves");
  work.arrangements["a"] = Arrangement{{screen, builtIn}};
  work.arrangements["b"] = Arrangement{{other}};
  library.addKestle(work);
  library.rules.push_back({{"D", "D", false, 1.5}, LayoutRef::templateLayout("halves")});
  auto now = *Date::fromISO("2026-12-04T11:41:00Z");

  auto whole = KestlesArchive::ofLibrary(library, now);
  EXPECT_EQ(whole.exported, now);
  EXPECT_EQ(whole.kestles, library.kestles);
  EXPECT_EQ(whole.layouts, library.layouts);
  EXPECT_EQ(whole.rules, library.rules);
  EXPECT_EQ(whole.settings, library.settings);
  EXPECT_EQ(KestlesArchive::decoded(whole.encoded()), whole);

  auto one = KestlesArchive::ofKestle(library.kestles[0], library, now);
  EXPECT_EQ(one.kestles.size(), 1u);
  ASSERT_EQ(one.layouts.size(), 2u);
  EXPECT_EQ(one.layouts[0].name, "Used");
  EXPECT_EQ(one.layouts[1].name, "Also used");
  EXPECT_TRUE(one.rules.empty());
  EXPECT_EQ(one.settings, std::nullopt);
}

TEST(KestlesArchive, EncodingIsTheFileStyle) {
  KestlesArchive archive;
  archive.exported = *Date::fromISO("2026-12-04T11:41:00Z");
  EXPECT_EQ(archive.encoded(),
            "{\n  \"archiveVersion\": 1,\n  \"exported\": \"2026-12-04T11:41:00Z\",\n"
            "  \"kestles\": [],\n  \"layouts\": [],\n  \"rules\": []\n}");
}

TEST(KestlesArchive, ImportingTheSameArchiveTwiceCountsNothing) {
  Library source;
  source.addKestle(kestle("Work", 1));
  source.addKestle(kestle("Play"));
  source.addLayout(layout("Halves", 3));
  source.rules.push_back({{"D", "D", false, 1.5}, LayoutRef::templateLayout("halves")});
  source.settings.showsTips = false;
  auto archive = KestlesArchive::ofLibrary(source);

  Library library;
  auto first = archive.importInto(library, ImportParts{ImportParts::all});
  EXPECT_EQ(first, (ImportSummary{2, 0, 1, 0, 1, true}));
  EXPECT_EQ(first.text(), "2 kestles, 1 layout, 1 display rule and settings");
  auto afterFirst = library;
  auto second = archive.importInto(library, ImportParts{ImportParts::all});
  EXPECT_EQ(second, ImportSummary{});
  EXPECT_EQ(second.text(), "");
  EXPECT_EQ(library, afterFirst);
}

TEST(KestlesArchive, MergeRules) {
  Library library;
  auto work = library.addKestle(kestle("Work", 2));
  auto halves = library.addLayout(layout("Halves", 3));

  KestlesArchive archive;
  archive.kestles.push_back(kestle("Work", 2));  // new id: added as Work 2, no number
  auto changed = work;
  changed.opensApps = false;
  archive.kestles.push_back(changed);             // same id: replaced in place
  archive.layouts.push_back(layout("Other", 3));  // number taken: comes in without it
  archive.layouts.push_back(halves);              // equal: nothing

  auto summary = archive.importInto(library, ImportParts{ImportParts::all});
  EXPECT_EQ(summary, (ImportSummary{1, 1, 1, 0, 0, false}));
  EXPECT_EQ(summary.text(), "2 kestles and 1 layout");
  ASSERT_EQ(library.kestles.size(), 2u);
  EXPECT_EQ(library.kestles[0].id, work.id);
  EXPECT_FALSE(library.kestles[0].opensApps);
  EXPECT_EQ(library.kestles[1].name, "Work 2");
  EXPECT_EQ(library.kestles[1].number, std::nullopt);
  ASSERT_EQ(library.layouts.size(), 2u);
  EXPECT_EQ(library.layouts[1].name, "Other");
  EXPECT_EQ(library.layouts[1].number, std::nullopt);
  EXPECT_EQ(library.layouts[0].number, 3);
}

TEST(KestlesArchive, OnlyChosenPartsComeIn) {
  KestlesArchive archive;
  archive.kestles.push_back(kestle("K"));
  archive.layouts.push_back(layout("L"));
  archive.rules.push_back({{"D", "D", false, 1.5}, LayoutRef::templateLayout("halves")});
  archive.settings = Settings{};
  archive.settings->showsTips = false;
  struct Row {
    int parts;
    ImportSummary summary;
  };
  for (const auto& row : std::initializer_list<Row>{
           {ImportParts::kestles, {1, 0, 0, 0, 0, false}},
           {ImportParts::layouts, {0, 0, 1, 0, 0, false}},
           {ImportParts::rules, {0, 0, 0, 0, 1, false}},
           {ImportParts::settings, {0, 0, 0, 0, 0, true}},
           {ImportParts::layouts | ImportParts::settings, {0, 0, 1, 0, 0, true}},
           {0, {}},
       }) {
    Library library;
    EXPECT_EQ(archive.importInto(library, ImportParts{row.parts}), row.summary) << row.parts;
    EXPECT_EQ(library.kestles.size(), static_cast<std::size_t>(row.summary.kestlesAdded));
    EXPECT_EQ(library.settings.showsTips, !row.summary.settings);
  }
}

TEST(KestlesArchive, RuleForADisplayReplacesItsEarlierRule) {
  Library library;
  DisplayKind studio{"D", "Studio", false, 1.78};
  library.rules.push_back({studio, LayoutRef::templateLayout("halves")});
  KestlesArchive archive;
  archive.rules.push_back({studio, LayoutRef::templateLayout("thirds")});
  archive.rules.push_back({{"E", "Side", false, 0.5}, LayoutRef::templateLayout("rows")});
  EXPECT_EQ(archive.importInto(library, ImportParts{ImportParts::rules}).rules, 2);
  ASSERT_EQ(library.rules.size(), 2u);
  EXPECT_EQ(library.rules[0].layout, LayoutRef::templateLayout("thirds"));
}

TEST(ImportSummary, Text) {
  struct Row {
    ImportSummary summary;
    const char* text;
  };
  for (const auto& row : std::initializer_list<Row>{
           {{}, ""},
           {{1, 0, 0, 0, 0, false}, "1 kestle"},
           {{1, 1, 0, 0, 0, false}, "2 kestles"},
           {{0, 0, 0, 1, 0, true}, "1 layout and settings"},
           {{0, 0, 0, 0, 3, false}, "3 display rules"},
           {{0, 0, 0, 0, 1, true}, "1 display rule and settings"},
           {{2, 0, 1, 0, 0, true}, "2 kestles, 1 layout and settings"},
           {{0, 0, 0, 0, 0, true}, "settings"},
       }) {
    EXPECT_EQ(row.summary.text(), row.text);
  }
}

TEST(KestlesArchive, FileURL) {
  struct Row {
    const char* typed;
    const char* path;
  };
  for (auto row : std::initializer_list<Row>{
           {"Work", "/home/ada/Work.kestles"},
           {"~/Work", "/home/ada/Work.kestles"},
           {"backup.json", "/home/ada/backup.json"},
           {"../shared/./team", "/home/shared/team.kestles"},
           {"/tmp/x.kestles", "/tmp/x.kestles"},
           {"/tmp/Work/", "/tmp/Work.kestles"},  // a trailing slash still names a file
           {"/tmp/.hidden", "/tmp/.hidden.kestles"},
           {"My Work", "/home/ada/My Work.kestles"},
           // Regression: a path that came down to the root made the walk loop for ever.
           {"/", "/"},
           {"/..", "/"},
           {"../../..", "/"},
       }) {
    EXPECT_EQ(KestlesArchive::filePath(row.typed, "/home/ada", "/home/ada"),
              std::filesystem::path(row.path))
        << row.typed;
  }
}

}  // namespace
}  // namespace kestles
