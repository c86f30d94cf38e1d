#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesCore/world/AppRef.hpp"
#include "KestlesCore/world/AppSnapshot.hpp"

namespace kestles::tool {

/// The desktop as the tool's checks see it, opened only when a check first asks.
class ToolPlatform {
 public:
  ToolPlatform();
  ~ToolPlatform();
  ToolPlatform(const ToolPlatform&) = delete;
  ToolPlatform& operator=(const ToolPlatform&) = delete;

  std::vector<DisplayInfo> displays();
  /// The apps running now.
  std::vector<AppSnapshot> openApps();
  /// The apps a user can open.
  std::vector<AppRef> installedApps();

 private:
  struct State;
  State& state();
  std::unique_ptr<State> state_;
};

}  // namespace kestles::tool
