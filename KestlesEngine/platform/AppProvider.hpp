#pragma once

#include <vector>

#include "KestlesCore/world/AppRef.hpp"
#include "KestlesCore/world/AppSnapshot.hpp"

namespace kestles::platform {

/// The apps a user can open, as a desktop lists them.
class InstalledAppSource {
 public:
  virtual ~InstalledAppSource() = default;
  /// Sorted by name (folded), then bundle identifier.
  virtual std::vector<AppRef> installedApps() = 0;
};

/// The installed apps plus the running apps whose bundle identifier is not among them,
/// sorted by folded name, then bundle identifier.
std::vector<AppRef> withRunningApps(std::vector<AppRef> installed,
                                    const std::vector<AppSnapshot>& running);

}  // namespace kestles::platform
