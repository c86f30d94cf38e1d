#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kestles::platform {

/// The value of an environment variable, or nothing when it is unset or empty.
std::optional<std::string> environment(const char* name);

/// The folder that holds the app's socket: $XDG_RUNTIME_DIR/kestles when that is an absolute
/// path, else /tmp/kestles-<uid>. (Home and the other base folders: `KestlesPaths`.)
std::filesystem::path socketFolder();

/// The app's command-link socket inside `socketFolder()`.
std::filesystem::path socketPath();

/// The systemd journal's socket, present on machines whose journal takes messages.
inline const std::filesystem::path kJournalSocket = "/run/systemd/journal/socket";

/// Where a user finds the app's log, in words: how to read the journal when the app logs
/// there, else the log file's path.
std::string logPlaceText(bool inJournal);

/// The resolved path of the running executable, or nothing when it cannot be read.
std::optional<std::filesystem::path> executablePath();

}  // namespace kestles::platform
