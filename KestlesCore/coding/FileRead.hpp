#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace kestles::json_style {

/// The largest file any reader takes: far above any real library (a library of a thousand
/// kestles is about a megabyte), low enough that a hostile file cannot exhaust memory.
inline constexpr std::uintmax_t kMaxFileSize = std::uintmax_t{32} << 20;

/// The whole file's bytes; throws std::system_error when it cannot be read, and refuses,
/// the same way, anything that is not a regular file (a folder, a FIFO, a device, a broken
/// symbolic link) and files larger than `kMaxFileSize`, before reading any of it.
std::string readFile(const std::filesystem::path& path);

/// The file's bytes, or nothing when there is nothing at the path (not even a symbolic
/// link); any other failure to read it throws like `readFile`.
std::optional<std::string> readFileIfPresent(const std::filesystem::path& path);

}  // namespace kestles::json_style
