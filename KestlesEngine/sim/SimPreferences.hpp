#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesEngine/platform/SystemPreferences.hpp"

namespace kestles::sim {

/// The simulated desktop's system preferences: no domains at first, like a desktop without
/// the system's own tiling or Stage Manager, until a test adds them.
class SimPreferences final : public platform::SystemPreferences {
 public:
  using Keys = std::map<std::string, platform::PreferenceValue, std::less<>>;

  /// Makes the domain exist with these keys (replacing what it held).
  void setDomain(std::string domain, Keys keys = {});
  /// The domain's keys as stored at the last synchronization (nothing: no such domain).
  std::optional<Keys> stored(std::string_view domain) const;
  /// The domains synchronized, in order.
  const std::vector<std::string>& synchronizations() const { return synchronizations_; }

  bool synchronize(std::string_view domain) override;
  std::optional<platform::PreferenceValue> value(std::string_view domain,
                                                 std::string_view key) override;
  void setValue(std::string_view domain, std::string_view key,
                const std::optional<platform::PreferenceValue>& value) override;

 private:
  std::map<std::string, Keys, std::less<>> stored_;   // what the store holds
  std::map<std::string, Keys, std::less<>> pending_;  // this process's view, written on sync
  std::vector<std::string> synchronizations_;
};

}  // namespace kestles::sim
