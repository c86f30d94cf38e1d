#include "KestlesEngine/engine/InstalledApps.hpp"

#include <algorithm>
#include <set>

#include "KestlesCore/text/Text.hpp"

namespace kestles::engine {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view digitRun(std::string_view text, std::size_t from) {
  auto end = from;
  while (end < text.size() && isDigit(text[end]))
    ++end;
  return text.substr(from, end - from);
}

// Compares two digit runs by value: without leading zeros the longer run is larger.
int compareNumbers(std::string_view a, std::string_view b) {
  auto significant = [](std::string_view run) {
    auto first = run.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : run.substr(first);
  };
  a = significant(a);
  b = significant(b);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

// Folded texts compared character by character, except that digit runs compare by value.
int compareNames(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      auto runA = digitRun(a, i), runB = digitRun(b, j);
      if (int order = compareNumbers(runA, runB)) return order;
      i += runA.size();
      j += runB.size();
      continue;
    }
    if (a[i] != b[j])
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
    ++i;
    ++j;
  }
  return (i < a.size()) - (j < b.size());
}

}  // namespace

InstalledApps::InstalledApps(platform::AppCatalog& catalog, platform::Workspace& workspace,
                             platform::Clock& clock)
    : catalog_(catalog), workspace_(workspace), clock_(clock) {}

std::vector<AppRef> InstalledApps::list() {
  std::lock_guard lock(mutex_);
  auto now = clock_.now();
  if (cached_ && now - cached_->at < kFresh) return cached_->apps;
  auto apps = scan();
  cached_ = Cached{apps, clock_.now()};
  return apps;
}

std::optional<InstalledApps::Cached> InstalledApps::cached() {
  std::lock_guard lock(mutex_);
  return cached_;
}

std::vector<AppRef> InstalledApps::scan() {
  auto own = catalog_.ownBundleID();
  // The first of two bundles with one identifier wins: the user's own folder comes first.
  std::set<std::string> listed{own};
  std::vector<AppRef> apps;
  for (auto& app : catalog_.installedApps()) {
    if (app.isAgent || app.bundleID.empty() || !listed.insert(app.bundleID).second) continue;
    apps.push_back({std::move(app.bundleID), std::move(app.name)});
  }
  for (const auto& app : workspace_.runningApplications()) {
    if (!app.isRegular || app.isTerminated || !app.bundleID || app.bundleID->empty()) continue;
    if (!listed.insert(*app.bundleID).second) continue;
    apps.push_back({*app.bundleID, app.localizedName.value_or(*app.bundleID)});
  }
  return sortedByName(std::move(apps));
}

std::vector<AppRef> InstalledApps::sortedByName(std::vector<AppRef> apps) {
  // Each name is folded once, not at every comparison.
  std::vector<std::pair<std::string, AppRef>> keyed;
  keyed.reserve(apps.size());
  for (auto& app : apps)
    keyed.emplace_back(text::nameKey(app.name), std::move(app));
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    if (int order = compareNames(a.first, b.first)) return order < 0;
    return a.second.bundleID < b.second.bundleID;
  });
  apps.clear();
  for (auto& entry : keyed)
    apps.push_back(std::move(entry.second));
  return apps;
}

}  // namespace kestles::engine
