// What the tool prints and how it exits once a running app on the simulated desktop has carried
// a command out: silent on success, a sentence when nothing or only part was done.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "KestlesApp/AppLog.hpp"
#include "KestlesCore/text/Text.hpp"
#include "tests/app/AppProcess.hpp"
#include "tests/support/ToolProcess.hpp"

namespace kestles::testing {
namespace {

const std::filesystem::path kTool = std::filesystem::path(KESTLES_BIN_DIR) / "kestles";
const std::filesystem::path kWorlds = std::filesystem::path(KESTLES_FIXTURES) / "worlds";

struct Golden {
  std::vector<std::string> arguments;
  std::string out;
  std::string err;
  int status;
};

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const auto& word : words)
    text += (text.empty() ? "" : " ") + word;
  return text;
}

/// A running app on a world of the fixtures, and the tool run against it with the same
/// folders.
class ToolOutcome : public ::testing::Test {
 protected:
  void start(const std::string& world) {
    worldFile = kWorlds / world;
    app.emplace(runtime.path(), AppProcess::Errors::discarded,
                std::map<std::string, std::string>{{"KESTLES_SIM_WORLD", worldFile.string()}});
    ASSERT_TRUE(app->waitUntilListening());
  }
  ProcessResult tool(const std::vector<std::string>& arguments) const {
    auto environment = appEnvironment(runtime.path());
    environment["KESTLES_SIM_WORLD"] = worldFile.string();
    return runProcess(kTool, arguments, environment);
  }
  /// Runs the rows in order against the same app: each sees what the ones before did.
  void expectInTurn(const std::vector<Golden>& rows) const {
    for (const auto& row : rows) {
      auto result = tool(row.arguments);
      SCOPED_TRACE(joined(row.arguments));
      EXPECT_EQ(result.out, row.out);
      EXPECT_EQ(result.err, row.err);
      EXPECT_EQ(result.status, row.status);
    }
  }
  std::filesystem::path logFile() const { return runtime.path() / "state" / "kestles" / "app.log"; }

  TemporaryFolder runtime;
  std::filesystem::path worldFile;
  std::optional<AppProcess> app;
};

TEST_F(ToolOutcome, SaysWhyNothingWasDoneAndExitsOne) {
  // Each of these used to exit 0 without a word, though no window moved.
  start("laptop-six-terminals.json");
  expectInTurn({
      {{"gaps", "8"}, "", "kestles: The gaps are already 8 pixels.\n", 1},
      {{"--quiet", "gaps", "8"}, "", "", 1},
      {{"layout", "Halves"}, "", "", 0},
      {{"layout", "Halves"}, "", "kestles: The windows already stand in this arrangement.\n", 1},
      {{"-q", "layout", "Halves"}, "", "", 1},
      {{"undo"}, "", "", 0},
      {{"kestles://gaps/8"}, "", "kestles: The gaps are already 8 pixels.\n", 1},
  });
}

TEST_F(ToolOutcome, SaysWhatATileLeftOutAndStillExitsZero) {
  // Six windows and a grid that holds four here: the log said "4 of 4 windows" and the tool
  // nothing at all.
  start("laptop-six-terminals.json");
  expectInTurn({
      {{"tile", "--style", "grid"},
       "",
       "kestles: Tiled 4 of 6 windows on eDP-1: Grid holds at most 4 here; 2 stay where they "
       "were.\n",
       0},
      {{"tile", "--style", "grid", "--quiet"}, "", "", 0},
  });
}

TEST_F(ToolOutcome, WithoutAWindowSaysNoneIsFocused) {
  start("laptop-no-windows.json");
  expectInTurn({
      {{"snap", "left-half"}, "", "kestles: No window is focused.\n", 1},
      {{"make-main"}, "", "kestles: No window is focused.\n", 1},
      {{"tile"}, "", "kestles: There are no windows to tile.\n", 1},
  });
}

TEST_F(ToolOutcome, StatusKeysAndQuit) {
  start("laptop-six-terminals.json");
  auto status = tool({"status"});
  EXPECT_EQ(status.status, 0);
  EXPECT_EQ(status.err, "");
  auto lines = linesOf(status.out);
  ASSERT_EQ(lines.size(), 5u) << status.out;
  EXPECT_EQ(lines[0], "Kestles is running on the simulated desktop (process " +
                          std::to_string(app->pid()) + ").");
  EXPECT_EQ(lines[1], "Keep tiled: off.");
  EXPECT_TRUE(lines[2].starts_with("Keys it holds: ")) << lines[2];
  EXPECT_EQ(lines[3], "Keys another program holds: none.");
  EXPECT_EQ(lines[4], "Log: " + logFile().string());

  ASSERT_EQ(tool({"keep-tiled", "on"}).status, 0);
  EXPECT_EQ(linesOf(tool({"status"}).out).at(1), "Keep tiled: on for eDP-1.");

  auto keys = tool({"keys"});
  EXPECT_EQ(keys.status, 0);
  auto keyLines = linesOf(keys.out);
  ASSERT_FALSE(keyLines.empty());
  // Every binding is one line: its key, what it does, and that the app holds it; the
  // columns line up.
  auto stateColumn = [](const std::string& line) {
    return text::characterCount(line.substr(0, line.rfind("  held")));
  };
  for (const auto& line : keyLines) {
    EXPECT_TRUE(line.ends_with("  held")) << line;
    EXPECT_EQ(stateColumn(line), stateColumn(keyLines.front())) << line;
  }

  expectInTurn({{{"quit"}, "", "", 0}});
  EXPECT_EQ(app->exitStatus(std::chrono::milliseconds(5000)), 0);
  expectInTurn({
      {{"status"}, "Kestles isn’t running.\nLog: " + logFile().string() + "\n", "", 3},
      {{"quit"}, "", "kestles: Kestles isn’t running.\n", 1},
  });
  EXPECT_FALSE(std::filesystem::exists(socketIn(runtime.path()))) << "status and quit start no app";
}

TEST_F(ToolOutcome, TheSchemeHandlersOutcomeIsANotice) {
  // A link opened by another program has no terminal to print on: the app shows the outcome
  // as a notice (here its copy in the log) and still answers.
  start("laptop-no-windows.json");
  auto socket = socketIn(runtime.path());
  EXPECT_EQ(ask(socket, "notify kestles://snap/left-half\n"), "error No window is focused.");
  EXPECT_EQ(ask(socket, "notify kestles://fly\n"),
            "error That link isn’t a command Kestles knows.");
  EXPECT_EQ(ask(socket, "kestles://make-main\n"), "error No window is focused.");
  app->stop();
  std::ifstream file(logFile());
  std::stringstream log;
  log << file.rdbuf();
  EXPECT_NE(log.str().find("Kestles: No window is focused."), std::string::npos) << log.str();
  EXPECT_NE(log.str().find("Kestles: That link isn’t a command Kestles knows."), std::string::npos);
  // The tool's own commands print their outcome; the notice is for the handler alone.
  EXPECT_EQ(log.str().find("Received kestles://make-main") != std::string::npos, true);
  EXPECT_EQ(log.str().find("Kestles: No window is focused.", log.str().find("make-main")),
            std::string::npos);
}

TEST_F(ToolOutcome, StartedWithoutATerminalTheAppLogsToAFileWithTimes) {
  // Started by the tool, the app's log went to /dev/null.
  if (std::filesystem::exists("/run/systemd/journal/socket"))
    GTEST_SKIP() << "this machine's journal takes the log";
  start("laptop-six-terminals.json");
  ASSERT_EQ(tool({"snap", "left-half"}).status, 0);
  app->stop();
  std::ifstream file(logFile());
  std::string line;
  bool found = false;
  const std::regex timed(
      R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} engine info: Received kestles://snap/left-half)");
  while (std::getline(file, line))
    found = found || std::regex_match(line, timed);
  EXPECT_TRUE(found) << "no timed line for the link in " << logFile();
}

TEST(FileLog, KeepsOneOldFileAndStaysWithinItsBound) {
  TemporaryFolder folder;
  auto file = folder.path() / "kestles" / "app.log";
  constexpr std::uintmax_t kBound = 400;
  {
    app::FileLog log(file, platform::LogLevel::info, kBound);
    log.write({platform::LogLevel::debug, platform::LogCategory::engine, "not kept"});
    for (int i = 0; i < 40; ++i)
      log.write({platform::LogLevel::info, platform::LogCategory::engine,
                 "line " + std::to_string(i) + " with a\nbreak"});
  }
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_LE(std::filesystem::file_size(file), kBound);
  EXPECT_LE(std::filesystem::file_size(file.string() + ".1"), kBound);
  EXPECT_FALSE(std::filesystem::exists(file.string() + ".2"));
  std::ifstream now(file);
  std::string last;
  for (std::string line; std::getline(now, line);)
    last = line;
  EXPECT_TRUE(last.ends_with(" engine info: line 39 with a\\nbreak")) << last;
  std::ifstream old(file.string() + ".1");
  std::stringstream oldText;
  oldText << old.rdbuf();
  EXPECT_EQ(oldText.str().find("not kept"), std::string::npos);
}

}  // namespace
}  // namespace kestles::testing
