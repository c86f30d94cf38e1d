#include "KestlesCore/tiling/TilingMemory.hpp"

#include <algorithm>

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
namespace {

/// One remembered key with its picks, the form an entry takes in files.
struct Entry {
  TilingMemory::Key key;
  TilingMemory::Picks picks;
};

void from_json(const nlohmann::json& json, Entry& entry) {
  coding::requireObject(json, "a tiling memory entry");
  entry.key = json.at("key").get<TilingMemory::Key>();
  entry.picks = json.at("picks").get<TilingMemory::Picks>();
}

}  // namespace

void TilingMemory::record(const std::string& id, const Key& key) {
  ++clock;
  Picks& entry = picks[key];
  ++entry.counts[id];
  entry.last = id;
  entry.used = clock;
  forgetBeyondBound();
}

void TilingMemory::forgetBeyondBound() {
  while (picks.size() > kMostKeys) {
    auto oldest = std::min_element(picks.begin(), picks.end(), [](const auto& a, const auto& b) {
      return a.second.used < b.second.used;
    });
    picks.erase(oldest);
  }
}

int TilingMemory::bonus(const std::string& id, const Key& key) const {
  auto entry = picks.find(key);
  if (entry == picks.end()) return 0;
  auto count = entry->second.counts.find(id);
  if (count == entry->second.counts.end() || count->second <= 0) return 0;
  int times = count->second;
  if (entry->second.last == id) return std::min(5 * (times - 1), 15) + 25;
  return std::min(5 * times, 15);
}

void to_json(nlohmann::json& json, const TilingMemory::Key& key) {
  auto roles = nlohmann::json::array();
  for (auto role : key.roles)
    roles.push_back(std::string(rawValue(role)));
  json = {{"count", key.count}, {"roles", roles}, {"shape", key.shape}};
}

void from_json(const nlohmann::json& json, TilingMemory::Key& key) {
  coding::requireObject(json, "a tiling memory key");
  key.count = coding::required<int>(json, "count");
  key.shape = json.at("shape").get<DisplayShape>();
  key.roles.clear();
  for (const auto& raw : json.at("roles")) {
    auto role = appRoleFromRawValue(coding::decode<std::string>(raw));
    if (!role) throw coding::DecodeError("unknown app role");
    key.roles.push_back(*role);
  }
}

void to_json(nlohmann::json& json, const TilingMemory::Picks& picks) {
  json = {{"counts", picks.counts}, {"used", picks.used}};
  coding::putOptional(json, "last", picks.last);
}

void from_json(const nlohmann::json& json, TilingMemory::Picks& picks) {
  coding::requireObject(json, "tiling picks");
  picks.counts = coding::lossyMap<int>(json, "counts");
  picks.last = coding::optional<std::string>(json, "last");
  picks.used = coding::value<int>(json, "used", 0);
}

void to_json(nlohmann::json& json, const TilingMemory& memory) {
  auto entries = nlohmann::json::array();
  for (const auto& [key, picks] : memory.picks)
    entries.push_back({{"key", key}, {"picks", picks}});
  json = {{"picks", entries}, {"clock", memory.clock}};
}

void from_json(const nlohmann::json& json, TilingMemory& memory) {
  coding::requireObject(json, "a tiling memory");
  TilingMemory read;
  read.clock = coding::value<int>(json, "clock", 0);
  for (auto& entry : coding::lossyList<Entry>(json, "picks"))
    read.picks[entry.key] = std::move(entry.picks);
  // A damaged clock must not make later records look older than remembered ones.
  for (const auto& [key, picks] : read.picks)
    read.clock = std::max(read.clock, picks.used);
  read.forgetBeyondBound();
  memory = std::move(read);
}

}  // namespace kestles
