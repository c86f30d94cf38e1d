#include "KestlesCore/tiling/KeptTiles.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/tiling/StyleShapes.hpp"
#include "tests/core/KeptTestSupport.hpp"

namespace kestles {
namespace {

using namespace kestles::kept_testing;
using Slots = std::vector<std::optional<std::uint32_t>>;

constexpr std::uint32_t A = 11, B = 12, C = 13, D = 14, E = 15, F = 16;
const Gaps kNoGaps{0, 0};

/// The frame each move gives, by window.
std::map<std::uint32_t, CGRect> targets(const KeptTiles::Plan& plan) {
  std::map<std::uint32_t, CGRect> frames;
  for (const auto& move : plan.moves)
    frames[move.window] = move.to;
  return frames;
}

TEST(KeptTilesTests, RearrangeMakesRoomClosesUpAndSettles) {
  KeptTiles kept;
  const std::set<std::string> keptDisplays{"wide"};
  auto check = [&](const World& world, const Tilings& tilings) {
    return kept.check(keptDisplays, world, tilings, kNoGaps, TilingStyle::columns,
                      TileChanges::rearrange);
  };
  // Keep tiled turns on: both loose windows on the wide display are new.
  auto world = worldOf({windowAt(A, {1600, 100, 900, 700}), windowAt(B, {2000, 300, 900, 700})},
                       {laptop(), wide()});
  auto first = check(world, {});
  ASSERT_TRUE(first);
  EXPECT_EQ(first->tilings.at("wide").windows, (Slots{A, B}));
  EXPECT_EQ(targets(*first), (std::map<std::uint32_t, CGRect>{{A, {1512, 0, 1280, 1440}},
                                                              {B, {2792, 0, 1280, 1440}}}));
  EXPECT_EQ(first->moves.front().from, CGRect(1600, 100, 900, 700));
  EXPECT_EQ(first->message(), "Keep Tiled made room for 2 windows");

  // Nothing arrived or left: nothing to do, however often it is asked.
  world = afterMoves(world, first->moves);
  EXPECT_FALSE(check(world, first->tilings));
  EXPECT_FALSE(check(world, first->tilings));

  // A third window opens: the style's shape for three, the old two make room.
  world = with(world, windowAt(C, {3000, 200, 500, 500}));
  auto gained = check(world, first->tilings);
  ASSERT_TRUE(gained);
  EXPECT_EQ(gained->tilings.at("wide").windows, (Slots{A, B, C}));
  EXPECT_EQ(gained->moves.size(), 3u);
  EXPECT_EQ(targets(*gained).at(C), CGRect(3219, 0, 853, 1440));
  EXPECT_EQ(gained->message(), "Keep Tiled made room for 1 window");

  // The middle one closes: the other two close up into halves.
  world = without(afterMoves(world, gained->moves), B);
  auto lost = check(world, gained->tilings);
  ASSERT_TRUE(lost);
  EXPECT_EQ(lost->tilings.at("wide").windows, (Slots{A, C}));
  EXPECT_EQ(targets(*lost).at(C), CGRect(2792, 0, 1280, 1440));
  EXPECT_EQ(lost->message(), "Keep Tiled closed up the tiles");

  // One leaves as another arrives: the count and so the shape stay, the windows keep order.
  world = afterMoves(world, lost->moves);
  world.windows.front().isMinimized = true;  // A
  world = with(world, windowAt(D, {1700, 50, 400, 400}));
  auto traded = check(world, lost->tilings);
  ASSERT_TRUE(traded);
  EXPECT_EQ(traded->tilings.at("wide").shape, lost->tilings.at("wide").shape);
  EXPECT_EQ(traded->tilings.at("wide").windows, (Slots{C, D}));
  EXPECT_EQ(traded->message(), "Keep Tiled rearranged the tiles");

  // The last windows go: the tiling is dropped.
  world = without(without(afterMoves(world, traded->moves), C), D);
  auto emptied = check(world, traded->tilings);
  ASSERT_TRUE(emptied);
  EXPECT_TRUE(emptied->tilings.empty());
  EXPECT_TRUE(emptied->moves.empty());
}

TEST(KeptTilesTests, RearrangeTilesNoMoreThanTheStyleAllows) {
  // Columns on a 1512-wide laptop: at most max(2, ⌊1512 / 360⌋) = 4 tiles.
  std::vector<WindowSnapshot> windows;
  for (std::uint32_t id : {F, E, D, C, B, A})
    windows.push_back(windowAt(id, {100, 100, 300, 300}));
  auto world = worldOf(windows, {laptop()});
  KeptTiles kept;
  auto plan =
      kept.check({"laptop"}, world, {}, kNoGaps, TilingStyle::columns, TileChanges::rearrange);
  ASSERT_TRUE(plan);
  // The lowest window numbers opened first and take the tiles; E and F stay where they are.
  EXPECT_EQ(plan->tilings.at("laptop").windows, (Slots{A, B, C, D}));
  EXPECT_FALSE(targets(*plan).contains(E));
  EXPECT_FALSE(targets(*plan).contains(F));
  EXPECT_EQ(plan->message(), "Keep Tiled made room for 4 windows");
  // Both stay known, so they are not new on the next look.
  EXPECT_EQ(kept.known.at("laptop").size(), 6u);
  EXPECT_FALSE(kept.check({"laptop"}, afterMoves(world, plan->moves), plan->tilings, kNoGaps,
                          TilingStyle::columns, TileChanges::rearrange));
}

TEST(KeptTilesTests, TheLargestCountIsTheVisibleFrames) {
  struct Row {
    DisplayInfo display;
    TilingStyle style;
    std::uint32_t windows;
    std::size_t tiled;
  };
  const Row rows[] = {
      // 1 + max(2, ⌊950 / 240⌋): the menu bar costs the laptop its fifth main-stack tile.
      {laptop(), TilingStyle::mainStack, 6, 4},
      {portrait(), TilingStyle::columns, 9, 8},  // max(2, ⌊1920 / 240⌋)
      {wide(), TilingStyle::spiral, 6, 5},       // four halvings
      {wide(), TilingStyle::grid, 3, 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.display.id + " " + std::string(rawValue(row.style)));
    std::vector<WindowSnapshot> windows;
    for (std::uint32_t id = 1; id <= row.windows; ++id)
      windows.push_back(windowAt(id, row.display.visibleFrame.insetBy(50, 50)));
    KeptTiles kept;
    auto plan = kept.check({row.display.id}, worldOf(windows, {row.display}), {}, kNoGaps,
                           row.style, TileChanges::rearrange);
    ASSERT_TRUE(plan);
    const Tiling& tiling = plan->tilings.at(row.display.id);
    EXPECT_EQ(tiling.windowIDs().size(), row.tiled);
    // The style's shape for that count (generated shapes have fresh ids: compare frames).
    auto expected =
        shapeForCount(static_cast<int>(row.tiled), row.display.visibleFrame.size, row.style);
    EXPECT_EQ(LayoutSolver::solve(tiling.shape, row.display.visibleFrame, kNoGaps).tileFrames,
              LayoutSolver::solve(expected, row.display.visibleFrame, kNoGaps).tileFrames);
    EXPECT_EQ(plan->moves.size(), row.tiled);
  }
}

TEST(KeptTilesTests, OnlyVisibleTileableWindowsOfKeptDisplaysCount) {
  auto world = worldOf({windowAt(A, {100, 100, 300, 300}, 0, 1),
                        windowAt(B, {200, 100, 300, 300}, 1, 2),    // minimized
                        windowAt(C, {300, 100, 300, 300}, 2, 3),    // app hidden
                        windowAt(D, {400, 100, 300, 300}, 3, 4),    // floating app
                        windowAt(E, {500, 100, 300, 300}, 4, 5),    // full screen
                        windowAt(F, {1600, 100, 300, 300}, 5, 6)},  // on the wide display
                       {laptop(), wide()});
  world.windows[1].isMinimized = true;
  world.apps.push_back({3, "app.3", "Three", true});
  world.floating.insert("app.4");
  world.windows[4].isFullScreen = true;
  KeptTiles kept;
  auto plan = kept.check({"laptop"}, world, {}, kNoGaps, TilingStyle::grid, TileChanges::rearrange);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->tilings.at("laptop").windows, (Slots{A}));
  EXPECT_EQ(plan->tilings.size(), 1u);
  EXPECT_EQ(kept.known.at("laptop"), (std::set<std::uint32_t>{A}));
  EXPECT_FALSE(kept.known.contains("wide"));
}

/// In place on a display of the given size, tiled with `tiling`, when window N opens.
struct InPlaceCase {
  const char* name;
  CGSize display;
  TileShape shape;
  Slots slots;
  Slots expected;
  std::map<std::uint32_t, CGRect> moves;
};

TEST(KeptTilesTests, InPlaceSplitsTheFrontTileElseTheBiggestWhenHalvesAreBigEnough) {
  constexpr std::uint32_t N = 20;
  auto halves = Template::withID("halves")->shape;
  // Two 700 × 400 tiles above one 1400 × 400 tile.
  auto twoOverOne = TileShape::tree(LayoutNode::rows(
      {LayoutNode::columns({LayoutNode::tile(), LayoutNode::tile()}), LayoutNode::tile()}));
  const InPlaceCase cases[] = {
      {"a 1000 × 600 front tile splits side by side, the new tile on the right",
       {2000, 600},
       halves,
       {A, B},
       {A, N, B},
       {{A, {0, 0, 500, 600}}, {N, {500, 0, 500, 600}}}},
      {"halves of a 700 × 400 front tile are too narrow: the biggest tile splits",
       {1400, 800},
       twoOverOne,
       {A, B, C},
       {A, B, C, N},
       {{C, {0, 400, 700, 400}}, {N, {700, 400, 700, 400}}}},
      {"a tall front tile splits top and bottom, the new tile at the bottom",
       {800, 1000},
       halves,
       {A, B},
       {A, N, B},
       {{A, {0, 0, 400, 500}}, {N, {0, 500, 400, 500}}}},
      {"no tile can be split: the window stays untiled", {700, 400}, halves, {A, B}, {A, B}, {}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    auto display = plainDisplay(row.display.width, row.display.height);
    Tilings tilings{{"plain", Tiling{"plain", row.shape, std::nullopt, row.slots, std::nullopt}}};
    World world = worldOf({}, {display});
    auto frames = tilings.at("plain").frames(display.visibleFrame, kNoGaps);
    std::int64_t z = 1;
    for (auto window : tilings.at("plain").windowIDs())
      world.windows.push_back(windowAt(window, frames.at(window), z++, 1));
    KeptTiles kept;
    kept.known["plain"] = {A, B, C};
    auto plan = kept.check({"plain"}, with(world, windowAt(N, {10, 10, 300, 200}, 0, 2)), tilings,
                           kNoGaps, TilingStyle::grid, TileChanges::inPlace);
    if (row.moves.empty()) {
      EXPECT_FALSE(plan);
      EXPECT_TRUE(kept.known.at("plain").contains(N));  // and it is not tried again
      continue;
    }
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->tilings.at("plain").windows, row.expected);
    EXPECT_EQ(targets(*plan), row.moves);
    EXPECT_EQ(plan->message(), "Keep Tiled made room for 1 window");
  }
}

TEST(KeptTilesTests, InPlaceClosesGoneTilesGivingTheirRoomToANeighbour) {
  auto display = plainDisplay(1500, 600);
  auto tilings = tiledWith("thirds", {A, B, C}, "plain");
  auto world =
      worldOf({windowAt(A, {0, 0, 500, 600}), windowAt(C, {1000, 0, 500, 600})}, {display});
  KeptTiles kept;
  kept.known["plain"] = {A, B, C};
  auto plan =
      kept.check({"plain"}, world, tilings, kNoGaps, TilingStyle::grid, TileChanges::inPlace);
  ASSERT_TRUE(plan);
  // The middle tile's weight goes to the first: 2 : 1.
  EXPECT_EQ(targets(*plan), (std::map<std::uint32_t, CGRect>{{A, {0, 0, 1000, 600}}}));
  EXPECT_EQ(plan->tilings.at("plain").windows, (Slots{A, C}));
  EXPECT_EQ(plan->message(), "Keep Tiled closed up the tiles");

  // Both remaining windows close at once: the last tile only empties, then the tiling goes.
  auto emptied = kept.check({"plain"}, worldOf({}, {display}), plan->tilings, kNoGaps,
                            TilingStyle::grid, TileChanges::inPlace);
  ASSERT_TRUE(emptied);
  EXPECT_FALSE(emptied->tilings.contains("plain"));
  EXPECT_EQ(emptied->closed, 2);
}

TEST(KeptTilesTests, InPlaceGainingAndLosingOnTheLaptop) {
  // A window opens and another closes on a gapped laptop display: the new window splits the
  // front tile and the gone one's tile closes, all in one look.
  const Gaps gaps{8, 8};
  auto display = laptop();
  auto tilings = tiledWith("halves", {A, B}, "laptop");
  auto frames = tilings.at("laptop").frames(display.visibleFrame, gaps);
  auto world =
      worldOf({windowAt(A, frames.at(A), 1, 1), windowAt(B, frames.at(B), 2, 2)}, {display});
  KeptTiles kept;
  kept.known["laptop"] = {A, B};
  auto gained = kept.check({"laptop"}, with(without(world, B), windowAt(C, {0, 0, 10, 10}, 0, 3)),
                           tilings, gaps, TilingStyle::spiral, TileChanges::inPlace);
  ASSERT_TRUE(gained);
  // B's tile closed into A's, then A's tile (now the whole area) split for C.
  EXPECT_EQ(gained->tilings.at("laptop").windows, (Slots{A, C}));
  // A keeps its frame; C takes the half B had.
  EXPECT_EQ(targets(*gained), (std::map<std::uint32_t, CGRect>{{C, frames.at(B)}}));
  EXPECT_EQ(gained->message(), "Keep Tiled rearranged the tiles");
}

TEST(KeptTilesTests, AWindowTakesAnEmptyTileBeforeSplittingOne) {
  auto display = plainDisplay(1500, 600);
  auto tilings = tiledWith("thirds", {A}, "plain");
  auto world =
      worldOf({windowAt(A, {0, 0, 500, 600}, 1, 1), windowAt(B, {0, 0, 10, 10}, 0, 2)}, {display});
  KeptTiles kept;
  kept.known["plain"] = {A};
  auto plan =
      kept.check({"plain"}, world, tilings, kNoGaps, TilingStyle::grid, TileChanges::inPlace);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->tilings.at("plain").windows, (Slots{A, B, std::nullopt}));
  EXPECT_EQ(targets(*plan), (std::map<std::uint32_t, CGRect>{{B, {500, 0, 500, 600}}}));
}

TEST(KeptTilesTests, AWindowTakesTheFrameItsSizeLimitsAllow) {
  auto display = plainDisplay(2000, 600);
  auto window = windowAt(A, {10, 10, 300, 300});
  window.maximumSize = {800, 0};  // narrower than a 1000-wide tile
  window.minimumSize = {0, 700};  // taller than the display: it lands within it
  KeptTiles kept;
  auto plan = kept.check({"plain"}, worldOf({window, windowAt(B, {20, 20, 300, 300})}, {display}),
                         {}, kNoGaps, TilingStyle::columns, TileChanges::rearrange);
  ASSERT_TRUE(plan);
  EXPECT_EQ(targets(*plan).at(A), CGRect(100, 0, 800, 700));
  EXPECT_EQ(targets(*plan).at(B), CGRect(1000, 0, 1000, 600));
}

TEST(KeptTilesTests, AWindowMovedBetweenDisplays) {
  auto world = worldOf({windowAt(A, {0, 32, 756, 950}), windowAt(B, {756, 32, 756, 950}),
                        windowAt(C, {1512, 0, 2560, 1440})},
                       {laptop(), wide()});
  auto tilings = tiledWith("halves", {A, B}, "laptop");
  tilings.emplace("wide", Tiling::make("wide", TileShape::tree(LayoutNode::tile()), {}, {C}));
  auto moved = world;
  moved.windows[1].frame = {2000, 300, 700, 500};  // B dragged onto the wide display

  // Both kept: B's tile closes on the laptop and B splits the wide display's tiles.
  KeptTiles both;
  both.known = {{"laptop", {A, B}}, {"wide", {C}}};
  auto plan = both.check({"laptop", "wide"}, moved, tilings, kNoGaps, TilingStyle::columns,
                         TileChanges::rearrange);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->tilings.at("laptop").windows, (Slots{A}));
  EXPECT_EQ(plan->tilings.at("wide").windows, (Slots{C, B}));
  EXPECT_EQ(targets(*plan).at(A), CGRect(0, 32, 1512, 950));
  EXPECT_EQ(plan->message(), "Keep Tiled rearranged the tiles");
  EXPECT_EQ(both.known.at("wide"), (std::set<std::uint32_t>{B, C}));

  // Only the wide display kept: B leaves its laptop slot, whose tile stays for the user.
  KeptTiles wideOnly;
  wideOnly.known = {{"wide", {C}}};
  plan =
      wideOnly.check({"wide"}, moved, tilings, kNoGaps, TilingStyle::columns, TileChanges::inPlace);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->tilings.at("laptop").windows, (Slots{A, std::nullopt}));
  EXPECT_EQ(plan->tilings.at("wide").windows, (Slots{C, B}));
  EXPECT_FALSE(targets(*plan).contains(A));
  EXPECT_EQ(plan->message(), "Keep Tiled made room for 1 window");
}

TEST(KeptTilesTests, DisplaysTurnedOffOrAwayAreForgottenOrKept) {
  auto world = worldOf({windowAt(A, {0, 32, 756, 950})}, {laptop()});
  KeptTiles kept;
  kept.known = {{"laptop", {A}}, {"away", {B}}};
  EXPECT_FALSE(kept.check({"away"}, world, {}, kNoGaps, TilingStyle::grid, TileChanges::rearrange));
  // Keep tiled is off on the laptop: it is forgotten, so turning it on tiles A again.
  EXPECT_EQ(kept.known, (std::map<std::string, std::set<std::uint32_t>>{{"away", {B}}}));
  auto again =
      kept.check({"laptop"}, world, {}, kNoGaps, TilingStyle::grid, TileChanges::rearrange);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->tilings.at("laptop").windows, (Slots{A}));
}

TEST(KeptTilesTests, WhenTiledWindowsCloseTheWindowsLeftOutTakeTheirPlace) {
  // Keep tiled stranded windows: with more windows than tiles some were left out, and once
  // the tiled ones closed the display lost its tiling while the rest stayed where they were.
  constexpr std::uint32_t G = 17;
  // Columns on the laptop: at most 4 tiles.
  for (auto changes : kAllTileChanges) {
    SCOPED_TRACE(std::string(rawValue(changes)));
    KeptTiles kept;
    auto check = [&](const World& world, const Tilings& tilings) {
      return kept.check({"laptop"}, world, tilings, kNoGaps, TilingStyle::columns, changes);
    };
    auto world = worldOf({windowAt(A, {100, 100, 300, 300}), windowAt(B, {150, 100, 300, 300}),
                          windowAt(C, {200, 100, 300, 300})},
                         {laptop()});
    auto first = check(world, {});
    ASSERT_TRUE(first);
    world = afterMoves(world, first->moves);
    for (std::uint32_t id : {D, E, F, G})
      world = with(world, windowAt(id, {300, 200, 400, 400}));
    auto opened = check(world, first->tilings);
    ASSERT_TRUE(opened);
    world = afterMoves(world, opened->moves);
    // Tiling again puts the four newest windows in the tiles and leaves the oldest out.
    auto retiled = tiledWith("four-columns", {D, E, F, G}, "laptop");
    auto frames = retiled.at("laptop").frames(laptop().visibleFrame, kNoGaps);
    for (auto& window : world.windows)
      if (frames.contains(window.id)) window.frame = frames.at(window.id);
    EXPECT_FALSE(check(world, retiled));

    // The four close: the display stays tiled with the three windows it still has.
    for (std::uint32_t id : {D, E, F, G})
      world = without(world, id);
    auto closed = check(world, retiled);
    ASSERT_TRUE(closed);
    ASSERT_TRUE(closed->tilings.contains("laptop"));
    const auto& tiling = closed->tilings.at("laptop");
    auto tiled = tiling.windowIDs();
    EXPECT_EQ(std::set(tiled.begin(), tiled.end()), (std::set<std::uint32_t>{A, B, C}));
    EXPECT_EQ(tiling.tileCount(), 3);
    EXPECT_EQ(targets(*closed).size(), 3u);
    EXPECT_EQ(closed->message(), "Keep Tiled rearranged the tiles");
  }
}

TEST(KeptTilesTests, AClosedWindowsTileGoesToTheWindowThatWaitedLongest) {
  // A window that opened while every tile was taken floated on after a tile was freed, or
  // took a tile only after the others had closed up and shifted round.
  // Columns hold three tiles at most on this display, and thirds are too narrow to split.
  auto display = plainDisplay(1080, 600);
  auto tilings = tiledWith("thirds", {A, B, C}, "plain");
  auto frames = tilings.at("plain").frames(display.visibleFrame, kNoGaps);
  // E and D wait (D, the older, longer); B closes.
  auto world = worldOf({windowAt(A, frames.at(A)), windowAt(C, frames.at(C)),
                        windowAt(D, {100, 100, 300, 300}), windowAt(E, {120, 120, 300, 300})},
                       {display});
  for (auto changes : kAllTileChanges) {
    SCOPED_TRACE(std::string(rawValue(changes)));
    KeptTiles kept;
    kept.known["plain"] = {A, B, C, D, E};
    auto plan = kept.check({"plain"}, world, tilings, kNoGaps, TilingStyle::columns, changes);
    ASSERT_TRUE(plan);
    // D takes B's tile where it stood; nobody else moves and E waits on.
    EXPECT_EQ(plan->tilings.at("plain").windows, (Slots{A, D, C}));
    EXPECT_EQ(targets(*plan), (std::map<std::uint32_t, CGRect>{{D, frames.at(B)}}));
    EXPECT_EQ(plan->placed, 1);
    EXPECT_EQ(plan->message(), "Keep Tiled rearranged the tiles");
  }
}

TEST(KeptTilesTests, AFloatedWindowStaysOutWhenTilesClose) {
  auto world = worldOf({windowAt(A, {0, 32, 756, 950}), windowAt(B, {300, 200, 500, 500}),
                        windowAt(C, {756, 32, 756, 950})},
                       {laptop()});
  KeptTiles kept;
  kept.known["laptop"] = {A, B, C};
  kept.floating = {B};
  auto plan = kept.check({"laptop"}, without(world, C), tiledWith("halves", {A, C}, "laptop"),
                         kNoGaps, TilingStyle::columns, TileChanges::rearrange);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->tilings.at("laptop").windows, (Slots{A}));
  EXPECT_EQ(plan->message(), "Keep Tiled closed up the tiles");
  // Once it has a tile again it floats no more.
  kept.check({"laptop"}, world, tiledWith("thirds", {A, B, C}, "laptop"), kNoGaps,
             TilingStyle::columns, TileChanges::rearrange);
  EXPECT_TRUE(kept.floating.empty());
}

TEST(KeptTilesTests, MessagesAndTheirPluralForms) {
  struct Row {
    int placed, closed;
    const char* message;
    std::string_view key;
  };
  const Row rows[] = {
      {1, 0, "Keep Tiled made room for 1 window", KeptTiles::kMadeRoomMessage},
      {3, 0, "Keep Tiled made room for 3 windows", KeptTiles::kMadeRoomMessage},
      {0, 2, "Keep Tiled closed up the tiles", KeptTiles::kClosedUpMessage},
      {1, 1, "Keep Tiled rearranged the tiles", KeptTiles::kRearrangedMessage},
      {0, 0, "Keep Tiled rearranged the tiles", KeptTiles::kRearrangedMessage},
  };
  for (const auto& row : rows) {
    KeptTiles::Plan plan;
    plan.placed = row.placed;
    plan.closed = row.closed;
    EXPECT_EQ(plan.message(), row.message);
    EXPECT_EQ(plan.messageKey(), row.key);
  }
  EXPECT_EQ(KeptTiles::kMadeRoomMessage, "Keep Tiled made room for ^[%lld window](inflect: true)");
}

TEST(KeptTilesTests, KeepOnlyAndJSON) {
  KeptTiles kept;
  kept.known = {{"laptop", {A, B}}, {"wide", {C}}};
  kept.floating = {B, C};
  kept.keep({A, C});
  EXPECT_EQ(kept.known,
            (std::map<std::string, std::set<std::uint32_t>>{{"laptop", {A}}, {"wide", {C}}}));
  EXPECT_EQ(kept.floating, (std::set<std::uint32_t>{C}));
  EXPECT_EQ(kept.windows(), (std::set<std::uint32_t>{A, C}));

  nlohmann::json json = kept;
  EXPECT_EQ(json, nlohmann::json::parse(
                      R"({"known": {"laptop": [11], "wide": [13]}, "floating": [13]})"));
  EXPECT_EQ(json.get<KeptTiles>(), kept);
  auto damaged = nlohmann::json::parse(R"({"known": {"laptop": [11, "x", -1, 12], "wide": 3}})")
                     .get<KeptTiles>();
  EXPECT_EQ(damaged.known, (std::map<std::string, std::set<std::uint32_t>>{{"laptop", {A, B}}}));
  EXPECT_TRUE(nlohmann::json::parse("{}").get<KeptTiles>().known.empty());
  EXPECT_ANY_THROW((void)nlohmann::json::parse("[]").get<KeptTiles>());
}

}  // namespace
}  // namespace kestles
