#pragma once

#include <optional>
#include <vector>

#include "KestlesCore/world/WorldFile.hpp"
#include "KestlesEngine/platform/Platform.hpp"

namespace kestles::sim {

/// The simulated desktop: the displays, apps and windows of a world file, held in memory.
/// Moves obey each window's size limits; nothing is written back to the file.
class SimDesktop final : public platform::DesktopServices {
 public:
  explicit SimDesktop(WorldFile file);

  std::vector<DisplayInfo> displays() override;
  std::vector<AppSnapshot> runningApps() override;
  std::vector<AppRef> installedApps() override;
  platform::WindowList windows() override;
  std::vector<std::optional<CGRect>> place(std::span<const platform::WindowMove> moves) override;
  bool setMinimized(std::uint32_t window, bool minimized) override;
  bool raise(std::uint32_t window) override;
  bool focus(std::uint32_t window) override;
  bool setFullScreen(std::uint32_t window, bool fullScreen) override;

 private:
  WindowSnapshot* find(std::uint32_t window);
  WorldFile file_;
};

}  // namespace kestles::sim
