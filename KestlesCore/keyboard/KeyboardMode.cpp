#include "KestlesCore/keyboard/KeyboardMode.hpp"

#include <algorithm>
#include <cctype>

#include <nlohmann/json.hpp>

#include "KestlesCore/apply/ApplyPlan.hpp"
#include "KestlesCore/apply/TileWindowsPlan.hpp"
#include "KestlesCore/command/KeyBindings.hpp"
#include "KestlesCore/keyboard/ModeKeys.hpp"
#include "KestlesCore/palette/PaletteCatalog.hpp"
#include "KestlesCore/palette/PaletteChoice.hpp"
#include "KestlesCore/session/CommandRecord.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {
namespace {

using Command = KestlesCommand;

/// The letter or digit a key types, upper-cased; nothing for any other key.
std::optional<char> typedLetter(const TypedKey& key) {
  if (key.characters.size() != 1) return std::nullopt;
  auto character = static_cast<unsigned char>(key.characters.front());
  if (!std::isalnum(character)) return std::nullopt;
  return static_cast<char>(std::toupper(character));
}

bool isEscape(const TypedKey& key) {
  return key.keyCode == mode_keys::escape;
}

bool isReturn(const TypedKey& key) {
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

/// The visible frame of the front window's display, else of the active one.
CGRect frontDisplayFrame(const World& world, std::optional<std::uint32_t> front) {
  const auto* window = front ? windowWithID(world, *front) : nullptr;
  auto display = window ? world.setup.display(window->frame) : std::nullopt;
  return display ? display->visibleFrame : displayFrame(world, {});
}

/// The palette's panel: the field and the rows that fit, across the top of the display
/// (a fifth of the way down, as launchers sit), at most 720 points wide.
ModeLabel paletteLabel(const PaletteMode& palette, const CGRect& display) {
  constexpr double kMaximumWidth = 720;
  constexpr double kMargin = 40;
  ModeList list;
  list.field = palette.text();
  list.placeholder = "Type to find a command, kestle, layout or window";
  list.width = std::max(0.0, std::min(kMaximumWidth, display.size.width - 2 * kMargin));
  list.selected = palette.chosenRow();
  ModeLabel label{{display.midX(), display.minY() + display.size.height / 5}, {}};
  for (auto& row : palette.shownRows()) {
    if (row.isHeading) list.dimmed.push_back(label.lines.size());
    label.lines.push_back(std::move(row.text));
  }
  if (palette.nothingMatches()) {
    list.dimmed.push_back(label.lines.size());
    label.lines.push_back(PaletteMode::nothingMatchesSentence(text::trimmed(palette.text())));
  }
  label.list = std::move(list);
  return label;
}

/// The mode keys of picking (the model leaves the keys to the app):
/// picking — a hint letter toggles its window, a digit moves the pick to that display,
/// Backspace unpicks the last, Return goes on to choosing, Space tiles at once;
/// choosing — a digit or Tab/→ and ⇧Tab/← choose the way, R and ⇧R rotate, ⌥ and a digit
/// move to a display, Backspace goes back, Return or Space tiles. Escape always closes.
std::optional<PickToTile::Key> pickKey(const PickToTile& pick, const TypedKey& key) {
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

/// The frames of the editor's windows that differ from where they stood in `world`.
std::map<std::uint32_t, CGRect> changedFrames(const TileEditor& editor, const World& world) {
  std::map<std::uint32_t, CGRect> frames;
  for (const auto& [id, frame] : editor.frames()) {
    const auto* window = windowWithID(world, id);
    if (!window || window->frame != frame) frames.emplace(id, frame);
  }
  return frames;
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

bool KeyboardMode::opens(const KestlesCommand& command) {
  return std::holds_alternative<Command::Hints>(command.value) ||
         std::holds_alternative<Command::MoveToTile>(command.value) ||
         std::holds_alternative<Command::PickWindows>(command.value) ||
         std::holds_alternative<Command::EditTiles>(command.value) ||
         std::holds_alternative<Command::ArrangeWithKeys>(command.value) ||
         std::holds_alternative<Command::Panel>(command.value);
}

std::variant<KeyboardMode, std::string> KeyboardMode::open(const KestlesCommand& command,
                                                           const World& world,
                                                           const Library& library,
                                                           const SessionState& state,
                                                           std::optional<std::uint32_t> front) {
  KeyboardMode mode;
  mode.world_ = world;
  mode.state_ = state.forgettingClosedWindows(world);
  mode.front_ = front;
  mode.gaps_ = library.settings.gaps;
  mode.keptTiled_ = library.settings.keptTiled;
  if (std::holds_alternative<Command::Panel>(command.value)) {
    // The catalogue as `kestles-app palette` lists it: the assistant's item, which only a
    // typed request makes, is not among it.
    mode.mode_ = Palette{
        PaletteMode(PaletteCatalog::items(library, world, mode.state_.undo), state.paletteRecents),
        library, frontDisplayFrame(world, front)};
    return mode;
  }
  if (auto refused = mode.enter(command)) return *refused;
  return mode;
}

std::optional<std::string> KeyboardMode::enter(const KestlesCommand& command) {
  mode_ = std::monostate{};
  if (std::holds_alternative<Command::Hints>(command.value)) {
    auto hints = WindowHints::hints(world_);
    if (hints.empty()) return "There are no windows to go to.";
    mode_ = Hints{std::move(hints)};
  } else if (std::holds_alternative<Command::MoveToTile>(command.value)) {
    if (!front_) return "There’s no window in front to move into a tile.";
    auto live = session();
    auto hints = TileHints::hints(*front_, live, world_);
    if (hints.empty()) return "There are no tiles to move the window into; tile a display first.";
    mode_ = MoveToTile{*front_, std::move(live), std::move(hints)};
  } else if (std::holds_alternative<Command::PickWindows>(command.value)) {
    auto pick = PickToTile::open(world_);
    if (pick.hints.empty()) return "There are no windows to pick.";
    mode_ = Pick{std::move(pick)};
  } else if (std::holds_alternative<Command::EditTiles>(command.value)) {
    auto editor = TileEditor::open(front_, world_, session());
    if (!editor) return "There’s no display to edit the tiles of.";
    mode_ = Edit{std::move(*editor)};
  } else if (std::holds_alternative<Command::ArrangeWithKeys>(command.value)) {
    mode_ = Arrange{};
  } else {
    return "That command opens no keyboard mode.";
  }
  return std::nullopt;
}

void KeyboardMode::see(const World& world, const SessionState& state,
                       std::optional<std::uint32_t> front) {
  world_ = world;
  state_ = state.forgettingClosedWindows(world);
  front_ = front;
}

LiveTiles KeyboardMode::session() const {
  return LiveTiles(world_.setup, gaps_, state_.tilings);
}

CommandOutcome KeyboardMode::unchanged() const {
  CommandOutcome outcome;
  outcome.state = state_;
  return outcome;
}

std::vector<ModeLabel> KeyboardMode::labels() const {
  std::vector<ModeLabel> labels;
  if (const auto* hints = std::get_if<Hints>(&mode_)) {
    for (const auto& hint : hints->hints)
      labels.push_back({hint.anchor, {std::string(1, hint.letter)}});
  } else if (const auto* move = std::get_if<MoveToTile>(&mode_)) {
    for (const auto& hint : move->hints) {
      ModeLabel label{centreOf(hint.frame), {std::string(1, hint.key)}};
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
    if (const auto* window = front_ ? windowWithID(world_, *front_) : nullptr) {
      context.appName = window->appName;
      context.isTiled = tilingHolding(state_.tilings, window->id) != nullptr;
      if (auto display = world_.setup.display(window->frame))
        context.keepsTiled = keptTiled_.contains(display->id);
    }
    if (const auto* last = state_.undo.peekUndo()) context.undoTitle = last->title;
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
  } else if (const auto* palette = std::get_if<Palette>(&mode_)) {
    labels.push_back(paletteLabel(palette->palette, palette->display));
  }
  return labels;
}

KeyboardMode::Step KeyboardMode::typed(const TypedKey& key) {
  return std::visit(
      [&](auto& mode) -> Step {
        if constexpr (std::is_same_v<std::decay_t<decltype(mode)>, std::monostate>)
          return {};
        else
          return typedIn(mode, key);
      },
      mode_);
}

KeyboardMode::Step KeyboardMode::typedIn(Hints& mode, const TypedKey& key) {
  if (isEscape(key)) {
    mode_ = std::monostate{};
    return {};
  }
  auto letter = typedLetter(key);
  for (const auto& hint : mode.hints)
    if (letter == hint.letter) {
      auto outcome = unchanged();
      outcome.focus = hint.window;
      mode_ = std::monostate{};
      return {{}, Command{Command::Hints{}}, std::move(outcome)};
    }
  return {};
}

KeyboardMode::Step KeyboardMode::typedIn(MoveToTile& mode, const TypedKey& key) {
  if (isEscape(key)) {
    mode_ = std::monostate{};
    return {};
  }
  auto letter = typedLetter(key);
  bool splitting = key.modifiers.contains(KeyModifiers::shift);
  for (const auto& hint : mode.hints) {
    if (letter != hint.key) continue;
    auto plan = TileHints::plan(hint, splitting, mode.window, mode.session, world_);
    if (!plan) return {};
    auto outcome = unchanged();
    outcome.frames = plan->frames;
    outcome.state.tilings = plan->session.tilings;
    mode_ = std::monostate{};
    return {{}, Command{Command::MoveToTile{}}, std::move(outcome)};
  }
  return {};
}

KeyboardMode::Step KeyboardMode::typedIn(Pick& mode, const TypedKey& key) {
  auto pickKeyTyped = pickKey(mode.pick, key);
  if (!pickKeyTyped) return {};
  switch (mode.pick.handle(*pickKeyTyped, world_)) {
    case PickToTile::Outcome::changed:
    case PickToTile::Outcome::refused:
      return {};
    case PickToTile::Outcome::closed:
      mode_ = std::monostate{};
      return {};
    case PickToTile::Outcome::tile:
      break;
  }
  auto pick = mode.pick.pick();
  mode_ = std::monostate{};
  if (!pick) return {};
  auto outcome = unchanged();
  auto plan = ApplyPlan::forPick(*pick, world_, gaps_);
  outcome.frames = plan.movedFrames();
  for (const auto& [displayID, tiling] : plan.tilings)
    outcome.state.tilings[displayID] = tiling;
  outcome.plan = std::move(plan);
  return {{}, Command{Command::PickWindows{}}, std::move(outcome)};
}

KeyboardMode::Step KeyboardMode::typedIn(Edit& mode, const TypedKey& key) {
  auto editKey = TileEditor::Key::from(key.keyCode, key.modifiers, key.characters);
  if (!editKey) return {};
  auto edited = mode.editor.apply(*editKey);
  if (!edited) return {};
  mode.editor = std::move(*edited);
  Step step;
  step.follow = mode.editor.frames();
  if (mode.editor.ending == TileEditor::Ending::editing) return step;
  auto editor = std::move(mode.editor);
  mode_ = std::monostate{};
  if (editor.ending == TileEditor::Ending::cancelled) return step;
  // The windows already stand where the edit left them; the outcome against the world of
  // the opening records the whole edit as one undo step.
  auto outcome = unchanged();
  outcome.frames = changedFrames(editor, world_);
  outcome.state.tilings[editor.displayID] = editor.tiling;
  step.command = Command{Command::EditTiles{}};
  step.outcome = std::move(outcome);
  return step;
}

KeyboardMode::Step KeyboardMode::typedIn(Arrange&, const TypedKey& key) {
  auto action = ArrangeKeys::action(key.keyCode, key.modifiers);
  if (!action) return {};
  return std::visit(
      [&](const auto& value) -> Step {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, ArrangeKeys::Action::Done>) {
          mode_ = std::monostate{};
          return {};
        } else if constexpr (std::is_same_v<T, ArrangeKeys::Action::Push>) {
          return push(value.edge);
        } else if constexpr (std::is_same_v<T, SnapAction>) {
          return {{}, Command{Command::Snap{value}}, std::nullopt};
        } else {
          if (auto mode = modeOf(value)) {
            // The other mode takes the keyboard over; one that cannot open leaves this one.
            auto kept = mode_;
            Step step;
            step.refusal = enter(*mode);
            if (step.refusal) mode_ = kept;
            return step;
          }
          if (value == KeyCommand::arrangeWithKeys) return {};
          return {{}, commandOf(value), std::nullopt};
        }
      },
      action->value);
}

KeyboardMode::Step KeyboardMode::typedIn(Palette& mode, const TypedKey& key) {
  switch (mode.palette.typed(key)) {
    case PaletteMode::Outcome::unchanged:
    case PaletteMode::Outcome::changed:
      return {};
    case PaletteMode::Outcome::closed:
      mode_ = std::monostate{};
      return {};
    case PaletteMode::Outcome::chosen:
      break;
  }
  auto item = *mode.palette.chosen();
  auto choice = PaletteChoice::of(item, mode.library);
  Step step;
  if (auto* link = std::get_if<PaletteChoice::Link>(&choice.value)) {
    // Carried out as every command is, after the palette has let the keyboard go.
    step.command = std::move(link->command);
    if (item.action.isRecordable()) step.recent = item.action;
  } else if (auto* window = std::get_if<PaletteChoice::FocusWindow>(&choice.value)) {
    auto outcome = unchanged();
    outcome.focus = window->window;
    step.command = Command{Command::Panel{}};
    step.outcome = std::move(outcome);
  } else {
    step.refusal = std::get<PaletteChoice::Elsewhere>(choice.value).sentence;
  }
  mode_ = std::monostate{};
  return step;
}

/// Pushing the edge of a window in tiles is the tile editor's ⌥-arrow, kept at once; a free
/// window grows toward the edge, or shrinks from the other side once it touches it.
KeyboardMode::Step KeyboardMode::push(TileEdge edge) {
  if (!front_) return {};
  auto editor = TileEditor::open(front_, world_, session());
  if (!editor || !editor->wasTiled || !editor->tiling.tileOf(*front_)) {
    auto planner = snapPlanner(*front_, world_, state_, gaps_);
    auto plan = planner ? KeySnap::push(edge, *planner) : std::nullopt;
    if (!plan) return {};
    auto outcome = unchanged();
    outcome.frames = plan->frames;
    // A run of snaps goes on through the push, so Restore still returns to where it began.
    plan->record(outcome.state.snapMemory, planner->frame);
    return {{}, Command{Command::EditTiles{}}, std::move(outcome)};
  }
  auto pushed = editor->apply(TileEditor::Key::moveEdge(edge));
  if (!pushed) return {};
  auto outcome = unchanged();
  outcome.frames = changedFrames(*pushed, world_);
  outcome.state.tilings[pushed->displayID] = pushed->tiling;
  return {{}, Command{Command::EditTiles{}}, std::move(outcome)};
}

namespace {

/// The world with the windows at the frames.
World movedOn(World world, const std::map<std::uint32_t, CGRect>& frames) {
  for (auto& window : world.windows)
    if (auto found = frames.find(window.id); found != frames.end()) window.frame = found->second;
  return world;
}

}  // namespace

ModeDryRun planModeKeys(const KestlesCommand& command, const std::vector<TypedKey>& keys,
                        const World& world, const Library& library, const SessionState& state,
                        std::optional<std::uint32_t> focused) {
  auto front = frontWindowOf(world, focused);
  ModeDryRun run;
  run.outcome.state = state.forgettingClosedWindows(world);
  auto opened = KeyboardMode::open(command, world, library, state, front);
  if (auto* refused = std::get_if<std::string>(&opened)) {
    run.outcome.message = *refused;
    return run;
  }
  auto& mode = std::get<KeyboardMode>(opened);
  auto& total = run.outcome;
  World now = world;
  // Each change is taken as the app takes it: recorded for undo against the world it was
  // planned on, its moves added to the ones before.
  auto take = [&](const KestlesCommand& recorded, CommandOutcome outcome, const World& before) {
    // An undo's own history is already in its state.
    if (!outcome.undone)
      if (auto entry = undoEntryFor(recorded, outcome, before, library, total.state))
        outcome.state.undo.record(std::move(*entry));
    for (const auto& [id, frame] : outcome.frames)
      total.frames[id] = frame;
    if (outcome.focus) front = total.focus = outcome.focus;
    if (outcome.plan) total.plan = std::move(outcome.plan);
    if (outcome.notice) total.notice = std::move(outcome.notice);
    if (outcome.undone) total.undone = std::move(outcome.undone);
    total.state = std::move(outcome.state);
    now = movedOn(std::move(now), total.frames);
  };
  for (const auto& key : keys) {
    if (!mode.isOpen()) break;
    auto before = mode.world();
    auto step = mode.typed(key);
    if (step.recent) total.state.paletteRecents.record(*step.recent);
    if (step.outcome) {
      take(*step.command, std::move(*step.outcome), before);
    } else if (step.command) {
      auto outcome = planCommand(*step.command, now, library, total.state, front);
      if (!outcome.message) take(*step.command, std::move(outcome), now);
    }
    if (mode.isArranging()) mode.see(now, total.state, front);
  }
  if (mode.isOpen()) run.labels = mode.labels();
  return run;
}

void to_json(nlohmann::json& json, const ModeLabel& label) {
  json = {{"centre", label.centre}, {"lines", label.lines}, {"highlighted", label.highlighted}};
  if (const auto& list = label.list) {
    json["list"] = {{"field", list->field}, {"width", list->width}, {"dimmed", list->dimmed}};
    if (list->selected) json["list"]["selected"] = *list->selected;
  }
}

}  // namespace kestles
