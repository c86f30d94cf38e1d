#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "KestlesCore/world/AppRef.hpp"
#include "KestlesEngine/platform/AppCatalog.hpp"

namespace kestles::sim {

/// The installed apps of the simulated desktop, counting how often they were listed.
class SimAppCatalog final : public platform::AppCatalog {
 public:
  SimAppCatalog() = default;
  /// The world file's installed apps, none of them agents.
  explicit SimAppCatalog(const std::vector<AppRef>& apps);

  void setApps(std::vector<platform::CatalogApp> apps);
  void setOwnBundleID(std::string bundleID);
  /// How many times the apps were listed.
  int scans();

  std::vector<platform::CatalogApp> installedApps() override;
  std::string ownBundleID() override;

 private:
  std::mutex mutex_;
  std::vector<platform::CatalogApp> apps_;
  std::string ownBundleID_ = "co.quillmoss.Kestles";
  int scans_ = 0;
};

}  // namespace kestles::sim
