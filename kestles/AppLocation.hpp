#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kestles::tool {

/// The `kestles-app` beside the tool's resolved path, or nothing when there is none.
std::optional<std::filesystem::path> appBesideTool();

/// The version stamped into an app binary, or nothing when it carries none.
std::optional<std::string> appVersion(const std::filesystem::path& app);

/// The version text of `--version`: the app's version, or "(not in Kestles.app)".
std::string versionText();

}  // namespace kestles::tool
