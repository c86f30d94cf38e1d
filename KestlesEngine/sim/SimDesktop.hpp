#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/world/AppRef.hpp"
#include "KestlesCore/world/World.hpp"
#include "KestlesEngine/platform/AppProvider.hpp"
#include "KestlesEngine/platform/DisplayProvider.hpp"
#include "KestlesEngine/platform/WindowControl.hpp"

namespace kestles::sim {

/// The first synthetic window id; windows of a world file without an id get the next ones.
inline constexpr std::uint32_t kFirstSyntheticID = 0xF0000001;

/// A world file: a world's JSON plus "installedApps" (`AppRef` objects, a damaged one left
/// out) and "focusedWindow" (a window id).
struct WorldFile {
  World world;
  std::vector<AppRef> installedApps;
  std::optional<std::uint32_t> focusedWindow;

  bool operator==(const WorldFile&) const = default;
};

/// Reads a world file's JSON; throws `nlohmann::json::exception` for anything but an object.
WorldFile decodeWorldFile(const nlohmann::json& json);
/// Reads a world file; throws `std::runtime_error` with a whole sentence when it cannot.
WorldFile readWorldFile(const std::filesystem::path& path);
/// The JSON of a world file.
nlohmann::json encodeWorldFile(const WorldFile& file);

/// The simulated desktop: the displays, apps and windows of a world file, held in memory.
/// Moves obey each window's size limits; nothing is written back to the file.
class SimDesktop final : public platform::DisplayProvider,
                         public platform::RunningAppProvider,
                         public platform::InstalledAppProvider,
                         public platform::WindowControl {
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
