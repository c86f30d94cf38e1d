#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/world/AppRef.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// The first synthetic window id; windows of a world file without an id get the next ones.
inline constexpr std::uint32_t kFirstSyntheticID = 0xF0000001;

/// A world file, the simulated desktop's input and the app's `world` output: a world's JSON
/// (displays, apps, windows) plus "installedApps" (`AppRef` objects, a damaged one left out)
/// and "focusedWindow" (a window id).
struct WorldFile {
  World world;
  std::vector<AppRef> installedApps;
  std::optional<std::uint32_t> focusedWindow;

  bool operator==(const WorldFile&) const = default;

  /// Reads a world file's JSON with the world's own tolerant decoding; a window without an id
  /// takes the next unused synthetic id. Throws when the JSON is not an object.
  static WorldFile decoded(const nlohmann::json& json);
  /// Reads the world file at `path`; throws `std::runtime_error` with a whole sentence when it
  /// is not a readable regular file or not a world in JSON.
  static WorldFile read(const std::filesystem::path& path);
  /// The JSON of the world file.
  nlohmann::json encoded() const;
};

}  // namespace kestles
