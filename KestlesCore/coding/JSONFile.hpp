#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/coding/Date.hpp"

namespace kestles {

namespace json_style {

/// The bytes of a value in the shared file style: indent 2, keys sorted, slashes
/// unescaped, no final newline. Throws on text that is not valid UTF-8.
std::string encode(const nlohmann::json& value);

/// Parses bytes as JSON; throws coding::DecodeError on anything that is not one JSON
/// document, and on documents nested more than 256 levels deep. A number too large for a
/// double (1e400) is read as an empty list, so that only the item holding it fails.
nlohmann::json parse(std::string_view bytes);

/// Parses a document whose top level is an object, handing each item of the arrays under
/// the `streamed` keys to `onItem` as soon as it is complete instead of keeping it, so that
/// a large file is decoded item by item while its parts are still in the cache. `onList`
/// is told each time a streamed key appears (a repeated key replaces the earlier value).
/// Returns everything else; throws like `parse`. When a number too large for a double is
/// met, the document is read a second time with it masked, and the lists start afresh.
nlohmann::json parseStreaming(
    std::string_view bytes, std::span<const std::string_view> streamed,
    const std::function<void(std::string_view key)>& onList,
    const std::function<void(std::string_view key, nlohmann::json&& item)>& onItem);

/// The description of a read or decode error as shown to users, without the parser's
/// internal prefix.
std::string describe(const std::exception& error);

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

/// Writes the bytes to a temporary file in the same folder, flushes it to disk and
/// renames it over the path, so that a failure at any step leaves the old file as it was.
/// Creates the folder first. A new file gets the mode the umask allows; a replaced file
/// keeps its mode when its owner may read it, else gets a new file's mode.
/// Temporary files of this path left by a writer that was killed are
/// removed first. Throws std::system_error.
void writeAtomically(const std::filesystem::path& path, std::string_view bytes);

/// The name a damaged file is set aside under: "library.json" becomes
/// "library.unreadable-2026-12-04T11-41-00Z.json" in the same folder.
std::filesystem::path setAsidePath(const std::filesystem::path& path, const Date& date);

}  // namespace json_style

/// Decodes a whole document; types with a faster reader overload this for their
/// `std::type_identity`.
template <class T>
T decodeDocument(std::string_view bytes, std::type_identity<T>) {
  return coding::decode<T>(json_style::parse(bytes));
}

/// One JSON file holding a record of type T.
template <class T>
struct JSONFile {
  struct Loaded {
    T value;
  };
  struct Unreadable {
    std::string error;
    std::optional<std::filesystem::path> backup;  // where the damaged file went, if moved
  };
  struct Missing {};
  using LoadResult = std::variant<Loaded, Unreadable, Missing>;

  std::filesystem::path url;

  /// The record, or nothing when there is nothing at the path; throws on a read or decode
  /// error, including a file that is there but cannot be reached (a folder without
  /// permission, a symbolic-link loop, a broken link, a data folder that is a file).
  std::optional<T> load() const {
    auto bytes = json_style::readFileIfPresent(url);
    if (!bytes) return std::nullopt;
    return decodeDocument(*bytes, std::type_identity<T>{});
  }

  /// Loads the record; a file that cannot be read or decoded is moved aside under a
  /// dated name and reported, so that the caller can start afresh.
  LoadResult loadSettingAside(Date now = Date::now()) const {
    std::error_code error;
    try {
      auto bytes = json_style::readFileIfPresent(url);
      if (!bytes) return Missing{};
      return Loaded{decodeDocument(*bytes, std::type_identity<T>{})};
    } catch (const std::exception& failure) {
      Unreadable result{json_style::describe(failure), json_style::setAsidePath(url, now)};
      std::filesystem::rename(url, *result.backup, error);
      if (error) result.backup.reset();
      return result;
    }
  }

  /// Encodes and writes the record atomically, creating the folder; throws on failure.
  void save(const T& value) const {
    json_style::writeAtomically(url, json_style::encode(nlohmann::json(value)));
  }
};

}  // namespace kestles
