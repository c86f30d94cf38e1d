#include "KestlesEngine/x11/X11Catalog.hpp"

namespace kestles::x11 {

X11Catalog::X11Catalog(std::vector<std::filesystem::path> folders) : folders_(std::move(folders)) {}

DesktopEntries X11Catalog::entries() {
  std::lock_guard lock(mutex_);
  auto now = stamps();
  if (scanned_ != now) {
    entries_ = DesktopEntries::scan(folders_);
    scanned_ = std::move(now);
  }
  return entries_;
}

std::vector<platform::CatalogApp> X11Catalog::installedApps() {
  auto scanned = entries();
  std::vector<platform::CatalogApp> apps;
  for (const auto& entry : scanned.entries())
    apps.push_back({entry.id, entry.name, false});
  return apps;
}

X11Catalog::Stamps X11Catalog::stamps() const {
  // A folder's time changes when an entry in it is added, removed or renamed (package
  // managers replace files by renaming), so the folders' times tell when to scan again.
  Stamps stamps;
  for (const auto& folder : folders_) {
    std::error_code error;
    auto stamp = std::filesystem::last_write_time(folder, error);
    if (error) continue;
    stamps[folder] = stamp;
    std::filesystem::recursive_directory_iterator walk(
        folder, std::filesystem::directory_options::skip_permission_denied, error);
    for (auto end = std::filesystem::recursive_directory_iterator(); !error && walk != end;
         walk.increment(error)) {
      std::error_code kind;
      if (!walk->is_directory(kind)) continue;
      auto inner = walk->last_write_time(kind);
      if (!kind) stamps[walk->path()] = inner;
    }
  }
  return stamps;
}

}  // namespace kestles::x11
