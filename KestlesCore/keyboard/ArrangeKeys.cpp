#include "KestlesCore/keyboard/ArrangeKeys.hpp"

#include <algorithm>
#include <array>

#include "KestlesCore/keyboard/ModeKeys.hpp"
#include "KestlesCore/keys/KeyLabel.hpp"
#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

using Action = ArrangeKeys::Action;
using Group = ArrangeKeys::Group;

constexpr int kNone = 0;
constexpr int kShift = KeyModifiers::shift;
constexpr int kOption = KeyModifiers::option;

constexpr int kLeft = mode_keys::leftArrow, kRight = mode_keys::rightArrow,
              kDown = mode_keys::downArrow, kUp = mode_keys::upArrow;
constexpr int kEscape = mode_keys::escape, kReturn = mode_keys::returnKey;

struct Binding {
  int keyCode;
  int modifiers;
  Action action;
};

/// The key map: each key with its modifiers runs at most one action.
const std::vector<Binding>& keyMap() {
  static const std::vector<Binding> map{
      {kLeft, kNone, Action::command(KeyCommand::focusLeft)},
      {kRight, kNone, Action::command(KeyCommand::focusRight)},
      {kUp, kNone, Action::command(KeyCommand::focusUp)},
      {kDown, kNone, Action::command(KeyCommand::focusDown)},
      {kLeft, kShift, Action::command(KeyCommand::swapLeft)},
      {kRight, kShift, Action::command(KeyCommand::swapRight)},
      {kUp, kShift, Action::command(KeyCommand::swapUp)},
      {kDown, kShift, Action::command(KeyCommand::swapDown)},
      {kLeft, kOption, Action::push(TileEdge::left)},
      {kRight, kOption, Action::push(TileEdge::right)},
      {kUp, kOption, Action::push(TileEdge::top)},
      {kDown, kOption, Action::push(TileEdge::bottom)},
      {24, kNone, Action::snap(SnapAction::larger)},
      {27, kNone, Action::snap(SnapAction::smaller)},
      {1, kNone, Action::command(KeyCommand::turnSplit)},
      {15, kNone, Action::command(KeyCommand::rotate)},
      {15, kShift, Action::command(KeyCommand::rotateBack)},
      {4, kNone, Action::command(KeyCommand::flipHorizontal)},
      {9, kNone, Action::command(KeyCommand::flipVertical)},
      {14, kNone, Action::command(KeyCommand::evenOut)},
      {46, kNone, Action::command(KeyCommand::makeMain)},
      {6, kNone, Action::snap(SnapAction::maximize)},
      {8, kNone, Action::snap(SnapAction::center)},
      {3, kNone, Action::command(KeyCommand::tileOrFloat)},
      {0, kNone, Action::command(KeyCommand::tileWindows)},
      {45, kNone, Action::snap(SnapAction::nextDisplay)},
      {45, kShift, Action::snap(SnapAction::previousDisplay)},
      {32, kNone, Action::command(KeyCommand::undo)},
      {13, kNone, Action::command(KeyCommand::windowHints)},
      {35, kNone, Action::command(KeyCommand::pickWindows)},
      {17, kNone, Action::command(KeyCommand::moveToTile)},
      {2, kNone, Action::command(KeyCommand::editTiles)},
      {40, kNone, Action::command(KeyCommand::keepTiled)},
      {kEscape, kNone, Action::done()},
      {kReturn, kNone, Action::done()},
  };
  return map;
}

/// The key shown for an action: the lowest key code with those modifiers; Escape for done,
/// the key the mode is known to end with.
KeyCode shownKey(const Action& action, int modifiers) {
  if (std::holds_alternative<Action::Done>(action.value)) return {kEscape};
  int lowest = -1;
  for (const auto& binding : keyMap())
    if (binding.modifiers == modifiers && binding.action == action &&
        (lowest < 0 || binding.keyCode < lowest))
      lowest = binding.keyCode;
  return {lowest};
}

ArrangeKeys::Hint hint(std::vector<Action> actions, int modifiers, std::string title,
                       std::string symbol, Group group) {
  ArrangeKeys::Hint made{std::move(actions), {},   KeyModifiers{modifiers}, std::move(title),
                         std::move(symbol),  group};
  for (const auto& action : made.actions)
    made.keys.push_back(shownKey(action, modifiers));
  return made;
}

std::vector<Action> commands(std::initializer_list<KeyCommand> list) {
  std::vector<Action> actions;
  for (auto command : list)
    actions.push_back(Action::command(command));
  return actions;
}

bool areTheArrows(const std::vector<KeyCode>& keys) {
  std::vector<int> codes;
  for (const auto& key : keys)
    codes.push_back(key.rawValue);
  return std::is_permutation(codes.begin(), codes.end(), mode_keys::arrows.begin(),
                             mode_keys::arrows.end());
}

/// The four arrows together as "←→↑↓", other keys' labels apart.
std::string labels(const std::vector<KeyCode>& keys) {
  if (areTheArrows(keys)) return std::string(mode_keys::arrowsShown);
  std::vector<std::string> each;
  for (const auto& key : keys)
    each.push_back(key.label());
  return text::joined(each, " ");
}

std::string tileOrFloatTitle(const ArrangeKeys::Context& context) {
  if (context.putsBack) return "Put Back";
  if (!context.isTiled) return "Tile or Float";
  return *context.isTiled ? "Float" : "Tile";
}

std::string keepTiledTitle(const ArrangeKeys::Context& context) {
  if (!context.keepsTiled) return "Keep Tiled";
  return *context.keepsTiled ? "Keep Tiled: On" : "Keep Tiled: Off";
}

}  // namespace

std::string ArrangeKeys::Action::name() const {
  if (const auto* command = std::get_if<KeyCommand>(&value))
    return "command." + std::string(rawValue(*command));
  if (const auto* snap = std::get_if<SnapAction>(&value))
    return "snap." + std::string(rawValue(*snap));
  if (const auto* push = std::get_if<Push>(&value))
    return "push." + std::string(rawValue(push->edge));
  return "done";
}

std::string ArrangeKeys::Hint::id() const {
  return actions.empty() ? std::string() : actions.front().name();
}

std::string ArrangeKeys::Hint::keyText() const {
  return modifiers.glyphs() + labels(keys);
}

std::string ArrangeKeys::Hint::spokenKeys() const {
  std::string spoken = KeyLabel::spoken(labels(keys));
  if (modifiers.rawValue == kShift) return "Shift with " + spoken;
  if (modifiers.rawValue == kOption) return "Option with " + spoken;
  return spoken;
}

std::vector<ArrangeKeys::Hint> ArrangeKeys::hints(const Context& context) {
  std::vector<Hint> legend{
      hint(commands({KeyCommand::focusLeft, KeyCommand::focusRight, KeyCommand::focusUp,
                     KeyCommand::focusDown}),
           kNone, "Focus", "arrow.up.and.down.and.arrow.left.and.right", Group::arrows),
      hint(commands({KeyCommand::swapLeft, KeyCommand::swapRight, KeyCommand::swapUp,
                     KeyCommand::swapDown}),
           kShift, "Swap", "arrow.left.arrow.right", Group::arrows),
      hint({Action::push(TileEdge::left), Action::push(TileEdge::right),
            Action::push(TileEdge::top), Action::push(TileEdge::bottom)},
           kOption, "Move Edge", "arrow.left.and.right.square", Group::arrows),
      hint({Action::snap(SnapAction::larger), Action::snap(SnapAction::smaller)}, kNone, "Size",
           "plus.forwardslash.minus", Group::tiles),
      hint(commands({KeyCommand::turnSplit}), kNone, "Turn Split", "rectangle.split.2x1",
           Group::tiles),
      hint(commands({KeyCommand::rotate}), kNone, "Rotate", "arrow.clockwise", Group::tiles),
      hint(commands({KeyCommand::rotateBack}), kShift, "Rotate Back", "arrow.counterclockwise",
           Group::tiles),
      hint(commands({KeyCommand::flipHorizontal, KeyCommand::flipVertical}), kNone, "Flip",
           "arrow.left.and.right.righttriangle.left.righttriangle.right", Group::tiles),
      hint(commands({KeyCommand::evenOut}), kNone, "Even Out", "equal.square", Group::tiles),
      hint(commands({KeyCommand::makeMain}), kNone, "Make Main", "rectangle.lefthalf.inset.filled",
           Group::tiles),
      hint(commands({KeyCommand::tileWindows}), kNone, "Tile Windows", "rectangle.grid.2x2",
           Group::tiles),
      hint(commands({KeyCommand::keepTiled}), kNone, keepTiledTitle(context), "pin", Group::tiles),
      hint(commands({KeyCommand::tileOrFloat}), kNone, tileOrFloatTitle(context),
           context.isTiled.value_or(false) ? "macwindow.on.rectangle" : "rectangle.inset.filled",
           Group::window),
      hint({Action::snap(SnapAction::maximize)}, kNone, "Zoom",
           "arrow.up.left.and.arrow.down.right", Group::window),
      hint({Action::snap(SnapAction::center)}, kNone, "Center", "rectangle.center.inset.filled",
           Group::window),
  };
  if (context.hasOtherDisplays) {
    legend.push_back(hint({Action::snap(SnapAction::nextDisplay)}, kNone, "Next Display",
                          "arrow.right.to.line", Group::window));
    legend.push_back(hint({Action::snap(SnapAction::previousDisplay)}, kShift, "Previous Display",
                          "arrow.left.to.line", Group::window));
  }
  for (auto command : {KeyCommand::windowHints, KeyCommand::pickWindows, KeyCommand::moveToTile,
                       KeyCommand::editTiles})
    legend.push_back(hint(commands({command}), kNone, std::string(title(command)),
                          command == KeyCommand::windowHints   ? "character.cursor.ibeam"
                          : command == KeyCommand::pickWindows ? "checklist"
                          : command == KeyCommand::moveToTile  ? "square.grid.3x3.topleft.filled"
                                                               : "square.split.2x2",
                          Group::more));
  legend.push_back(hint(commands({KeyCommand::undo}), kNone,
                        context.undoTitle ? "Undo " + *context.undoTitle : "Undo",
                        "arrow.uturn.backward", Group::more));
  legend.push_back(hint({Action::done()}, kNone, "Done", "escape", Group::more));
  return legend;
}

std::optional<ArrangeKeys::Action> ArrangeKeys::action(int keyCode, KeyModifiers modifiers) {
  auto find = [&](int wanted) -> std::optional<Action> {
    for (const auto& binding : keyMap())
      if (binding.keyCode == keyCode && binding.modifiers == wanted) return binding.action;
    return std::nullopt;
  };
  if (auto exact = find(modifiers.rawValue)) return exact;
  if (modifiers.rawValue == kShift) return find(kNone);
  return std::nullopt;
}

std::string ArrangeKeys::heading(Group group, const Context& context) {
  switch (group) {
    case Group::arrows:
      return "Arrows";
    case Group::tiles:
      return "Tiles";
    case Group::window:
      return context.appName.value_or("Window");
    case Group::more:
      return "More";
  }
  return {};
}

}  // namespace kestles
