#include "KestlesCore/keyboard/ArrangeKeys.hpp"

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "KestlesCore/keyboard/KeyRoute.hpp"
#include "KestlesCore/keyboard/KeySearch.hpp"

namespace kestles {
namespace {

using Action = ArrangeKeys::Action;
using Group = ArrangeKeys::Group;

constexpr int kShift = KeyModifiers::shift;
constexpr int kOption = KeyModifiers::option;

TEST(ArrangeKeysTests, EveryKeyOfTheMapRunsItsAction) {
  struct Case {
    int keyCode;
    int modifiers;
    std::optional<Action> action;
  };
  const Case cases[] = {
      {123, 0, Action::command(KeyCommand::focusLeft)},
      {124, 0, Action::command(KeyCommand::focusRight)},
      {126, 0, Action::command(KeyCommand::focusUp)},
      {125, 0, Action::command(KeyCommand::focusDown)},
      {123, kShift, Action::command(KeyCommand::swapLeft)},
      {124, kShift, Action::command(KeyCommand::swapRight)},
      {126, kShift, Action::command(KeyCommand::swapUp)},
      {125, kShift, Action::command(KeyCommand::swapDown)},
      {123, kOption, Action::push(TileEdge::left)},
      {124, kOption, Action::push(TileEdge::right)},
      {126, kOption, Action::push(TileEdge::top)},
      {125, kOption, Action::push(TileEdge::bottom)},
      {24, 0, Action::snap(SnapAction::larger)},
      {27, 0, Action::snap(SnapAction::smaller)},
      {1, 0, Action::command(KeyCommand::turnSplit)},
      {15, 0, Action::command(KeyCommand::rotate)},
      {15, kShift, Action::command(KeyCommand::rotateBack)},
      {4, 0, Action::command(KeyCommand::flipHorizontal)},
      {9, 0, Action::command(KeyCommand::flipVertical)},
      {14, 0, Action::command(KeyCommand::evenOut)},
      {46, 0, Action::command(KeyCommand::makeMain)},
      {6, 0, Action::snap(SnapAction::maximize)},
      {8, 0, Action::snap(SnapAction::center)},
      {3, 0, Action::command(KeyCommand::tileOrFloat)},
      {0, 0, Action::command(KeyCommand::tileWindows)},
      {45, 0, Action::snap(SnapAction::nextDisplay)},
      {45, kShift, Action::snap(SnapAction::previousDisplay)},
      {32, 0, Action::command(KeyCommand::undo)},
      {13, 0, Action::command(KeyCommand::windowHints)},
      {35, 0, Action::command(KeyCommand::pickWindows)},
      {17, 0, Action::command(KeyCommand::moveToTile)},
      {2, 0, Action::command(KeyCommand::editTiles)},
      {40, 0, Action::command(KeyCommand::keepTiled)},
      {53, 0, Action::done()},
      {36, 0, Action::done()},
      // Shift alone falls back to the plain key: ⇧= is "+".
      {24, kShift, Action::snap(SnapAction::larger)},
      {53, kShift, Action::done()},
      {1, KeyModifiers::command, std::nullopt},
      {1, kOption, std::nullopt},
      {15, kShift | kOption, std::nullopt},
      {11, 0, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ArrangeKeys::action(c.keyCode, KeyModifiers{c.modifiers}), c.action)
        << c.keyCode << " with " << c.modifiers;
}

std::vector<std::string> titlesOf(const ArrangeKeys::Context& context) {
  std::vector<std::string> titles;
  for (const auto& hint : ArrangeKeys::hints(context))
    titles.push_back(hint.title);
  return titles;
}

bool hasTitle(const ArrangeKeys::Context& context, const std::string& title) {
  auto titles = titlesOf(context);
  return std::find(titles.begin(), titles.end(), title) != titles.end();
}

TEST(ArrangeKeysTests, TheLegendAdaptsToTheContext) {
  ArrangeKeys::Context plain;
  for (const char* title :
       {"Swap", "Move Edge", "Size", "Turn Split", "Flip", "Even Out", "Tile Windows", "Keep Tiled",
        "Make Main", "Tile or Float", "Zoom", "Undo", "Done"})
    EXPECT_TRUE(hasTitle(plain, title)) << title;
  EXPECT_FALSE(hasTitle(plain, "Next Display"));

  struct Case {
    const char* name;
    ArrangeKeys::Context context;
    const char* title;
  };
  ArrangeKeys::Context tiled, untiled, putsBack, keptOn, keptOff, undo, displays;
  tiled.isTiled = true;
  untiled.isTiled = false;
  putsBack.isTiled = true;
  putsBack.putsBack = true;
  keptOn.keepsTiled = true;
  keptOff.keepsTiled = false;
  undo.undoTitle = "Tile Windows";
  displays.hasOtherDisplays = true;
  const Case cases[] = {
      {"tiled", tiled, "Float"},
      {"untiled", untiled, "Tile"},
      {"puts back", putsBack, "Put Back"},
      {"kept tiled", keptOn, "Keep Tiled: On"},
      {"not kept tiled", keptOff, "Keep Tiled: Off"},
      {"undo", undo, "Undo Tile Windows"},
      {"other displays", displays, "Next Display"},
  };
  for (const auto& c : cases)
    EXPECT_TRUE(hasTitle(c.context, c.title)) << c.name;
  EXPECT_FALSE(hasTitle(putsBack, "Float"));
  EXPECT_EQ(titlesOf(displays).size(), titlesOf(plain).size() + 2);
}

TEST(ArrangeKeysTests, EveryHintsKeysRunItsActionsInGroupOrder) {
  ArrangeKeys::Context context;
  context.hasOtherDisplays = true;
  std::set<std::string> ids;
  int lastGroup = 0;
  for (const auto& hint : ArrangeKeys::hints(context)) {
    ASSERT_EQ(hint.keys.size(), hint.actions.size()) << hint.title;
    for (std::size_t i = 0; i < hint.keys.size(); ++i)
      EXPECT_EQ(ArrangeKeys::action(hint.keys[i].rawValue, hint.modifiers), hint.actions[i])
          << hint.title;
    EXPECT_TRUE(ids.insert(hint.id()).second) << hint.id();
    EXPECT_FALSE(hint.symbol.empty()) << hint.title;
    EXPECT_GE(static_cast<int>(hint.group), lastGroup) << hint.title;
    lastGroup = static_cast<int>(hint.group);
  }
}

TEST(ArrangeKeysTests, KeyColumnsAreShownAndSpoken) {
  struct Case {
    const char* id;
    const char* shown;
    const char* spoken;
  };
  const Case cases[] = {
      {"command.focusLeft", "←→↑↓", "Arrow keys"},
      {"command.swapLeft", "⇧←→↑↓", "Shift with Arrow keys"},
      {"push.left", "⌥←→↑↓", "Option with Arrow keys"},
      {"snap.larger", "= -", "Equals Minus"},
      {"command.rotateBack", "⇧R", "Shift with R"},
      {"done", "⎋", "Escape"},
  };
  auto hints = ArrangeKeys::hints({});
  for (const auto& c : cases) {
    auto hint =
        std::find_if(hints.begin(), hints.end(), [&](const auto& h) { return h.id() == c.id; });
    ASSERT_NE(hint, hints.end()) << c.id;
    EXPECT_EQ(hint->keyText(), c.shown) << c.id;
    EXPECT_EQ(hint->spokenKeys(), c.spoken) << c.id;
  }
  ArrangeKeys::Context safari;
  safari.appName = "Safari";
  EXPECT_EQ(ArrangeKeys::heading(Group::window, safari), "Safari");
  EXPECT_EQ(ArrangeKeys::heading(Group::window, {}), "Window");
  EXPECT_EQ(ArrangeKeys::heading(Group::tiles, {}), "Tiles");
  EXPECT_EQ(ArrangeKeys::heading(Group::more, {}), "More");
}

TEST(KeyRouteTests, DescriptionsAndHashing) {
  KeyCombo arrange{0, KeyModifiers{KeyModifiers::control | KeyModifiers::option}};
  auto arranging = KeyRoute::arranging(arrange, {1, {}});
  EXPECT_EQ(arranging.description(), "⌃⌥A, then S");
  EXPECT_EQ(KeyRoute::combo({123, arrange.modifiers}).description(), "⌃⌥←");
  std::hash<KeyRoute> hash;
  EXPECT_EQ(hash(arranging), hash(KeyRoute::arranging(arrange, {1, {}})));
  EXPECT_NE(hash(arranging), hash(KeyRoute::arranging({1, {}}, arrange)));
  EXPECT_NE(hash(KeyRoute::combo(arrange)), hash(KeyRoute::arranging(arrange, arrange)));
}

TEST(KeySearchTests, EveryWordMustOccurFoldedOrSpoken) {
  EXPECT_EQ(KeySearch("  left\thalf ").words, (std::vector<std::string>{"left", "half"}));
  struct Case {
    const char* typed;
    const char* description;
    bool matches;
  };
  const Case cases[] = {
      {"left half", "⌃⌥← Left Half", true},
      {"HALF left", "⌃⌥← Left Half", true},
      {"right", "⌃⌥← Left Half", false},
      {"ctrl opt left", "⌃⌥←", true},
      {"control arrow", "⌃⌥←", true},
      {"cmd", "⌃⌥←", false},
      {"⌥", "⌃⌥←", true},
      {"cafe", "Café Mode", true},
      {"", "anything", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(KeySearch(c.typed).matches(c.description), c.matches) << c.typed;
}

}  // namespace
}  // namespace kestles
