// The palette on the command line, run as the built app over a simulated desktop.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "KestlesCore/command/CommandLink.hpp"
#include "tests/app/AppCommandHome.hpp"

namespace kestles::testing {
namespace {

class PaletteCommand : public ::testing::Test, protected AppCommandHome {
 protected:
  ProcessResult palette(const std::vector<std::string>& arguments,
                        const std::optional<ProcessInput>& input = std::nullopt) const {
    std::vector<std::string> words{"palette"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return runApp(words, {}, input);
  }
  ProcessResult choose(const std::string& line) const {
    return palette({"--dmenu"}, ProcessInput{line, true});
  }
  void writeState(const nlohmann::json& state) const {
    std::filesystem::create_directories(statePath().parent_path());
    std::ofstream(statePath()) << state.dump();
  }
  nlohmann::json savedState() const { return nlohmann::json::parse(std::ifstream(statePath())); }
};

TEST_F(PaletteCommand, ListsTheMatchesUnderTheirHeadingsTheBestGroupFirst) {
  auto result = palette({"news"});
  ASSERT_EQ(result.status, 0) << result.err;
  auto lines = linesOf(result.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Windows");
  EXPECT_EQ(lines[1], "  News — Safari");

  // Words of a query are one query; a kestle from the library is found by its name.
  result = palette({"wo", "rk"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(linesOf(result.out).at(0), "Kestles");
  EXPECT_TRUE(linesOf(result.out).at(1).starts_with("  Work")) << result.out;
}

TEST_F(PaletteCommand, WithoutAQueryTheRecentActionsComeFirst) {
  writeState({{"paletteRecents", {{"actions", {{{"tileAs", {{"_0", "spiral"}}}}}}}}});
  auto result = palette({});
  ASSERT_EQ(result.status, 0) << result.err;
  auto lines = linesOf(result.out);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Recent");
  EXPECT_EQ(lines[1], "  Tile as Spiral");
  EXPECT_EQ(lines[2], "Kestles");
}

TEST_F(PaletteCommand, AQueryThatMatchesNothingSaysSo) {
  auto result = palette({"zqxj"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "kestles-app: Nothing in the palette matches “zqxj”.\n");

  result = palette({"tile", "--dmenu"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "kestles-app: palette takes a query, or --dmenu alone.\n");
}

TEST_F(PaletteCommand, AMenuLineIsHandedToTheAppAsItsLinkAndRecorded) {
  FakeApp app(runtimePath());
  auto result = choose("Tile as Grid\n");
  ASSERT_EQ(result.status, 0) << result.err;
  // The recent goes to the running app, the state file's only writer, before the command.
  PaletteAction grid{PaletteAction::TileAs{TilingStyle::grid}};
  EXPECT_EQ(app.received(),
            (std::vector<std::string>{recordLink({RecordRequest::PaletteRecent{grid}}),
                                      "kestles://tile?style=grid"}));
  EXPECT_FALSE(std::filesystem::exists(statePath()));

  // Every line names one item, windows and library included, so the line read back does too.
  auto lines = linesOf(result.out);
  EXPECT_EQ(std::set(lines.begin(), lines.end()).size(), lines.size());
  for (const auto* line : {"Tile Windows", "News — Safari", "Halves", "Undo"})
    EXPECT_NE(std::ranges::find(lines, line), lines.end()) << line;
}

TEST_F(PaletteCommand, AMenuLineThatCannotBeCarriedOutHereSaysWhy) {
  FakeApp app(runtimePath());
  struct Case {
    std::string line;
    int status;
    std::string err;
  };
  const std::vector<Case> cases{
      {"", 0, ""},                 // the menu was closed
      {"News — Safari\n", 0, ""},  // a window is brought forward by this process itself
      {"Save Layout…\n", 1, "kestles-app: “Save Layout…” can’t be done from the command line.\n"},
      {"Tile Sideways\n", 1, "kestles-app: Nothing in the palette reads “Tile Sideways”.\n"},
  };
  for (const auto& [line, status, err] : cases) {
    auto result = choose(line);
    EXPECT_EQ(result.status, status) << line;
    EXPECT_EQ(result.err, err) << line;
  }
  EXPECT_TRUE(app.received().empty());
  EXPECT_FALSE(std::filesystem::exists(statePath()));
}

TEST_F(PaletteCommand, TitlesFromOtherProgramsArePrintedEscapedOneLineAnItem) {
  // Regression: titles were printed raw, so a title's escape sequences reached the terminal
  // and its line break split a menu item in two, whose halves named nothing when chosen.
  auto world = nlohmann::json::parse(
      std::ifstream(std::filesystem::path(KESTLES_FIXTURES) / "worlds" / "laptop-three.json"));
  world["windows"][1]["title"] = "Evil\x1B]0;owned\x07\nsecond line";
  world["windows"][2]["title"] = "Evil\\x1B]0;owned\\x07\\nsecond line";  // typed backslashes
  auto worldPath = home.path() / "world.json";
  std::ofstream(worldPath) << world.dump();
  auto run = [&](const std::vector<std::string>& arguments, std::optional<ProcessInput> input) {
    std::vector<std::string> words{"palette"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return runApp(words, {{"KESTLES_SIM_WORLD", worldPath.string()}}, input);
  };
  const std::string line = "Evil\\x1B]0;owned\\x07\\nsecond line — Safari";

  auto listing = run({"evil"}, std::nullopt);
  ASSERT_EQ(listing.status, 0) << listing.err;
  auto listed = linesOf(listing.out);
  listed.resize(std::min<std::size_t>(listed.size(), 3));  // other groups match "evil" too
  EXPECT_EQ(listed, (std::vector<std::string>{"Windows", "  " + line, "  " + line}));

  // The two titles print alike, so the second is numbered; each line read back names its
  // window, which this process brings forward without the app.
  FakeApp app(runtimePath());
  for (const auto& chosen : {line, line + " (2)"}) {
    auto menu = run({"--dmenu"}, ProcessInput{chosen + "\n", true});
    EXPECT_EQ(menu.status, 0) << menu.err;
    EXPECT_EQ(menu.err, "");
    auto lines = linesOf(menu.out);
    EXPECT_EQ(std::ranges::count(lines, line), 1) << menu.out;
    EXPECT_EQ(std::ranges::count(lines, line + " (2)"), 1) << menu.out;
    EXPECT_EQ(menu.out.find('\x1B'), std::string::npos);
    EXPECT_EQ(std::ranges::count(lines, "second line — Safari"), 0);
  }
  EXPECT_TRUE(app.received().empty());

  // What comes back from the menu is quoted escaped too.
  auto unknown = run({"--dmenu"}, ProcessInput{"Gone\x1B[2J\n", true});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.err, "kestles-app: Nothing in the palette reads “Gone\\x1B[2J”.\n");
}

}  // namespace
}  // namespace kestles::testing
