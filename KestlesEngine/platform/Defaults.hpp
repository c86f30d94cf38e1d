#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kestles::platform {

/// The suite that holds the app's own defaults.
inline constexpr const char* kDefaultsSuite = "co.quillmoss.Kestles";

/// The defaults file: a JSON object keyed by suite name, each an object of keys and values.
std::filesystem::path defaultsFile();

/// A boolean default; nothing when the file, the suite or the key is missing, or the value is
/// not a boolean.
std::optional<bool> readDefaultBool(const std::string& suite, const std::string& key);

/// Writes a boolean default, keeping every other value; the file is replaced atomically.
/// Returns a whole sentence when it cannot be written.
std::optional<std::string> writeDefaultBool(const std::string& suite, const std::string& key,
                                            bool value);

}  // namespace kestles::platform
