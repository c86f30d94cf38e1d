#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/world/World.hpp"
#include "tests/x11/support/XSession.hpp"

namespace kestles {
namespace {

using testing::Child;
using testing::XSession;

const std::string kApp = std::string(KESTLES_BIN_DIR) + "/kestles-app";

struct Run {
  int status = -1;
  std::string out;
};

Run run(const std::vector<std::string>& argv,
        const std::map<std::string, std::string>& environment) {
  Child child(argv, environment);
  Run result;
  while (auto line = child.readLine())
    result.out.append(*line).append("\n");
  result.status = child.wait().value_or(-1);
  return result;
}

TEST(AppCommandTests, WorldAndPlaceOnARealDesktop) {
  auto session = XSession::start({});
  if (!session) GTEST_SKIP() << "Xvfb or openbox is missing";
  auto windows = session->openWindows({"--pos", "10,10", "--min", "300x200", "--max", "700x500"});
  ASSERT_TRUE(session->waitUntil([&] {
    return session->cardinals(session->root(), "_NET_ACTIVE_WINDOW") ==
           std::vector<std::uint32_t>{windows.id()};
  }));
  std::map<std::string, std::string> environment{{"KESTLES_PLATFORM", "x11"}};

  auto world = run({kApp, "world"}, environment);
  ASSERT_EQ(world.status, 0);
  auto json = nlohmann::json::parse(world.out);
  auto decoded = json.get<World>();
  ASSERT_EQ(decoded.windows.size(), 1u);
  EXPECT_EQ(decoded.windows[0].id, windows.id());
  EXPECT_EQ(decoded.activeDisplayID, "screen");
  EXPECT_EQ(json["focusedWindow"], windows.id());

  auto place =
      run({kApp, "place", std::to_string(windows.id()), "100", "50", "900", "900"}, environment);
  ASSERT_EQ(place.status, 0);
  // Clamped by the maximum: the frame it really landed at.
  EXPECT_EQ(nlohmann::json::parse(place.out), nlohmann::json::parse("[[100, 50], [702, 525]]"));
  EXPECT_EQ(session->frameOf(windows.id()), (testing::Frame{100, 50, 702, 525}));
}

TEST(AppCommandTests, WithoutADisplayTheCommandsFailWithASentence) {
  const std::vector<std::string> commands[] = {{kApp, "world"},
                                               {kApp, "place", "1", "0", "0", "10", "10"}};
  for (const auto& argv : commands) {
    // An empty DISPLAY counts as unset.
    Child child(argv, {{"DISPLAY", ""}, {"KESTLES_PLATFORM", ""}});
    EXPECT_FALSE(child.readLine(std::chrono::seconds(10)))
        << argv[1];  // nothing on standard output
    EXPECT_EQ(child.wait(), 1) << argv[1];
  }
}

}  // namespace
}  // namespace kestles
