#include "KestlesCore/session/CommandPlanner.hpp"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "KestlesCore/apply/ApplyTarget.hpp"
#include "KestlesCore/apply/RuleAction.hpp"
#include "KestlesCore/apply/WindowsArrangement.hpp"
#include "KestlesCore/command/NameLookup.hpp"
#include "KestlesCore/layout/Template.hpp"
#include "KestlesCore/session/CommandRecord.hpp"
#include "KestlesCore/session/NothingDone.hpp"
#include "KestlesCore/snap/KeySnap.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesCore/tiling/DisplaySwap.hpp"
#include "KestlesCore/tiling/FocusMove.hpp"
#include "KestlesCore/tiling/Regap.hpp"
#include "KestlesCore/tiling/RetilePlan.hpp"
#include "KestlesCore/tiling/SwapMove.hpp"
#include "KestlesCore/tiling/TileToggle.hpp"

namespace kestles {
namespace {

using Command = KestlesCommand;

constexpr std::string_view kNotCovered = "A dry run doesn’t cover this command yet.";
constexpr std::string_view kNoFocus = "No window is focused.";

/// The library's entry a looked-up layout reference points at.
std::optional<LayoutEntry> entryFor(const LayoutRef& reference, const Library& library) {
  if (const auto* saved = std::get_if<LayoutRef::Saved>(&reference.value)) {
    const auto* layout = library.layout(saved->id);
    return layout ? std::optional(LayoutEntry::saved(*layout)) : std::nullopt;
  }
  const auto* builtIn = Template::withID(std::get<LayoutRef::Template>(reference.value).identifier);
  return builtIn ? std::optional(LayoutEntry::templateEntry(*builtIn)) : std::nullopt;
}

/// The kept displays: a dry run's own record when it made one, else the library's setting.
std::set<std::string> keptDisplays(const SessionState& state, const Library& library) {
  return state.keptTiled.value_or(library.settings.keptTiled);
}

/// Takes a keep-tiled look into the outcome as the app would: the moves, every tiling after
/// (a dropped one leaves the map), the live session's bookkeeping and the message.
void takeKeptPlan(CommandOutcome& outcome, const KeptTiles::Plan& plan, const World& world,
                  const Gaps& gaps) {
  for (const auto& move : plan.moves)
    outcome.frames[move.window] = move.to;
  outcome.state.tilings = plan.tilings;
  outcome.state.liveTiles.setup = world.setup;
  outcome.state.liveTiles.gaps = gaps;
  outcome.state.liveTiles.adopt(plan.tilings, world);
  outcome.notice = plan.message();
}

struct Planner {
  const World& world;
  const Library& library;
  const SessionState& state;
  std::optional<std::uint32_t> front;
  const Gaps& gaps;

  CommandOutcome said(std::string_view sentence) const {
    CommandOutcome outcome;
    outcome.state = state;
    outcome.message = std::string(sentence);
    return outcome;
  }

  CommandOutcome moving(std::map<std::uint32_t, CGRect> frames, const Tilings& tilings) const {
    CommandOutcome outcome;
    outcome.frames = std::move(frames);
    outcome.state = state;
    for (const auto& [displayID, tiling] : tilings)
      outcome.state.tilings[displayID] = tiling;
    return outcome;
  }

  CommandOutcome moving(const TilePlan& plan) const { return moving(plan.frames, plan.tilings); }

  CommandOutcome applying(const ApplyTarget& target) const {
    const SuggestionStep* last = state.lastSuggestion ? &*state.lastSuggestion : nullptr;
    TileContext context{front, &state.tilings, library.layouts, &state.tilingMemory, last};
    auto plan = target.plan(world, gaps, context);
    if (!plan) return moving({}, {});
    auto outcome = moving(plan->movedFrames(), plan->tilings);
    rememberSuggestions(*plan, outcome.state);
    // A floated window that a plan puts in a tile is tiled again.
    for (const auto& [displayID, tiling] : plan->tilings)
      for (auto window : tiling.windowIDs())
        outcome.state.keptTiles.floating.erase(window);
    outcome.plan = std::move(plan);
    return outcome;
  }

  /// The target as if the windows the user floated out of their tiles were not there: a
  /// request for a display's windows, and what the app does on its own, leaves them where
  /// they float. A kestle and a pick name their windows, so they take them back.
  ApplyTarget skippingFloated(ApplyTarget target) const {
    const auto& floated = state.keptTiles.floating;
    if (floated.empty()) return target;
    return ApplyTarget::skipping(floated, std::move(target));
  }

  /// A kestle the user chose: the wish to come back to an earlier one ends.
  CommandOutcome choosing(const kestles::Kestle& kestle) const {
    auto outcome = applying(ApplyTarget::kestle(kestle));
    auto& memory = outcome.state.focusReturn;
    if (memory.isArmed) memory.switchTo(kestle.id, false, library);
    return outcome;
  }

  /// Each applied suggestion counts in the tiling memory; the last one (the active
  /// display's) is the step a repeat continues.
  static void rememberSuggestions(const ApplyPlan& plan, SessionState& after) {
    for (const auto& applied : plan.suggestions)
      after.tilingMemory.record(applied.id, applied.key);
    if (!plan.suggestions.empty()) after.lastSuggestion = plan.suggestions.back().step;
  }

  /// The display a name picks, or the sentence for none; no name: no display.
  std::variant<std::optional<std::string>, CommandOutcome> display(
      const std::optional<std::string>& name) const {
    if (!name) return std::optional<std::string>();
    auto found = lookUpDisplay(world.setup, *name);
    if (auto* failure = std::get_if<LookupFailure>(&found)) return said(failure->message);
    return std::optional(std::get<DisplayInfo>(found).id);
  }

  CommandOutcome operator()(const Command::Kestle& command) const {
    auto found = lookUpKestle(library, command.name);
    if (auto* failure = std::get_if<LookupFailure>(&found)) return said(failure->message);
    return choosing(std::get<kestles::Kestle>(found));
  }

  CommandOutcome operator()(const Command::NextKestle& command) const {
    auto found = lookUpNextKestle(library, command.offset);
    if (auto* failure = std::get_if<LookupFailure>(&found)) return said(failure->message);
    return choosing(std::get<kestles::Kestle>(found));
  }

  CommandOutcome operator()(const Command::Layout& command) const {
    auto found = lookUpLayout(library, command.name);
    if (auto* failure = std::get_if<LookupFailure>(&found)) return said(failure->message);
    auto entry = entryFor(std::get<LayoutRef>(found), library);
    if (!entry) return moving({}, {});
    auto displayID = display(command.display);
    if (auto* failed = std::get_if<CommandOutcome>(&displayID)) return *failed;
    return applying(skippingFloated(
        ApplyTarget::layout(*entry, std::get<std::optional<std::string>>(displayID))));
  }

  CommandOutcome operator()(const Command::Tile& command) const {
    auto displayID = display(command.display);
    if (auto* failed = std::get_if<CommandOutcome>(&displayID)) return *failed;
    if (const auto* named = std::get_if<TileApps::Named>(&command.apps.value)) {
      auto found = lookUpOpenApp(world.apps, named->name, world.windows);
      if (auto* failure = std::get_if<LookupFailure>(&found)) return said(failure->message);
    }
    return applying(skippingFloated(ApplyTarget::tileWindows(
        std::get<std::optional<std::string>>(displayID), command.apps,
        command.style.value_or(library.settings.tilingStyle), command.style.has_value())));
  }

  CommandOutcome operator()(const Command::TileAllDisplays& command) const {
    return applying(skippingFloated(ApplyTarget::tileAllDisplays(
        command.style.value_or(library.settings.tilingStyle), command.style.has_value())));
  }

  CommandOutcome operator()(const Command::Snap& command) const {
    if (!front) return said(kNoFocus);
    auto planner = snapPlanner(*front, world, state, gaps);
    if (!planner) return moving({}, {});
    auto plan = KeySnap::plan(command.action, *planner);
    if (!plan) return moving({}, {});
    // A window in tiles is planned on the tiles; the tilings keep its place, not the memory.
    if (plan->session) return moving(plan->frames, plan->session->tilings);
    auto outcome = moving(plan->frames, {});
    plan->record(outcome.state.snapMemory, planner->frame);
    return outcome;
  }

  CommandOutcome operator()(const Command::Focus& command) const {
    if (!front) return said(kNoFocus);
    auto outcome = moving({}, {});
    if (front) outcome.focus = FocusMove::target(*front, command.edge, world);
    return outcome;
  }

  CommandOutcome operator()(const Command::Swap& command) const {
    if (!front) return said(kNoFocus);
    auto plan =
        front ? SwapMove::make(*front, command.edge, world, state.tilings, gaps) : std::nullopt;
    return plan ? moving(*plan) : moving({}, {});
  }

  CommandOutcome operator()(const Command::RetileTiles& command) const {
    auto plan = Retile::Plan::make(command.retile, front, world, state.tilings, gaps);
    return plan ? moving(*plan) : moving({}, {});
  }

  /// The new gaps belong to the library's settings, which a dry run leaves alone.
  CommandOutcome operator()(const Command::Gaps& command) const {
    auto plan = Regap::make(command.change, gaps, world, state.tilings);
    if (!plan) return moving({}, {});
    auto outcome = moving(*plan);
    outcome.gaps = plan->gaps;
    return outcome;
  }

  /// Leave-out changes the apps that tiling never takes; no window moves, and the next tiling
  /// leaves the app's windows where they are. An app that is not open can still be taken off
  /// the list by its name there.
  CommandOutcome operator()(const Command::LeaveOut& command) const {
    auto app = leaveOutApp(command.app);
    if (auto* failed = std::get_if<CommandOutcome>(&app)) return *failed;
    const auto& chosen = std::get<AppRef>(app);
    auto floating = library.settings.floatingApps;
    auto listed = std::find_if(floating.begin(), floating.end(), [&](const AppRef& entry) {
      return entry.bundleID == chosen.bundleID;
    });
    bool on = command.on.value_or(listed == floating.end());
    if (on && listed == floating.end()) floating.push_back(chosen);
    if (!on && listed != floating.end()) floating.erase(listed);
    auto outcome = moving({}, {});
    outcome.floatingApps = std::move(floating);
    outcome.notice = on ? chosen.name + " is left out of tiles." : chosen.name + " is tiled again.";
    return outcome;
  }

  std::variant<AppRef, CommandOutcome> leaveOutApp(const std::optional<std::string>& name) const {
    if (!name) {
      const auto* window = front ? findWindow(*front) : nullptr;
      if (!window) return said("There’s no front window whose app to leave out.");
      return AppRef{window->bundleID, window->appName};
    }
    auto found = lookUpOpenApp(world.apps, *name, world.windows);
    if (const auto* app = std::get_if<AppSnapshot>(&found)) return AppRef{app->bundleID, app->name};
    for (const auto& floating : library.settings.floatingApps)
      if (text::nameKey(floating.name) == text::nameKey(*name)) return floating;
    return said(std::get<LookupFailure>(found).message);
  }

  const WindowSnapshot* findWindow(std::uint32_t id) const {
    for (const auto& window : world.windows)
      if (window.id == id) return &window;
    return nullptr;
  }

  CommandOutcome operator()(const Command::MakeMain&) const {
    if (!front) return said(kNoFocus);
    auto plan =
        front ? MainTile::make(*front, world, state.tilings, gaps, state.mainPair) : std::nullopt;
    if (!plan) return moving({}, {});
    auto outcome = moving(*plan);
    outcome.state.mainPair = plan->pair;
    return outcome;
  }

  /// A window floated out of its tile is one keep tiled leaves alone until it takes a tile
  /// again.
  CommandOutcome operator()(const Command::TileOrFloat&) const {
    if (!front) return said(kNoFocus);
    auto plan = front ? TileToggle::make(*front, world, state.tilings, gaps) : std::nullopt;
    if (!plan) return moving({}, {});
    auto outcome = moving(*plan);
    auto& floating = outcome.state.keptTiles.floating;
    if (plan->joins)
      floating.erase(*front);
    else
      floating.insert(*front);
    return outcome;
  }

  /// A display left without a tiling leaves the map; the windows the kept displays know
  /// trade places with the windows themselves.
  CommandOutcome operator()(const Command::SwapDisplays& command) const {
    auto plan = DisplaySwap::make(command.offset, front, world, state.tilings, gaps);
    if (!plan) return moving({}, {});
    auto outcome = moving(*plan);
    auto& known = outcome.state.keptTiles.known;
    auto from = known.extract(plan->from);
    auto to = known.extract(plan->to);
    for (const auto& id : {plan->from, plan->to})
      if (!plan->tilings.contains(id)) outcome.state.tilings.erase(id);
    if (from) known.emplace(plan->to, std::move(from.mapped()));
    if (to) known.emplace(plan->from, std::move(to.mapped()));
    return outcome;
  }

  /// The display named, else the front window's, else the active one.
  std::optional<std::string> currentDisplay() const {
    for (const auto& window : world.windows)
      if (front && window.id == *front)
        if (auto display = world.setup.display(window.frame)) return display->id;
    if (world.activeDisplayID && world.setup.displayWithID(*world.activeDisplayID))
      return world.activeDisplayID;
    auto fallback = world.setup.fallback();
    return fallback ? std::optional(fallback->id) : std::nullopt;
  }

  /// Turning keep tiled on looks at the display at once (every window there is new, so a
  /// display without a tiling is tiled as a whole); turning it off forgets what the display
  /// knew and moves nothing. The set itself is the library's, so it is shown in `keptTiled`
  /// and recorded in the state for the next dry run.
  CommandOutcome operator()(const Command::KeepTiled& command) const {
    auto named = display(command.display);
    if (auto* failed = std::get_if<CommandOutcome>(&named)) return *failed;
    auto displayID = std::get<std::optional<std::string>>(named);
    if (!displayID) displayID = currentDisplay();
    if (!displayID) return moving({}, {});
    auto kept = keptDisplays(state, library);
    bool on = command.on.value_or(!kept.contains(*displayID));
    auto outcome = moving({}, {});
    if (on)
      kept.insert(*displayID);
    else
      kept.erase(*displayID);
    outcome.keptTiled = kept;
    outcome.state.keptTiled = kept;
    if (!on) {
      outcome.state.keptTiles.known.erase(*displayID);
      return outcome;
    }
    auto plan =
        outcome.state.keptTiles.check(kept, world, state.tilings, gaps,
                                      library.settings.tilingStyle, library.settings.tileChanges);
    if (plan) takeKeptPlan(outcome, *plan, world, gaps);
    return outcome;
  }

  // The keyboard modes open with nothing moved; their keys are planned by `planModeKeys`.
  CommandOutcome operator()(const Command::Hints&) const { return moving({}, {}); }
  CommandOutcome operator()(const Command::MoveToTile&) const { return moving({}, {}); }
  CommandOutcome operator()(const Command::PickWindows&) const { return moving({}, {}); }
  CommandOutcome operator()(const Command::EditTiles&) const { return moving({}, {}); }
  CommandOutcome operator()(const Command::ArrangeWithKeys&) const { return moving({}, {}); }

  // Commands that show the app's own windows rather than move any.
  CommandOutcome operator()(const Command::Open&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Tour&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::ShowMe&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Welcome&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::ShowTip&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Debug&) const { return said(kNotCovered); }

  CommandOutcome operator()(const Command::Save& command) const {
    auto windows = WindowsArrangement::of(world);
    if (windows.arrangement.screens.empty())
      return said("There are no windows on screen to save as a kestle.");
    kestles::Kestle kestle;
    if (command.update) {
      auto found = lookUpKestle(library, command.name);
      if (auto* failure = std::get_if<LookupFailure>(&found)) return said(failure->message);
      kestle = std::get<kestles::Kestle>(found);
    } else {
      kestle = kestles::Kestle::make(library.uniqueKestleName(command.name));
    }
    // Arrangements for other sets of displays stay: the kestle is rewritten for these.
    kestle.arrangements.insert_or_assign(windows.fingerprint, std::move(windows.arrangement));
    auto outcome = moving({}, {});
    outcome.notice = std::string(command.update ? "Saved the windows in the kestle "
                                                : "Saved the windows as the kestle ")
                         .append(text::quoted(kestle.name))
                         .append(".");
    outcome.saved = std::move(kestle);
    return outcome;
  }
  CommandOutcome operator()(const Command::Undo&) const { return planUndo(world, library, state); }
  CommandOutcome operator()(const Command::Redo&) const { return planRedo(world, library, state); }
  CommandOutcome operator()(const Command::Panel&) const { return said(kNotCovered); }
  // About the app itself; nothing to plan.
  CommandOutcome operator()(const Command::Status&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Keys&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Quit&) const { return said(kNotCovered); }
};

}  // namespace

std::optional<KeySnap::Planner> snapPlanner(std::uint32_t window, const World& world,
                                            const SessionState& state, const Gaps& gaps) {
  const WindowSnapshot* found = nullptr;
  for (const auto& each : world.windows)
    if (each.id == window) found = &each;
  auto display = found ? world.setup.display(found->frame) : std::nullopt;
  if (!display) return std::nullopt;
  KeySnap::Planner planner;
  planner.window = window;
  planner.frame = found->frame;
  planner.display = *display;
  planner.setup = world.setup;
  planner.gaps = gaps;
  planner.memory = state.snapMemory;
  if (auto tiled = state.tilings.find(display->id); tiled != state.tilings.end())
    planner.sessionFrames = tiled->second.frames(display->visibleFrame, gaps);
  planner.session = LiveTiles(world.setup, gaps, state.tilings);
  return planner;
}

CommandOutcome planCommand(const KestlesCommand& command, const World& world,
                           const Library& library, const SessionState& state,
                           std::optional<std::uint32_t> front) {
  auto now = state.forgettingClosedWindows(world);
  auto acting = frontWindowOf(world, front);
  const auto& gaps = library.settings.gaps;
  auto outcome = std::visit(Planner{world, library, now, acting, gaps}, command.value);
  outcome.state = outcome.state.forgettingClosedWindows(world);
  if (outcome.message) return outcome;
  if (!doesSomething(outcome, world)) {
    outcome.unchanged = whyNothingMoved(command, outcome, world, now, acting, gaps);
  } else if (outcome.plan && !outcome.plan->leftOut.empty()) {
    std::string sentences;
    for (const auto& leftOut : outcome.plan->leftOut)
      sentences += (sentences.empty() ? "" : " ") + leftOut.sentence();
    outcome.partly = std::move(sentences);
  }
  return outcome;
}

namespace {

// Undo and redo are the same step over opposite stacks: the entry taken from one is put back
// on the world, and the entry that reverses it goes on the other.
CommandOutcome planHistoryStep(const World& world, const Library& library,
                               const SessionState& state, bool forward) {
  CommandOutcome outcome;
  outcome.state = state.forgettingClosedWindows(world);
  auto& history = outcome.state.undo;
  auto entry = forward ? history.redo() : history.undo();
  if (!entry) {
    outcome.message = forward ? "There’s nothing to redo." : "There’s nothing to undo.";
    return outcome;
  }
  auto replaced = restoreSession(outcome.state, *entry);
  // The opposite holds the library values the entry puts back; the library itself changes
  // only when the app carries the entry out.
  Library after = library;
  auto opposite = entry->restoreLibrary(after);
  for (const auto& window : world.windows)
    if (auto back = entry->frames.find(window.id); back != entry->frames.end()) {
      outcome.frames.emplace(window.id, back->second);
      opposite.frames.emplace(window.id, window.frame);
    }
  opposite.rearrangement = std::move(replaced);
  if (forward)
    history.pushUndo(std::move(opposite));
  else
    history.pushRedo(std::move(opposite));
  outcome.undone = std::move(entry);
  return outcome;
}

}  // namespace

CommandOutcome planUndo(const World& world, const Library& library, const SessionState& state) {
  return planHistoryStep(world, library, state, false);
}

CommandOutcome planRedo(const World& world, const Library& library, const SessionState& state) {
  return planHistoryStep(world, library, state, true);
}

namespace {

/// The kestle the user made for this set of displays, when the current one has no arrangement
/// of its own for it: the first other kestle of the library with one stored under the set's
/// fingerprint. Null when the current kestle has one, or no other does.
const Kestle* kestleMadeFor(const DisplaySetup& setup, const Library& library) {
  auto fingerprint = setup.fingerprint();
  const auto* current = library.currentKestle();
  if (current && current->arrangements.contains(fingerprint)) return nullptr;
  for (const auto& kestle : library.kestles)
    if (&kestle != current && kestle.arrangements.contains(fingerprint)) return &kestle;
  return nullptr;
}

}  // namespace

std::vector<CommandOutcome> planDisplayChange(const DisplayChange& change, const World& world,
                                              const Library& library, const SessionState& state,
                                              std::optional<std::uint32_t> front) {
  SessionState now = state.forgettingClosedWindows(world);
  for (auto entry = now.tilings.begin(); entry != now.tilings.end();) {
    if (change.setup.displayWithID(entry->first)) {
      ++entry;
      continue;
    }
    now.away.keep(entry->second);
    entry = now.tilings.erase(entry);
  }
  std::vector<Tiling> remembered;
  for (const auto& display : change.connected)
    if (auto tiling = now.away.take(display.id)) remembered.push_back(std::move(*tiling));
  std::vector<ApplyTarget> targets;
  for (const auto& action : change.ruleActions(remembered, library))
    targets.push_back(action.target());
  std::optional<std::string> switched;
  if (!change.disconnected.empty() && now.focusReturn.isArmed) {
    // The displays a kestle was switched for left: the kestle before it comes back, unless
    // the user chose another since.
    if (auto back = now.focusReturn.comeBack(library)) {
      targets = {ApplyTarget::kestle(*back)};
      switched = "Back to the kestle " + text::quoted(back->name) + ".";
    }
  } else if (!change.connected.empty() && currentKestleUnderRules(library)) {
    if (const auto* made = kestleMadeFor(change.setup, library))
      if (auto kestle = now.focusReturn.switchTo(made->id, true, library)) {
        targets = {ApplyTarget::kestle(*kestle)};
        switched = "Switched to the kestle " + text::quoted(kestle->name) +
                   ", made for these displays; the one before comes back when they leave.";
      }
  }
  std::vector<CommandOutcome> outcomes;
  for (const auto& target : targets) {
    const auto& before = outcomes.empty() ? now : outcomes.back().state;
    Planner planner{world, library, before, frontWindowOf(world, front), library.settings.gaps};
    outcomes.push_back(planner.applying(planner.skippingFloated(target)));
  }
  if (outcomes.empty())
    outcomes.push_back(Planner{world, library, now, front, library.settings.gaps}.moving({}, {}));
  for (auto& outcome : outcomes)
    outcome.state = outcome.state.forgettingClosedWindows(world);
  outcomes.front().notice = switched ? change.title() + ". " + *switched : change.title();
  return outcomes;
}

namespace {

/// One keep-tiled look at the world, and the plan it made.
struct Look {
  CommandOutcome outcome;
  std::optional<KeptTiles::Plan> plan;
};

Look lookAgain(const World& after, const Library& library, const SessionState& state) {
  Look look;
  look.outcome.state = state;
  std::set<std::uint32_t> present;
  for (const auto& window : after.windows)
    present.insert(window.id);
  look.outcome.state.liveTiles.keep(present);
  const auto& settings = library.settings;
  look.plan =
      look.outcome.state.keptTiles.check(keptDisplays(state, library), after, state.tilings,
                                         settings.gaps, settings.tilingStyle, settings.tileChanges);
  if (look.plan) takeKeptPlan(look.outcome, *look.plan, after, settings.gaps);
  // Closed windows leave the state only now: their tiles had to be there to close.
  look.outcome.state = look.outcome.state.forgettingClosedWindows(after);
  return look;
}

}  // namespace

CommandOutcome planTileChanges(const World& after, const Library& library,
                               const SessionState& state) {
  auto reused = state.reusedWindows(after);
  if (reused.empty()) return lookAgain(after, library, state).outcome;
  // A window whose number another window now wears closed, and the newcomer is new: keep
  // tiled looks first without the newcomers, then with them where the first look put the
  // others.
  World closed = after;
  std::erase_if(closed.windows,
                [&](const WindowSnapshot& window) { return reused.contains(window.id); });
  auto first = lookAgain(closed, library, state);
  World moved = after;
  for (auto& window : moved.windows)
    if (auto target = first.outcome.frames.find(window.id); target != first.outcome.frames.end())
      window.frame = target->second;
  auto second = lookAgain(moved, library, first.outcome.state);
  auto outcome = std::move(second.outcome);
  outcome.frames.merge(first.outcome.frames);
  if (first.plan || second.plan) {
    KeptTiles::Plan both;
    for (const auto* plan : {&first.plan, &second.plan})
      if (*plan) {
        both.placed += (*plan)->placed;
        both.closed += (*plan)->closed;
      }
    outcome.notice = both.message();
  }
  return outcome;
}

SessionState planOpenedWindows(const std::vector<ApplyPlan::Move>& placed, const Tilings& planned,
                               const World& world, const SessionState& state) {
  SessionState after = state;
  for (const auto& move : placed) {
    auto plan = planned.find(move.displayID);
    if (plan == planned.end()) continue;
    auto tile = plan->second.tileID(move.tile);
    if (!tile) continue;
    auto held = after.tilings.find(move.displayID);
    // The tiling went from the state while none of its windows had appeared yet.
    if (held == after.tilings.end())
      held = after.tilings.emplace(move.displayID, plan->second).first;
    auto& tiling = held->second;
    auto slot = tiling.tileIndex(*tile);
    if (!slot) continue;
    auto sitting = tiling.windowIn(*slot);
    if (sitting && *sitting != move.window) continue;
    // Keep tiled may have given it another tile first; the tile it was opened for wins.
    for (auto& [displayID, other] : after.tilings)
      if (displayID != move.displayID) other.remove(move.window);
    tiling.remove(move.window);
    tiling.restore(move.window, *slot);
    after.keptTiles.floating.erase(move.window);
  }
  // A tiling taken back from the plan may name windows that closed since.
  return after.forgettingClosedWindows(world);
}

World settledWorld(const World& world, const SessionState& remembered, const Gaps& gaps) {
  // What the state holds of closed windows must not place the windows that took their
  // numbers.
  auto state = remembered.forgettingClosedWindows(world);
  World settled = world;
  // The tiles are solved with the windows' minimums, as the plans that made them were.
  std::map<std::uint32_t, MinimumSize> minimums;
  for (const auto& window : world.windows)
    minimums.emplace(window.id, window.minimumSize);
  std::map<std::uint32_t, CGRect> placed;
  for (const auto& [displayID, tiling] : state.tilings)
    if (auto display = world.setup.displayWithID(displayID))
      placed.merge(tiling.frames(display->visibleFrame, gaps, minimums));
  for (const auto& [window, entry] : state.snapMemory.entries)
    placed.emplace(window, entry.frame);
  for (auto& window : settled.windows)
    if (auto found = placed.find(window.id); found != placed.end()) window.frame = found->second;
  return settled;
}

nlohmann::json outcomeJSON(const CommandOutcome& outcome, bool withState) {
  nlohmann::json json = outcome.plan ? nlohmann::json(*outcome.plan) : nlohmann::json::object();
  nlohmann::json frames = nlohmann::json::object();
  for (const auto& [window, frame] : outcome.frames)
    frames[std::to_string(window)] = frame;
  json["frames"] = frames;
  if (outcome.focus) json["focus"] = *outcome.focus;
  if (outcome.keptTiled) json["keptTiled"] = *outcome.keptTiled;
  if (outcome.notice) json["message"] = *outcome.notice;
  if (outcome.unchanged) json["unchanged"] = *outcome.unchanged;
  if (outcome.partly) json["partly"] = *outcome.partly;
  if (outcome.gaps) json["gaps"] = *outcome.gaps;
  if (outcome.floatingApps) json["floatingApps"] = *outcome.floatingApps;
  if (outcome.undone)
    json["undone"] = {{"title", outcome.undone->title},
                      {"minimize", outcome.undone->minimize},
                      {"hide", outcome.undone->hide},
                      {"fullScreen", outcome.undone->fullScreen}};
  if (outcome.saved) json["saved"] = *outcome.saved;
  if (withState) json["state"] = outcome.state;
  return json;
}

}  // namespace kestles
