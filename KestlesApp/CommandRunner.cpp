#include "KestlesApp/CommandRunner.hpp"

#include <system_error>
#include <type_traits>
#include <utility>
#include <variant>

#include "KestlesCore/archive/KestlesArchive.hpp"
#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/command/KeyBindings.hpp"
#include "KestlesCore/keys/KeyLabel.hpp"
#include "KestlesCore/session/CommandRecord.hpp"
#include "KestlesCore/session/DropPlan.hpp"
#include "KestlesEngine/platform/Defaults.hpp"

namespace kestles::app {
namespace {

using Command = KestlesCommand;
using platform::LogLevel;

constexpr const char* kTitle = "Kestles";

/// The sentences one after another, each ended with a full stop when it has none.
std::string joined(const std::vector<std::string>& sentences) {
  std::string text;
  for (const auto& sentence : sentences) {
    text += (text.empty() ? "" : " ") + sentence;
    if (!sentence.empty() && !sentence.ends_with('.') && !sentence.ends_with('?') &&
        !sentence.ends_with('!'))
      text += '.';
  }
  return text;
}

}  // namespace

std::optional<std::string> notOnThisDesktop(const KestlesCommand& command) {
  return std::visit(
      [](const auto& value) -> std::optional<std::string> {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, Command::Open>)
          return "Kestles has no settings window on this desktop; change the library and the "
                 "settings with the kestles command.";
        if constexpr (std::is_same_v<T, Command::Tour> || std::is_same_v<T, Command::ShowMe> ||
                      std::is_same_v<T, Command::Welcome> || std::is_same_v<T, Command::ShowTip>)
          return "The tour and the tips aren’t part of Kestles on this desktop; “kestles help” "
                 "shows every command.";
        if constexpr (std::is_same_v<T, Command::Panel>)
          return "The palette needs an X display to show on; “kestles-app palette” lists its "
                 "items in a terminal.";
        if constexpr (std::is_same_v<T, Command::Hints> || std::is_same_v<T, Command::MoveToTile> ||
                      std::is_same_v<T, Command::PickWindows> ||
                      std::is_same_v<T, Command::EditTiles> ||
                      std::is_same_v<T, Command::ArrangeWithKeys>)
          return "The keyboard modes need an X display to show their keys on; the tiling and "
                 "snapping commands work.";
        if constexpr (std::is_same_v<T, Command::Debug>)
          return "Kestles has no windows of its own on this desktop for debug links to change.";
        return std::nullopt;
      },
      command.value);
}

std::optional<std::filesystem::path> pathOfFileURL(std::string_view url) {
  constexpr std::string_view kScheme = "file://";
  if (!url.starts_with(kScheme)) return std::nullopt;
  url.remove_prefix(kScheme.size());
  url = url.substr(0, url.find('?'));
  if (url.starts_with("localhost/")) url.remove_prefix(std::string_view("localhost").size());
  if (!url.starts_with('/')) return std::nullopt;
  auto path = percentDecoded(url);
  if (!path) return std::nullopt;
  return std::filesystem::path(*path);
}

CommandRunner::CommandRunner(Services services, Files files)
    : services_(services), files_(std::move(files)) {
  // Windows of apps a kestle opened join the tilings as they come, so that later swaps,
  // rotations and keep tiled see them in their tiles.
  services_.conductor.onPlacedOpened = [this](const auto& placed, const auto& planned,
                                              const World& world) {
    auto after = planOpenedWindows(placed, planned, world, state_);
    if (after == state_) return;
    state_ = std::move(after);
    saveState();
  };
}

CommandRunner::~CommandRunner() {
  services_.conductor.onPlacedOpened = nullptr;
}

void CommandRunner::load() {
  auto loaded = JSONFile<Library>{files_.library}.loadSettingAside();
  if (auto* library = std::get_if<JSONFile<Library>::Loaded>(&loaded)) {
    library_ = std::move(library->value);
  } else if (auto* damaged = std::get_if<JSONFile<Library>::Unreadable>(&loaded)) {
    log(LogLevel::error, files_.library.string() + " can’t be read (" + damaged->error + ").");
    tell("Your library couldn’t be read",
         damaged->backup ? "It was set aside as " + damaged->backup->filename().string() +
                               ", and Kestles began a new one."
                         : "Kestles began a new one; the damaged file is still in its place.");
  }
  followFloatingApps();
  std::string problem;
  state_ = SessionState::read(files_.state, &problem);
  if (!problem.empty()) log(LogLevel::error, problem);
}

void CommandRunner::followFloatingApps() {
  auto& floating = services_.conductor.floating;
  floating.clear();
  for (const auto& app : library_.settings.floatingApps)
    floating.insert(app.bundleID);
}

void CommandRunner::saveLibrary() {
  try {
    JSONFile<Library>{files_.library}.save(library_);
  } catch (const std::exception& error) {
    tell("Your library couldn’t be saved", error.what());
  }
}

void CommandRunner::saveState() {
  try {
    state_.write(files_.state);
  } catch (const std::exception& error) {
    log(LogLevel::error, files_.state.string() + " can’t be written (" + error.what() + ").");
  }
}

void CommandRunner::run(const KestlesCommand& command, Answer answer) {
  if (auto sentence = notOnThisDesktop(command))
    return reply(answer, link::LinkReply::refused(*sentence));
  // Undo too is taken only once the parts of closed windows have left the history.
  auto world = caughtUp(services_.conductor.snapshot());
  auto focused = services_.engine.focusedWindow();
  auto front = focused ? std::optional(focused->id) : std::nullopt;
  auto outcome = planCommand(command, world, library_, state_, front);
  if (outcome.message) return reply(answer, link::LinkReply::refused(*outcome.message));
  const auto* snap = std::get_if<Command::Snap>(&command.value);
  auto full = engine::Conductor::fullScreenAmong(outcome.frames, world);
  if (full.empty()) {
    auto before = state_.tilings;
    finish(command, outcome, world, answer);
    if (snap && front && !outcome.unchanged) snapped(snap->action, *front, outcome, world, before);
    return;
  }
  // Windows leaving full screen land elsewhere, and the Spaces change: once they settled, the
  // command is planned again on the world then.
  services_.conductor.leaveFullScreen(full, [this, command, front, answer](const auto&) {
    auto after = services_.conductor.snapshot();
    auto replanned = planCommand(command, after, library_, state_, front);
    if (replanned.message) return reply(answer, link::LinkReply::refused(*replanned.message));
    finish(command, replanned, after, answer);
  });
}

void CommandRunner::snapped(SnapAction action, std::uint32_t window, const CommandOutcome& outcome,
                            const World& world, const Tilings& before) {
  auto frame = outcome.frames.find(window);
  if (!onSnapped || !library_.settings.snapFlashEnabled || frame == outcome.frames.end()) return;
  onSnapped(SnapFlash::shown(action, window, frame->second, before, outcome.state.tilings,
                             world.setup, library_.settings.gaps));
}

void CommandRunner::drop(std::uint32_t window, CGPoint point, const World& before) {
  auto plan = DropPlan::make(point, window, before, library_.settings, state_);
  if (plan.outcome.message) return log(LogLevel::info, *plan.outcome.message);
  if (!plan.place && !plan.landing) {
    // Pulled out of its tile: it floats where it was dropped, and keep tiled leaves it there.
    auto now = state_;
    bool wasTiled = false;
    for (auto& [displayID, tiling] : now.tilings)
      wasTiled = tiling.remove(window).has_value() || wasTiled;
    if (!wasTiled) return;
    now.keptTiles.floating.insert(window);
    state_ = std::move(now);
    return saveState();
  }
  KestlesCommand command = plan.place ? KestlesCommand{Command::Snap{*plan.place}}
                                      : KestlesCommand{Command::MoveToTile{}};
  if (auto entry = undoEntryFor(command, plan.outcome, before, library_, state_))
    state_.undo.record(std::move(*entry));
  auto tilings = state_.tilings;
  // The window is where the pointer left it, not where it began: the moves start from now.
  auto now = services_.conductor.snapshot();
  settle(plan.outcome, now);
  if (plan.place) snapped(*plan.place, window, plan.outcome, now, tilings);
}

void CommandRunner::finish(const KestlesCommand& command, const CommandOutcome& outcome,
                           const World& world, const Answer& answer) {
  if (outcome.undone) {
    undo(outcome, world, std::holds_alternative<Command::Redo>(command.value));
    return reply(answer, link::LinkReply::accepted());
  }
  auto failures = carryOut(command, outcome, world);
  // The session still learns what it saw (a tiling that stood already), but nothing moved.
  if (outcome.unchanged) return reply(answer, link::LinkReply::refused(*outcome.unchanged));
  if (outcome.partly) failures.insert(failures.begin(), *outcome.partly);
  reply(answer, failures.empty() ? link::LinkReply::accepted()
                                 : link::LinkReply::partial(joined(failures)));
}

void CommandRunner::reply(const Answer& answer, const link::LinkReply& reply) {
  if (answer) return answer(reply);
  if (reply.kind == link::LinkReply::Kind::error || reply.kind == link::LinkReply::Kind::partly)
    tell(kTitle, reply.sentence);
}

void CommandRunner::carryOutMode(const KestlesCommand& command, const CommandOutcome& outcome,
                                 const World& before) {
  auto failures = carryOut(command, outcome, before);
  if (!failures.empty()) tell(kTitle, joined(failures));
}

void CommandRunner::notice(const std::string& sentence) {
  tell(kTitle, sentence);
}

std::vector<std::string> CommandRunner::carryOut(const KestlesCommand& command,
                                                 const CommandOutcome& outcome,
                                                 const World& world) {
  std::optional<std::string> undoable;
  if (auto entry = undoEntryFor(command, outcome, world, library_, state_)) {
    undoable = entry->title;
    state_.undo.record(std::move(*entry));
  }
  auto failures = settle(outcome, world);
  // Nothing moved: nothing to tell about undoing it.
  if (undoable && !outcome.unchanged && library_.settings.showsUndoToast) tellUndoable(*undoable);
  return failures;
}

void CommandRunner::tellUndoable(const std::string& title) {
  std::optional<KeyCombo> undoKey;
  for (const auto& binding : KeyBindings::of(library_).bindings)
    if (std::holds_alternative<KestlesCommand::Undo>(binding.command.value))
      undoKey = binding.combo;
  tell(title,
       undoKey ? KeyLabel::written(*undoKey) + " undoes it." : "“kestles undo” puts it back.");
}

std::vector<std::string> CommandRunner::move(const CommandOutcome& outcome, const World& world) {
  if (outcome.plan) {
    return services_.conductor.apply(*outcome.plan, world, {library_.settings.gaps, glide()})
        .failures;
  }
  std::vector<ApplyPlan::Move> moves;
  for (const auto& window : world.windows)
    if (auto target = outcome.frames.find(window.id); target != outcome.frames.end())
      moves.push_back({window.id, window.pid, {}, 0, target->second});
  if (moves.empty()) return {};
  return services_.conductor.place(moves, world, glide()).failures;
}

platform::Duration CommandRunner::glide() {
  bool glides = platform::readDefaultBool(platform::kDefaultsSuite, kGlideDefault).value_or(false);
  return glides ? kGlideDuration : platform::Duration{0};
}

void CommandRunner::undo(const CommandOutcome& outcome, const World& world, bool redo) {
  const auto& entry = *outcome.undone;
  entry.restoreLibrary(library_);
  services_.conductor.undo(entry, world);
  state_ = outcome.state;
  saveLibrary();
  saveState();
  log(LogLevel::info, (redo ? "Redid " : "Undid ") + entry.title);
}

void CommandRunner::windowsChanged() {
  // Opened apps' windows take the tiles waiting for them before keep tiled sees them as new.
  services_.conductor.lookNow();
  // Nothing to look after: no snapshot.
  if (library_.settings.keptTiled.empty() && state_.windows().empty()) return;
  lookAgain(services_.conductor.snapshot());
}

World CommandRunner::caughtUp(World world) {
  if (state_.forgettingClosedWindows(world).windows() == state_.windows()) return world;
  return lookAgain(world) ? services_.conductor.snapshot() : world;
}

bool CommandRunner::lookAgain(const World& world) {
  if (library_.settings.keptTiled.empty()) {
    auto now = state_.forgettingClosedWindows(world);
    if (now == state_) return false;
    state_ = std::move(now);
    saveState();
    return false;
  }
  auto outcome = planTileChanges(world, library_, state_);
  KestlesCommand keepTiled{Command::KeepTiled{}};
  auto entry = undoEntryFor(keepTiled, outcome, world, library_, state_);
  if (entry && !entry->frames.empty()) {
    entry->kind = UndoEntry::Kind::keptTiled;
    state_.undo.record(std::move(*entry));
  }
  auto failures = settle(outcome, world);
  if (!failures.empty()) tell(kTitle, joined(failures));
  return !outcome.frames.empty();
}

void CommandRunner::displaysChanged(const DisplaySetup& now) {
  auto previous = std::exchange(knownSetup_, now);
  if (!previous) return;
  auto change = DisplayChange::make(*previous, now);
  if (!change) return;
  auto world = services_.conductor.snapshot();
  auto focused = services_.engine.focusedWindow();
  for (auto outcome : planDisplayChange(*change, world, library_, state_,
                                        focused ? std::optional(focused->id) : std::nullopt)) {
    // The change's title is the notice's title.
    if (outcome.notice) tell(*std::exchange(outcome.notice, std::nullopt));
    auto failures = settle(outcome, world);
    if (!failures.empty()) tell(kTitle, joined(failures));
  }
}

std::vector<std::string> CommandRunner::settle(const CommandOutcome& outcome, const World& world) {
  auto failures = move(outcome, world);
  if (outcome.focus) services_.engine.raise({}, outcome.focus);
  // The history is this runner's: the outcome's copy predates the entry just recorded.
  auto history = std::move(state_.undo);
  state_ = outcome.state;
  state_.undo = std::move(history);
  // The kept displays belong to the library; the state keeps them only for dry runs.
  state_.keptTiled.reset();
  // The entry just recorded may hold windows that closed, or that the state never saw.
  state_ = state_.forgettingClosedWindows(world);
  if (recordInLibrary(library_, outcome)) {
    saveLibrary();
    followFloatingApps();
  }
  saveState();
  if (outcome.notice) tell(kTitle, *outcome.notice);
  return failures;
}

void CommandRunner::importArchive(const std::filesystem::path& archive, bool settings) {
  try {
    auto bytes = json_style::readFileIfPresent(archive);
    if (!bytes) return tell(kTitle, "There’s no file at " + archive.string() + ".");
    auto decoded = KestlesArchive::decoded(*bytes);
    // Settings are the user's own keys and switches: a shared file brings them only when asked.
    ImportParts parts{settings ? ImportParts::all : ImportParts::all & ~ImportParts::settings};
    auto text = decoded.importInto(library_, parts).text();
    bool settingsLeft = !settings && decoded.settings && !(*decoded.settings == library_.settings);
    std::string left = settingsLeft ? "Your settings stay as they are; import the file with "
                                      "--settings to take its settings instead."
                                    : "";
    if (text.empty())
      return tell("Nothing to import",
                  settingsLeft ? left : "Everything in that file is already here.");
    saveLibrary();
    tell("Imported", settingsLeft ? text + ". " + left : text);
  } catch (const std::exception& error) {
    tell("That file couldn’t be imported", json_style::describe(error));
  }
}

void CommandRunner::record(const RecordRequest& request) {
  if (const auto* recent = std::get_if<RecordRequest::PaletteRecent>(&request.value)) {
    auto before = state_.paletteRecents;
    state_.paletteRecents.record(recent->action);
    if (state_.paletteRecents != before) saveState();
    return;
  }
  const auto& added = library_.addKestle(std::get<RecordRequest::AddKestle>(request.value).kestle);
  log(LogLevel::info, "Added the kestle " + added.name);
  saveLibrary();
}

void CommandRunner::tell(const std::string& title, const std::string& body) {
  services_.notifier.notify(title, body);
}

void CommandRunner::log(LogLevel level, std::string message) {
  services_.log.write({level, platform::LogCategory::engine, std::move(message)});
}

}  // namespace kestles::app
