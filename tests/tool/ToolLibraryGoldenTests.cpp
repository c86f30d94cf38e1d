// The tool's commands that read the library and the desktop, run as built and compared byte
// for byte: listing, the checks before a command is sent, export and import.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <functional>
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
  /// Runs the tool under a time limit, so that a command that would hang fails instead
  /// (status 124), with extra environment variables over the fixture's.
  ProcessResult runBounded(const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& extra = {}) const {
    std::vector<std::string> limited{"20", kTool.string()};
    limited.insert(limited.end(), arguments.begin(), arguments.end());
    auto variables = environment();
    for (const auto& [name, value] : extra)
      variables[name] = value;
    return runProcess("/usr/bin/timeout", limited, variables);
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
      "Kestles\n  No kestles yet: arrange your windows, then run kestles save NAME.\n\n"
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
  expectError({"leave-out", "--app", "Mail"}, "No app matches “Mail”, of those open or installed.");

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
              "There are no kestles yet: arrange your windows, then run kestles save NAME.");
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

TEST_F(ToolLibraryGolden, ALibraryThatCannotBeReadStopsListAndExport) {
  // Regression: a library that was there but could not be read passed for a new, empty one:
  // list printed nothing and export wrote an empty backup; a FIFO hung the tool and a link to
  // /dev/zero read until memory ran out.
  auto data = home.path() / "data" / "kestles";
  struct Row {
    const char* what;
    std::function<void()> make;
    const char* reason;
  };
  const Row rows[] = {
      {"a folder", [&] { fs::create_directories(libraryPath()); }, "Is a directory"},
      {"a broken link", [&] { fs::create_symlink(data / "gone.json", libraryPath()); },
       "Broken symbolic link"},
      {"a link loop", [&] { fs::create_symlink(libraryPath(), libraryPath()); },
       "Too many levels of symbolic links"},
      {"a FIFO", [&] { ASSERT_EQ(::mkfifo(libraryPath().c_str(), 0600), 0); },
       "Not a regular file"},
      {"endless bytes", [&] { fs::create_symlink("/dev/zero", libraryPath()); },
       "Not a regular file"},
      {"too large",
       [&] {
         std::ofstream(libraryPath()) << "{}";
         fs::resize_file(libraryPath(), (std::uintmax_t{32} << 20) + 1);
       },
       "File too large (over 32 MB)"},
      {"a data folder that is a file",
       [&] {
         fs::remove_all(data);
         std::ofstream(data) << "not a folder";
       },
       "Not a directory"},
  };
  for (const auto& row : rows) {
    fs::remove_all(home.path() / "data");
    fs::create_directories(data);
    row.make();
    std::string error = "kestles: library.json can’t be read (" + std::string(row.reason) +
                        "). Kestles sets it aside and starts afresh when it next opens.\n";
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"list"}, {"list", "kestles"}, {"export"}, {"export", "~/Backup"}}) {
      auto result = runBounded(arguments);
      EXPECT_EQ(result.out, "") << row.what;
      EXPECT_EQ(result.err, error) << row.what;
      EXPECT_EQ(result.status, 1) << row.what;
    }
    EXPECT_FALSE(fs::exists(home.path() / "Backup.kestles")) << row.what;
  }
}

TEST_F(ToolLibraryGolden, ArchivePathsThatComeDownToTheRootFail) {
  // Regression: the walk that turns a typed path into a file never ended at "/", so these
  // commands looped for ever at full CPU.
  useLibrary("library.json");
  FakeApp app(home.path() / "run");
  struct Row {
    std::vector<std::string> arguments;
    std::map<std::string, std::string> environment;
    const char* error;
  };
  const Row rows[] = {
      {{"import", "/"}, {}, "kestles: Couldn’t read /: Is a directory\n"},
      {{"import", "/.."}, {}, "kestles: Couldn’t read /: Is a directory\n"},
      {{"export", "/"}, {}, "kestles: Couldn’t write /: Is a directory\n"},
      {{"export", "~"}, {{"HOME", "/"}}, "kestles: Couldn’t write /: Is a directory\n"},
  };
  for (const auto& row : rows) {
    auto result = runBounded(row.arguments, row.environment);
    EXPECT_EQ(result.out, "") << row.arguments[1];
    EXPECT_EQ(result.err, row.error) << row.arguments[1];
    EXPECT_EQ(result.status, 1) << row.arguments[1];
  }
  EXPECT_TRUE(app.received().empty());
}

TEST_F(ToolLibraryGolden, ImportRefusesWhatIsNotARegularFile) {
  FakeApp app(home.path() / "run");
  auto fifo = home.path() / "Pipe.kestles";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(home.path() / "Folder.kestles");
  auto piped = runBounded({"import", "~/Pipe"});
  EXPECT_EQ(piped.err, "kestles: Couldn’t read " + fifo.string() + ": Not a regular file\n");
  EXPECT_EQ(piped.status, 1);
  auto folder = runBounded({"import", "~/Folder"});
  EXPECT_EQ(folder.err, "kestles: Couldn’t read " + (home.path() / "Folder.kestles").string() +
                            ": Is a directory\n");
  EXPECT_EQ(folder.status, 1);
  EXPECT_TRUE(app.received().empty());
}

TEST_F(ToolLibraryGolden, ExportHonoursTheUmaskAndClearsItsLeftovers) {
  // Regression: an exported archive was always readable by everyone, whatever the umask, and
  // a killed export left its temporary file behind for ever.
  useLibrary("library.json");
  auto leftover = home.path() / ".Private.kestles.Ab12Cd";
  std::ofstream(leftover) << "from an export that was killed";
  mode_t original = ::umask(077);
  auto result = run({"export", "~/Private"});
  ::umask(original);
  EXPECT_EQ(result.err, "");
  ASSERT_EQ(result.status, 0);
  struct stat info {};
  ASSERT_EQ(::stat((home.path() / "Private.kestles").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_FALSE(fs::exists(leftover));
}

}  // namespace
}  // namespace kestles::testing
