#include "KestlesCore/world/WindowSnapshot.hpp"

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const WindowSnapshot& window) {
  json = nlohmann::json{{"id", window.id},
                        {"pid", window.pid},
                        {"bundleID", window.bundleID},
                        {"appName", window.appName},
                        {"title", window.title},
                        {"frame", window.frame},
                        {"isMinimized", window.isMinimized},
                        {"isFullScreen", window.isFullScreen},
                        {"minimumSize", window.minimumSize},
                        {"maximumSize", window.maximumSize},
                        {"isResizable", window.isResizable},
                        {"zIndex", window.zIndex}};
}

void from_json(const nlohmann::json& json, WindowSnapshot& window) {
  WindowSnapshot read;
  coding::requireObject(json, "a window");
  read.frame = coding::required<CGRect>(json, "frame");
  read.id = coding::nullable<std::uint32_t>(json, "id").value_or(0);
  read.pid = coding::nullable<std::int32_t>(json, "pid").value_or(0);
  read.bundleID = coding::nullable<std::string>(json, "bundleID").value_or("");
  read.appName = coding::nullable<std::string>(json, "appName").value_or(read.bundleID);
  read.title = coding::nullable<std::string>(json, "title").value_or("");
  read.isMinimized = coding::nullable<bool>(json, "isMinimized").value_or(false);
  read.isFullScreen = coding::nullable<bool>(json, "isFullScreen").value_or(false);
  read.minimumSize = coding::nullable<MinimumSize>(json, "minimumSize").value_or(MinimumSize{});
  read.maximumSize = coding::nullable<MaximumSize>(json, "maximumSize").value_or(MaximumSize{});
  read.isResizable = coding::nullable<bool>(json, "isResizable").value_or(true);
  read.zIndex = coding::nullable<std::int64_t>(json, "zIndex").value_or(0);
  window = std::move(read);
}

}  // namespace kestles
