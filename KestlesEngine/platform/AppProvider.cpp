#include "KestlesEngine/platform/AppProvider.hpp"

#include <algorithm>
#include <set>

#include "KestlesCore/text/Text.hpp"

namespace kestles::platform {

std::vector<AppRef> withRunningApps(std::vector<AppRef> installed,
                                    const std::vector<AppSnapshot>& running) {
  std::set<std::string> known;
  for (const auto& app : installed)
    known.insert(app.bundleID);
  for (const auto& app : running)
    if (known.insert(app.bundleID).second) installed.push_back({app.bundleID, app.name});
  std::vector<std::pair<std::string, AppRef>> keyed;
  for (auto& app : installed)
    keyed.emplace_back(text::nameKey(app.name), std::move(app));
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.bundleID < b.second.bundleID;
  });
  std::vector<AppRef> sorted;
  for (auto& [key, app] : keyed)
    sorted.push_back(std::move(app));
  return sorted;
}

}  // namespace kestles::platform
