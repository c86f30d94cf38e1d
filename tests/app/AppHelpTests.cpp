#include "KestlesApp/AppHelp.hpp"

#include <gtest/gtest.h>

#include "tests/app/AppCommandHome.hpp"

namespace kestles::app {
namespace {

// `kestles-app --help` answered “There’s no command “--help”.”: both spellings print the
// commands, and every word the help names is one the app takes.
TEST(AppHelpTests, HelpListsEveryCommandAndEachIsTaken) {
  testing::AppCommandHome home;
  for (const char* word : {"--help", "help"}) {
    auto result = home.runApp({word});
    EXPECT_EQ(result.out, appHelpText()) << word;
    EXPECT_EQ(result.err, "") << word;
    EXPECT_EQ(result.status, 0) << word;
  }
  for (const auto& command : appCommands()) {
    if (command.word.empty()) continue;
    EXPECT_NE(appHelpText().find("\n  " + std::string(command.word)), std::string::npos);
    // A word the app did not take would be refused as no command at all.
    auto result = home.runApp({std::string(command.word), "--no-such-option"});
    EXPECT_EQ(result.err.find("There’s no command"), std::string::npos)
        << command.word << ": " << result.err;
  }
  auto unknown = home.runApp({"frobnicate"});
  EXPECT_EQ(
      unknown.err,
      "kestles-app: There’s no command “frobnicate”. Run kestles-app help to see them all.\n");
  EXPECT_EQ(unknown.status, 1);
}

}  // namespace
}  // namespace kestles::app
