// The command vocabulary as one table: every command reads from the command line, travels in a
// link and is offered by the shells, all through the same words.
#include "KestlesCore/command/CommandVocabulary.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/command/PlainCommand.hpp"
#include "kestles/CLIParser.hpp"
#include "kestles/Completions.hpp"
#include "kestles/HelpText.hpp"

namespace kestles {
namespace {

using C = KestlesCommand;

struct Case {
  KestlesCommand command;
  std::vector<std::string> arguments;  // as typed after `kestles`
};

/// One case at least for every alternative of the command, and one for every plain command.
std::vector<Case> cases() {
  std::vector<Case> all{
      {{C::Kestle{"Deep Work"}}, {"kestle", "Deep", "Work"}},
      {{C::Layout{"Halves", "Studio"}}, {"layout", "Halves", "--display", "Studio"}},
      {{C::Tile{std::nullopt, TileApps::named("Safari"), TilingStyle::spiral}},
       {"tile", "--app", "Safari", "--style", "spiral"}},
      {{C::TileAllDisplays{TilingStyle::grid}}, {"tile", "--all-displays", "--style", "grid"}},
      {{C::SwapDisplays{-1}}, {"swap-displays", "back"}},
      {{C::Snap{SnapAction::leftHalf}}, {"snap", "left-half"}},
      {{C::Focus{TileEdge::top}}, {"focus", "up"}},
      {{C::Swap{TileEdge::left}}, {"swap", "left"}},
      {{C::RetileTiles{Retile::rotate(-1)}}, {"rotate", "back"}},
      {{C::RetileTiles{Retile::flip(Retile::Flip::vertical)}}, {"flip", "vertical"}},
      {{C::Gaps{GapsChange{GapsChange::Wider{}}}}, {"gaps", "wider"}},
      {{C::KeepTiled{true, "Studio"}}, {"keep-tiled", "on", "--display", "Studio"}},
      {{C::LeaveOut{false, "Safari"}}, {"leave-out", "off", "--app", "Safari"}},
      {{C::Open{KestlesPage::keys}}, {"open", "keys"}},
      {{C::Tour{Lesson::snapping}}, {"tour", "snapping"}},
      {{C::ShowMe{Lesson::tiling}}, {"show-me", "tiling"}},
      {{C::Welcome{std::nullopt}}, {"welcome"}},
      {{C::ShowTip{Tip::keepTiled}}, {"tip", "keep-tiled"}},
      {{C::Save{"Deep Work", true}}, {"save", "--update", "Deep", "Work"}},
      {{C::Debug{DebugCommand{DebugCommand::Close{}}}}, {"debug", "close"}},
  };
  for (const auto& plain : plainCommands())
    all.push_back({plain.command, {std::string(plain.commandLineWords.front())}});
  return all;
}

TEST(CommandVocabularyTests, EveryCommandIsReadWrittenAsALinkAndOffered) {
  auto offered = tool::completionWords().commands;
  std::set<std::size_t> alternatives;
  std::set<CommandName> names;
  for (const auto& [command, arguments] : cases()) {
    auto link = commandLink(command);
    SCOPED_TRACE(link);
    alternatives.insert(command.value.index());
    EXPECT_EQ(decodeCommandLink(link), command);
    auto parsed = tool::parseArguments(arguments);
    const auto* request = std::get_if<tool::CLIRequest>(&parsed);
    ASSERT_TRUE(request) << std::get<Failure>(parsed).message;
    EXPECT_EQ(request->value, (tool::CLIRequest{tool::CLIRequest::Send{command}}.value));
    EXPECT_NE(std::ranges::find(offered, arguments.front()), offered.end());
    // The link's host is the command's word.
    if (auto name = commandNameOf(command)) {
      names.insert(*name);
      EXPECT_EQ(arguments.front(), commandWord(*name));
      EXPECT_TRUE(link.starts_with("kestles://" + std::string(commandWord(*name))));
    }
  }
  EXPECT_EQ(alternatives.size(), std::variant_size_v<KestlesCommand::Value>);
  EXPECT_EQ(names.size(), allCommandNames().size());
}

TEST(CommandVocabularyTests, TheHelpTextListsEveryCommand) {
  auto help = tool::helpText();
  auto lists = [&](std::string_view word) {
    return help.find("\n  " + std::string(word) + " ") != std::string::npos ||
           help.find("\n  " + std::string(word) + ",") != std::string::npos ||
           help.find(", " + std::string(word) + " ") != std::string::npos;
  };
  for (const auto& plain : plainCommands())
    EXPECT_TRUE(std::ranges::any_of(plain.commandLineWords, lists)) << plain.linkHost;
  for (auto name : allCommandNames()) {
    // Debug links are for trying the app's own windows out, and are off unless turned on;
    // the settings window and the tour are not part of Kestles on this desktop.
    if (name == CommandName::debug || name == CommandName::open || name == CommandName::tour ||
        name == CommandName::showMe || name == CommandName::welcome || name == CommandName::tip)
      continue;
    EXPECT_TRUE(lists(commandWord(name))) << commandWord(name);
  }
}

TEST(CommandVocabularyTests, WordsNameOneThingEach) {
  std::set<std::string_view> words;
  for (auto word : commandLineWords())
    EXPECT_TRUE(words.insert(word).second) << word;
  for (const auto& plain : plainCommands())
    EXPECT_FALSE(commandNameOfWord(plain.linkHost)) << plain.linkHost;
  // Record links share the scheme: no command may take their host.
  EXPECT_FALSE(commandNameOfWord("record"));
  EXPECT_EQ(plainCommandWithHost("record"), nullptr);
}

}  // namespace
}  // namespace kestles
