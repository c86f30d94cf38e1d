// The tool's commands that read the library and the desktop, run as built and compared byte
// for byte: listing, the checks before a command is sent, export and import.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/tool/ToolGoldenFixture.hpp"

namespace kestles::testing {
namespace {

namespace fs = std::filesystem;

/// The commands that read the library and the desktop.
class ToolLibraryGolden : public ToolGoldenFixture {
 protected:
  void expectError(const std::vector<std::string>& arguments, const std::string& message) const {
    auto result = run(arguments);
    EXPECT_EQ(result.out, "") << arguments[0];
    EXPECT_EQ(result.err, "kestles: " + message + "\n") << arguments[0];
    EXPECT_EQ(result.status, 1) << arguments[0];
  }
};

TEST_F(ToolLibraryGolden, ListsTheLibrary) {
  useLibrary("library.json");
  auto all = run({"list"});
  EXPECT_EQ(all.out, fileContents(kToolFixtures / "list-all.txt"));
  EXPECT_EQ(all.err, "");
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(run({"list", "kestles"}).out, "Code\nDeep Work\nCafé\nReading\n");
  auto layouts = run({"list", "layouts"}).out;
  EXPECT_TRUE(layouts.starts_with("Halves Plus\nReading Room\n")) << layouts;
  EXPECT_EQ(std::count(layouts.begin(), layouts.end(), '\n'), 2 + 22);  // saved, then templates
}

TEST_F(ToolLibraryGolden, ListsAnEmptyLibraryWhenThereIsNoFile) {
  auto all = run({"list"});
  EXPECT_TRUE(all.out.starts_with(
      "Kestles\n  No kestles yet: arrange your windows, then Save Windows as Kestle.\n\n"
      "Layouts\n  No layouts yet.\n\nTemplates\n"))
      << all.out;
  EXPECT_EQ(run({"list", "kestles"}).out, "");
  EXPECT_FALSE(fs::exists(libraryPath()));  // the tool never writes the library
}

TEST_F(ToolLibraryGolden, ADamagedLibraryStopsTheToolAndStaysWhereItIs) {
  fs::create_directories(libraryPath().parent_path());
  std::ofstream(libraryPath()) << "{\"kestles\": [";
  auto result = run({"list"});
  EXPECT_EQ(result.out, "");
  EXPECT_TRUE(result.err.starts_with("kestles: library.json can’t be read (")) << result.err;
  EXPECT_TRUE(
      result.err.ends_with("). Kestles sets it aside and starts afresh when it next opens.\n"))
      << result.err;
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(fileContents(libraryPath()), "{\"kestles\": [");
  // Commands that need no library still go through.
  FakeApp app(home.path() / "run");
  EXPECT_EQ(run({"undo"}).status, 0);
}

TEST_F(ToolLibraryGolden, ChecksNamesBeforeSending) {
  useLibrary("library.json");
  expectError({"kestle", "nope"},
              "No kestle matches “nope”. Your kestles: Code, Deep Work, Café, Reading");
  expectError({"layout", "Thirds", "Wide"},
              "No layout matches “Thirds Wide”. Run kestles list layouts to see them all.");
  expectError({"layout", "Halves Plus", "-d", "Nowhere"},
              "No connected display matches “Nowhere”. Your displays: Studio Display, Built-in "
              "Display");
  expectError(
      {"keep-tiled", "on", "--display", "Side"},
      "No connected display matches “Side”. Your displays: Studio Display, Built-in Display");
  expectError({"tile", "--app", "Safari"},
              "No open app matches “Safari”. Your open apps: Editor, Browser");
  expectError({"leave-out", "--app", "Mail"},
              "No app matches “Mail”, of those open or in the Applications folders.");

  FakeApp app(home.path() / "run");
  const std::vector<std::vector<std::string>> good = {
      {"kestle", "3"},                                     // the kestle numbered 3
      {"kestle", "A0000000-0000-4000-8000-000000000003"},  // by identifier
      {"kestle", "cafe"},
      {"kestle", "deep"},
      {"layout", "reading"},
      {"layout", "Halves", "-d", "built-in"},  // a template, and a display keyword
      {"tile", "--app", "edit"},
      {"leave-out", "--app", "terminal"},
      {"swap-displays"},
  };
  for (const auto& arguments : good)
    EXPECT_EQ(run(arguments).err, "") << arguments[1];
  EXPECT_EQ(app.received(),
            (std::vector<std::string>{
                "kestles://kestle/3", "kestles://kestle/A0000000-0000-4000-8000-000000000003",
                "kestles://kestle/cafe", "kestles://kestle/deep", "kestles://layout/reading",
                "kestles://layout/Halves?display=built-in", "kestles://tile?app=edit",
                "kestles://leave-out?app=terminal", "kestles://swap-displays"}));
}

TEST_F(ToolLibraryGolden, ChecksThatNeedSomethingThere) {
  expectError({"next"},
              "There are no kestles yet: arrange your windows, then Save Windows as Kestle.");
  expectError({"kestle", "Code"}, "No kestle matches “Code”. There are no kestles yet.");
  world = "one-display.json";
  expectError({"swap-displays", "back"}, "There’s only one display, so nothing to swap it with.");
  expectError({"tile", "-a", "Editor"},
              "No open app matches “Editor”. There are no open apps yet.");
}

TEST_F(ToolLibraryGolden, ExportsToStandardOutputAndToAFile) {
  useLibrary("library.json");
  auto printed = run({"export"});
  EXPECT_EQ(printed.err, "");
  ASSERT_EQ(printed.status, 0);
  ASSERT_TRUE(printed.out.ends_with("}\n"));
  auto archive = nlohmann::json::parse(printed.out);
  EXPECT_EQ(archive["archiveVersion"], 1);
  EXPECT_EQ(archive["kestles"].size(), 4u);
  EXPECT_EQ(archive["layouts"].size(), 2u);
  EXPECT_TRUE(archive["exported"].get<std::string>().ends_with("Z"));
  EXPECT_TRUE(archive.contains("settings"));

  auto written = run({"export", "~/Backups/../Work"});
  auto path = home.path() / "Work.kestles";
  EXPECT_EQ(written.out, "Exported to " + path.string() + "\n");
  EXPECT_EQ(written.status, 0);
  EXPECT_EQ(nlohmann::json::parse(fileContents(path))["kestles"], archive["kestles"]);

  auto refused = run({"export", "~/Work.kestles/inside"});  // a file stands where a folder must
  EXPECT_TRUE(refused.err.starts_with("kestles: Couldn’t write " +
                                      (path / "inside.kestles").string() + ": "))
      << refused.err;
  EXPECT_EQ(refused.status, 1);
}

TEST_F(ToolLibraryGolden, ImportsOnlyWholeArchivesWithSomethingInThem) {
  FakeApp app(home.path() / "run");
  auto missing = (home.path() / "Nothing.kestles").string();
  expectError({"import", "~/Nothing"}, "Couldn’t read " + missing + ": No such file or directory");
  expectError(
      {"import", (kToolFixtures / "damaged.kestles").string()},
      (kToolFixtures / "damaged.kestles").string() + " isn’t a Kestles file, or it’s damaged.");
  expectError({"import", (kToolFixtures / "empty.kestles").string()},
              (kToolFixtures / "empty.kestles").string() +
                  " has no kestles, layouts, display rules or settings in it.");
  EXPECT_TRUE(app.received().empty());

  useLibrary("library.json");
  ASSERT_EQ(run({"export", "~/My Work"}).status, 0);
  auto imported = run({"import", "~/My Work"});
  EXPECT_EQ(imported.err, "");
  EXPECT_EQ(imported.status, 0);
  EXPECT_EQ(app.received(),
            std::vector<std::string>{"file://" + home.path().string() + "/My%20Work.kestles"});
}

}  // namespace
}  // namespace kestles::testing
