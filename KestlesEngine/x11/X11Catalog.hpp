#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesEngine/platform/AppCatalog.hpp"
#include "KestlesEngine/x11/DesktopEntries.hpp"

namespace kestles::x11 {

/// The installed apps of an X session: the shown desktop entries of the XDG applications
/// folders, each app's id its desktop-entry id. Safe from any thread.
class X11Catalog final : public platform::AppCatalog {
 public:
  /// The id of Kestles's own desktop entry (and of its autostart entry).
  static constexpr std::string_view kOwnID = "kestles";

  explicit X11Catalog(std::vector<std::filesystem::path> folders = applicationFolders());

  /// The entries, scanned again only when a folder, or a folder below one, changed (was
  /// created, removed, or had an entry added, removed or renamed) since the last scan.
  DesktopEntries entries();

  /// The entries as apps, in the folders' order; none is an agent (entries that are not
  /// shown are left out by the scan).
  std::vector<platform::CatalogApp> installedApps() override;
  std::string ownBundleID() override { return std::string(kOwnID); }

 private:
  using Stamps = std::map<std::filesystem::path, std::filesystem::file_time_type>;
  Stamps stamps() const;

  std::mutex mutex_;
  std::vector<std::filesystem::path> folders_;
  std::optional<Stamps> scanned_;  // the folders' times at the last scan
  DesktopEntries entries_;
};

}  // namespace kestles::x11
