#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "KestlesCore/model/Failure.hpp"

namespace kestles::platform {

/// The suite that holds the app's own defaults.
inline constexpr const char* kDefaultsSuite = "co.quillmoss.Kestles";

/// The defaults file: a JSON object keyed by suite name, each an object of keys and values.
std::filesystem::path defaultsFile();

/// A boolean default; nothing when the file, the suite or the key is missing, the value is
/// not a boolean, or the file is damaged.
std::optional<bool> readDefaultBool(const std::string& suite, const std::string& key);

/// Writes a boolean default, keeping every other value; the file is replaced atomically and
/// writers take turns under a lock. A file that cannot be read or is not an object of suites
/// is left as it is and nothing is written. Returns the failure when nothing was written
/// (damaged file, text that is not UTF-8, a failed write).
std::optional<Failure> writeDefaultBool(const std::string& suite, const std::string& key,
                                        bool value);

}  // namespace kestles::platform
