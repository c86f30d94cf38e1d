#include "KestlesCore/tiling/LiveTiles.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/core/KeptTestSupport.hpp"

namespace kestles {
namespace {

using namespace kestles::kept_testing;
using Order = std::vector<std::uint32_t>;

constexpr std::uint32_t A = 11, B = 12, C = 13, D = 14;
const Gaps kNoGaps{0, 0};

LiveTiles session() {
  return LiveTiles(DisplaySetup{{laptop(), wide()}}, kNoGaps);
}

TEST(LiveTilesTests, AdoptKeepsPlacementOrderAndOriginalFrames) {
  auto world = worldOf({windowAt(A, {1, 2, 300, 200}), windowAt(B, {3, 4, 300, 200}),
                        windowAt(C, {1600, 5, 300, 200}), windowAt(D, {1700, 6, 300, 200})},
                       {laptop(), wide()});
  auto live = session();
  // The wide display is listed first in the map but comes after the laptop in display order.
  auto tilings = tiledWith("halves", {C}, "wide");
  tilings.merge(tiledWith("halves", {B, A}, "laptop"));
  live.adopt(tilings, world);
  EXPECT_EQ(live.order(), (Order{B, A, C}));
  EXPECT_EQ(live.original(A), CGRect(1, 2, 300, 200));

  // A leaves its tile and comes back later, moved: it goes to the end of the order but keeps
  // the frame it had before the session first touched it.
  auto moved = world;
  moved.windows[0].frame = {0, 32, 756, 950};
  tilings.at("laptop").remove(A);
  tilings.at("wide").restore(D, 1);
  live.adopt(tilings, moved);
  EXPECT_EQ(live.order(), (Order{B, C, D}));
  tilings.at("laptop").restore(A, 1);
  live.adopt(tilings, moved);
  EXPECT_EQ(live.order(), (Order{B, C, D, A}));
  EXPECT_EQ(live.original(A), CGRect(1, 2, 300, 200));

  // Released: forgotten altogether, its original handed back.
  EXPECT_EQ(live.release(A), CGRect(1, 2, 300, 200));
  EXPECT_FALSE(live.original(A));
  EXPECT_EQ(live.order(), (Order{B, C, D}));
  EXPECT_FALSE(live.release(A));

  // Windows that no longer exist leave the bookkeeping and their slots.
  live.keep({B, D});
  EXPECT_EQ(live.order(), (Order{B, D}));
  EXPECT_FALSE(live.original(C));
  EXPECT_EQ(live.tiling("wide")->windows,
            (std::vector<std::optional<std::uint32_t>>{std::nullopt, D}));
}

TEST(LiveTilesTests, MinimumsOnlyGrowAndShapeTheTiles) {
  auto live = session();
  auto window = windowAt(A, {0, 32, 756, 950});
  window.minimumSize = {1000, 0};
  auto world = worldOf({window, windowAt(B, {756, 32, 756, 950})}, {laptop(), wide()});
  live.adopt(tiledWith("halves", {A, B}, "laptop"), world);
  live.learn(A, {500, 600});
  EXPECT_EQ(live.minimum(A), (MinimumSize{1000, 600}));
  EXPECT_EQ(live.minimum(B), MinimumSize{});
  live.learn(B, {});
  EXPECT_FALSE(live.minimums().contains(B));

  // A's minimum widens its tile; the session's frames are the solver's with it.
  auto frames = live.frames("laptop");
  EXPECT_EQ(frames.at(A).width(), 1000);
  EXPECT_EQ(frames.at(B), CGRect(1000, 32, 512, 950));
  EXPECT_TRUE(live.frames("wide").empty());
  EXPECT_FALSE(live.solved("away"));
}

TEST(LiveTilesTests, JSONRoundTripAndTolerantReading) {
  auto live = session();
  auto window = windowAt(A, {1, 2, 300, 200});
  window.minimumSize = {400, 0};
  live.adopt(tiledWith("halves", {A, B}, "laptop"),
             worldOf({window, windowAt(B, {5, 6, 300, 200})}, {laptop()}));

  nlohmann::json json = live;
  EXPECT_EQ(json["order"], nlohmann::json::parse("[11, 12]"));
  EXPECT_EQ(json["original"], nlohmann::json::parse(R"({"11": [[1, 2], [300, 200]],
                                                         "12": [[5, 6], [300, 200]]})"));
  EXPECT_EQ(json["minimums"], nlohmann::json::parse(R"({"11": {"width": 400, "height": 0}})"));
  EXPECT_EQ(json.get<LiveTiles>(), live);

  auto damaged = nlohmann::json::parse(R"({
    "displays": [{"id": "laptop", "name": "Laptop", "frame": [[0, 0], [1512, 982]]}, {"id": 3}],
    "tilings": {"laptop": {"displayID": "elsewhere", "shape": {"kind": "tree", "tree": {}},
                           "windows": [11]},
                "broken": 7},
    "order": [11, "x", 11, 12],
    "original": {"11": [[1, 2], [3, 4]], "twelve": [[0, 0], [1, 1]], "13": "wide"},
    "minimums": {"11": {"width": 5, "height": 6}, "-1": {"width": 1, "height": 1}}
  })")
                     .get<LiveTiles>();
  EXPECT_EQ(damaged.setup.displays.size(), 1u);
  EXPECT_EQ(damaged.gaps, Gaps{});
  EXPECT_EQ(damaged.tilings.size(), 1u);
  EXPECT_EQ(damaged.tiling("laptop")->displayID, "laptop");
  EXPECT_EQ(damaged.order(), (Order{A, B}));
  EXPECT_EQ(damaged.original(A), CGRect(1, 2, 3, 4));
  EXPECT_FALSE(damaged.original(B));
  EXPECT_EQ(damaged.minimums().size(), 1u);
  EXPECT_EQ(nlohmann::json::parse("{}").get<LiveTiles>(), LiveTiles{});
  EXPECT_ANY_THROW((void)nlohmann::json::parse("[]").get<LiveTiles>());
}

}  // namespace
}  // namespace kestles
