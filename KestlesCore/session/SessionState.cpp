#include "KestlesCore/session/SessionState.hpp"

#include <string_view>

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

}  // namespace

bool SessionState::operator==(const SessionState& other) const {
  return tilings == other.tilings && away == other.away && tilingMemory == other.tilingMemory &&
         snapMemory == other.snapMemory && mainPair == other.mainPair && undo == other.undo &&
         liveTiles == other.liveTiles && keptTiles == other.keptTiles &&
         keptTiled == other.keptTiled && lastSuggestion == other.lastSuggestion &&
         paletteRecents == other.paletteRecents;
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
}

SessionState SessionState::read(const std::filesystem::path& path, std::string* problem) {
  try {
    return JSONFile<SessionState>{path}.load().value_or(SessionState{});
  } catch (const std::exception& failure) {
    if (problem)
      *problem = "The session state " + path.string() + " can’t be read (" +
                 json_style::describe(failure) + "), so it starts empty.";
    return {};
  }
}

void SessionState::write(const std::filesystem::path& path) const {
  JSONFile<SessionState>{path}.save(*this);
}

}  // namespace kestles
