#include "KestlesCore/session/CommandRecord.hpp"

#include <set>
#include <string>
#include <type_traits>

#include "KestlesCore/apply/ApplyTexts.hpp"
#include "KestlesCore/settings/KeyCommand.hpp"
#include "KestlesCore/snap/SnapAction.hpp"

namespace kestles {
namespace {

using Command = KestlesCommand;

/// What the history shows for a command that built no plan of its own.
std::string titleOf(const KestlesCommand& command) {
  return std::visit(
      [](const auto& value) -> std::string {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, Command::Snap>) return std::string(title(value.action));
        if constexpr (std::is_same_v<T, Command::SwapDisplays>) return "Swap Displays";
        if constexpr (std::is_same_v<T, Command::Focus>) return "Move Focus";
        if constexpr (std::is_same_v<T, Command::Swap>) return "Swap Windows";
        if constexpr (std::is_same_v<T, Command::RetileTiles>) return "Rearrange Tiles";
        if constexpr (std::is_same_v<T, Command::Gaps>) return "Change Gaps";
        if constexpr (std::is_same_v<T, Command::KeepTiled>) return "Keep Tiled";
        if constexpr (std::is_same_v<T, Command::MakeMain>) return "Make Main";
        if constexpr (std::is_same_v<T, Command::TileOrFloat>) return "Tile or Float";
        if constexpr (std::is_same_v<T, Command::MoveToTile>)
          return std::string(title(KeyCommand::moveToTile));
        if constexpr (std::is_same_v<T, Command::EditTiles>)
          return std::string(title(KeyCommand::editTiles));
        return std::string(apply_texts::kTileWindows);
      },
      command.value);
}

UndoEntry::Kind kindOf(const KestlesCommand& command, const CommandOutcome& outcome) {
  if (outcome.plan) return UndoEntry::Kind::apply;
  if (std::holds_alternative<Command::Gaps>(command.value)) return UndoEntry::Kind::gaps;
  if (std::holds_alternative<Command::KeepTiled>(command.value))
    return UndoEntry::Kind::keepTiledOn;
  return UndoEntry::Kind::keys;
}

/// The name of what was applied: the kestle or layout's name as the command gave it.
std::string nameOf(const KestlesCommand& command, const CommandOutcome& outcome) {
  if (const auto* kestle = std::get_if<Command::Kestle>(&command.value)) return kestle->name;
  if (const auto* layout = std::get_if<Command::Layout>(&command.value)) return layout->name;
  return outcome.plan ? outcome.plan->title : titleOf(command);
}

/// The displays whose tilings the outcome changes.
std::set<std::string> touchedDisplays(const CommandOutcome& outcome, const SessionState& state) {
  std::set<std::string> displays;
  for (const auto& [displayID, tiling] : outcome.state.tilings) {
    auto old = state.tilings.find(displayID);
    if (old == state.tilings.end() || !(old->second == tiling)) displays.insert(displayID);
  }
  for (const auto& [displayID, tiling] : state.tilings)
    if (!outcome.state.tilings.contains(displayID)) displays.insert(displayID);
  return displays;
}

void recordKeptTiled(UndoEntry& entry, const CommandOutcome& outcome, const Library& library) {
  if (!outcome.keptTiled) return;
  const auto& was = library.settings.keptTiled;
  for (const auto& display : *outcome.keptTiled)
    if (!was.contains(display)) entry.keptTiledOn.insert(display);
  for (const auto& display : was)
    if (!outcome.keptTiled->contains(display)) entry.keptTiledOff.insert(display);
}

void recordPlan(UndoEntry& entry, const ApplyPlan& plan, const Library& library) {
  entry.minimize = plan.unminimize;
  entry.hide = plan.unhide;
  if (plan.kestleID) entry.previousKestleID = library.currentKestleID;
  for (const auto& [displayID, layout] : plan.layouts) {
    auto current = library.currentLayouts.find(displayID);
    entry.previousLayouts[displayID] =
        current == library.currentLayouts.end() ? std::nullopt : std::optional(current->second);
  }
}

bool changesLibrary(const UndoEntry& entry) {
  return entry.previousKestleID || !entry.previousLayouts.empty() || !entry.keptTiledOn.empty() ||
         !entry.keptTiledOff.empty() || entry.gaps;
}

}  // namespace

std::optional<UndoEntry> undoEntryFor(const KestlesCommand& command, const CommandOutcome& outcome,
                                      const World& before, const Library& library,
                                      const SessionState& state) {
  auto entry = UndoEntry::make(kindOf(command, outcome),
                               outcome.plan ? outcome.plan->title : titleOf(command),
                               nameOf(command, outcome));
  for (const auto& snapshot : before.windows)
    if (outcome.frames.contains(snapshot.id)) entry.frames.emplace(snapshot.id, snapshot.frame);
  if (outcome.plan) recordPlan(entry, *outcome.plan, library);
  recordKeptTiled(entry, outcome, library);
  if (outcome.gaps && !(*outcome.gaps == library.settings.gaps)) entry.gaps = library.settings.gaps;
  auto displays = touchedDisplays(outcome, state);
  bool snapChanged = !(outcome.state.snapMemory == state.snapMemory);
  if (!displays.empty() || snapChanged) {
    UndoEntry::Rearrangement rearrangement{displays, {}, state.snapMemory};
    for (const auto& display : displays)
      if (auto found = state.tilings.find(display); found != state.tilings.end())
        rearrangement.tilings.emplace(display, found->second);
    entry.rearrangement = std::move(rearrangement);
  }
  if (entry.frames.empty() && entry.minimize.empty() && entry.hide.empty() &&
      !entry.rearrangement && !changesLibrary(entry))
    return std::nullopt;
  return entry;
}

bool recordInLibrary(Library& library, const CommandOutcome& outcome) {
  Library before = library;
  if (outcome.plan) {
    const auto& plan = *outcome.plan;
    if (plan.kestleID) library.currentKestleID = plan.kestleID;
    for (const auto& [displayID, layout] : plan.layouts) {
      if (layout)
        library.currentLayouts.insert_or_assign(displayID, *layout);
      else
        library.currentLayouts.erase(displayID);
    }
    if (plan.derivedArrangement && plan.kestleID)
      if (const auto* kestle = library.kestle(*plan.kestleID)) {
        auto updated = *kestle;
        updated.arrangements.insert_or_assign(plan.derivedArrangement->fingerprint,
                                              plan.derivedArrangement->arrangement);
        library.updateKestle(updated);
      }
  }
  if (outcome.saved && !library.updateKestle(*outcome.saved)) library.addKestle(*outcome.saved);
  if (outcome.keptTiled) library.settings.keptTiled = *outcome.keptTiled;
  if (outcome.gaps) library.settings.gaps = *outcome.gaps;
  if (outcome.floatingApps) library.settings.floatingApps = *outcome.floatingApps;
  return !(library == before);
}

std::optional<UndoEntry::Rearrangement> restoreSession(SessionState& state,
                                                       const UndoEntry& entry) {
  if (!entry.rearrangement) return std::nullopt;
  const auto& rearrangement = *entry.rearrangement;
  UndoEntry::Rearrangement replaced{rearrangement.displays, {}, state.snapMemory};
  for (const auto& display : rearrangement.displays) {
    if (auto found = state.tilings.find(display); found != state.tilings.end())
      replaced.tilings.emplace(display, found->second);
    if (auto kept = rearrangement.tilings.find(display); kept != rearrangement.tilings.end())
      state.tilings.insert_or_assign(display, kept->second);
    else
      state.tilings.erase(display);
  }
  state.snapMemory = rearrangement.memory;
  return replaced;
}

}  // namespace kestles
