#include "KestlesCore/command/ToolInstall.hpp"

#include <gtest/gtest.h>

namespace kestles {
namespace {

using Place = ToolInstall::Place;
using Plan = ToolInstall::Plan;

const std::string kTarget = "/Applications/Kestles.app/Contents/MacOS/kestles";

TEST(ToolInstall, Plans) {
  struct Row {
    const char* name;
    std::vector<Place> places;
    Plan expected;
  };
  const Row rows[] = {
      {"an existing link wins over an earlier writable folder",
       {{"/usr/local/bin", true, true, std::nullopt}, {"/opt/homebrew/bin", true, false, kTarget}},
       {Plan::Installed{"/opt/homebrew/bin/kestles"}}},
      {"a link elsewhere does not count",
       {{"/usr/local/bin", true, true, "/old/kestles"},
        {"/opt/homebrew/bin", true, true, std::nullopt}},
       {Plan::Link{kTarget, "/usr/local/bin"}}},
      {"the first existing writable folder",
       {{"/usr/local/bin", false, true, std::nullopt},
        {"/opt/homebrew/bin", true, true, std::nullopt}},
       {Plan::Link{kTarget, "/opt/homebrew/bin"}}},
      {"nothing writable",
       {{"/usr/local/bin", true, false, std::nullopt},
        {"/opt/homebrew/bin", false, false, std::nullopt}},
       {Plan::LinkAsAdministrator{kTarget, "/usr/local/bin"}}},
      {"no places at all", {}, {Plan::LinkAsAdministrator{kTarget, "/usr/local/bin"}}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(ToolInstall::plan(kTarget, row.places), row.expected) << row.name;
}

TEST(ToolInstall, AdministratorScriptEscapesTheTarget) {
  EXPECT_EQ(ToolInstall::administratorScript(kTarget, "/usr/local/bin"),
            "do shell script \"mkdir -p /usr/local/bin && ln -sf \" & quoted form of "
            "\"/Applications/Kestles.app/Contents/MacOS/kestles\" & \" /usr/local/bin/kestles\" "
            "with prompt \"Kestles wants to add the kestles command to /usr/local/bin.\" with "
            "administrator privileges");
  EXPECT_EQ(
      ToolInstall::administratorScript(R"(/A "q" \b/kestles)", "/opt/homebrew/bin"),
      R"(do shell script "mkdir -p /opt/homebrew/bin && ln -sf " & quoted form of "/A \"q\" \\b/kestles" & " /opt/homebrew/bin/kestles" with prompt "Kestles wants to add the kestles command to /opt/homebrew/bin." with administrator privileges)");
}

TEST(ToolInstall, TerminalCommandsQuoteForTheShell) {
  EXPECT_EQ(
      ToolInstall::terminalCommand("/Apps/a'b/kestles"),
      R"(sudo mkdir -p /usr/local/bin && sudo ln -sf '/Apps/a'\''b/kestles' /usr/local/bin/kestles)");
  EXPECT_EQ(
      ToolInstall::terminalCommand(R"(/Apps/"x"/kestles)"),
      R"(sudo mkdir -p /usr/local/bin && sudo ln -sf '/Apps/"x"/kestles' /usr/local/bin/kestles)");
  EXPECT_EQ(
      ToolInstall::linuxTerminalCommand("/opt/kestles/bin/kestles", "/home/a b/.local/bin", false),
      "mkdir -p '/home/a b/.local/bin' && ln -sf '/opt/kestles/bin/kestles' "
      "'/home/a b/.local/bin/kestles'");
}

TEST(ToolInstall, LinuxPlanPrefersTheUsersOwnFolder) {
  auto candidates = ToolInstall::linuxCandidates("/home/me");
  ASSERT_EQ(candidates, (std::vector<std::string>{"/home/me/.local/bin", "/usr/local/bin"}));
  std::vector<Place> places{{candidates[0], false, false, std::nullopt},
                            {candidates[1], true, false, std::nullopt}};
  EXPECT_EQ(ToolInstall::plan("/opt/k/kestles", places),
            (Plan{Plan::LinkAsAdministrator{"/opt/k/kestles", "/usr/local/bin"}}));
  places[0] = {candidates[0], true, true, std::nullopt};
  EXPECT_EQ(ToolInstall::plan("/opt/k/kestles", places),
            (Plan{Plan::Link{"/opt/k/kestles", "/home/me/.local/bin"}}));
}

}  // namespace
}  // namespace kestles
