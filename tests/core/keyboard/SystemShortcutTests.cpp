#include "KestlesCore/keyboard/SystemShortcut.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "KestlesCore/keyboard/KeyHolder.hpp"
#include "KestlesCore/keyboard/ShortcutClash.hpp"
#include "KestlesCore/keyboard/SystemShortcutTakeover.hpp"

namespace kestles {
namespace {

constexpr int kControl = KeyModifiers::control;
constexpr int kOption = KeyModifiers::option;
constexpr int kCommand = KeyModifiers::command;

SystemShortcut shortcut(int id, int keyCode, int modifiers, bool isOn = true) {
  return {id, {keyCode, KeyModifiers{modifiers}}, isOn};
}

TEST(SystemShortcutTests, Titles) {
  struct Case {
    int id;
    const char* title;
  };
  const Case cases[] = {
      {7, "Move focus to the menu bar"},
      {32, "Mission Control"},
      {34, "Mission Control"},
      {35, "Application windows"},
      {82, "Move right a space"},
      {118, "Switch to Desktop 1"},
      {120, "Switch to Desktop 3"},
      {133, "Switch to Desktop 16"},
      {134, "Shortcut 134"},
      {117, "Shortcut 117"},
      {184, "Screenshot and recording options"},
      {200, "Shortcut 200"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SystemShortcut::title(c.id), c.title) << c.id;
}

TEST(SystemShortcutTests, SummaryAndCombos) {
  auto left = shortcut(79, 123, kControl), right = shortcut(81, 124, kControl);
  auto up = shortcut(32, 126, kControl), down = shortcut(33, 125, kControl);
  auto spotlight = shortcut(64, 49, kCommand);
  EXPECT_EQ(SystemShortcut::summary({left, spotlight}),
            "⌃← Move left a space\n⌘Space Show Spotlight search");
  EXPECT_EQ(SystemShortcut::summary({}), "");

  struct Case {
    const char* name;
    std::vector<SystemShortcut> shortcuts;
    const char* combos;
  };
  const Case cases[] = {
      {"none", {}, ""},
      {"one", {spotlight}, "⌘Space"},
      {"two", {left, right}, "⌃← and ⌃→"},
      {"three", {left, right, spotlight}, "⌃←, ⌃→, and ⌘Space"},
      {"the four arrows together", {spotlight, down, left, up, right}, "⌘Space and ⌃←→↑↓"},
      {"arrows with other modifiers stay apart",
       {left, right, up, shortcut(80, 125, kControl | kOption)},
       "⌃←, ⌃→, ⌃↑, and ⌃⌥↓"},
      {"a combination listed once", {shortcut(32, 126, kControl), up}, "⌃↑"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SystemShortcut::combos(c.shortcuts), c.combos) << c.name;
}

TEST(ShortcutClashTests, ShortcutsThatAreOnClashWithTheirUse) {
  Settings settings;  // snap keys on: ⌃← is Left Half; ⌃1 to ⌃9 are the kestle keys
  settings.kestleModifiers = KeyModifiers{kControl};
  settings.layoutModifiers = KeyModifiers{kControl | kOption};
  settings.setKeys(SnapAction::leftHalf, KeyCombo{123, KeyModifiers{kControl}});
  settings.setKeys(KeyCommand::rotate, KeyCombo{49, KeyModifiers{kCommand}});
  auto spaceLeft = shortcut(79, 123, kControl);
  auto desktop1 = shortcut(118, 18, kControl);
  auto spotlight = shortcut(64, 49, kCommand);
  auto layouts = shortcut(150, 19, kControl | kOption);
  auto unused = shortcut(12, 96, kControl);
  auto off = shortcut(80, 124, kControl, false);

  auto clashes =
      ShortcutClash::clashes({spaceLeft, desktop1, spotlight, layouts, unused, off}, settings);
  EXPECT_EQ(clashes, (std::vector<ShortcutClash>{
                         {spaceLeft, ShortcutUse::snap(SnapAction::leftHalf)},
                         {desktop1, ShortcutUse::kestles()},
                         {spotlight, ShortcutUse::command(KeyCommand::rotate)},
                         {layouts, ShortcutUse::layouts()},
                     }));

  settings.snapKeysEnabled = false;
  EXPECT_EQ(ShortcutClash::clashes({spaceLeft}, settings), std::vector<ShortcutClash>{});

  std::hash<ShortcutClash> hash;
  EXPECT_EQ(hash(clashes[0]), hash({spaceLeft, ShortcutUse::snap(SnapAction::leftHalf)}));
  EXPECT_NE(hash(clashes[0]), hash({spaceLeft, ShortcutUse::snap(SnapAction::rightHalf)}));
}

TEST(KeyHolderTests, TheSystemFirstThenOtherApps) {
  KeyCombo combo{123, KeyModifiers{kControl}};
  auto on = shortcut(79, 123, kControl);
  auto off = shortcut(79, 123, kControl, false);
  std::unordered_set<KeyCombo> held{combo};
  EXPECT_EQ(KeyHolder::holder(combo, {on}, held), KeyHolder::macOS(on));
  EXPECT_EQ(KeyHolder::holder(combo, {off}, held), KeyHolder::otherApp());
  EXPECT_EQ(KeyHolder::holder(combo, {off}, {}), std::nullopt);
  EXPECT_EQ(KeyHolder::holder({124, KeyModifiers{kControl}}, {on}, held), std::nullopt);
}

TEST(SystemShortcutTakeoverTests, UpdatesTurnOffExactlyWhatClashes) {
  SystemShortcutTakeover takeover;
  auto a = shortcut(79, 123, kControl), b = shortcut(81, 124, kControl),
       c = shortcut(118, 18, kControl);
  using Change = SystemShortcutTakeover::Change;
  EXPECT_EQ(takeover.update({a, b}, true), (Change{{79, 81}, {}}));
  EXPECT_EQ(takeover.update({a, b}, true), (Change{}));
  EXPECT_EQ(takeover.update({b, c}, true), (Change{{118}, {79}}));
  EXPECT_EQ(takeover.turnedOff, (std::set<int>{81, 118}));
  // Turning the setting off gives every one back.
  EXPECT_EQ(takeover.update({b, c}, false), (Change{{}, {81, 118}}));
  EXPECT_TRUE(takeover.turnedOff.empty());
}

TEST(SystemShortcutTakeoverTests, RestoreWritesBackOnlyWhatIsStillOff) {
  SystemShortcutTakeover takeover;
  takeover.turnedOff = {79, 81, 118};
  auto restored =
      takeover.restore({shortcut(79, 123, kControl, false), shortcut(81, 124, kControl, true)});
  EXPECT_EQ(restored, (std::vector<SystemShortcut>{shortcut(79, 123, kControl, true)}));
  EXPECT_TRUE(takeover.turnedOff.empty());
  // Taking over again after a restore turns them off anew.
  EXPECT_EQ(takeover.update({shortcut(79, 123, kControl)}, true).turnOff, (std::set<int>{79}));
}

TEST(SystemShortcutTakeoverTests, JSON) {
  SystemShortcutTakeover takeover;
  takeover.turnedOff = {79, 118};
  nlohmann::json json = takeover;
  EXPECT_EQ(json.dump(), R"({"turnedOff":[79,118]})");
  auto read =
      nlohmann::json::parse(R"({"turnedOff":[79,"x",118.5,120]})").get<SystemShortcutTakeover>();
  EXPECT_EQ(read.turnedOff, (std::set<int>{79, 120}));
  EXPECT_TRUE(nlohmann::json::parse("[]").get<SystemShortcutTakeover>().turnedOff.empty());
}

}  // namespace
}  // namespace kestles
