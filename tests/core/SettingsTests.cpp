#include "KestlesCore/settings/Settings.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include <nlohmann/json.hpp>

namespace kestles {
namespace {

using nlohmann::json;

constexpr int kCtrl = KeyModifiers::control;
constexpr int kOpt = KeyModifiers::option;
constexpr int kShift = KeyModifiers::shift;
constexpr int kCmd = KeyModifiers::command;

KeyCombo combo(int keyCode, int modifiers) {
  return {keyCode, KeyModifiers{modifiers}};
}

Settings decoded(const char* text) {
  return json::parse(text).get<Settings>();
}

TEST(Settings, EmptyObjectGivesEveryDefault) {
  auto settings = decoded("{}");
  EXPECT_EQ(settings, Settings{});
  EXPECT_EQ(settings.gaps, (Gaps{8, 8}));
  EXPECT_EQ(settings.tilingStyle, TilingStyle::grid);
  EXPECT_EQ(settings.tileChanges, TileChanges::rearrange);
  EXPECT_EQ(settings.panelTrigger, PanelTrigger::keys(combo(35, kCmd | kOpt)));
  EXPECT_EQ(settings.kestleModifiers.rawValue, kCmd);
  EXPECT_EQ(settings.layoutModifiers.rawValue, kCmd | kOpt);
  EXPECT_TRUE(settings.snapKeysEnabled && settings.snapFlashEnabled &&
              settings.dragToZonesEnabled && settings.edgeZonesEnabled &&
              settings.resizesNeighbours && settings.restoresSizeOnDragOut &&
              settings.adaptsToDisplays && settings.rulesEnabled && settings.tilesComeBack &&
              settings.showsUndoToast && settings.showsTips && settings.assistantEnabled);
  EXPECT_FALSE(settings.takesSystemShortcuts);
  EXPECT_TRUE(settings.keptTiled.empty() && settings.floatingApps.empty() &&
              settings.commandShortcuts.empty() && settings.shortcuts.empty());
}

TEST(Settings, WrongValuesKeepTheirDefaults) {
  for (const char* text : {
           R"({"tilingStyle": "zigzag"})",
           R"({"tilingStyle": 2})",
           R"({"tileChanges": "sideways"})",
           R"({"gaps": "wide"})",
           R"({"panelTrigger": {"keys": {"keyCode": "a"}}})",
           R"({"panelTrigger": 3})",
           R"({"kestleModifiers": "ctrl"})",
           R"({"layoutModifiers": 3.5})",
           R"({"showsTips": "yes"})",
           R"({"takesSystemShortcuts": 1})",
           R"({"commandShortcuts": {"command": "undo"}})",
           R"({"keptTiled": "D1"})",
           R"({"floatingApps": null})",
       }) {
    EXPECT_EQ(decoded(text), Settings{}) << text;
  }
}

TEST(Settings, ReadsEachField) {
  auto settings = decoded(R"({
    "gaps": {"inner": 4, "outer": 12}, "tilingStyle": "spiral", "tileChanges": "inPlace",
    "panelTrigger": {"off": true}, "kestleModifiers": 9, "layoutModifiers": 10,
    "snapKeysEnabled": false, "takesSystemShortcuts": true, "tilesComeBack": false,
    "keptTiled": ["D2", 7, "D1"], "floatingApps": [{"bundleID": "a"}, {}],
    "commandShortcuts": [{"command": "undo", "keys": {"keyCode": 6, "modifiers": 8}},
                         {"command": "fly"}, {"command": "rotate", "keys": null},
                         {"command": "evenOut", "keys": 5}],
    "shortcuts": [{"action": "maximize"}, {"action": "leftHalf", "keys": {"keyCode": 0, "modifiers": 1}}]
  })");
  EXPECT_EQ(settings.gaps, (Gaps{4, 12}));
  EXPECT_EQ(settings.tilingStyle, TilingStyle::spiral);
  EXPECT_EQ(settings.tileChanges, TileChanges::inPlace);
  EXPECT_EQ(settings.panelTrigger, PanelTrigger::off());
  EXPECT_EQ(settings.kestleModifiers.rawValue, 9);
  EXPECT_EQ(settings.layoutModifiers.rawValue, 10);
  EXPECT_FALSE(settings.snapKeysEnabled);
  EXPECT_TRUE(settings.takesSystemShortcuts);
  EXPECT_FALSE(settings.tilesComeBack);
  EXPECT_EQ(settings.keptTiled, (std::set<std::string>{"D1", "D2"}));
  EXPECT_EQ(settings.floatingApps, (std::vector<AppRef>{{"a", "a"}}));
  EXPECT_EQ(
      settings.commandShortcuts,
      (std::vector<CommandBinding>{{KeyCommand::undo, combo(6, kCmd)}, {KeyCommand::rotate, {}}}));
  EXPECT_EQ(settings.keys(KeyCommand::undo), combo(6, kCmd));
  EXPECT_EQ(settings.keys(SnapAction::maximize), std::nullopt);
  EXPECT_EQ(settings.keys(SnapAction::leftHalf), combo(0, kCtrl));
  EXPECT_EQ(json(settings).get<Settings>(), settings);
}

TEST(Settings, PanelTriggerCoding) {
  struct Row {
    const char* json;
    PanelTrigger trigger;
  };
  for (const auto& row : std::initializer_list<Row>{
           {R"({"keys": {"keyCode": 3, "modifiers": 8}})", PanelTrigger::keys(combo(3, kCmd))},
           {R"({"off": true})", PanelTrigger::off()},
           {R"({"off": false})", PanelTrigger::off()},
           {R"({"doubleControl": true})", PanelTrigger::doubleControl()},
           {R"({})", PanelTrigger::doubleControl()},
       }) {
    auto trigger = json::parse(row.json).get<PanelTrigger>();
    EXPECT_EQ(trigger, row.trigger) << row.json;
    EXPECT_EQ(json(trigger).get<PanelTrigger>(), trigger) << row.json;
  }
  EXPECT_EQ(json(PanelTrigger::doubleControl()).dump(), R"({"doubleControl":true})");
}

TEST(Settings, DefaultKeys) {
  Settings settings;
  EXPECT_EQ(settings.keys(KeyCommand::nextKestle), combo(48, kCmd | kOpt));
  EXPECT_EQ(settings.keys(KeyCommand::undo), combo(6, kCmd | kOpt));
  EXPECT_EQ(settings.keys(KeyCommand::redo), combo(6, kCmd | kOpt | kShift));
  EXPECT_EQ(settings.keys(KeyCommand::arrangeWithKeys), combo(49, kCmd | kOpt));
  EXPECT_EQ(settings.keys(KeyCommand::previousKestle), std::nullopt);
  EXPECT_EQ(settings.keys(SnapAction::bottomHalf), combo(125, kCmd));
  EXPECT_EQ(settings.keys(SnapAction::maximize), combo(36, kCmd));
  EXPECT_EQ(settings.keys(SnapAction::lastTwoThirds), combo(17, kCmd | kOpt));
  EXPECT_EQ(settings.keys(SnapAction::fillSpace), combo(36, kCmd | kOpt));
  EXPECT_EQ(settings.keys(SnapAction::nextDisplay), std::nullopt);
  EXPECT_EQ(settings.keys(ShortcutUse::panel()), (std::vector<KeyCombo>{combo(35, kCmd | kOpt)}));
  auto layoutKeys = settings.keys(ShortcutUse::layouts());
  ASSERT_EQ(layoutKeys.size(), 9u);
  EXPECT_EQ(layoutKeys[4], combo(23, kCmd | kOpt));
  EXPECT_EQ(settings.keys(ShortcutUse::kestles())[8], combo(25, kCmd));
}

// The keys terminals, editors, shells and input methods live on stay theirs: word jumps and
// selections, tab switching, readline's Alt keys, the input method's switch keys, the
// desktop's own terminal, log-out and window-switch keys. Every default holds Super.
TEST(Settings, DefaultKeysLeaveTerminalsEditorsAndInputMethodsAlone) {
  constexpr int kLeft = 123, kRight = 124, kDown = 125, kUp = 126, kReturn = 36, kSpace = 49,
                kTab = 48, kBackspace = 51, kDelete = 117;
  std::vector<KeyCombo> theirs;
  for (int arrow : {kLeft, kRight, kUp, kDown})
    for (int modifiers : {kCtrl, kOpt, kShift, kCtrl | kShift, kOpt | kShift, kCtrl | kOpt})
      theirs.push_back(combo(arrow, modifiers));
  for (int key : {kReturn, kSpace, kTab, kBackspace, kDelete})
    for (int modifiers : {kCtrl, kOpt, kShift, kCtrl | kShift})
      theirs.push_back(combo(key, modifiers));
  for (int digit : kDigitKeyCodes)
    for (int modifiers : {kCtrl, kOpt, kCtrl | kShift})
      theirs.push_back(combo(digit, modifiers));
  // Letters: Ctrl and Ctrl+Shift (shells, editors, terminal copy and paste), Alt (readline,
  // menus), Ctrl+Alt (Emacs, the desktop's terminal key Ctrl+Alt+T).
  for (int letter : {0,  11, 8,  2,  14, 3, 5,  4,  34, 38, 40, 37, 46,
                     45, 31, 35, 12, 15, 1, 17, 32, 9,  13, 7,  16, 6})
    for (int modifiers : {kCtrl, kOpt, kCtrl | kShift, kCtrl | kOpt})
      theirs.push_back(combo(letter, modifiers));
  theirs.push_back(combo(kSpace, kCmd));           // the desktop's input source switch
  theirs.push_back(combo(kSpace, kCmd | kShift));  // and back
  theirs.push_back(combo(kTab, kCmd));             // the desktop's app switcher
  theirs.push_back(combo(kDelete, kCtrl | kOpt));  // log out
  theirs.push_back(combo(47, kCtrl));              // the input method's emoji picker
  theirs.push_back(combo(41, kCtrl));

  Settings settings;
  std::vector<KeyCombo> ours = settings.keys(ShortcutUse::panel());
  for (const auto& use : {ShortcutUse::kestles(), ShortcutUse::layouts()})
    for (const auto& key : settings.keys(use))
      ours.push_back(key);
  for (auto command : allKeyCommands())
    if (auto key = settings.keys(command)) ours.push_back(*key);
  for (auto action : allSnapActions())
    if (auto key = settings.keys(action)) ours.push_back(*key);
  ASSERT_GT(ours.size(), 40u);
  for (const auto& key : ours) {
    EXPECT_TRUE(key.modifiers.contains(kCmd)) << key.description();
    EXPECT_EQ(std::find(theirs.begin(), theirs.end(), key), theirs.end()) << key.description();
  }
}

// A key the user gave to one command keeps working when a later default lands on the same
// combination: the default gives way instead of both grabbing it.
TEST(Settings, AUsersKeyWinsOverADefaultOnTheSameCombination) {
  auto settings = decoded(R"({"commandShortcuts": [
    {"command": "swapLeft", "keys": {"keyCode": 0, "modifiers": 10}}],
    "shortcuts": [{"action": "almostMaximize", "keys": {"keyCode": 6, "modifiers": 10}}]})");
  EXPECT_EQ(settings.keys(KeyCommand::swapLeft), combo(0, kCmd | kOpt));
  EXPECT_EQ(settings.keys(KeyCommand::tileWindows), std::nullopt);
  EXPECT_EQ(settings.keys(SnapAction::almostMaximize), combo(6, kCmd | kOpt));
  EXPECT_EQ(settings.keys(KeyCommand::undo), std::nullopt);
  EXPECT_EQ(settings.keys(KeyCommand::redo), combo(6, kCmd | kOpt | kShift));
  // The panel's and the digit keys' combinations are reserved: no default takes one.
  settings.panelTrigger = PanelTrigger::keys(combo(125, kCmd));
  EXPECT_EQ(settings.keys(SnapAction::bottomHalf), std::nullopt);
}

TEST(Settings, NoTwoDefaultKeysAreTheSame) {
  Settings settings;
  std::vector<KeyCombo> all = settings.keys(ShortcutUse::panel());
  for (auto command : allKeyCommands())
    if (auto keys = settings.keys(command)) all.push_back(*keys);
  for (auto action : allSnapActions())
    if (auto keys = settings.keys(action)) all.push_back(*keys);
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_FALSE(settings.reservedUse(all[i]) && i > 0) << all[i].description();
    for (std::size_t j = i + 1; j < all.size(); ++j)
      EXPECT_NE(all[i], all[j]) << all[i].description();
  }
}

TEST(Settings, StoringACommandKey) {
  Settings settings;
  settings.setKeys(KeyCommand::tileWindows, combo(0, kCmd | kOpt));
  EXPECT_TRUE(settings.commandShortcuts.empty());
  settings.setKeys(KeyCommand::tileWindows, combo(11, kCmd | kOpt));
  EXPECT_EQ(settings.commandShortcuts,
            (std::vector<CommandBinding>{{KeyCommand::tileWindows, combo(11, kCmd | kOpt)}}));
  settings.setKeys(KeyCommand::tileWindows, std::nullopt);
  EXPECT_EQ(settings.commandShortcuts,
            (std::vector<CommandBinding>{{KeyCommand::tileWindows, std::nullopt}}));
  EXPECT_EQ(settings.keys(KeyCommand::tileWindows), std::nullopt);
  settings.setKeys(KeyCommand::tileWindows, combo(0, kCmd | kOpt));
  EXPECT_TRUE(settings.commandShortcuts.empty());
}

TEST(Settings, Recording) {
  auto recorded = [](std::optional<ShortcutUse> from) { return RecordResult::recorded(from); };
  auto kestleOption = [] {
    Settings settings;
    settings.kestleModifiers = KeyModifiers{kCtrl | kOpt};
    settings.layoutModifiers = KeyModifiers{kCtrl | kCmd};
    return settings;
  };
  struct Row {
    const char* name;
    Settings settings;
    KeyCombo combo;
    ShortcutUse use;
    RecordResult result;
  };
  for (const auto& row : std::initializer_list<Row>{
           {"shift alone",
            {},
            combo(0, kShift),
            ShortcutUse::command(KeyCommand::undo),
            RecordResult::needsModifier()},
           {"no modifier",
            {},
            combo(0, 0),
            ShortcutUse::snap(SnapAction::center),
            RecordResult::needsModifier()},
           {"kestle digit", kestleOption(), combo(18, kCtrl | kOpt),
            ShortcutUse::command(KeyCommand::undo), RecordResult::reserved(ShortcutUse::kestles())},
           {"layout digit",
            {},
            combo(25, kCmd | kOpt),
            ShortcutUse::snap(SnapAction::center),
            RecordResult::reserved(ShortcutUse::layouts())},
           {"panel keys",
            {},
            combo(35, kCmd | kOpt),
            ShortcutUse::command(KeyCommand::rotate),
            RecordResult::reserved(ShortcutUse::panel())},
           {"digit with other modifiers",
            {},
            combo(18, kCtrl),
            ShortcutUse::command(KeyCommand::undo),
            recorded(std::nullopt)},
           {"taken from a command",
            {},
            combo(0, kCmd | kOpt),
            ShortcutUse::command(KeyCommand::swapLeft),
            recorded(ShortcutUse::command(KeyCommand::tileWindows))},
           {"taken from a snap place",
            {},
            combo(123, kCmd),
            ShortcutUse::command(KeyCommand::focusLeft),
            recorded(ShortcutUse::snap(SnapAction::leftHalf))},
           {"its own key",
            {},
            combo(0, kCmd | kOpt),
            ShortcutUse::command(KeyCommand::tileWindows),
            recorded(std::nullopt)},
           {"panel takes a key",
            {},
            combo(6, kCmd | kOpt),
            ShortcutUse::panel(),
            recorded(ShortcutUse::command(KeyCommand::undo))},
           {"kestle keys need a digit",
            {},
            combo(0, kCmd),
            ShortcutUse::kestles(),
            RecordResult::needsNumber()},
           {"kestle keys clash with layouts",
            {},
            combo(18, kCmd | kOpt),
            ShortcutUse::kestles(),
            RecordResult::reserved(ShortcutUse::layouts())},
       }) {
    auto settings = row.settings;
    EXPECT_EQ(settings.record(row.combo, row.use), row.result) << row.name;
    bool refused = !std::holds_alternative<RecordResult::Recorded>(row.result.value);
    if (refused) {
      EXPECT_EQ(settings, row.settings) << row.name;
    }
  }
}

TEST(Settings, RecordingMovesTheKey) {
  Settings settings;
  settings.record(combo(0, kCmd | kOpt), ShortcutUse::command(KeyCommand::swapLeft));
  EXPECT_EQ(settings.keys(KeyCommand::swapLeft), combo(0, kCmd | kOpt));
  EXPECT_EQ(settings.keys(KeyCommand::tileWindows), std::nullopt);

  settings.record(combo(123, kCmd | kOpt), ShortcutUse::snap(SnapAction::leftHalf));
  EXPECT_EQ(settings.keys(SnapAction::leftHalf), combo(123, kCmd | kOpt));
  EXPECT_EQ(settings.keys(SnapAction::moveLeft), std::nullopt);

  EXPECT_EQ(settings.record(combo(20, kCmd | kShift), ShortcutUse::kestles()),
            RecordResult::recorded(std::nullopt));
  EXPECT_EQ(settings.kestleModifiers.rawValue, kCmd | kShift);
  EXPECT_EQ(settings.keys(ShortcutUse::kestles())[0], combo(18, kCmd | kShift));
}

TEST(Settings, Migration) {
  struct Row {
    int kestle;
    int layout;
    PanelTrigger trigger;
    int kestleAfter;
    int layoutAfter;
    PanelTrigger triggerAfter;
  };
  const auto standard = PanelTrigger{};
  for (const auto& row : std::initializer_list<Row>{
           {3, 7, standard, 1, 3, standard},
           {3, 1, standard, 3, 1, standard},
           {1, 7, standard, 1, 3, standard},
           {3, 3, standard, 1, 3, standard},
           {9, 7, standard, 9, 3, standard},
           {1, 3, PanelTrigger::doubleControl(), 1, 3, standard},
           {1, 3, PanelTrigger::off(), 1, 3, PanelTrigger::off()},
       }) {
    Settings settings;
    settings.kestleModifiers.rawValue = row.kestle;
    settings.layoutModifiers.rawValue = row.layout;
    settings.panelTrigger = row.trigger;
    settings.migrate();
    EXPECT_EQ(settings.kestleModifiers.rawValue, row.kestleAfter) << row.kestle << row.layout;
    EXPECT_EQ(settings.layoutModifiers.rawValue, row.layoutAfter) << row.kestle << row.layout;
    EXPECT_EQ(settings.panelTrigger, row.triggerAfter) << row.kestle << row.layout;
  }
}

TEST(Settings, MigrationClearsKeysTheNewDigitKeysShadow) {
  Settings settings;
  settings.kestleModifiers.rawValue = kCtrl | kOpt;
  settings.layoutModifiers.rawValue = kCtrl | kOpt | kShift;
  settings.setKeys(KeyCommand::rotate, combo(18, kCtrl));
  settings.setKeys(KeyCommand::flipVertical, combo(18, kCmd));
  settings.migrate();
  EXPECT_EQ(settings.keys(KeyCommand::rotate), std::nullopt);
  EXPECT_EQ(settings.keys(KeyCommand::flipVertical), combo(18, kCmd));
}

}  // namespace
}  // namespace kestles
