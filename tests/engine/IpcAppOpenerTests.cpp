#include "KestlesEngine/ipc/IpcAppOpener.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestles::ipc {
namespace {

// A window opened through the compositor's `exec` must be known by the id of the entry it was
// opened from, or the launch never finds its window: each app id or class is read as the X11
// layer reads a window's identity.
TEST(IpcAppOpener, NamesWindowsByTheirDesktopEntries) {
  x11::DesktopEntries entries({{"org.example.Editor", "Editor", "", "editor"},
                               {"firefox-esr", "Firefox", "Firefox-esr", "firefox-esr"},
                               {"xterm", "XTerm", "", "xterm"}});
  struct Row {
    const char* app;
    bool xWindow;
    const char* named;
  };
  const Row rows[] = {
      {"org.example.Editor", false, "org.example.Editor"},  // the app id is the entry's id
      {"Firefox-esr", false, "firefox-esr"},                // by the entry's StartupWMClass
      {"XTerm", true, "xterm"},                             // an X class: the id, case ignored
      {"org.example.Other", false, "org.example.Other"},    // no entry: the compositor's id
      {"", false, ""},
  };
  IpcTree tree;
  for (const auto& row : rows) {
    IpcWindow window;
    window.app = row.app;
    window.xWindowID = row.xWindow;
    tree.windows.push_back(window);
  }
  nameApps(tree, entries);
  ASSERT_EQ(tree.windows.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(tree.windows[i].app, rows[i].named) << rows[i].app;
}

}  // namespace
}  // namespace kestles::ipc
