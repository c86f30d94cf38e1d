#include "KestlesApp/KeyboardModes.hpp"

#include <cctype>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/command/KeyBindings.hpp"
#include "KestlesCore/keyboard/ModeKeys.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles::app {
namespace {

using Command = KestlesCommand;
using x11::OverlayKey;
using x11::OverlayLabel;

/// The letter or digit a key types, upper-cased; nothing for any other key.
std::optional<char> typedLetter(const OverlayKey& key) {
  if (key.characters.size() != 1) return std::nullopt;
  auto character = static_cast<unsigned char>(key.characters.front());
  if (!std::isalnum(character)) return std::nullopt;
  return static_cast<char>(std::toupper(character));
}

bool isEscape(const OverlayKey& key) {
  return key.keyCode == mode_keys::escape;
}

bool isReturn(const OverlayKey& key) {
  return key.keyCode == mode_keys::returnKey || key.keyCode == mode_keys::enter;
}

CGPoint centreOf(const CGRect& frame) {
  return {frame.midX(), frame.midY()};
}

/// Where a legend or a display-wide panel goes: the display named, else the active one.
CGRect displayFrame(const World& world, const std::optional<std::string>& displayID) {
  auto display = displayID ? world.setup.displayWithID(*displayID) : std::nullopt;
  if (!display && world.activeDisplayID)
    display = world.setup.displayWithID(*world.activeDisplayID);
  if (!display) display = world.setup.fallback();
  return display ? display->visibleFrame : CGRect{};
}

/// The mode keys of picking (the model leaves the keys to the app):
/// picking — a hint letter toggles its window, a digit moves the pick to that display,
/// Backspace unpicks the last, Return goes on to choosing, Space tiles at once;
/// choosing — a digit or Tab/→ and ⇧Tab/← choose the way, R and ⇧R rotate, ⌥ and a digit
/// move to a display, Backspace goes back, Return or Space tiles. Escape always closes.
std::optional<PickToTile::Key> pickKey(const PickToTile& pick, const OverlayKey& key) {
  using Key = PickToTile::Key;
  bool shift = key.modifiers.contains(KeyModifiers::shift);
  bool option = key.modifiers.contains(KeyModifiers::option);
  if (isEscape(key)) return Key::close();
  if (key.characters == " ") return Key::tile();
  auto letter = typedLetter(key);
  bool digit = letter && std::isdigit(static_cast<unsigned char>(*letter));
  if (pick.stage == PickToTile::Stage::picking) {
    if (isReturn(key)) return Key::arrange();
    if (key.keyCode == mode_keys::deleteKey) return Key::unpickLast();
    if (digit) return Key::display(*letter - '0');
    if (letter) return Key::letter(std::string(1, *letter));
    return std::nullopt;
  }
  if (isReturn(key)) return Key::tile();
  if (key.keyCode == mode_keys::deleteKey) return Key::back();
  if (digit) return option ? Key::display(*letter - '0') : Key::choose(*letter - '0');
  if (key.keyCode == mode_keys::tab) return shift ? Key::previous() : Key::next();
  if (key.keyCode == mode_keys::rightArrow) return Key::next();
  if (key.keyCode == mode_keys::leftArrow) return Key::previous();
  if (letter == 'R') return Key::rotate(shift);
  return std::nullopt;
}

/// A keyboard mode a command of arrange-with-keys opens in its place.
std::optional<Command> modeOf(KeyCommand command) {
  switch (command) {
    case KeyCommand::windowHints:
    case KeyCommand::pickWindows:
    case KeyCommand::moveToTile:
    case KeyCommand::editTiles:
      return commandOf(command);
    default:
      return std::nullopt;
  }
}

}  // namespace

std::vector<std::vector<std::string>> legendColumns(const ArrangeKeys::Context& context) {
  std::vector<std::vector<std::string>> columns;
  std::optional<ArrangeKeys::Group> group;
  for (const auto& hint : ArrangeKeys::hints(context)) {
    if (hint.group != group) {
      group = hint.group;
      columns.push_back({ArrangeKeys::heading(hint.group, context)});
    }
    columns.back().push_back(hint.keyText() + "  " + hint.title);
  }
  return columns;
}

KeyboardModes::KeyboardModes(Services services, const std::optional<std::string>& display)
    : services_(std::move(services)) {
  std::weak_ptr<bool> alive = alive_;
  overlay_ = x11::X11Overlay::open(display, [this, alive](const OverlayKey& key) {
    services_.main.async([this, alive, key] {
      if (alive.lock()) typed(key);
    });
  });
}

KeyboardModes::~KeyboardModes() {
  // Stops the key thread first; keys it queued already find the modes gone.
  overlay_.reset();
  alive_.reset();
}

bool KeyboardModes::opens(const KestlesCommand& command) {
  return std::holds_alternative<Command::Hints>(command.value) ||
         std::holds_alternative<Command::MoveToTile>(command.value) ||
         std::holds_alternative<Command::PickWindows>(command.value) ||
         std::holds_alternative<Command::EditTiles>(command.value) ||
         std::holds_alternative<Command::ArrangeWithKeys>(command.value);
}

void KeyboardModes::open(const KestlesCommand& command) {
  close();
  if (!overlay_) return tell("The keyboard modes need an X display to show their keys on.");
  world_ = services_.conductor.snapshot();
  front_ = front();
  const auto& state = services_.runner.state();
  const auto& gaps = services_.runner.library().settings.gaps;
  if (std::holds_alternative<Command::Hints>(command.value)) {
    auto hints = WindowHints::hints(world_);
    if (hints.empty()) return tell("There are no windows to go to.");
    mode_ = Hints{std::move(hints)};
  } else if (std::holds_alternative<Command::MoveToTile>(command.value)) {
    auto window = front();
    if (!window) return tell("There’s no window in front to move into a tile.");
    LiveTiles session(world_.setup, gaps, state.tilings);
    auto hints = TileHints::hints(*window, session, world_);
    if (hints.empty())
      return tell("There are no tiles to move the window into; tile a display first.");
    mode_ = MoveToTile{*window, std::move(session), std::move(hints)};
  } else if (std::holds_alternative<Command::PickWindows>(command.value)) {
    auto pick = PickToTile::open(world_);
    if (pick.hints.empty()) return tell("There are no windows to pick.");
    mode_ = Pick{std::move(pick)};
  } else if (std::holds_alternative<Command::EditTiles>(command.value)) {
    auto editor = TileEditor::open(front(), world_, LiveTiles(world_.setup, gaps, state.tilings));
    if (!editor) return tell("There’s no display to edit the tiles of.");
    mode_ = Edit{std::move(*editor)};
  } else {
    mode_ = Arrange{};
  }
  showMode();
}

void KeyboardModes::close() {
  mode_ = std::monostate{};
  if (overlay_) overlay_->hide();
}

void KeyboardModes::showMode() {
  if (overlay_->show(labels())) return;
  mode_ = std::monostate{};
  services_.log.write({platform::LogLevel::notice, platform::LogCategory::hotkeys,
                       "Another program holds the keyboard, so the keyboard mode didn’t open."});
}

std::vector<OverlayLabel> KeyboardModes::labels() const {
  std::vector<OverlayLabel> labels;
  if (const auto* hints = std::get_if<Hints>(&mode_)) {
    for (const auto& hint : hints->hints)
      labels.push_back({hint.anchor, {std::string(1, hint.letter)}});
  } else if (const auto* move = std::get_if<MoveToTile>(&mode_)) {
    for (const auto& hint : move->hints) {
      OverlayLabel label{centreOf(hint.frame), {std::string(1, hint.key)}};
      if (hint.appName) label.lines.push_back(*hint.appName);
      labels.push_back(std::move(label));
    }
  } else if (const auto* pick = std::get_if<Pick>(&mode_)) {
    const auto& picked = pick->pick.picked;
    for (const auto& hint : pick->pick.hints) {
      auto at = std::find(picked.begin(), picked.end(), hint.window);
      // A picked window shows its place in the pick beside its letter.
      bool isPicked = at != picked.end();
      std::string text(1, hint.letter);
      if (isPicked) text.append(1, ' ').append(std::to_string(at - picked.begin() + 1));
      labels.push_back({hint.anchor, {std::move(text)}, isPicked});
    }
    if (pick->pick.stage == PickToTile::Stage::choosing && !pick->pick.choices.empty())
      labels.push_back({centreOf(displayFrame(world_, pick->pick.displayID)),
                        {pick->pick.choices[static_cast<std::size_t>(pick->pick.chosen)].name,
                         pick->pick.title()},
                        true});
  } else if (const auto* edit = std::get_if<Edit>(&mode_)) {
    auto frames = edit->editor.tileFrames();
    for (std::size_t tile = 0; tile < frames.size(); ++tile)
      labels.push_back({centreOf(frames[tile]),
                        {std::to_string(tile + 1)},
                        static_cast<int>(tile) == edit->editor.selected});
  } else if (std::holds_alternative<Arrange>(mode_)) {
    ArrangeKeys::Context context;
    const auto& state = services_.runner.state();
    if (const auto* window = front_ ? windowWithID(world_, *front_) : nullptr) {
      context.appName = window->appName;
      context.isTiled = tilingHolding(state.tilings, window->id) != nullptr;
      if (auto display = world_.setup.display(window->frame))
        context.keepsTiled = services_.runner.library().settings.keptTiled.contains(display->id);
    }
    if (const auto* last = state.undo.peekUndo()) context.undoTitle = last->title;
    context.hasOtherDisplays = world_.setup.displays.size() > 1;
    // One panel per group, side by side across the display: the whole legend in one column
    // would be taller than a small screen.
    auto columns = legendColumns(context);
    auto display = displayFrame(world_, {});
    for (std::size_t column = 0; column < columns.size(); ++column) {
      double share = display.size.width / static_cast<double>(columns.size());
      CGPoint centre{display.minX() + share * (static_cast<double>(column) + 0.5), display.midY()};
      labels.push_back({centre, std::move(columns[column])});
    }
  }
  return labels;
}

void KeyboardModes::typed(const OverlayKey& key) {
  std::visit(
      [&](auto& mode) {
        if constexpr (!std::is_same_v<std::decay_t<decltype(mode)>, std::monostate>)
          typedIn(mode, key);
      },
      mode_);
}

void KeyboardModes::typedIn(Hints& mode, const OverlayKey& key) {
  if (isEscape(key)) return close();
  auto letter = typedLetter(key);
  for (const auto& hint : mode.hints)
    if (letter == hint.letter) {
      auto outcome = unchanged();
      outcome.focus = hint.window;
      close();
      return finish(Command{Command::Hints{}}, std::move(outcome));
    }
}

void KeyboardModes::typedIn(MoveToTile& mode, const OverlayKey& key) {
  if (isEscape(key)) return close();
  auto letter = typedLetter(key);
  bool splitting = key.modifiers.contains(KeyModifiers::shift);
  for (const auto& hint : mode.hints) {
    if (letter != hint.key) continue;
    auto plan = TileHints::plan(hint, splitting, mode.window, mode.session, world_);
    if (!plan) return;
    auto outcome = unchanged();
    outcome.frames = plan->frames;
    outcome.state.tilings = plan->session.tilings;
    close();
    return finish(Command{Command::MoveToTile{}}, std::move(outcome));
  }
}

void KeyboardModes::typedIn(Pick& mode, const OverlayKey& key) {
  auto pickKeyTyped = pickKey(mode.pick, key);
  if (!pickKeyTyped) return;
  switch (mode.pick.handle(*pickKeyTyped, world_)) {
    case PickToTile::Outcome::changed:
      return showMode();
    case PickToTile::Outcome::refused:
      return;
    case PickToTile::Outcome::closed:
      return close();
    case PickToTile::Outcome::tile:
      break;
  }
  auto pick = mode.pick.pick();
  close();
  if (!pick) return;
  auto outcome = unchanged();
  auto plan = ApplyPlan::forPick(*pick, world_, services_.runner.library().settings.gaps);
  outcome.frames = plan.movedFrames();
  for (const auto& [displayID, tiling] : plan.tilings)
    outcome.state.tilings[displayID] = tiling;
  outcome.plan = std::move(plan);
  finish(Command{Command::PickWindows{}}, std::move(outcome));
}

void KeyboardModes::typedIn(Edit& mode, const OverlayKey& key) {
  auto editKey = TileEditor::Key::from(key.keyCode, key.modifiers, key.characters);
  if (!editKey) return;
  auto edited = mode.editor.apply(*editKey);
  if (!edited) return;
  mode.editor = std::move(*edited);
  place(mode.editor.frames());
  if (mode.editor.ending == TileEditor::Ending::editing) return showMode();
  auto editor = std::move(mode.editor);
  close();
  if (editor.ending == TileEditor::Ending::cancelled) return;
  // The windows already stand where the edit left them; the outcome against the world of
  // the opening records the whole edit as one undo step.
  auto outcome = unchanged();
  for (const auto& [id, frame] : editor.frames()) {
    const auto* window = windowWithID(world_, id);
    if (!window || window->frame != frame) outcome.frames.emplace(id, frame);
  }
  outcome.state.tilings[editor.displayID] = editor.tiling;
  finish(Command{Command::EditTiles{}}, std::move(outcome));
}

void KeyboardModes::typedIn(Arrange&, const OverlayKey& key) {
  auto action = ArrangeKeys::action(key.keyCode, key.modifiers);
  if (!action) return;
  std::visit(
      [&](const auto& value) {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, ArrangeKeys::Action::Done>) {
          close();
        } else if constexpr (std::is_same_v<T, ArrangeKeys::Action::Push>) {
          push(value.edge);
        } else if constexpr (std::is_same_v<T, SnapAction>) {
          services_.run(Command{Command::Snap{value}});
        } else if (auto mode = modeOf(value)) {
          open(*mode);
        } else if (value != KeyCommand::arrangeWithKeys) {
          services_.run(commandOf(value));
        }
      },
      action->value);
  // The legend follows the front window the key left in front.
  if (std::holds_alternative<Arrange>(mode_)) {
    world_ = services_.conductor.snapshot();
    front_ = front();
    showMode();
  }
}

/// Pushing the front window's edge is the tile editor's ⌥-arrow, kept at once.
void KeyboardModes::push(TileEdge edge) {
  world_ = services_.conductor.snapshot();
  const auto& state = services_.runner.state();
  auto editor = TileEditor::open(
      front(), world_,
      LiveTiles(world_.setup, services_.runner.library().settings.gaps, state.tilings));
  if (!editor || !editor->wasTiled) return;
  auto pushed = editor->apply(TileEditor::Key::moveEdge(edge));
  if (!pushed) return;
  auto outcome = unchanged();
  for (const auto& [id, frame] : pushed->frames())
    if (const auto* window = windowWithID(world_, id); !window || window->frame != frame)
      outcome.frames.emplace(id, frame);
  outcome.state.tilings[pushed->displayID] = pushed->tiling;
  finish(Command{Command::EditTiles{}}, std::move(outcome));
}

void KeyboardModes::place(const std::map<std::uint32_t, CGRect>& frames) {
  // Against the windows as they stand now: the engine leaves alone a window already at its
  // target, and the opening world no longer says where the edit has put them.
  auto now = services_.conductor.snapshot();
  std::vector<ApplyPlan::Move> moves;
  for (const auto& window : now.windows)
    if (auto target = frames.find(window.id); target != frames.end())
      moves.push_back({window.id, window.pid, {}, 0, target->second});
  if (!moves.empty()) services_.conductor.place(moves, now);
}

void KeyboardModes::finish(const KestlesCommand& command, CommandOutcome outcome) {
  services_.runner.carryOutMode(command, outcome, world_);
}

CommandOutcome KeyboardModes::unchanged() const {
  CommandOutcome outcome;
  outcome.state = services_.runner.state();
  return outcome;
}

std::optional<std::uint32_t> KeyboardModes::front() {
  if (auto window = services_.engine.focusedWindow()) return window->id;
  return std::nullopt;
}

void KeyboardModes::tell(const std::string& sentence) {
  services_.runner.notice(sentence);
}

}  // namespace kestles::app
