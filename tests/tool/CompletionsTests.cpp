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
                                           "swap",   "flip",   "snap",   "gaps", "debug",   "save"};
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

// Kestle and layout names come from the library when the shell completes, file names for the
// archives; each is read by the command that takes it.
TEST(CompletionsTests, NamesComeFromTheLibraryAndFilesFromTheFolder) {
  auto words = completionWords();
  EXPECT_EQ(words.looked, (std::map<std::string, std::string>{{"export", "files"},
                                                              {"import", "files"},
                                                              {"kestle", "kestles"},
                                                              {"layout", "layouts"},
                                                              {"save", "kestles"}}));
  for (const auto& [command, looked] : words.looked) {
    if (looked != "files") {
      EXPECT_TRUE(parses({"list", looked})) << looked;
    }
  }
  auto bash = *completionScript("bash");
  EXPECT_NE(bash.find("layout) local IFS=$'\\n'; COMPREPLY=($(compgen -W \"$(kestles list layouts "
                      "2>/dev/null)\"$'\\n'\"--display\""),
            std::string::npos)
      << bash;
  EXPECT_NE(bash.find("import) compopt -o filenames"), std::string::npos);
  EXPECT_NE(completionScript("fish")->find(
                "__fish_seen_subcommand_from kestle' -a '(kestles list kestles"),
            std::string::npos);
}

}  // namespace
}  // namespace kestles::tool
