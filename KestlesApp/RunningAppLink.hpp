#pragma once

#include <optional>
#include <string>

namespace kestles::app {

/// Hands a line to the running app, starting this program as the app when none runs; nothing
/// on success, else the sentence that says why not.
std::optional<std::string> deliverToRunningApp(const std::string& line);

}  // namespace kestles::app
