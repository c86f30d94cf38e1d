#pragma once

#include <filesystem>
#include <string_view>

namespace kestles::json_style {

/// Writes the bytes to a temporary file in the same folder, flushes it to disk and
/// renames it over the path, so that a failure at any step leaves the old file as it was.
/// Creates the folder first. A new file gets the mode the umask allows; a replaced file
/// keeps its mode when its owner may read it, else gets a new file's mode.
/// Temporary files of this path left by a writer that was killed are
/// removed first. Throws std::system_error.
void writeAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace kestles::json_style
