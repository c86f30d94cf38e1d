#pragma once

#include <optional>
#include <string>

#include "KestlesLink/AppDelivery.hpp"

namespace kestles::app {

/// Hands a line to the running app, starting this program as the app when none runs; nothing
/// on success, else the sentence that says why not.
std::optional<std::string> deliverToRunningApp(const std::string& line);

/// As `deliverToRunningApp`, with the app's whole answer.
link::AppAnswer askRunningApp(const std::string& line);

}  // namespace kestles::app
