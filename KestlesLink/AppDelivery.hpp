#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kestles::link {

/// Where the running app listens, and the app to start when nothing does.
struct AppAddress {
  std::filesystem::path socket;
  std::optional<std::filesystem::path> app;  // nothing: no app to start
};

/// Hands one line (a command link, or a file URL to import) to the running app, starting the
/// address's app when nothing listens. Returns nothing on success, else the whole
/// "Couldn’t reach Kestles: …" sentence.
std::optional<std::string> deliverToApp(const std::string& line, const AppAddress& address);

}  // namespace kestles::link
