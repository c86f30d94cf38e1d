#include "kestles/Completions.hpp"

#include <gtest/gtest.h>

#include <set>

#include "kestles/CLIParser.hpp"

namespace kestles::tool {
namespace {

bool parses(std::vector<std::string> arguments) {
  return std::holds_alternative<CLIRequest>(parseArguments(arguments));
}

TEST(CompletionsTests, EveryOfferedWordIsOneTheToolReads) {
  auto words = completionWords();
  // Commands that need a value are checked with each value they are offered.
  const std::set<std::string> needValue = {"kestle", "layout", "import", "tip",  "show-me", "focus",
                                           "swap",   "flip",   "snap",   "gaps", "debug"};
  for (const auto& command : words.commands) {
    EXPECT_TRUE(needValue.contains(command) || parses({command})) << command;
  }
  for (const auto& [command, following] : words.following) {
    for (const auto& word : following) {
      // The tile styles follow "--style", not "tile" itself.
      bool wordAfterCommand = !word.starts_with("--") && command != "tile";
      EXPECT_TRUE(!wordAfterCommand || parses({command, word})) << command << ' ' << word;
    }
  }
  EXPECT_EQ(words.following["tile"].front(), "--display");
}

TEST(CompletionsTests, EachShellGetsAScriptAndOthersNone) {
  for (const char* shell : {"bash", "zsh", "fish"}) {
    auto script = completionScript(shell);
    ASSERT_TRUE(script) << shell;
    EXPECT_NE(script->find("left-half"), std::string::npos) << shell;
    EXPECT_NE(script->find("keep-tiled"), std::string::npos) << shell;
  }
  EXPECT_EQ(completionScript("tcsh"), std::nullopt);
}

}  // namespace
}  // namespace kestles::tool
