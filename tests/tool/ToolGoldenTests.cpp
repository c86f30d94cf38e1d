// Runs the built `kestles` and compares its standard output, standard error and exit status
// byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "tests/tool/ToolGoldenFixture.hpp"

namespace kestles::testing {
namespace {

namespace fs = std::filesystem;

/// The tool's own commands and the delivery of links.
class ToolGolden : public ToolGoldenFixture {
 protected:
  void turnDebugLinks(const std::string& value) const {
    fs::create_directories(home.path() / "config" / "kestles");
    std::ofstream(home.path() / "config" / "kestles" / "defaults.json")
        << R"({"co.quillmoss.Kestles": {"KestlesDebugLinks": )" << value << "}}";
  }
  /// A copy of the tool in a folder of its own, with no app beside it.
  fs::path loneTool() const {
    auto folder = home.path() / "bin";
    fs::create_directories(folder);
    fs::copy_file(kTool, folder / "kestles");
    return folder / "kestles";
  }
};

TEST_F(ToolGolden, PrintsTheHelpTextWithNoArgumentsAndForHelp) {
  auto expected = fileContents(fs::path(KESTLES_FIXTURES) / "help.txt") + "\n";
  for (const auto& arguments : {std::vector<std::string>{}, {"help"}, {"-H"}}) {
    auto result = run(arguments);
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }
}

TEST_F(ToolGolden, PrintsTheAppsVersionOrSaysThereIsNoApp) {
  auto beside = run({"--version"});
  EXPECT_EQ(beside.out, "kestles " KESTLES_VERSION "\n");
  EXPECT_EQ(beside.status, 0);
  auto alone = run({"--version"}, loneTool());
  EXPECT_EQ(alone.out, "kestles (not in Kestles.app)\n");
  EXPECT_EQ(alone.err, "");
  EXPECT_EQ(alone.status, 0);
}

TEST_F(ToolGolden, ParseErrorsGoToStandardErrorAlone) {
  struct Row {
    std::vector<std::string> arguments;
    std::string err;
  };
  const Row rows[] = {
      {{"next", "now"}, "kestles: next takes nothing more, not “now”.\n"},
      {{"KESTLE"}, "kestles: kestle needs a kestle’s name or number, like: kestles kestle Code\n"},
      {{"gaps", "25"}, "kestles: Gaps go from 0 to 24 pixels, not 25.\n"},
      {{"tile", "-a"}, "kestles: -a needs an app’s name, like: --app Firefox\n"},
      {{"show-me", "panel"},
       "kestles: There’s nothing to show for panel. Lessons: tiling, snapping, kestles, "
       "arrange-with-keys, window-hints, pick-windows, move-to-tile, edit-tiles, keep-tiled, "
       "assistant\n"},
      {{"Fly"}, "kestles: There’s no command “Fly”. Run kestles help to see them all.\n"},
  };
  for (const auto& row : rows) {
    auto result = run(row.arguments);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, row.err);
    EXPECT_EQ(result.status, 1);
  }
}

TEST_F(ToolGolden, SendsEachCommandAsItsLink) {
  useLibrary();
  FakeApp app(home.path() / "run");
  struct Row {
    std::vector<std::string> arguments;
    std::string link;
  };
  const std::vector<Row> rows = {
      {{"kestle", "Deep", "Work"}, "kestles://kestle/Deep%20Work"},
      {{"next"}, "kestles://next-kestle"},
      {{"layout", "Réading Room", "-d", "Studio"},
       "kestles://layout/R%C3%A9ading%20Room?display=Studio"},
      {{"tile", "--style", "spiral"}, "kestles://tile?style=spiral"},
      {{"tile", "-d", "Studio Display", "--front-app", "-s", "spiral"},
       "kestles://tile?display=Studio%20Display&front-app&style=spiral"},
      {{"tile", "--all-displays"}, "kestles://tile?all-displays"},
      {{"snap", "Left", "Half"}, "kestles://snap/left-half"},
      {{"swap", "displays", "back"}, "kestles://swap-displays/back"},
      {{"gaps", "0"}, "kestles://gaps/0"},
      {{"keep-tiled"}, "kestles://keep-tiled"},
      {{"leave-out", "on", "--app", "Terminal"}, "kestles://leave-out/on?app=Terminal"},
      {{"open", "keys"}, "kestles://open/keys"},
      {{"undo"}, "kestles://undo"},
  };
  std::vector<std::string> expected;
  for (const auto& row : rows) {
    auto result = run(row.arguments);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
    expected.push_back(row.link);
  }
  EXPECT_EQ(app.received(), expected);
}

TEST_F(ToolGolden, HandsOnALinkGivenWholeAsTheSchemeHandler) {
  FakeApp app(home.path() / "run");
  EXPECT_EQ(run({"KESTLES://snap/left-half"}).status, 0);
  auto refused = run({"kestles://no-such-command"});
  EXPECT_EQ(refused.err, "kestles: That link isn’t a command Kestles knows.\n");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(app.received(), std::vector<std::string>{"KESTLES://snap/left-half"});
}

TEST_F(ToolGolden, DebugLinksAreSentOnlyWhenTurnedOn) {
  FakeApp app(home.path() / "run");
  const std::string off =
      "kestles: Debug links are off. Turn them on with: kestles-app defaults write "
      "co.quillmoss.Kestles KestlesDebugLinks -bool true\n";
  EXPECT_EQ(run({"debug", "close"}).err, off);
  turnDebugLinks("\"true\"");  // a string is not a boolean
  EXPECT_EQ(run({"debug", "close"}).err, off);
  turnDebugLinks("false");
  EXPECT_EQ(run({"debug", "close"}).err, off);
  EXPECT_TRUE(app.received().empty());
  turnDebugLinks("true");
  auto result = run({"debug", "appearance", "dark"});
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(app.received(), std::vector<std::string>{"kestles://debug/appearance/dark"});
}

TEST_F(ToolGolden, FailsWhenTheAppCannotBeReached) {
  auto nobody = run({"undo"}, loneTool());
  EXPECT_EQ(nobody.err,
            "kestles: Couldn’t reach Kestles: it isn’t running, and there’s no kestles-app beside "
            "kestles to start.\n");
  EXPECT_EQ(nobody.status, 1);

  {
    // The app was reached; it says why it did nothing.
    FakeApp refusing(home.path() / "run", "error That link isn’t one Kestles knows.");
    auto refused = run({"undo"});
    EXPECT_EQ(refused.err, "kestles: That link isn’t one Kestles knows.\n");
    EXPECT_EQ(refused.status, 1);
  }

  FakeApp listening(home.path() / "run");
  chmod((home.path() / "run" / "kestles").c_str(), 0755);  // others may enter: not private
  auto open = run({"undo"});
  EXPECT_EQ(open.err, "kestles: Couldn’t reach Kestles: its folder " +
                          (home.path() / "run" / "kestles").string() +
                          " isn’t a private folder of yours, so Kestles won’t use it.\n");
  EXPECT_EQ(open.status, 1);
  EXPECT_TRUE(listening.received().empty());
}

TEST_F(ToolGolden, StartsTheAppBesideItWhenNothingListens) {
  // The app started and answered: this world has nothing to tile.
  auto result = run({"tile", "--style", "grid"});
  EXPECT_EQ(result.err, "kestles: There are no windows to tile.\n");
  EXPECT_EQ(result.status, 1);
  auto folder = home.path() / "run" / "kestles";
  struct stat status {};
  ASSERT_EQ(lstat(folder.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  // The app it started keeps serving the next command.
  EXPECT_EQ(run({"gaps", "wider"}).status, 0);
  EXPECT_EQ(run({"undo"}, kTool).err, "");
  EXPECT_EQ(run({"undo"}, kTool).err, "kestles: There’s nothing to undo.\n");
  EXPECT_TRUE(stopListener(folder / "app.sock"));
}

}  // namespace
}  // namespace kestles::testing
