#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "KestlesLink/LinkReply.hpp"

namespace kestles::link {

/// Where the running app listens, and the app to start when nothing does.
struct AppAddress {
  std::filesystem::path socket;
  std::optional<std::filesystem::path> app;  // nothing: no app to start
};

/// What the app answered (its "say" lines and final line), or the whole
/// "Couldn’t reach Kestles: …" sentence.
using AppAnswer = std::variant<LinkReply, std::string>;

/// Hands one line (a command link, or a file URL to import) to the running app, starting the
/// address's app when nothing listens, and waits for its answer.
AppAnswer askApp(const std::string& line, const AppAddress& address);

/// As `askApp`; nothing when the app carried the line out (wholly or in part), else the
/// "Couldn’t reach Kestles: …" sentence or the app's own sentence for nothing done.
std::optional<std::string> deliverToApp(const std::string& line, const AppAddress& address);

/// Whether something listens at the socket now; nothing is started.
bool appListens(const std::filesystem::path& socket);

}  // namespace kestles::link
