#include "KestlesEngine/sim/SimPreferences.hpp"

namespace kestles::sim {

void SimPreferences::setDomain(std::string domain, Keys keys) {
  pending_[domain] = keys;
  stored_[std::move(domain)] = std::move(keys);
}

std::optional<SimPreferences::Keys> SimPreferences::stored(std::string_view domain) const {
  auto found = stored_.find(domain);
  if (found == stored_.end()) return std::nullopt;
  return found->second;
}

bool SimPreferences::synchronize(std::string_view domain) {
  synchronizations_.emplace_back(domain);
  auto found = stored_.find(domain);
  if (found == stored_.end()) return false;
  found->second = pending_[found->first];
  return true;
}

std::optional<platform::PreferenceValue> SimPreferences::value(std::string_view domain,
                                                               std::string_view key) {
  auto keys = pending_.find(domain);
  if (keys == pending_.end()) return std::nullopt;
  auto found = keys->second.find(key);
  if (found == keys->second.end()) return std::nullopt;
  return found->second;
}

void SimPreferences::setValue(std::string_view domain, std::string_view key,
                              const std::optional<platform::PreferenceValue>& value) {
  auto& keys = pending_[std::string(domain)];
  if (value)
    keys.insert_or_assign(std::string(key), *value);
  else if (auto found = keys.find(key); found != keys.end())
    keys.erase(found);
}

}  // namespace kestles::sim
