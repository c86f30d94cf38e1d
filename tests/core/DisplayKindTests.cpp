#include "KestlesCore/library/DisplayKind.hpp"

#include <gtest/gtest.h>

#include "KestlesCore/library/AppRole.hpp"

namespace kestles {
namespace {

DisplayInfo display(const char* id, double width, double height) {
  DisplayInfo info;
  info.id = id;
  info.name = "Display";
  info.frame = CGRect(0, 0, width, height);
  info.visibleFrame = info.frame;
  return info;
}

TEST(DisplayKind, Fit) {
  using Fit = DisplayKind::Fit;
  struct Row {
    double aspect;
    DisplayInfo display;
    Fit fit;
  };
  for (const auto& row : std::initializer_list<Row>{
           {1.6, display("B", 1512, 982), Fit::similar},
           {1.6, display("B", 2560, 1080), Fit::other},
           {1.6, display("A", 2560, 1080), Fit::same},
           {1.6, display("B", 1600, 1000), Fit::similar},
           {1.6, display("B", 1728, 1000), Fit::similar},  // 8 % exactly
           {1.6, display("B", 1729, 1000), Fit::other},
           {1.0, display("B", 100, 0), Fit::similar},  // no height: aspect 1
           {0.0, display("B", 100, 0), Fit::other},
           {0.0, display("A", 100, 0), Fit::same},
           {-1.0, display("B", 100, 100), Fit::other},
       }) {
    DisplayKind kind{"A", "Studio", false, row.aspect};
    EXPECT_EQ(kind.fit(row.display), row.fit)
        << row.aspect << " " << row.display.frame.width() << "x" << row.display.frame.height();
  }
}

TEST(DisplayKind, OfAConnectedDisplay) {
  auto info = display("X", 3024, 1964);
  info.isBuiltIn = true;
  auto kind = DisplayKind::of(info);
  EXPECT_EQ(kind, (DisplayKind{"X", "Display", true, 3024.0 / 1964.0}));
  EXPECT_EQ(DisplayKind::of(display("Y", 10, 0)).aspect, 1);
}

TEST(AppRole, Role) {
  struct Row {
    const char* bundleID;
    const char* name;
    AppRole role;
  };
  for (auto row : std::initializer_list<Row>{
           {"com.apple.Safari", "Safari", AppRole::browser},
           {"com.apple.safari", "Safari", AppRole::other},
           {"net.kovidgoyal.kitty", "kitty", AppRole::terminal},
           {"com.mitchellh.ghostty", "Ghostty", AppRole::terminal},
           {"com.jetbrains.intellij", "IntelliJ IDEA", AppRole::editor},
           {"x.y", "Visual Studio Code", AppRole::editor},
           {"x.y", "Terminal Notes", AppRole::terminal},
           {"x.y", "MESSENGER", AppRole::chat},
           {"x.y", "Google Docs", AppRole::notes},
           {"x.y", "Media Player", AppRole::media},
           {"x.y", "Calculator", AppRole::other},
           {"com.apple.finder", "Code", AppRole::utility},
       }) {
    EXPECT_EQ(role(row.bundleID, row.name), row.role) << row.bundleID << " " << row.name;
  }
}

// Firefox, terminals and editors on Linux fell back to name words or "other": the table knew
// only another platform's app ids.
TEST(AppRole, LinuxDesktopIDsAndWindowClasses) {
  struct Row {
    const char* id;  // a desktop-entry id or a WM_CLASS class, as the X11 layer reports it
    AppRole role;
  };
  for (auto row : std::initializer_list<Row>{
           {"firefox", AppRole::browser},
           {"Firefox", AppRole::browser},
           {"org.mozilla.firefox.desktop", AppRole::browser},
           {"Google-chrome", AppRole::browser},
           {"XTerm", AppRole::terminal},
           {"org.gnome.Terminal", AppRole::terminal},
           {"org.kde.konsole", AppRole::terminal},
           {"Alacritty", AppRole::terminal},
           {"code", AppRole::editor},
           {"org.gnome.TextEditor", AppRole::editor},
           {"jetbrains-pycharm", AppRole::editor},
           {"Emacs", AppRole::editor},
           {"thunderbird", AppRole::mail},
           {"org.gnome.Evolution", AppRole::mail},
           {"TelegramDesktop", AppRole::chat},
           {"Slack", AppRole::chat},
           {"Spotify", AppRole::media},
           {"vlc", AppRole::media},
           {"org.gnome.Nautilus", AppRole::utility},
           {"Thunar", AppRole::utility},
           {"libreoffice-writer", AppRole::notes},
           {"Gimp-2.10", AppRole::design},
           {"org.inkscape.Inkscape", AppRole::design},
           {"xclock", AppRole::other},
       }) {
    // The name says nothing here, so only the id can give the role.
    EXPECT_EQ(role(row.id, "X"), row.role) << row.id;
  }
}

TEST(AppRole, OrderAndRawValues) {
  EXPECT_LT(AppRole::editor, AppRole::other);
  for (auto each : kAllAppRoles)
    EXPECT_EQ(appRoleFromRawValue(rawValue(each)), each);
  EXPECT_EQ(rawValue(AppRole::utility), "utility");
  EXPECT_EQ(appRoleFromRawValue("Editor"), std::nullopt);
}

}  // namespace
}  // namespace kestles
