#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"

namespace kestles::tool {

/// The desktop as the tool's checks see it, opened only when a check first asks.
class ToolPlatform {
 public:
  ToolPlatform();
  ~ToolPlatform();
  ToolPlatform(const ToolPlatform&) = delete;
  ToolPlatform& operator=(const ToolPlatform&) = delete;

  std::vector<DisplayInfo> displays();
  /// The names of the apps running now.
  std::vector<std::string> openAppNames();
  /// The names of the apps a user can open.
  std::vector<std::string> installedAppNames();

 private:
  struct State;
  State& state();
  std::unique_ptr<State> state_;
};

}  // namespace kestles::tool
