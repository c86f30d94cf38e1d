#pragma once

#include <compare>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/display/DisplayShape.hpp"
#include "KestlesCore/library/AppRole.hpp"

namespace kestles {

/// Which arrangement the user settled on for a kind of window set and display, so that
/// suggestions can offer it first.
struct TilingMemory {
  /// A kind of window set on a kind of display.
  struct Key {
    int count = 0;               // the number of windows
    std::vector<AppRole> roles;  // the roles of the windows' apps
    DisplayShape shape = DisplayShape::laptop;
    auto operator<=>(const Key&) const = default;
  };
  /// What was picked for one key.
  struct Picks {
    std::map<std::string, int> counts;  // arrangement id → times picked
    std::optional<std::string> last;    // the arrangement picked last
    int used = 0;                       // the clock at the last record
    bool operator==(const Picks&) const = default;
  };

  /// At most this many keys are remembered; the least recently used go first.
  static constexpr std::size_t kMostKeys = 64;

  std::map<Key, Picks> picks;
  int clock = 0;  // one more on each record

  /// Counts a pick of the arrangement for the key, then forgets the least recently used
  /// keys beyond 64.
  void record(const std::string& id, const Key& key);
  /// The score an arrangement earns from memory: 0 when never picked for the key; else
  /// min(5 × count, 15), or min(5 × (count − 1), 15) + 25 when it was the last pick.
  int bonus(const std::string& id, const Key& key) const;

  bool operator==(const TilingMemory&) const = default;

 private:
  void forgetBeyondBound();
  friend void from_json(const nlohmann::json& json, TilingMemory& memory);
};

/// Keys "count", "roles" (raw values), "shape"; an unknown role fails the key.
void to_json(nlohmann::json& json, const TilingMemory::Key& key);
void from_json(const nlohmann::json& json, TilingMemory::Key& key);
/// Keys "counts", "last" (when present), "used".
void to_json(nlohmann::json& json, const TilingMemory::Picks& picks);
void from_json(const nlohmann::json& json, TilingMemory::Picks& picks);
/// Keys "picks" (a list of {"key": Key, "picks": Picks}, since a key is not text) and
/// "clock". Entries are read one by one; a damaged one is dropped.
void to_json(nlohmann::json& json, const TilingMemory& memory);
void from_json(const nlohmann::json& json, TilingMemory& memory);

}  // namespace kestles
