#include "KestlesApp/LoginItem.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/app/AppCommandHome.hpp"

namespace kestles::app {
namespace {

using testing::AppCommandHome;
using testing::TemporaryFolder;

std::optional<std::string> contents(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(LoginItem, TheEntryIsTheInstalledOneStartingTheApp) {
  struct Row {
    const char* name;
    std::optional<std::string> installed;
    std::filesystem::path app;
    std::string expected;
  };
  const std::string installed =
      "[Desktop Entry]\nType=Application\nName=Kestles\nExec=kestles %u\nTryExec=kestles\n"
      "NoDisplay=true\nMimeType=x-scheme-handler/kestles;\nHidden=true\n\n"
      "[Desktop Action Tile]\nName=Tile\nExec=kestles tile\n";
  for (const auto& row : std::initializer_list<Row>{
           {"installed", installed, "/usr/bin/kestles-app",
            "[Desktop Entry]\nType=Application\nName=Kestles\nNoDisplay=true\n\n"
            "Exec=/usr/bin/kestles-app\nX-GNOME-Autostart-enabled=true\n"},
           {"none installed", std::nullopt, "/opt/k/kestles-app",
            "[Desktop Entry]\nType=Application\nName=Kestles\nComment=Arrange your windows in "
            "tiles\nTerminal=false\nNoDisplay=true\nExec=/opt/k/kestles-app\n"
            "X-GNOME-Autostart-enabled=true\n"},
           // A path that needs quoting, and a per cent sign that is no field code.
           {"quoted", std::string("[Desktop Entry]\nName=Kestles\n"),
            "/home/a b/100%/$k\"/kestles-app",
            "[Desktop Entry]\nName=Kestles\n"
            "Exec=\"/home/a b/100%%/\\$k\\\"/kestles-app\"\nX-GNOME-Autostart-enabled=true\n"},
       }) {
    EXPECT_EQ(LoginItem::entryText(row.installed, row.app), row.expected) << row.name;
  }
}

TEST(LoginItem, SetWritesAndRemovesTheEntryAndSaysWhyNot) {
  TemporaryFolder folder;
  std::filesystem::create_directories(folder.path() / "share" / "applications");
  std::ofstream(folder.path() / "share" / "applications" / LoginItem::kEntryName)
      << "[Desktop Entry]\nName=Kestles Here\nExec=kestles %u\n";
  LoginItem item{folder.path() / "config" / "autostart" / LoginItem::kEntryName,
                 {folder.path() / "missing", folder.path() / "share" / "applications"},
                 "/usr/bin/kestles-app",
                 {folder.path() / "etc" / "autostart"}};
  EXPECT_EQ(item.set(false), std::nullopt);  // no entry yet: nothing to remove
  EXPECT_EQ(item.set(true), std::nullopt);
  EXPECT_EQ(contents(item.autostart),
            "[Desktop Entry]\nName=Kestles Here\nExec=/usr/bin/kestles-app\n"
            "X-GNOME-Autostart-enabled=true\n");
  EXPECT_EQ(item.set(false), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(item.autostart));

  // The package's entry in the system's folder starts the app at every login: turning open at
  // login off used to leave it running, as only the user's own entry was removed.
  std::filesystem::create_directories(folder.path() / "etc" / "autostart");
  std::ofstream(folder.path() / "etc" / "autostart" / LoginItem::kEntryName) << "[Desktop Entry]\n";
  EXPECT_EQ(item.set(false), std::nullopt);
  EXPECT_EQ(contents(item.autostart), std::string(LoginItem::kHiddenEntry));
  EXPECT_EQ(item.set(true), std::nullopt);
  EXPECT_NE(contents(item.autostart)->find("Exec=/usr/bin/kestles-app"), std::string::npos);

  // The autostart folder cannot be made where a file stands.
  std::ofstream(folder.path() / "blocked") << "";
  item.autostart = folder.path() / "blocked" / "autostart" / LoginItem::kEntryName;
  auto failure = item.set(true);
  ASSERT_TRUE(failure);
  EXPECT_TRUE(failure->message.starts_with("The autostart entry " + item.autostart.string() +
                                           " can’t be written ("))
      << failure->message;
}

// Open at login had no way in on Linux: nothing wrote an autostart entry.
TEST(LoginItem, TheDefaultsCommandTurnsOpenAtLoginOnAndOff) {
  AppCommandHome home;
  auto data = home.home.path() / "system";
  std::filesystem::create_directories(data / "applications");
  std::filesystem::copy_file(
      std::filesystem::path(KESTLES_FIXTURES) / ".." / ".." / "data" / LoginItem::kEntryName,
      data / "applications" / LoginItem::kEntryName);
  auto config = home.home.path() / "config";
  const std::map<std::string, std::string> environment{{"XDG_CONFIG_HOME", config.string()},
                                                       {"XDG_DATA_DIRS", data.string()}};
  auto entry = config / "autostart" / LoginItem::kEntryName;

  auto on = home.runApp(
      {"defaults", "write", "co.quillmoss.Kestles", "opensAtLogin", "-bool", "true"}, environment);
  ASSERT_EQ(on.status, 0) << on.err;
  auto text = contents(entry);
  ASSERT_TRUE(text);
  auto app = std::filesystem::canonical(std::filesystem::path(KESTLES_BIN_DIR) / "kestles-app");
  EXPECT_EQ(*text,
            LoginItem::entryText(contents(data / "applications" / LoginItem::kEntryName), app));
  EXPECT_NE(text->find("Exec=" + app.string() + "\n"), std::string::npos) << *text;

  auto off = home.runApp(
      {"defaults", "write", "co.quillmoss.Kestles", "opensAtLogin", "-bool", "false"}, environment);
  ASSERT_EQ(off.status, 0) << off.err;
  EXPECT_FALSE(std::filesystem::exists(entry));
  // Another suite's key of the same name is no setting of Kestles's.
  home.runApp({"defaults", "write", "other.suite", "opensAtLogin", "-bool", "true"}, environment);
  EXPECT_FALSE(std::filesystem::exists(entry));
}

}  // namespace
}  // namespace kestles::app
