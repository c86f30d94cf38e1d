// JSON of the undo history, as kept in the app's session state.
#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Lossy.hpp"
#include "KestlesCore/undo/UndoHistory.hpp"

namespace kestles {
namespace {

using coding::json;

constexpr std::array<std::pair<UndoEntry::Kind, std::string_view>, 5> kKindWords{{
    {UndoEntry::Kind::apply, "apply"},
    {UndoEntry::Kind::keys, "keys"},
    {UndoEntry::Kind::keepTiledOn, "keepTiledOn"},
    {UndoEntry::Kind::keptTiled, "keptTiled"},
    {UndoEntry::Kind::gaps, "gaps"},
}};

std::optional<std::uint32_t> windowFromKey(const std::string& key) {
  if (key.empty() || key.front() < '0' || key.front() > '9') return std::nullopt;
  std::uint32_t window = 0;
  auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), window);
  if (error != std::errc() || end != key.data() + key.size()) return std::nullopt;
  return window;
}

/// Reads one field into `target`, leaving it as it is when the field is missing or damaged.
template <class T>
void readField(const json& object, std::string_view key, T& target) {
  const json* value = coding::member(object, key);
  if (!value) return;
  try {
    target = value->get<T>();
  } catch (const std::exception&) {
  }
}

std::map<std::uint32_t, CGRect> framesFrom(const json& object) {
  std::map<std::uint32_t, CGRect> frames;
  for (const auto& [key, frame] : coding::lossyMap<CGRect>(object, "frames"))
    if (auto window = windowFromKey(key)) frames.emplace(*window, frame);
  return frames;
}

std::map<std::string, std::optional<LayoutRef>> layoutsFrom(const json& object) {
  std::map<std::string, std::optional<LayoutRef>> layouts;
  const json* found = coding::member(object, "previousLayouts");
  if (!found || !found->is_object()) return layouts;
  for (const auto& [displayID, layout] : found->items()) {
    if (layout.is_null()) {
      layouts.emplace(displayID, std::nullopt);
    } else if (auto read = Lossy<LayoutRef>::decoded(layout); read.value) {
      layouts.emplace(displayID, std::move(read.value));
    }
  }
  return layouts;
}

/// The newest `kLimit` entries that decode, oldest first; older items are not decoded at all.
std::vector<UndoEntry> boundedEntries(const json& object, std::string_view key) {
  std::vector<UndoEntry> entries;
  const json* list = coding::member(object, key);
  if (!list || !list->is_array()) return entries;
  for (auto item = list->rbegin(); item != list->rend() && entries.size() < UndoHistory::kLimit;
       ++item)
    if (auto read = Lossy<UndoEntry>::decoded(*item); read.value)
      entries.push_back(std::move(*read.value));
  std::reverse(entries.begin(), entries.end());
  return entries;
}

}  // namespace

std::string_view rawValue(UndoEntry::Kind kind) {
  for (const auto& [each, word] : kKindWords)
    if (each == kind) return word;
  return kKindWords.front().second;
}

std::optional<UndoEntry::Kind> undoKindFromRawValue(std::string_view raw) {
  for (const auto& [kind, word] : kKindWords)
    if (word == raw) return kind;
  return std::nullopt;
}

void to_json(json& out, const UndoEntry::Rearrangement& rearrangement) {
  out = {{"displays", rearrangement.displays},
         {"tilings", rearrangement.tilings},
         {"memory", rearrangement.memory}};
}

void from_json(const json& in, UndoEntry::Rearrangement& rearrangement) {
  coding::requireObject(in, "rearrangement");
  rearrangement = {};
  readField(in, "displays", rearrangement.displays);
  rearrangement.tilings = coding::lossyMap<Tiling>(in, "tilings");
  // A tiling is filed under its display, whatever the item says.
  for (auto& [displayID, tiling] : rearrangement.tilings)
    tiling.displayID = displayID;
  readField(in, "memory", rearrangement.memory);
}

void to_json(json& out, const UndoEntry& entry) {
  json frames = json::object();
  for (const auto& [window, frame] : entry.frames)
    frames[std::to_string(window)] = frame;
  json layouts = json::object();
  for (const auto& [displayID, layout] : entry.previousLayouts)
    layouts[displayID] = layout ? json(*layout) : json(nullptr);
  out = {{"id", entry.id},
         {"title", entry.title},
         {"name", entry.name},
         {"kind", rawValue(entry.kind)},
         {"frames", frames},
         {"minimize", entry.minimize},
         {"hide", entry.hide},
         {"previousLayouts", layouts},
         {"keptTiledOn", entry.keptTiledOn},
         {"keptTiledOff", entry.keptTiledOff},
         {"fullScreen", entry.fullScreen},
         {"date", entry.date}};
  coding::putOptional(out, "previousKestleID", entry.previousKestleID);
  coding::putOptional(out, "rearrangement", entry.rearrangement);
  coding::putOptional(out, "gaps", entry.gaps);
}

void from_json(const json& in, UndoEntry& entry) {
  coding::requireObject(in, "undo entry");
  auto kind = undoKindFromRawValue(coding::required<std::string>(in, "kind"));
  if (!kind) throw coding::DecodeError("unknown undo entry kind");
  entry.id = coding::required<UUID>(in, "id");
  entry.title = coding::required<std::string>(in, "title");
  entry.kind = *kind;
  entry.name = coding::value<std::string>(in, "name", {});
  entry.frames = framesFrom(in);
  entry.minimize = coding::lossyList<std::uint32_t>(in, "minimize");
  entry.hide = coding::lossyList<std::int32_t>(in, "hide");
  entry.previousKestleID = coding::optional<UUID>(in, "previousKestleID");
  entry.previousLayouts = layoutsFrom(in);
  entry.rearrangement = coding::optional<UndoEntry::Rearrangement>(in, "rearrangement");
  entry.keptTiledOn.clear();
  entry.keptTiledOff.clear();
  for (auto& displayID : coding::lossyList<std::string>(in, "keptTiledOn"))
    entry.keptTiledOn.insert(std::move(displayID));
  for (auto& displayID : coding::lossyList<std::string>(in, "keptTiledOff"))
    entry.keptTiledOff.insert(std::move(displayID));
  entry.fullScreen = coding::lossyList<std::uint32_t>(in, "fullScreen");
  entry.gaps = coding::optional<Gaps>(in, "gaps");
  // A missing or damaged date leaves the one the entry was made with.
  readField(in, "date", entry.date);
}

void to_json(json& out, const UndoHistory& history) {
  out = {{"entries", history.entries}, {"redoEntries", history.redoEntries}};
}

void from_json(const json& in, UndoHistory& history) {
  coding::requireObject(in, "undo history");
  history.entries = boundedEntries(in, "entries");
  history.redoEntries = boundedEntries(in, "redoEntries");
}

}  // namespace kestles
