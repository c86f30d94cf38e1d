#include "KestlesCore/apply/ApplyPlan.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ApplyTestSupport.hpp"

namespace kestles {
namespace {

using namespace apply_testing;
using Move = ApplyPlan::Move;

const Gaps kGaps{8, 8};

// The laptop's halves on its visible frame (0, 38, 1512, 944) with 8-point gaps.
const CGRect kLaptopLeft{8, 46, 744, 928};
const CGRect kLaptopRight{760, 46, 744, 928};

std::vector<std::optional<std::uint32_t>> slots(std::vector<std::optional<std::uint32_t>> ids) {
  return ids;
}

TEST(ApplyPlanKestleTests, PinsTakeWindowsAcrossDisplaysWithTheActiveDisplayLast) {
  auto work = kestle("Work", {{"LAPTOP+WIDE",
                               {{screen(laptop(), "halves", {kCode, kSafari}),
                                 screen(wide(), "thirds", {kTerminal, kSlack, kNotes})}}}});
  auto plan = ApplyPlan::forKestle(work, laptopAndWide(), kGaps);

  EXPECT_EQ(plan.title, "Work");
  EXPECT_EQ(plan.kestleID, idOf(1));
  EXPECT_TRUE(plan.raises);
  // Terminal's full-screen window 31 is passed over for 32; the hidden Slack is unhidden.
  ASSERT_EQ(plan.moves.size(), 4u);
  EXPECT_EQ(plan.moves[0].window, 32u);
  EXPECT_EQ(plan.moves[1].window, 41u);
  EXPECT_EQ(plan.moves[2], (Move{11, 101, "LAPTOP", 0, kLaptopLeft}));
  EXPECT_EQ(plan.moves[3], (Move{21, 102, "LAPTOP", 1, kLaptopRight}));
  EXPECT_EQ(plan.moves[1].displayID, "WIDE");
  EXPECT_EQ(plan.moves[1].tile, 1);
  EXPECT_EQ(plan.focus, 11u);
  EXPECT_EQ(plan.unhide, std::vector<std::int32_t>{104});
  EXPECT_TRUE(plan.unminimize.empty());
  EXPECT_TRUE(plan.missing.empty());
  // Notes runs nowhere and has no window: its tile waits for a launch.
  ASSERT_EQ(plan.launches.size(), 1u);
  EXPECT_EQ(plan.launches[0].app, kNotes);
  EXPECT_FALSE(plan.launches[0].isRunning);
  ASSERT_EQ(plan.launches[0].tiles.size(), 1u);
  EXPECT_EQ(plan.launches[0].tiles[0].displayID, "WIDE");
  EXPECT_EQ(plan.launches[0].tiles[0].tile, 2);
  EXPECT_EQ(plan.launches[0].tiles[0].frame, (CGRect{3221, 33, 843, 1399}));
  EXPECT_EQ(plan.tilings.at("LAPTOP").windows, slots({11, 21}));
  EXPECT_EQ(plan.tilings.at("WIDE").windows, slots({32, 41, std::nullopt}));
  EXPECT_EQ(plan.layouts.at("WIDE"), LayoutRef::templateLayout("thirds"));
  EXPECT_FALSE(plan.derivedArrangement);
}

TEST(ApplyPlanKestleTests, AppWindowsServeTilesVisibleFirstThenMinimizedNeverFullScreen) {
  auto world = worldOf({laptop()});
  world.windows = {window(50, kSafari, 102, {0, 0, 500, 500}, 0),
                   window(51, kSafari, 102, {0, 0, 500, 500}, 4),
                   window(52, kSafari, 102, {0, 0, 500, 500}, 2),
                   window(53, kSafari, 102, {0, 0, 1512, 982}, 1)};
  world.windows[0].isMinimized = true;
  world.windows[3].isFullScreen = true;
  auto browse =
      kestle("Browse",
             {{"LAPTOP", {{screen(laptop(), "quarters", {kSafari, kSafari, kSafari, kSafari})}}}});
  auto plan = ApplyPlan::forKestle(browse, world, kGaps);

  EXPECT_EQ(plan.tilings.at("LAPTOP").windows, slots({52, 51, 50, std::nullopt}));
  EXPECT_EQ(plan.unminimize, std::vector<std::uint32_t>{50});
  EXPECT_EQ(plan.missing, std::vector<AppRef>{kSafari});
  EXPECT_EQ(plan.moves.size(), 3u);
  EXPECT_EQ(plan.focus, 52u);
}

TEST(ApplyPlanKestleTests, PinnedAppsWithoutAWindowLaunchOrGoMissing) {
  struct Row {
    AppRef app;
    bool opensApps;
    std::optional<bool> launchIsRunning;  // nothing: no launch
    std::size_t missing;
  };
  const Row rows[] = {
      {kNotes, true, false, 0},  // not running: launched
      {kNotes, false, {}, 0},    // not running, kestle opens no apps: nothing at all
      {kMail, true, true, 0},    // running without windows: asked for a window
      {kMail, false, {}, 2},     // running, not to be asked: missing for each tile
      {kTerminal, true, {}, 2},  // only a full-screen window: it has one, so missing
  };
  auto world = worldOf({laptop()});
  world.windows = {window(31, kTerminal, 103, {0, 0, 1512, 982})};
  world.windows[0].isFullScreen = true;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.app.name + (row.opensApps ? " opening apps" : " not opening apps"));
    auto k = kestle("K", {{"LAPTOP", {{screen(laptop(), "halves", {row.app, row.app})}}}});
    k.opensApps = row.opensApps;
    auto plan = ApplyPlan::forKestle(k, world, kGaps);
    EXPECT_TRUE(plan.moves.empty());
    EXPECT_EQ(plan.missing, std::vector<AppRef>(row.missing, row.app));
    ASSERT_EQ(plan.launches.size(), row.launchIsRunning ? 1u : 0u);
    if (row.launchIsRunning) {
      EXPECT_EQ(plan.launches[0].isRunning, *row.launchIsRunning);
      ASSERT_EQ(plan.launches[0].tiles.size(), 2u);
      EXPECT_EQ(plan.launches[0].tiles[1].frame, kLaptopRight);
    }
  }
}

TEST(ApplyPlanKestleTests, TilesKeepTheMinimumOfTheWindowPlannedIntoThem) {
  auto world = worldOf({portrait(), ultrawide()});
  world.windows = {window(11, kCode, 101, {}), window(21, kSafari, 102, {}),
                   window(32, kTerminal, 103, {}), window(41, kSlack, 104, {})};
  world.windows[1].minimumSize = {1500, 0};
  auto k = kestle("Tall and wide", {{"PORTRAIT+ULTRA",
                                     {{screen(ultrawide(), "thirds", {kCode, kSafari, kTerminal}),
                                       screen(portrait(), "halves-stacked", {kSlack})}}}});
  auto plan = ApplyPlan::forKestle(k, world, kGaps);
  // Safari's minimum holds in the middle third; the outer thirds share what is left.
  auto frames = plan.movedFrames();
  EXPECT_EQ(frames.at(11), (CGRect{1448, 33, 954, 1399}));
  EXPECT_EQ(frames.at(21), (CGRect{2410, 33, 1500, 1399}));
  EXPECT_EQ(frames.at(32), (CGRect{3918, 33, 954, 1399}));
  EXPECT_EQ(frames.at(41), (CGRect{8, 8, 1424, 1268}));
  EXPECT_EQ(plan.focus, 41u);  // the portrait display is the active one
}

TEST(ApplyPlanKestleTests, NoArrangementToUseGivesAnEmptyPlanWithTheName) {
  ApplyPlan expected;
  expected.title = "Empty";
  expected.kestleID = idOf(1);
  expected.raises = true;
  auto world = laptopAndWide();
  EXPECT_EQ(ApplyPlan::forKestle(kestle("Empty", {}), world, kGaps), expected);
  EXPECT_EQ(ApplyPlan::forKestle(kestle("Empty", {{"ELSEWHERE", {}}}), world, kGaps), expected);
}

TEST(ApplyPlanKestleTests, ArrangementForAnotherSetupIsDerivedAndFocusFollowsThePlan) {
  auto world = laptopAndWide();
  world.activeDisplayID = "WIDE";
  Arrangement laptopOnly{{screen(laptop(), "halves", {kSafari, kCode})}};
  auto plan = ApplyPlan::forKestle(kestle("Solo", {{"LAPTOP", laptopOnly}}), world, kGaps);

  ASSERT_TRUE(plan.derivedArrangement);
  EXPECT_EQ(plan.derivedArrangement->fingerprint, "LAPTOP+WIDE");
  EXPECT_EQ(plan.derivedArrangement->arrangement, laptopOnly);
  // The active display has no part in the plan: focus goes to the plan's first display.
  EXPECT_EQ(plan.focus, 21u);
  EXPECT_EQ(plan.tilings.at("LAPTOP").windows, slots({21, 11}));
}

TEST(ApplyPlanKestleTests, ASecondScreenForTheSameDisplayTakesNoWindows) {
  // A damaged arrangement naming one display twice must not plan its windows twice.
  Arrangement twice{
      {screen(laptop(), "halves", {kCode, kSafari}), screen(laptop(), "halves", {kSafari, kCode})}};
  auto plan =
      ApplyPlan::forKestle(kestle("Twice", {{"LAPTOP+WIDE", twice}}), laptopAndWide(), kGaps);
  EXPECT_EQ(plan.tilings.at("LAPTOP").windows, slots({11, 21}));
  EXPECT_EQ(plan.moves.size(), 2u);
}

TEST(ApplyPlanLayoutTests, DisplayWindowsInWorldOrderFillTheTiles) {
  struct Row {
    std::set<std::string> floating;
    std::vector<std::optional<std::uint32_t>> slots;
  };
  // 21 and 32 lie on WIDE; 60 straddles both displays with more of it on WIDE; 31 is full
  // screen, 41's app is hidden and 22 lies on the laptop.
  const Row rows[] = {{{}, {21, 32}}, {{kTerminal.bundleID}, {21, 60}}};
  auto entry = LayoutEntry::templateEntry(*Template::withID("halves"));
  for (const auto& row : rows) {
    auto world = laptopAndWide();
    world.windows.push_back(window(60, kCode, 101, {1300, 100, 600, 400}));
    world.floating = row.floating;
    auto plan = ApplyPlan::forLayout(entry, "WIDE", world, kGaps);
    EXPECT_EQ(plan.title, "Halves");
    EXPECT_EQ(plan.tilings.at("WIDE").windows, row.slots);
    EXPECT_EQ(plan.layouts.at("WIDE"), LayoutRef::templateLayout("halves"));
    ASSERT_EQ(plan.moves.size(), 2u);
    EXPECT_EQ(plan.moves[1].window, *row.slots[1]);
    EXPECT_EQ(plan.moves[1].tile, 1);
    EXPECT_FALSE(plan.raises);
    EXPECT_FALSE(plan.focus);
  }
}

TEST(ApplyPlanLayoutTests, UnknownDisplayGivesAnEmptyPlan) {
  auto entry = LayoutEntry::templateEntry(*Template::withID("halves"));
  ApplyPlan expected;
  expected.title = "Halves";
  EXPECT_EQ(ApplyPlan::forLayout(entry, "GONE", laptopAndWide(), kGaps), expected);
}

TEST(ApplyPlanPickTests, PickedWindowsTakeTilesInPickOrder) {
  PickToTile::Pick pick{{22, 31, 12, 22, 11, 21},
                        "LAPTOP",
                        {"Thirds", templateShape("thirds"), LayoutRef::templateLayout("thirds")}};
  auto plan = ApplyPlan::forPick(pick, laptopAndWide(), kGaps);
  EXPECT_EQ(plan.title, "Tile Picked Windows");
  // The full-screen 31 and the repeated 22 are passed over; 21 finds no tile left.
  EXPECT_EQ(plan.tilings.at("LAPTOP").windows, slots({22, 12, 11}));
  EXPECT_EQ(plan.unminimize, std::vector<std::uint32_t>{12});
  EXPECT_EQ(plan.focus, 22u);
  EXPECT_TRUE(plan.raises);
  EXPECT_EQ(plan.moves.size(), 3u);
}

TEST(ApplyPlanTilesBackTests, OnlyConnectedDisplaysAndPresentWindowsComeBack) {
  auto halves = templateShape("halves"), thirds = templateShape("thirds");
  std::vector<Tiling> tilings{
      {"GONE", halves, std::nullopt, {22, 11}, std::nullopt},
      {"WIDE", thirds, LayoutRef::templateLayout("thirds"), {21, 99, 12}, 21},
      {"WIDE", halves, std::nullopt, {32, 22}, std::nullopt},
  };
  auto plan = ApplyPlan::forTilings(tilings, laptopAndWide(), kGaps);
  EXPECT_EQ(plan.title, "Tiles Come Back");
  ASSERT_EQ(plan.tilings.size(), 1u);
  // 99 is gone and 12 is minimized: their tiles come back empty, and unzoomed.
  Tiling expected{"WIDE", thirds, LayoutRef::templateLayout("thirds"), {21, {}, {}}, {}};
  EXPECT_EQ(plan.tilings.at("WIDE"), expected);
  ASSERT_EQ(plan.moves.size(), 1u);
  EXPECT_EQ(plan.moves[0].window, 21u);
  EXPECT_TRUE(plan.unminimize.empty());
}

TEST(ApplyPlanJSONTests, EveryFieldUnderItsOwnName) {
  auto halves = templateShape("halves");
  ApplyPlan plan;
  plan.title = "Work";
  plan.kestleID = idOf(1);
  plan.moves = {{11, 101, "LAPTOP", 0, kLaptopLeft}};
  plan.raises = true;
  plan.unminimize = {12};
  plan.unhide = {104};
  plan.launches = {{kNotes, false, {{"WIDE", 2, {3221, 33, 843, 1399}}}}};
  plan.missing = {kMail};
  plan.focus = 11;
  plan.tilings["LAPTOP"] = {"LAPTOP", halves, LayoutRef::templateLayout("halves"), {11, {}}, {}};
  plan.layouts = {{"LAPTOP", LayoutRef::templateLayout("halves")}, {"WIDE", std::nullopt}};

  auto expected = nlohmann::json::parse(R"({
    "title": "Work", "kestleID": "00000000-0000-4000-8000-000000000001",
    "moves": [{"window": 11, "pid": 101, "displayID": "LAPTOP", "tile": 0,
               "frame": [[8, 46], [744, 928]]}],
    "raises": true, "unminimize": [12], "unhide": [104],
    "launches": [{"app": {"bundleID": "com.apple.Notes", "name": "Notes"}, "isRunning": false,
                  "tiles": [{"displayID": "WIDE", "tile": 2, "frame": [[3221, 33], [843, 1399]]}]}],
    "missing": [{"bundleID": "com.apple.mail", "name": "Mail"}],
    "focus": 11,
    "tilings": {"LAPTOP": {"displayID": "LAPTOP", "layout": {"template": "halves"},
                           "windows": [11, null]}},
    "layouts": {"LAPTOP": {"template": "halves"}, "WIDE": null}
  })");
  expected["tilings"]["LAPTOP"]["shape"] = halves;
  EXPECT_EQ(nlohmann::json(plan), expected);

  plan.derivedArrangement = {"LAPTOP", {}};
  plan.nextArrangement = "Grid";
  auto json = nlohmann::json(plan);
  EXPECT_EQ(json["derivedArrangement"],
            nlohmann::json::parse(R"({"fingerprint": "LAPTOP", "arrangement": {"screens": []}})"));
  EXPECT_EQ(json["nextArrangement"], "Grid");
  EXPECT_FALSE(json.contains("arrangement"));
}

}  // namespace
}  // namespace kestles
