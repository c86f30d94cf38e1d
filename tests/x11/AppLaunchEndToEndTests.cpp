#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "tests/x11/support/AppDesk.hpp"

namespace kestles {
namespace {

using testing::allApart;
using testing::AppDesk;
using namespace std::chrono_literals;

/// A private desktop entry whose program is the test client under the class "NotesClass";
/// the pipe from sleep keeps a launched client open while the test runs.
std::string notesEntry() {
  return "[Desktop Entry]\nType=Application\nName=Notes\nStartupWMClass=NotesClass\n"
         "Exec=sh -c \"sleep 60 | exec " +
         testing::testWindowProgram() +
         " --class notes,NotesClass --pos 500,420 --size 300x200\" %U\n";
}

// A kestle that opened an app lost track of its window: the launch queue placed it, but the
// session's tilings never took it in, so a swap found its tile empty and left it where it was.
TEST(AppLaunchEndToEndTests, AKestleOpensAnAppIntoItsTileAndASwapMovesIt) {
  auto desk =
      AppDesk::start({.files = {{"data/applications/org.example.Notes.desktop", notesEntry()}}});
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto& session = desk->session();
  // The kestle is saved from the windows as they stand: the plain client on the left, Notes on
  // the right.
  auto plain = session.openWindows({"--pos", "0,0", "--size", "620x760"});
  auto notes =
      session.openWindows({"--class", "notes,NotesClass", "--pos", "660,0", "--size", "620x760"});
  ASSERT_EQ(desk->kestles({"save", "Pair"}), 0);
  auto notesWindow = notes.id();
  notes.process->stop();
  ASSERT_TRUE(session.waitUntil([&] { return !session.isManaged(notesWindow); }));

  ASSERT_EQ(desk->kestles({"kestle", "Pair"}), 0);
  std::optional<xcb_window_t> opened;
  ASSERT_TRUE(session.waitUntil(
      [&] {
        // The server may hand the new client the closed one's window number again.
        for (auto client : session.clients())
          if (client != plain.id()) opened = client;
        return opened.has_value();
      },
      10s))
      << "the kestle opens Notes from its desktop entry";
  std::vector<xcb_window_t> both{plain.id(), *opened};
  // The client asks for 300×200 at 500,420; its tile is the right side of the screen.
  ASSERT_TRUE(desk->waitForSettledFrames(both, [](const auto& now) {
    return allApart(now) && now[1].x >= now[0].x + now[0].width && now[1].height > 600;
  })) << ::testing::PrintToString(desk->frames(both));
  auto placed = desk->frames(both);

  // Whichever of the two has the focus, a swap toward the other trades their tiles.
  bool swapped = false;
  for (const char* side : {"left", "right"}) {
    if (desk->kestles({"swap", side}) != 0) continue;  // nothing on that side
    swapped = desk->waitForSettledFrames(
        both, [&](const auto& now) { return now[0] == placed[1] && now[1] == placed[0]; });
    break;
  }
  EXPECT_TRUE(swapped) << ::testing::PrintToString(desk->frames(both)) << " after "
                       << ::testing::PrintToString(placed);
}

// With six windows on a small display every style tiled four and buried the other two without
// a word.
TEST(AppLaunchEndToEndTests, SixWindowsOnASmallDisplaySayTwoAreLeftWhereTheyWere) {
  auto desk = AppDesk::start({.width = 1600, .height = 900});
  if (!desk) GTEST_SKIP() << "Xvfb or openbox is missing";
  std::vector<testing::TestWindows> opened;
  std::vector<xcb_window_t> ids;
  for (int i = 0; i < 6; ++i) {
    auto at = std::to_string(40 + 60 * i) + "," + std::to_string(40 + 50 * i);
    opened.push_back(desk->session().openWindows({"--pos", at, "--size", "400x300"}));
    ids.push_back(opened.back().id());
  }
  auto before = desk->frames(ids);

  auto run = desk->kestlesSaying({"tile"});
  EXPECT_EQ(run.status, 0) << "part done is done";
  EXPECT_TRUE(std::regex_match(
      run.errors, std::regex("kestles: Tiled 4 of 6 windows on [^:]+: Grid holds at most 4 "
                             "here; 2 stay where they were\\.\n")))
      << run.errors;
  // The four in front take the tiles; the two opened first, behind them, stay put.
  std::vector<xcb_window_t> front(ids.begin() + 2, ids.end());
  EXPECT_TRUE(desk->waitForSettledFrames(front, allApart))
      << ::testing::PrintToString(desk->frames(front));
  auto after = desk->frames(ids);
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[1], before[1]);
  for (std::size_t i = 2; i < ids.size(); ++i)
    EXPECT_NE(after[i], before[i]) << "window " << i << " takes a tile";
}

}  // namespace
}  // namespace kestles
