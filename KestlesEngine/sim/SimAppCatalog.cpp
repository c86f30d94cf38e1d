#include "KestlesEngine/sim/SimAppCatalog.hpp"

namespace kestles::sim {

SimAppCatalog::SimAppCatalog(const std::vector<AppRef>& apps) {
  for (const auto& app : apps)
    apps_.push_back({app.bundleID, app.name, false});
}

void SimAppCatalog::setApps(std::vector<platform::CatalogApp> apps) {
  std::lock_guard lock(mutex_);
  apps_ = std::move(apps);
}

void SimAppCatalog::setOwnBundleID(std::string bundleID) {
  std::lock_guard lock(mutex_);
  ownBundleID_ = std::move(bundleID);
}

int SimAppCatalog::scans() {
  std::lock_guard lock(mutex_);
  return scans_;
}

std::vector<platform::CatalogApp> SimAppCatalog::installedApps() {
  std::lock_guard lock(mutex_);
  ++scans_;
  return apps_;
}

std::string SimAppCatalog::ownBundleID() {
  std::lock_guard lock(mutex_);
  return ownBundleID_;
}

}  // namespace kestles::sim
