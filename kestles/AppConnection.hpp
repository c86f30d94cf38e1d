#pragma once

#include <optional>
#include <string>

namespace kestles::tool {

/// Hands one line (a command link, or a file URL to import) to the running app, starting the
/// `kestles-app` beside the tool when nothing listens. Returns nothing on success, else the whole
/// "Couldn’t reach Kestles: …" sentence.
std::optional<std::string> deliverToApp(const std::string& line);

}  // namespace kestles::tool
