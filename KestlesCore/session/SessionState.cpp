#include "KestlesCore/session/SessionState.hpp"

#include <algorithm>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
namespace {

using coding::json;

template <class T>
T part(const json& object, std::string_view key) {
  const json* value = coding::member(object, key);
  if (!value) return T{};
  auto read = Lossy<T>::decoded(*value);
  return read.value ? std::move(*read.value) : T{};
}

void addTiled(std::set<WindowID>& windows, const Tilings& tilings) {
  for (const auto& [displayID, tiling] : tilings) {
    for (auto window : tiling.windowIDs())
      windows.insert(window);
    if (tiling.zoomed) windows.insert(*tiling.zoomed);
  }
}

/// Empties the slots of windows outside `only`; a tiling left without windows goes.
void keepTiled(Tilings& tilings, const std::set<WindowID>& only) {
  for (auto& [displayID, tiling] : tilings)
    for (auto window : tiling.windowIDs())
      if (!only.contains(window)) tiling.remove(window);
  std::erase_if(tilings, [](const auto& entry) { return entry.second.windowIDs().empty(); });
}

bool mentionsOnly(const MainTile::Pair& pair, const std::set<WindowID>& only) {
  if (!only.contains(pair.main) || !only.contains(pair.partner)) return false;
  return std::all_of(pair.windows.begin(), pair.windows.end(),
                     [&](const auto& window) { return !window || only.contains(*window); });
}

std::string tooLargeSentence() {
  return "it’s larger than " + std::to_string(SessionState::kMaxFileSize >> 20) + " MB";
}

}  // namespace

bool SessionState::operator==(const SessionState& other) const {
  return tilings == other.tilings && away == other.away && tilingMemory == other.tilingMemory &&
         snapMemory == other.snapMemory && mainPair == other.mainPair && undo == other.undo &&
         liveTiles == other.liveTiles && keptTiles == other.keptTiles &&
         keptTiled == other.keptTiled && lastSuggestion == other.lastSuggestion &&
         paletteRecents == other.paletteRecents && identities == other.identities &&
         focusReturn == other.focusReturn;
}

std::set<WindowID> SessionState::windows() const {
  std::set<WindowID> all = liveTiles.windows();
  addTiled(all, tilings);
  addTiled(all, away.tilings);
  for (const auto& [window, entry] : snapMemory.entries)
    all.insert(window);
  if (mainPair) {
    all.insert({mainPair->main, mainPair->partner});
    for (const auto& window : mainPair->windows)
      if (window) all.insert(*window);
  }
  for (const auto* stack : {&undo.entries, &undo.redoEntries})
    for (const auto& entry : *stack) {
      for (const auto& [window, frame] : entry.frames)
        all.insert(window);
      all.insert(entry.minimize.begin(), entry.minimize.end());
      all.insert(entry.fullScreen.begin(), entry.fullScreen.end());
      if (!entry.rearrangement) continue;
      addTiled(all, entry.rearrangement->tilings);
      for (const auto& [window, memory] : entry.rearrangement->memory.entries)
        all.insert(window);
    }
  all.merge(keptTiles.windows());
  if (lastSuggestion) all.insert(lastSuggestion->windows.begin(), lastSuggestion->windows.end());
  return all;
}

std::set<WindowID> SessionState::reusedWindows(const World& world) const {
  std::set<WindowID> reused;
  for (const auto& window : world.windows)
    if (auto known = identities.find(window.id);
        known != identities.end() && !known->second.matches(window))
      reused.insert(window.id);
  return reused;
}

SessionState SessionState::keeping(const std::set<WindowID>& only) const {
  auto gone = [&](WindowID window) { return !only.contains(window); };
  SessionState kept = *this;
  keepTiled(kept.tilings, only);
  keepTiled(kept.away.tilings, only);
  kept.snapMemory = snapMemory.keeping(only);
  if (mainPair && !mentionsOnly(*mainPair, only)) kept.mainPair.reset();
  kept.undo.keep(only);
  kept.liveTiles.keep(only);
  kept.keptTiles.keep(only);
  if (lastSuggestion &&
      std::any_of(lastSuggestion->windows.begin(), lastSuggestion->windows.end(), gone))
    kept.lastSuggestion.reset();
  std::erase_if(kept.identities, [&](const auto& entry) { return gone(entry.first); });
  return kept;
}

SessionState SessionState::forgetting(const std::set<WindowID>& windows) const {
  auto only = this->windows();
  for (auto window : windows)
    only.erase(window);
  return keeping(only);
}

SessionState SessionState::forgettingClosedWindows(const World& world) const {
  std::map<WindowID, const WindowSnapshot*> open;
  for (const auto& window : world.windows) {
    auto known = identities.find(window.id);
    if (known == identities.end() || known->second.matches(window))
      open.emplace(window.id, &window);
  }
  std::set<WindowID> only;
  for (const auto& [id, window] : open)
    only.insert(id);
  // A window on another virtual desktop is out of sight, not closed: it keeps its memories
  // and the identity it was last seen with.
  for (auto id : world.elsewhere)
    if (!open.contains(id)) only.insert(id);
  auto kept = keeping(only);
  kept.identities.clear();
  for (auto window : kept.windows()) {
    if (auto seen = open.find(window); seen != open.end())
      kept.identities.emplace(window, WindowIdentity::of(*seen->second));
    else if (auto known = identities.find(window); known != identities.end())
      kept.identities.emplace(window, known->second);
  }
  return kept;
}

SessionState SessionState::bounded() const {
  SessionState kept = *this;
  kept.undo.bound();
  kept.paletteRecents.actions = paletteRecents.shown();
  if (kept.away.tilings.size() > kMostAwayDisplays) {
    std::vector<std::pair<std::size_t, std::string>> byWindows;
    for (const auto& [displayID, tiling] : kept.away.tilings)
      byWindows.emplace_back(tiling.windowIDs().size(), displayID);
    std::sort(byWindows.begin(), byWindows.end());
    for (std::size_t i = 0; i + kMostAwayDisplays < byWindows.size(); ++i)
      kept.away.tilings.erase(byWindows[i].second);
  }
  // A kept display's record of no windows says nothing a first look would not find again.
  std::erase_if(kept.keptTiles.known, [](const auto& entry) { return entry.second.empty(); });
  auto all = kept.windows();
  std::erase_if(kept.identities, [&](const auto& entry) { return !all.contains(entry.first); });
  if (all.size() <= kMostWindows) return kept;
  // Window numbers grow as windows are made: the highest are the newest.
  auto newest = std::next(all.begin(), static_cast<std::ptrdiff_t>(all.size() - kMostWindows));
  return kept.keeping(std::set<WindowID>(newest, all.end()));
}

void to_json(json& out, const SessionState& state) {
  out = {{"tilings", state.tilings},
         {"away", state.away},
         {"tilingMemory", state.tilingMemory},
         {"snapMemory", state.snapMemory},
         {"undo", state.undo}};
  // Written only while keep tiled has something, so that a state without it stays small.
  if (state.liveTiles != LiveTiles{}) out["liveTiles"] = state.liveTiles;
  if (state.keptTiles != KeptTiles{}) out["keptTiles"] = state.keptTiles;
  coding::putOptional(out, "mainPair", state.mainPair);
  coding::putOptional(out, "keptTiled", state.keptTiled);
  coding::putOptional(out, "lastSuggestion", state.lastSuggestion);
  if (state.paletteRecents != PaletteRecents{}) out["paletteRecents"] = state.paletteRecents;
  if (state.focusReturn != FocusReturn{}) out["focusReturn"] = state.focusReturn;
  if (!state.identities.empty()) {
    auto& identities = out["identities"] = json::array();
    for (const auto& [window, identity] : state.identities)
      identities.push_back(identity);
  }
}

void from_json(const json& in, SessionState& state) {
  coding::requireObject(in, "session state");
  state = {};
  state.tilings = coding::lossyMap<Tiling>(in, "tilings");
  for (auto& [displayID, tiling] : state.tilings)
    tiling.displayID = displayID;
  state.away = part<AwayTiles>(in, "away");
  state.tilingMemory = part<TilingMemory>(in, "tilingMemory");
  state.snapMemory = part<SnapMemory>(in, "snapMemory");
  state.mainPair = coding::optional<MainTile::Pair>(in, "mainPair");
  state.undo = part<UndoHistory>(in, "undo");
  state.liveTiles = part<LiveTiles>(in, "liveTiles");
  state.keptTiles = part<KeptTiles>(in, "keptTiles");
  if (coding::member(in, "keptTiled")) {
    auto kept = coding::lossyList<std::string>(in, "keptTiled");
    state.keptTiled = std::set<std::string>(kept.begin(), kept.end());
  }
  state.lastSuggestion = coding::optional<SuggestionStep>(in, "lastSuggestion");
  state.paletteRecents = part<PaletteRecents>(in, "paletteRecents");
  state.focusReturn = part<FocusReturn>(in, "focusReturn");
  for (auto& identity : coding::lossyList<WindowIdentity>(in, "identities"))
    state.identities.insert_or_assign(identity.id, std::move(identity));
  state = state.bounded();
}

SessionState SessionState::read(const std::filesystem::path& path, std::string* problem) {
  auto unreadable = [&](const std::string& reason) {
    if (problem)
      *problem = "The session state " + path.string() + " can’t be read (" + reason +
                 "), so it starts empty.";
    return SessionState{};
  };
  try {
    // A file too large is refused by its size alone, before any of it is read.
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxFileSize) return unreadable(tooLargeSentence());
    auto bytes = json_style::readFileIfPresent(path);
    if (!bytes) return {};
    if (bytes->size() > kMaxFileSize) return unreadable(tooLargeSentence());
    return decodeDocument(*bytes, std::type_identity<SessionState>{});
  } catch (const std::exception& failure) {
    return unreadable(json_style::describe(failure));
  }
}

void SessionState::write(const std::filesystem::path& path) const {
  auto kept = bounded();
  auto bytes = json_style::encode(json(kept));
  // Only a state far beyond any real session gets here; the oldest history goes first.
  while (bytes.size() > kMaxFileSize &&
         !(kept.undo.entries.empty() && kept.undo.redoEntries.empty())) {
    auto& stack = kept.undo.entries.size() >= kept.undo.redoEntries.size() ? kept.undo.entries
                                                                           : kept.undo.redoEntries;
    stack.erase(stack.begin());
    bytes = json_style::encode(json(kept));
  }
  json_style::writeAtomically(path, bytes);
}

}  // namespace kestles
