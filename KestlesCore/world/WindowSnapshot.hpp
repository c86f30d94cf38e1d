#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/SizeLimits.hpp"
#include "KestlesCore/world/WindowID.hpp"

namespace kestles {

/// One standard window as a snapshot saw it.
struct WindowSnapshot {
  WindowID id = 0;  // the window number; synthetic ids start above 0xF0000000
  std::int32_t pid = 0;
  std::string bundleID;
  std::string appName;
  std::string title;  // empty when the window has none
  CGRect frame;       // the outer frame in global points, y down
  bool isMinimized = false;
  bool isFullScreen = false;
  MinimumSize minimumSize;
  MaximumSize maximumSize;
  bool isResizable = true;
  std::int64_t zIndex = 0;  // 0 is the frontmost; smaller is nearer the front

  /// Compares every field; frames exactly.
  bool operator==(const WindowSnapshot&) const = default;
};

/// The field names as keys; the frame as [[x, y], [w, h]], the sizes as {"width",
/// "height"}. Reading requires "frame"; every other key may be missing: id and pid 0, texts
/// empty (the app name: the bundle identifier), flags false but resizable true, no limits,
/// zIndex 0.
void to_json(nlohmann::json& json, const WindowSnapshot& window);
void from_json(const nlohmann::json& json, WindowSnapshot& window);

}  // namespace kestles
