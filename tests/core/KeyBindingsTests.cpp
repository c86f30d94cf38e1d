#include "KestlesCore/command/KeyBindings.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "KestlesCore/settings/Settings.hpp"

namespace kestles {
namespace {

const KeyBinding* bindingFor(const KeyBindings& keys, const KestlesCommand& command) {
  auto found = std::find_if(keys.bindings.begin(), keys.bindings.end(),
                            [&](const auto& binding) { return binding.command == command; });
  return found == keys.bindings.end() ? nullptr : &*found;
}

TEST(KeyBindingsTests, EveryDefaultKeyRunsItsCommandAndNoKeyRunsTwo) {
  Library library;
  auto keys = KeyBindings::of(library);
  for (auto command : allKeyCommands()) {
    auto binding = bindingFor(keys, commandOf(command));
    EXPECT_EQ(binding != nullptr, defaultKeys(command).has_value()) << rawValue(command);
    if (binding) {
      EXPECT_EQ(binding->combo, *defaultKeys(command));
    }
  }
  for (std::size_t i = 0; i < keys.bindings.size(); ++i)
    for (std::size_t j = i + 1; j < keys.bindings.size(); ++j)
      EXPECT_NE(keys.bindings[i].combo, keys.bindings[j].combo) << keys.bindings[j].title;
}

TEST(KeyBindingsTests, AKeyGivenTwiceGoesToTheFirstAndTheSecondIsAClash) {
  Library library;
  KeyCombo combo{11, KeyModifiers{KeyModifiers::command | KeyModifiers::option}};
  library.settings.commandShortcuts = {{KeyCommand::makeMain, combo}};
  library.settings.shortcuts = {{SnapAction::almostMaximize, combo}};
  auto keys = KeyBindings::of(library);
  EXPECT_EQ(bindingFor(keys, commandOf(KeyCommand::makeMain))->combo, combo);
  ASSERT_EQ(keys.clashes.size(), 1u);
  EXPECT_EQ(keys.clashes[0].command,
            (KestlesCommand{KestlesCommand::Snap{SnapAction::almostMaximize}}));

  library.settings.snapKeysEnabled = false;
  EXPECT_TRUE(KeyBindings::of(library).clashes.empty());
}

// A default on a combination the user gave to something else gives way: the user's key runs
// and nothing clashes.
TEST(KeyBindingsTests, AUsersKeyTakesADefaultsCombinationWithoutAClash) {
  Library library;
  auto snapKey = defaultKeys(SnapAction::leftHalf);
  ASSERT_TRUE(snapKey);
  library.settings.setKeys(KeyCommand::makeMain, snapKey);
  auto keys = KeyBindings::of(library);
  EXPECT_EQ(bindingFor(keys, commandOf(KeyCommand::makeMain))->combo, *snapKey);
  EXPECT_EQ(bindingFor(keys, {KestlesCommand::Snap{SnapAction::leftHalf}}), nullptr);
  EXPECT_TRUE(keys.clashes.empty());
}

TEST(KeyBindingsTests, DigitKeysOpenTheNumberedKestlesAndLayouts) {
  Library library;
  auto code = library.addKestle(Kestle::make("Code"));
  auto numbered = code;
  numbered.number = 2;
  library.updateKestle(numbered);
  library.addKestle(Kestle::make("Unnumbered"));
  auto keys = KeyBindings::of(library);
  auto binding = bindingFor(keys, {KestlesCommand::Kestle{"Code"}});
  ASSERT_NE(binding, nullptr);
  EXPECT_EQ(binding->combo, library.settings.keys(ShortcutUse::kestles())[1]);
  EXPECT_EQ(binding->title, "Kestle “Code”");
  EXPECT_EQ(bindingFor(keys, {KestlesCommand::Kestle{"Unnumbered"}}), nullptr);
}

}  // namespace
}  // namespace kestles
