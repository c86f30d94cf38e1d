#include "KestlesEngine/x11/DesktopEntries.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace kestles::x11 {
namespace {

TEST(DesktopEntriesTests, ParsesShownApplicationsOnly) {
  struct Case {
    const char* text;
    std::optional<DesktopEntry> expected;
  };
  const Case cases[] = {
      {"[Desktop Entry]\nType=Application\nName=Editor\nName[de]=Bearbeiter\nExec=editor %F\n"
       "StartupWMClass=EditorWin\n",
       DesktopEntry{"id", "Editor", "EditorWin", "editor %F"}},
      {"# comment\n[Desktop Entry]\n  Name = Spaced \nType=Application\n[Desktop Action "
       "new]\nName=New\n",
       DesktopEntry{"id", "Spaced", "", ""}},
      {"[Desktop Entry]\nType=Application\nName=Hidden\nNoDisplay=true\n", std::nullopt},
      {"[Desktop Entry]\nType=Application\nName=Gone\nHidden=true\n", std::nullopt},
      {"[Desktop Entry]\nType=Link\nName=Link\n", std::nullopt},
      {"[Desktop Entry]\nType=Application\n", std::nullopt},
      {"[Other]\nType=Application\nName=Elsewhere\n", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(parseDesktopEntry(c.text, "id"), c.expected) << c.text;
}

class DesktopEntriesScan : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ =
        std::filesystem::temp_directory_path() /
        ("kestles-entries-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + std::to_string(getpid()));
    std::filesystem::create_directories(root_ / "user/vendor");
    std::filesystem::create_directories(root_ / "system");
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  void write(const std::string& path, const std::string& name, const std::string& extra = "") {
    std::ofstream(root_ / path) << "[Desktop Entry]\nType=Application\nName=" << name << "\n"
                                << extra;
  }
  std::filesystem::path root_;
};

TEST_F(DesktopEntriesScan, EarlierFoldersWinAndSubfoldersJoinTheID) {
  write("user/editor.desktop", "My Editor");
  write("system/editor.desktop", "System Editor");
  write("user/gone.desktop", "Gone", "Hidden=true\n");
  write("system/gone.desktop", "Still here?");
  write("user/vendor/tool.desktop", "Tool", "StartupWMClass=ToolWindow\n");
  write("system/org.example.Viewer.desktop", "Viewer");
  auto entries = DesktopEntries::scan({root_ / "user", root_ / "system", root_ / "missing"});
  std::vector<std::string> ids;
  for (const auto& entry : entries.entries())
    ids.push_back(entry.id + "=" + entry.name);
  EXPECT_EQ(ids, (std::vector<std::string>{"editor=My Editor", "vendor-tool=Tool",
                                           "org.example.Viewer=Viewer"}));

  struct Case {
    WindowIdentity identity;
    const char* id;  // nullptr: no match
  };
  const Case cases[] = {
      {{"org.example.Viewer", "", "Whatever"}, "org.example.Viewer"},
      {{"", "org.example.Viewer.desktop", "Whatever"}, "org.example.Viewer"},
      {{"", "", "ToolWindow"}, "vendor-tool"},  // StartupWMClass
      {{"", "", "EDITOR"}, "editor"},           // the id named after the class, any case
      {{"unknown.app", "", "editor"}, "editor"},
      {{"", "", "Nothing"}, nullptr},
      {{"", "", ""}, nullptr},
  };
  for (const auto& c : cases) {
    const auto* entry = entries.match(c.identity);
    if (c.id)
      EXPECT_TRUE(entry && entry->id == c.id) << c.identity.windowClass;
    else
      EXPECT_EQ(entry, nullptr) << c.identity.windowClass;
  }
}

// An installed program without a desktop entry of its id (xclock, known by its class
// "XClock") was reported as not installed.
TEST_F(DesktopEntriesScan, AnAppIsFoundByItsEntryItsClassOrItsProgram) {
  write("system/org.example.Viewer.desktop", "Viewer", "StartupWMClass=ViewerWindow\n");
  std::filesystem::create_directories(root_ / "bin");
  auto program = [&](const std::string& name, std::filesystem::perms mode) {
    std::ofstream(root_ / "bin" / name) << "#!/bin/sh\n";
    std::filesystem::permissions(root_ / "bin" / name, mode);
  };
  program("xclock", std::filesystem::perms::owner_all);
  program("notes", std::filesystem::perms::owner_read);  // not executable
  auto entries = DesktopEntries::scan({root_ / "system"});
  auto viewer = root_ / "system" / "org.example.Viewer.desktop";
  const std::string path =
      "relative:" + (root_ / "missing").string() + ":" + (root_ / "bin").string();

  struct Case {
    const char* id;
    std::optional<std::filesystem::path> found;
  };
  for (const auto& c : std::initializer_list<Case>{
           {"org.example.Viewer", viewer},
           {"ViewerWindow", viewer},  // its window class
           {"XClock", root_ / "bin" / "xclock"},
           {"xclock", root_ / "bin" / "xclock"},
           {"notes", std::nullopt},
           {"../bin/xclock", std::nullopt},
           {"", std::nullopt},
       }) {
    EXPECT_EQ(entries.locate(c.id, path), c.found) << c.id;
  }
}

}  // namespace
}  // namespace kestles::x11
