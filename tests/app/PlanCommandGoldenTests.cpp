// Dry runs of the built app compared byte for byte with the outputs kept beside the world
// files. Set KESTLES_WRITE_PLAN_GOLDEN=1 to write the outputs afresh (then read them).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/ToolProcess.hpp"

namespace kestles::testing {
namespace {

const std::filesystem::path kApp = std::filesystem::path(KESTLES_BIN_DIR) / "kestles-app";
const std::filesystem::path kFixtures = KESTLES_FIXTURES;
const std::filesystem::path kGolden = kFixtures / "plan";

std::string contents(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

/// The output kept in the golden file of that name.
nlohmann::json printed(const std::string& name) {
  return nlohmann::json::parse(contents(kGolden / (name + ".json")));
}

/// The output with each fresh id (made at random for shapes that no template fixes, and for
/// undo entries) replaced by "FRESH-<n>", numbered by first appearance, so that equal ids stay
/// equal, and each date (an undo entry's, taken when it is recorded) by "DATE".
std::string withFreshIDsNumbered(const std::string& dated) {
  static const std::regex kDate("\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}Z");
  auto text = std::regex_replace(dated, kDate, "DATE");
  static const std::regex kUUID(
      "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::map<std::string, std::string> numbers;
  std::string result;
  auto last = text.cbegin();
  for (std::sregex_iterator match(text.begin(), text.end(), kUUID), end; match != end; ++match) {
    auto id = match->str();
    result.append(last, (*match)[0].first);
    bool isFixed = id.starts_with("7E3D0000-") || id.starts_with("A0000000-");
    if (!isFixed && !numbers.count(id)) numbers[id] = "FRESH-" + std::to_string(numbers.size() + 1);
    result += isFixed ? id : numbers[id];
    last = (*match)[0].second;
  }
  result.append(last, text.cend());
  return result;
}

/// One dry run: the link and the file of its expected output. A step may name its own world
/// (the world after what the dry runs before it did); a step without a link looks again with
/// keep tiled at that world (`--changed`). A keyboard mode's step may name the keys typed.
struct Step {
  std::string link;
  std::string golden;
  std::string world = {};
  std::string keys = {};
};

class PlanCommandGolden : public ::testing::Test {
 protected:
  ProcessResult plan(const std::string& world, const std::string& library, const std::string& link,
                     bool withState = true, const std::string& keys = {}) const {
    auto option = link.empty() ? "--changed" : "--world";
    std::vector<std::string> arguments{"plan", option, (kFixtures / "worlds" / world).string(),
                                       "--library", (kFixtures / "library" / library).string()};
    if (withState) {
      arguments.push_back("--state");
      arguments.push_back(statePath().string());
    }
    // A drop's options are given as one step, split at spaces.
    std::istringstream words(link);
    for (std::string word; words >> word;)
      arguments.push_back(word);
    if (!keys.empty()) {
      arguments.push_back("--keys");
      arguments.push_back(keys);
    }
    return runProcess(kApp, arguments, {{"HOME", home.path().string()}, {"DISPLAY", ""}});
  }

  /// Runs the steps in order on one session state and compares each output with its file.
  void expectSequence(const std::string& world, const std::string& library,
                      const std::vector<Step>& steps) const {
    for (const auto& step : steps) {
      auto result =
          plan(step.world.empty() ? world : step.world, library, step.link, true, step.keys);
      EXPECT_EQ(result.status, 0) << step.link << "\n" << result.err;
      EXPECT_EQ(result.err, "") << step.link;
      auto golden = kGolden / (step.golden + ".json");
      auto printed = withFreshIDsNumbered(result.out);
      if (std::getenv("KESTLES_WRITE_PLAN_GOLDEN")) std::ofstream(golden) << printed;
      EXPECT_EQ(printed, contents(golden)) << step.link << " against " << golden;
    }
  }

  std::filesystem::path statePath() const { return home.path() / "session.json"; }

  TemporaryFolder home;
};

const std::string kLaptop = "laptop-three.json";
const std::string kTwoDisplays = "laptop-and-wide.json";
const std::string kKestles = "plan-kestles.json";
const std::string kNoKestles = "plan-empty.json";

TEST_F(PlanCommandGolden, TileThenMakeMainTradesBackOnTheSecondPress) {
  expectSequence(kLaptop, kNoKestles,
                 {{"kestles://tile?style=grid", "tile-grid"},
                  {"kestles://make-main", "make-main"},
                  {"kestles://make-main", "make-main-again"},
                  {"kestles://tile?style=grid", "tile-grid-again"}});
  // The trade back leaves the tiling exactly as tiling left it, and no pair to undo.
  auto state = nlohmann::json::parse(contents(statePath()));
  EXPECT_EQ(state["tilings"]["LAPTOP"]["windows"], nlohmann::json({21, 11, 22, 31}));
  EXPECT_FALSE(state.contains("mainPair"));
}

TEST_F(PlanCommandGolden, TilingTheSameWindowsAgainStepsToTheNextSuggestion) {
  expectSequence(kLaptop, kNoKestles,
                 {{"kestles://tile", "tile"},
                  {"kestles://tile", "tile-again"},
                  {"kestles://tile", "tile-third"}});
  // Each press shows what the one before announced, and the step keeps its first order.
  auto first = printed("tile"), second = printed("tile-again"), third = printed("tile-third");
  EXPECT_EQ(second["arrangement"], first["nextArrangement"]);
  EXPECT_EQ(third["arrangement"], second["nextArrangement"]);
  EXPECT_NE(first["arrangement"], second["arrangement"]);
  EXPECT_EQ(first["state"]["lastSuggestion"]["order"], third["state"]["lastSuggestion"]["order"]);
  EXPECT_NE(second["state"]["lastSuggestion"]["current"],
            third["state"]["lastSuggestion"]["current"]);
}

TEST_F(PlanCommandGolden, SnappingTwiceCyclesAndRestoreBringsTheFirstFrameBack) {
  expectSequence(kLaptop, kNoKestles,
                 {{"kestles://snap/left-half", "snap-left-half"},
                  {"kestles://snap/left-half", "snap-left-half-again"},
                  {"kestles://snap/restore", "snap-restore"}});
}

TEST_F(PlanCommandGolden, AWindowThatGotASnappedWindowsNumberStartsAfresh) {
  // A new window inherited a closed window's memories: Terminal's snapped window 31 closed
  // and a Notes window got its number; it was taken to sit at 31's half and to have 31's
  // frame to go back to.
  expectSequence(kLaptop, kNoKestles,
                 {{"kestles://snap/left-half", "snap-left-half"},
                  {"kestles://snap/center", "reused-snap-center", "laptop-three-reused.json"},
                  {"kestles://snap/restore", "reused-snap-restore", "laptop-three-reused.json"}});
  // Centred at its own size, and Restore brings back its own frame.
  EXPECT_EQ(printed("reused-snap-center")["frames"]["31"],
            nlohmann::json::parse("[[556, 360], [400, 300]]"));
  EXPECT_EQ(printed("reused-snap-restore")["frames"]["31"],
            nlohmann::json::parse("[[520, 240], [400, 300]]"));
}

TEST_F(PlanCommandGolden, SnapsOfATiledWindowZoomAndTradeTiles) {
  expectSequence(kLaptop, kNoKestles,
                 {{"kestles://tile?style=grid", "tile-grid"},
                  {"kestles://snap/maximize", "tiled-snap-maximize"},
                  {"kestles://snap/maximize", "tiled-snap-maximize-again"},
                  {"kestles://snap/restore", "tiled-snap-restore"},
                  {"kestles://snap/right-half", "tiled-snap-right-half"},
                  {"kestles://snap/top-left", "tiled-snap-top-left"},
                  {"kestles://snap/move-down", "tiled-snap-move-down"},
                  {"kestles://snap/larger", "tiled-snap-larger"}});
}

TEST_F(PlanCommandGolden, DropsTradeOrSnapAtAnEdge) {
  expectSequence(kLaptop, kNoKestles,
                 {{"kestles://tile?style=grid", "tile-grid"},
                  {"--drop 1000,300", "drop-trade"},
                  {"--drop 100,300 --window 21", "drop-own-tile"},
                  {"--drop 1000,60 --window 21", "drop-split"},
                  {"--drop 3,500", "drop-left-edge"},
                  {"--drop 3,3 --window 22", "drop-top-left-corner"}});
  const std::pair<std::string, std::string> rows[] = {
      {"--drop 9000,3", "No display is under that point.\n"},
      {"--drop 100,100 --window 99", "No window has the id 99.\n"},
  };
  for (const auto& [drop, sentence] : rows) {
    auto result = plan(kLaptop, kNoKestles, drop, false);
    EXPECT_EQ(result.status, 0) << drop;
    EXPECT_EQ(result.out, sentence) << drop;
  }
  for (const char* wrong : {"--drop 1,2,3", "--window 3 kestles://tile",
                            "--drop 1,2 kestles://tile", "--drop 1,2 --window x"}) {
    auto result = plan(kLaptop, kNoKestles, wrong, false);
    EXPECT_EQ(result.status, 1) << wrong;
    EXPECT_NE(result.err.find("--drop X,Y [--window ID]"), std::string::npos) << wrong;
  }
}

TEST_F(PlanCommandGolden, RearrangementsOfATiledDisplay) {
  expectSequence(kLaptop, kNoKestles,
                 {{"kestles://tile?style=main-stack", "tile-main-stack"},
                  {"kestles://rotate", "rotate"},
                  {"kestles://flip/horizontal", "flip"},
                  {"kestles://turn-split", "turn-split"},
                  {"kestles://even-out", "even-out"},
                  {"kestles://gaps/20", "gaps"},
                  {"kestles://swap/left", "swap-left"},
                  {"kestles://focus/right", "focus-right"},
                  {"kestles://tile-or-float", "float"},
                  {"kestles://tile-or-float", "float-back"}});
}

TEST_F(PlanCommandGolden, KestlesLayoutsAndTileForms) {
  const Step kestles[] = {
      {"kestles://kestle/work", "kestle"},
      {"kestles://next-kestle", "next-kestle"},
      {"kestles://layout/Halves", "layout"},
      {"kestles://tile?front-app", "tile-front-app"},
  };
  for (const auto& step : kestles) {
    std::filesystem::remove(statePath());
    expectSequence(kLaptop, kKestles, {step});
  }
  const Step twoDisplays[] = {
      {"kestles://tile?all-displays", "tile-all-displays"},
      {"kestles://tile?display=Studio&app=safari&style=columns", "tile-app-on-display"},
      {"kestles://layout/Thirds?display=Studio%20Display", "layout-on-display"},
  };
  for (const auto& step : twoDisplays) {
    std::filesystem::remove(statePath());
    expectSequence(kTwoDisplays, kNoKestles, {step});
  }
}

// Keep tiled turned on tiles the display; looking again at the world after windows opened
// or closed shows the moves and the message of each manner.
TEST_F(PlanCommandGolden, AKeptDisplayGainsAndLosesWindowsInBothManners) {
  expectSequence(kLaptop, "plan-keep-rearrange.json",
                 {{"kestles://keep-tiled/on", "keep-tiled-on"},
                  {"", "kept-rearrange-closed", "laptop-three-closed.json"},
                  {"", "kept-rearrange-opened", "laptop-three-replaced.json"}});
  std::filesystem::remove(statePath());
  expectSequence(kLaptop, "plan-keep-in-place.json",
                 {{"kestles://keep-tiled/on", "keep-tiled-on"},
                  {"", "kept-in-place-opened", "laptop-three-opened.json"},
                  {"", "kept-in-place-closed", "laptop-three-replaced.json"}});
}

// Turning keep tiled off moves nothing and forgets the display; a look at a display no
// longer kept changes nothing there, and the toggle that turns it on again closes up behind
// the window that left meanwhile.
TEST_F(PlanCommandGolden, KeepTiledOffAndToggle) {
  expectSequence(
      kLaptop, "plan-keep-rearrange.json",
      {{"kestles://keep-tiled/on", "keep-tiled-on"},
       {"kestles://keep-tiled/off", "keep-tiled-off"},
       {"", "kept-off-closed", "laptop-three-closed.json"},
       {"kestles://keep-tiled?display=Built-in", "keep-tiled-toggle", "laptop-three-closed.json"}});
}

// The back swap's world is the world after the forward swap: settling puts tiled windows in
// their tiles, but untiled windows stay where the world file has them.
TEST_F(PlanCommandGolden, SwappingDisplaysForwardAndBack) {
  expectSequence(
      kTwoDisplays, kNoKestles,
      {{"kestles://tile", "swap-displays-tile"},
       {"kestles://swap-displays", "swap-displays"},
       {"kestles://swap-displays/back", "swap-displays-back", "laptop-and-wide-swapped.json"}});
  auto state = nlohmann::json::parse(contents(statePath()));
  EXPECT_EQ(state["tilings"].size(), 1u);
  EXPECT_EQ(state["tilings"]["LAPTOP"]["windows"], nlohmann::json({11, 22}));
}

TEST_F(PlanCommandGolden, SentencesForNamesThatMatchNothingAndNothingToUndo) {
  const std::pair<std::string, std::string> rows[] = {
      {"kestles://kestle/Play", "No kestle matches “Play”. Your kestles: Work, Reading\n"},
      // A name from the link, which any program can send, is printed escaped.
      {"kestles://kestle/Pl%1B%5B2Jay%0Ax",
       "No kestle matches “Pl\\x1B[2Jay\\nx”. Your kestles: Work, Reading\n"},
      {"kestles://layout/Nope",
       "No layout matches “Nope”. Run kestles list layouts to see them all.\n"},
      {"kestles://tile?app=Nope",
       "No open app matches “Nope”. Your open apps: Code (1 window), Safari (2 windows), Terminal "
       "(1 window)\n"},
      {"kestles://tile?display=Side",
       "No connected display matches “Side”. Your displays: Built-in Retina Display\n"},
      {"kestles://keep-tiled?display=Side",
       "No connected display matches “Side”. Your displays: Built-in Retina Display\n"},
      {"kestles://undo", "There’s nothing to undo.\n"},
      {"kestles://redo", "There’s nothing to redo.\n"},
      {"kestles://leave-out?app=Nope",
       "No open app matches “Nope”. Your open apps: Code (1 window), Safari (2 windows), Terminal "
       "(1 window)\n"},
  };
  for (const auto& [link, sentence] : rows) {
    auto result = plan(kLaptop, kKestles, link);
    EXPECT_EQ(result.status, 0) << link;
    EXPECT_EQ(result.out, sentence) << link;
    EXPECT_FALSE(std::filesystem::exists(statePath())) << "nothing to keep after " << link;
  }
  auto empty = plan(kLaptop, kNoKestles, "kestles://kestle/Play");
  EXPECT_EQ(empty.out, "No kestle matches “Play”. There are no kestles yet.\n");
}

// Every dry run records its change as the app does, so undo can be dry-run after it: the
// windows go back, the tilings are gone and the change waits on the redo stack.
TEST_F(PlanCommandGolden, UndoTakesBackTheLastChange) {
  expectSequence(kLaptop, kNoKestles,
                 {{"kestles://tile?style=grid", "tile-grid"},
                  {"kestles://snap/left-half", "tiled-snap-left-half"},
                  {"kestles://undo", "undo-snap"},
                  {"kestles://undo", "undo-tile"}});
  auto world = nlohmann::json::parse(contents(kFixtures / "worlds" / kLaptop));
  auto undone = printed("undo-tile");
  for (const auto& window : world["windows"])
    EXPECT_EQ(undone["frames"][std::to_string(window["id"].get<int>())], window["frame"]);
  EXPECT_EQ(undone["undone"]["title"], "Tile Windows");
  EXPECT_TRUE(undone["state"]["tilings"].empty());
  EXPECT_TRUE(undone["state"]["undo"]["entries"].empty());
  EXPECT_EQ(undone["state"]["undo"]["redoEntries"].size(), 2u);
  auto nothing = plan(kLaptop, kNoKestles, "kestles://undo");
  EXPECT_EQ(nothing.out, "There’s nothing to undo.\n");
}

// A keyboard mode's dry run types the keys given, in order, from the mode's opening; each
// change it makes is recorded for undo. Without keys it shows what the mode puts on screen.
TEST_F(PlanCommandGolden, KeyboardModesTypeTheKeysGiven) {
  expectSequence(kLaptop, kNoKestles,
                 {{"kestles://tile?style=grid", "tile-grid"},
                  {"kestles://hints", "hints-open"},
                  {"kestles://hints", "hints-safari", "", "S"},
                  {"kestles://move-to-tile", "move-to-tile", "", "1"},
                  {"kestles://edit-tiles", "edit-tiles", "", "Alt+Right Return"},
                  {"kestles://undo", "undo-edit-tiles"}});
  std::filesystem::remove(statePath());
  expectSequence(kLaptop, kNoKestles,
                 {{"kestles://pick-windows", "pick-windows", "", "C S Space"},
                  {"kestles://arrange-with-keys", "arrange-with-keys", "", "A R U Escape"}});
  EXPECT_EQ(printed("hints-open")["frames"], nlohmann::json::object());
  EXPECT_FALSE(printed("hints-open")["labels"].empty());
  EXPECT_FALSE(printed("hints-safari").contains("labels"));
  EXPECT_EQ(printed("arrange-with-keys")["undone"]["title"], "Rearrange Tiles");
  for (const char* name : {"move-to-tile", "edit-tiles", "pick-windows"})
    EXPECT_FALSE(printed(name)["state"]["undo"]["entries"].empty()) << name;
}

TEST_F(PlanCommandGolden, KeysGoOnlyWithAKeyboardModesLink) {
  // The help names the keys' option and how they are written.
  auto help = runProcess(kApp, {"plan", "--help"}, {{"HOME", home.path().string()}});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("[--keys KEYS]"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("(“Shift+2 Return Escape”)"), std::string::npos) << help.out;
  auto other = plan(kLaptop, kNoKestles, "kestles://tile", false, "A");
  EXPECT_EQ(other.status, 1);
  EXPECT_EQ(other.err, "kestles-app: Only a keyboard mode’s link takes --keys.\n");
  for (const char* keys : {"Hyper+A", "A Nope"}) {
    auto wrong = plan(kLaptop, kNoKestles, "kestles://hints", false, keys);
    EXPECT_EQ(wrong.status, 1) << keys;
    EXPECT_NE(wrong.err.find("--keys KEYS"), std::string::npos) << wrong.err;
  }
}

TEST_F(PlanCommandGolden, ALinkThatDoesNotDecodeFails) {
  auto result = plan(kLaptop, kKestles, "kestles://sideways");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "kestles-app: That link isn’t a command Kestles knows.\n");
}

// The changed world stands in for both the world and the link, so neither may come with it.
TEST_F(PlanCommandGolden, ChangedTakesNoWorldAndNoLink) {
  auto world = (kFixtures / "worlds" / kLaptop).string();
  const std::vector<std::string> misuses[] = {
      {"plan", "--changed", world, "kestles://tile"},
      {"plan", "--changed", world, "--world", world},
      {"plan", "--changed"},
  };
  for (const auto& arguments : misuses) {
    auto result = runProcess(kApp, arguments, {{"HOME", home.path().string()}, {"DISPLAY", ""}});
    EXPECT_EQ(result.status, 1) << arguments.size();
    EXPECT_NE(result.err.find("“plan” takes"), std::string::npos) << result.err;
  }
}

TEST_F(PlanCommandGolden, WithoutStateNothingIsKeptAndNoStateIsPrinted) {
  auto result = plan(kLaptop, kKestles, "kestles://tile", /*withState=*/false);
  ASSERT_EQ(result.status, 0) << result.err;
  auto printed = nlohmann::json::parse(result.out);
  EXPECT_FALSE(printed.contains("state"));
  EXPECT_EQ(printed["frames"].size(), 4u);
  // A damaged state file reads as empty, says so, and is replaced by the state after.
  std::ofstream(statePath()) << "{\"tilings\": [";
  auto repaired = plan(kLaptop, kKestles, "kestles://tile");
  EXPECT_EQ(repaired.status, 0);
  EXPECT_NE(repaired.err.find("can’t be read"), std::string::npos) << repaired.err;
  EXPECT_EQ(nlohmann::json::parse(contents(statePath())),
            nlohmann::json::parse(repaired.out)["state"]);
}

TEST_F(PlanCommandGolden, TheDefaultWorldIsTheDesktops) {
  std::vector<std::string> arguments{"plan", "kestles://tile"};
  auto result = runProcess(kApp, arguments,
                           {{"HOME", home.path().string()},
                            {"XDG_DATA_HOME", (home.path() / "data").string()},
                            {"DISPLAY", ""},
                            {"KESTLES_PLATFORM", "sim"},
                            {"KESTLES_SIM_WORLD", (kFixtures / "worlds" / kLaptop).string()}});
  ASSERT_EQ(result.status, 0) << result.err;
  auto printed = nlohmann::json::parse(result.out);
  EXPECT_EQ(
      printed["frames"],
      nlohmann::json::parse(plan(kLaptop, kNoKestles, "kestles://tile", false).out)["frames"]);
}

}  // namespace
}  // namespace kestles::testing
