#include "KestlesCore/session/CommandPlanner.hpp"

#include <charconv>

#include <nlohmann/json.hpp>

#include "KestlesCore/apply/ApplyTarget.hpp"
#include "KestlesCore/layout/Template.hpp"
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
constexpr std::string_view kNoKestles =
    "There are no kestles yet: arrange your windows, then Save Windows as Kestle.";

// The lookups and sentences below are those of the command line's checks, so that a dry run
// says what the terminal would.

std::string quoted(const std::string& text) {
  return "“" + text + "”";
}

std::string listOrNone(const std::vector<std::string>& names, const std::string& your,
                       const std::string& none) {
  return names.empty() ? none : your + text::joined(names, ", ");
}

std::optional<int> decimalNumber(std::string_view digits) {
  if (digits.starts_with('+')) digits.remove_prefix(1);
  int value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
    return std::nullopt;
  return value;
}

/// By identifier, then by number, then by the name rule.
const Kestle* kestleNamed(const std::string& text, const std::vector<Kestle>& kestles) {
  if (auto id = UUID::fromString(text))
    for (const auto& kestle : kestles)
      if (kestle.id == *id) return &kestle;
  if (auto number = decimalNumber(text))
    for (const auto& kestle : kestles)
      if (kestle.number == *number) return &kestle;
  auto index = text::matchName(text, kestles, [](const Kestle& kestle) { return kestle.name; });
  return index ? &kestles[*index] : nullptr;
}

/// Saved layouts first, then the templates, as the command line lists them.
std::optional<LayoutEntry> layoutNamed(const std::string& text, const Library& library) {
  std::vector<std::string> names;
  for (const auto& saved : library.layouts)
    names.push_back(saved.name);
  for (const auto& builtIn : Template::all())
    names.push_back(builtIn.name);
  auto index = text::matchName(text, names);
  if (!index) return std::nullopt;
  if (*index < library.layouts.size()) return LayoutEntry::saved(library.layouts[*index]);
  return LayoutEntry::templateEntry(Template::all()[*index - library.layouts.size()]);
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

  CommandOutcome applying(const ApplyTarget& target) const {
    TileContext context{front, &state.tilings};
    auto plan = target.plan(world, gaps, context);
    if (!plan) return moving({}, {});
    auto outcome = moving(plan->movedFrames(), plan->tilings);
    outcome.plan = std::move(plan);
    return outcome;
  }

  /// The display a name picks, or the sentence for none; no name: no display.
  std::variant<std::optional<std::string>, CommandOutcome> display(
      const std::optional<std::string>& name) const {
    if (!name) return std::optional<std::string>();
    if (auto found = world.setup.matching(*name)) return std::optional(found->id);
    std::vector<std::string> names;
    for (const auto& each : world.setup.displays)
      names.push_back(each.name);
    return said("No connected display matches " + quoted(*name) + ". " +
                listOrNone(names, "Your displays: ", "There are no displays yet."));
  }

  CommandOutcome operator()(const Command::Kestle& command) const {
    if (const auto* kestle = kestleNamed(command.name, library.kestles))
      return applying(ApplyTarget::kestle(*kestle));
    std::vector<std::string> names;
    for (const auto& kestle : library.kestles)
      names.push_back(kestle.name);
    return said("No kestle matches " + quoted(command.name) + ". " +
                listOrNone(names, "Your kestles: ", "There are no kestles yet."));
  }

  /// The kestle `offset` steps from the current one in library order, wrapping; without a
  /// current kestle the first step forward lands on the first, back on the last.
  CommandOutcome operator()(const Command::NextKestle& command) const {
    const auto& kestles = library.kestles;
    if (kestles.empty()) return said(kNoKestles);
    auto count = static_cast<long>(kestles.size());
    long index = command.offset > 0 ? -1 : count;
    for (long i = 0; i < count; ++i)
      if (library.currentKestleID == kestles[static_cast<std::size_t>(i)].id) index = i;
    auto next = ((index + command.offset) % count + count) % count;
    return applying(ApplyTarget::kestle(kestles[static_cast<std::size_t>(next)]));
  }

  CommandOutcome operator()(const Command::Layout& command) const {
    auto entry = layoutNamed(command.name, library);
    if (!entry)
      return said("No layout matches " + quoted(command.name) +
                  ". Run kestles list layouts to see them all.");
    auto displayID = display(command.display);
    if (auto* failed = std::get_if<CommandOutcome>(&displayID)) return *failed;
    return applying(ApplyTarget::layout(*entry, std::get<std::optional<std::string>>(displayID)));
  }

  CommandOutcome operator()(const Command::Tile& command) const {
    auto displayID = display(command.display);
    if (auto* failed = std::get_if<CommandOutcome>(&displayID)) return *failed;
    if (const auto* named = std::get_if<TileApps::Named>(&command.apps.value))
      if (!appNamed(named->name, world)) {
        std::vector<std::string> open;
        for (const auto& app : world.apps)
          open.push_back(app.name);
        return said("No open app matches " + quoted(named->name) + ". " +
                    listOrNone(open, "Your open apps: ", "There are no open apps yet."));
      }
    return applying(ApplyTarget::tileWindows(std::get<std::optional<std::string>>(displayID),
                                             command.apps,
                                             command.style.value_or(library.settings.tilingStyle)));
  }

  CommandOutcome operator()(const Command::TileAllDisplays& command) const {
    return applying(
        ApplyTarget::tileAllDisplays(command.style.value_or(library.settings.tilingStyle)));
  }

  CommandOutcome operator()(const Command::Snap& command) const {
    if (!front) return moving({}, {});
    const WindowSnapshot* window = nullptr;
    for (const auto& each : world.windows)
      if (each.id == *front) window = &each;
    auto display = window ? world.setup.display(window->frame) : std::nullopt;
    if (!display) return moving({}, {});
    KeySnap::Planner planner;
    planner.window = window->id;
    planner.frame = window->frame;
    planner.display = *display;
    planner.setup = world.setup;
    planner.gaps = gaps;
    planner.memory = state.snapMemory;
    if (auto tiled = state.tilings.find(display->id); tiled != state.tilings.end())
      planner.sessionFrames = tiled->second.frames(display->visibleFrame, gaps);
    // A window in tiles is planned on the tiles; the tilings keep its place, not the memory.
    planner.session = LiveTiles(world.setup, gaps, state.tilings);
    auto plan = KeySnap::plan(command.action, planner);
    if (!plan) return moving({}, {});
    if (plan->session) return moving(plan->frames, plan->session->tilings);
    auto outcome = moving(plan->frames, {});
    plan->record(outcome.state.snapMemory, window->frame);
    return outcome;
  }

  CommandOutcome operator()(const Command::Focus& command) const {
    auto outcome = moving({}, {});
    if (front) outcome.focus = FocusMove::target(*front, command.edge, world);
    return outcome;
  }

  CommandOutcome operator()(const Command::Swap& command) const {
    auto plan =
        front ? SwapMove::make(*front, command.edge, world, state.tilings, gaps) : std::nullopt;
    return plan ? moving(plan->frames, plan->tilings) : moving({}, {});
  }

  CommandOutcome operator()(const Command::RetileTiles& command) const {
    auto plan = Retile::Plan::make(command.retile, front, world, state.tilings, gaps);
    return plan ? moving(plan->frames, plan->tilings) : moving({}, {});
  }

  /// The new gaps belong to the library's settings, which a dry run leaves alone.
  CommandOutcome operator()(const Command::Gaps& command) const {
    auto plan = Regap::make(command.change, gaps, world, state.tilings);
    return plan ? moving(plan->frames, plan->tilings) : moving({}, {});
  }

  CommandOutcome operator()(const Command::MakeMain&) const {
    auto plan =
        front ? MainTile::make(*front, world, state.tilings, gaps, state.mainPair) : std::nullopt;
    if (!plan) return moving({}, {});
    auto outcome = moving(plan->frames, plan->tilings);
    outcome.state.mainPair = plan->pair;
    return outcome;
  }

  CommandOutcome operator()(const Command::TileOrFloat&) const {
    auto plan = front ? TileToggle::make(*front, world, state.tilings, gaps) : std::nullopt;
    return plan ? moving(plan->frames, plan->tilings) : moving({}, {});
  }

  /// A display left without a tiling leaves the map; the windows the kept displays know
  /// trade places with the windows themselves.
  CommandOutcome operator()(const Command::SwapDisplays& command) const {
    auto plan = DisplaySwap::make(command.offset, front, world, state.tilings, gaps);
    if (!plan) return moving({}, {});
    auto outcome = moving(plan->frames, plan->tilings);
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

  // Commands whose plans the core does not make yet, and those that show the app's own
  // windows rather than move any.
  CommandOutcome operator()(const Command::LeaveOut&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Open&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Tour&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::ShowMe&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Welcome&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::ShowTip&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Debug&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Hints&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::MoveToTile&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::PickWindows&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::EditTiles&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::ArrangeWithKeys&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Undo&) const { return said(kNotCovered); }
  CommandOutcome operator()(const Command::Panel&) const { return said(kNotCovered); }
};

}  // namespace

CommandOutcome planCommand(const KestlesCommand& command, const World& world,
                           const Library& library, const SessionState& state,
                           std::optional<std::uint32_t> front) {
  return std::visit(
      Planner{world, library, state, frontWindowOf(world, front), library.settings.gaps},
      command.value);
}

CommandOutcome planTileChanges(const World& after, const Library& library,
                               const SessionState& state) {
  CommandOutcome outcome;
  outcome.state = state;
  std::set<std::uint32_t> present;
  for (const auto& window : after.windows)
    present.insert(window.id);
  outcome.state.liveTiles.keep(present);
  const auto& settings = library.settings;
  auto plan =
      outcome.state.keptTiles.check(keptDisplays(state, library), after, state.tilings,
                                    settings.gaps, settings.tilingStyle, settings.tileChanges);
  if (plan) takeKeptPlan(outcome, *plan, after, settings.gaps);
  return outcome;
}

World settledWorld(const World& world, const SessionState& state, const Gaps& gaps) {
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
  if (withState) json["state"] = outcome.state;
  return json;
}

}  // namespace kestles
