#include "KestlesCore/session/CommandPlanner.hpp"

#include <gtest/gtest.h>

#include "ApplyTestSupport.hpp"
#include "KestlesCore/command/CommandLink.hpp"

namespace kestles {
namespace {

using namespace apply_testing;

KestlesCommand command(const std::string& link) {
  auto decoded = decodeCommandLink(link);
  EXPECT_TRUE(decoded) << link;
  return decoded.value_or(KestlesCommand{});
}

/// The world with each moved window at the frame the outcome gave it.
World carriedOut(World world, const CommandOutcome& outcome) {
  for (auto& window : world.windows)
    if (auto found = outcome.frames.find(window.id); found != outcome.frames.end())
      window.frame = found->second;
  return world;
}

TEST(CommandPlanner, SettlingPutsTiledAndSnappedWindowsWhereTheCommandsLeftThem) {
  auto world = laptopAndWide();
  for (auto& window : world.windows)
    if (window.id == 11) window.minimumSize = {900, 400};  // wider than half the laptop
  Library library;
  auto tiled = planCommand(command("kestles://tile"), world, library, {}, 11);
  ASSERT_FALSE(tiled.message);
  auto snapped = planCommand(command("kestles://snap/right-half"), world, library, tiled.state, 32);
  ASSERT_EQ(snapped.frames.size(), 1u);
  auto state = snapped.state;
  state.tilings["GONE"] = Tiling::make("GONE", templateShape("halves"), std::nullopt, {21});

  auto settled = settledWorld(world, state, library.settings.gaps);
  auto expected = carriedOut(carriedOut(world, tiled), snapped);
  EXPECT_EQ(settled, expected);
  // Settled, the same command finds its windows in place and steps on.
  auto again = planCommand(command("kestles://tile"), settled, library, state, 11);
  ASSERT_TRUE(again.plan && tiled.plan);
  EXPECT_EQ(again.plan->arrangement, tiled.plan->nextArrangement);
}

TEST(CommandPlanner, OutcomesOfCommandsThatMoveNothing) {
  auto world = laptopAndWide();
  Library library;
  // Rearranging without a tiling, or make-main of an untiled window: nothing, and no sentence.
  for (const char* link : {"kestles://rotate", "kestles://make-main", "kestles://swap/left"}) {
    auto outcome = planCommand(command(link), world, library, {}, 22);
    EXPECT_TRUE(outcome.frames.empty()) << link;
    EXPECT_FALSE(outcome.message) << link;
    EXPECT_EQ(outcome.state, SessionState{}) << link;
  }
  auto json = outcomeJSON(planCommand(command("kestles://rotate"), world, library, {}, 22), false);
  EXPECT_EQ(json, (nlohmann::json{{"frames", nlohmann::json::object()}}));
}

TEST(CommandPlanner, ATiledWindowsSnapWorksOnTheTilesNotTheMemory) {
  auto world = laptopAndWide();
  Library library;
  auto tiled = planCommand(command("kestles://tile"), world, library, {}, 22).state;
  auto snap = planCommand(command("kestles://snap/maximize"), world, library, tiled, 22);
  EXPECT_FALSE(snap.message);
  EXPECT_EQ(snap.frames.size(), 1u);
  EXPECT_TRUE(snap.state.snapMemory.entries.empty());
  const Tiling* holding = tilingHolding(snap.state.tilings, 22);
  ASSERT_TRUE(holding);
  EXPECT_EQ(holding->zoomed, 22u);
  auto back = planCommand(command("kestles://snap/restore"), world, library, snap.state, 22);
  EXPECT_EQ(back.state.tilings, tiled.tilings);
}

}  // namespace
}  // namespace kestles
