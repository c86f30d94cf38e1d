#pragma once

#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "KestlesCore/world/AppRef.hpp"
#include "KestlesEngine/platform/AppCatalog.hpp"
#include "KestlesEngine/platform/Time.hpp"
#include "KestlesEngine/platform/Workspace.hpp"

namespace kestles::engine {

/// The apps offered when a kestle is edited: the installed ones and the running ones that are
/// not installed as such. Scans one at a time and shares its cache; safe from any thread.
class InstalledApps {
 public:
  /// How long a list is handed out again without a scan.
  static constexpr platform::Duration kFresh = std::chrono::seconds(60);

  /// A list and when it was made.
  struct Cached {
    std::vector<AppRef> apps;
    platform::ContinuousInstant at;
  };

  InstalledApps(platform::AppCatalog& catalog, platform::Workspace& workspace,
                platform::Clock& clock);

  /// The list made less than 60 s ago, else a new one: the catalog's apps that have a bundle
  /// identifier and are not agents, then the running regular apps not listed yet, without
  /// this app, sorted by name (see `sortedByName`).
  std::vector<AppRef> list();
  /// The cached list, if any.
  std::optional<Cached> cached();

  /// The apps in the order of the system's standard comparison of names: case, diacritics
  /// and width folded, runs of digits by their value ("App 9" before "App 10"); equal names
  /// by bundle identifier.
  static std::vector<AppRef> sortedByName(std::vector<AppRef> apps);

 private:
  std::vector<AppRef> scan();

  platform::AppCatalog& catalog_;
  platform::Workspace& workspace_;
  platform::Clock& clock_;
  std::mutex mutex_;  // held for a whole scan, so that callers share one
  std::optional<Cached> cached_;
};

}  // namespace kestles::engine
