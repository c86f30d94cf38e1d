#include "KestlesEngine/x11/X11LoginItem.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "KestlesCore/coding/JSONFile.hpp"
#include "tests/support/ScopedEnvironment.hpp"
#include "tests/support/ToolProcess.hpp"

namespace kestles::x11 {
namespace {

using Status = platform::LoginItemService::Status;

// Reads the program back out of an Exec line the way a session starter does: the file's
// string escapes first, then the quoting of the one argument, then doubled percent signs.
std::string programOfExec(std::string_view exec) {
  std::string unescaped;
  for (std::size_t i = 0; i < exec.size(); ++i)
    unescaped += exec[i] == '\\' && i + 1 < exec.size() ? exec[++i] : exec[i];
  EXPECT_TRUE(unescaped.size() >= 2 && unescaped.front() == '"' && unescaped.back() == '"');
  std::string program;
  for (std::size_t i = 1; i + 1 < unescaped.size(); ++i) {
    char c = unescaped[i];
    if (c == '\\')
      c = unescaped[++i];
    else if (c == '%')
      ++i;
    else
      EXPECT_NE(c, '"') << exec;
    program += c;
  }
  return program;
}

std::string execLine(const std::string& text) {
  auto start = text.find("\nExec=") + 6;
  return text.substr(start, text.find('\n', start) - start);
}

TEST(X11LoginItemTests, TheEntryStartsTheAppWhateverItsPathHolds) {
  EXPECT_EQ(X11LoginItem::entryText("/usr/bin/kestles-app"),
            "[Desktop Entry]\nType=Application\nName=Kestles\nExec=\"/usr/bin/kestles-app\"\n"
            "X-GNOME-Autostart-enabled=true\n");
  for (std::string program : {"/opt/My Apps/kestles-app", "/home/a\"b/$HOME/`x`/kestles-app",
                              "/home/back\\slash/100%/kestles-app"}) {
    auto text = X11LoginItem::entryText(program);
    ASSERT_TRUE(text) << program;
    EXPECT_EQ(programOfExec(execLine(*text)), program);
  }
  EXPECT_EQ(X11LoginItem::entryText("/tmp/line\nbreak/kestles-app"), std::nullopt);
}

TEST(X11LoginItemTests, RegisteringWritesTheAutostartEntryAndUnregisteringRemovesIt) {
  kestles::testing::TemporaryFolder folder;
  kestles::testing::ScopedEnvironment environment{{"XDG_CONFIG_HOME", folder.path().c_str()}};
  auto entry = folder.path() / "autostart/kestles.desktop";
  EXPECT_EQ(X11LoginItem::defaultEntry(), entry);
  X11LoginItem item(X11LoginItem::defaultEntry(), "/usr/bin/kestles-app");
  EXPECT_EQ(item.status(), Status::notRegistered);
  EXPECT_EQ(item.registerItem(), std::nullopt);
  EXPECT_EQ(item.status(), Status::enabled);
  EXPECT_EQ(json_style::readFile(entry), X11LoginItem::entryText("/usr/bin/kestles-app"));

  // Turned off inside the entry by the desktop's own settings.
  std::ofstream(entry) << "[Desktop Entry]\nType=Application\nHidden=true\n";
  EXPECT_EQ(item.status(), Status::notRegistered);

  EXPECT_EQ(item.unregisterItem(), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_EQ(item.unregisterItem(), std::nullopt);  // nothing to remove is no failure
}

TEST(X11LoginItemTests, FailuresAreSentences) {
  kestles::testing::TemporaryFolder folder;
  std::ofstream(folder.path() / "autostart") << "a file where the folder belongs";
  X11LoginItem blocked(folder.path() / "autostart/kestles.desktop", "/usr/bin/kestles-app");
  auto failure = blocked.registerItem();
  ASSERT_TRUE(failure);
  EXPECT_TRUE(failure->starts_with("Couldn’t write " + folder.path().string() +
                                   "/autostart/kestles.desktop: "))
      << *failure;
  EXPECT_EQ(blocked.status(), Status::notRegistered);

  X11LoginItem odd(folder.path() / "kestles.desktop", "/tmp/line\nbreak/kestles-app");
  EXPECT_EQ(odd.registerItem(),
            "Couldn’t open Kestles at login: the path of the app, /tmp/line\nbreak/kestles-app, "
            "can’t be written in an autostart entry.");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "kestles.desktop"));
}

}  // namespace
}  // namespace kestles::x11
