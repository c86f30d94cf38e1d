#pragma once

#include <string>
#include <vector>

namespace kestles::platform {

/// One app installed where the platform keeps apps.
struct CatalogApp {
  std::string bundleID;  // empty when the bundle names none
  std::string name;      // the name a user sees for it (on the Mac without ".app")
  bool isAgent = false;  // an agent or background-only app: it has no place in app lists
  bool operator==(const CatalogApp&) const = default;
};

/// The installed apps the platform can list. On the Mac: the ".app" bundles directly inside
/// ~/Applications, /Applications, /Applications/Utilities, /System/Applications and
/// /System/Applications/Utilities, read from "Contents/Info.plist" ("LSUIElement" or
/// "LSBackgroundOnly" true is an agent). Safe to call from any thread.
class AppCatalog {
 public:
  virtual ~AppCatalog() = default;
  /// The apps in the order of the platform's folders; a folder that cannot be listed and a
  /// bundle that cannot be read contribute nothing.
  virtual std::vector<CatalogApp> installedApps() = 0;
  /// This app's own bundle identifier.
  virtual std::string ownBundleID() = 0;
};

}  // namespace kestles::platform
