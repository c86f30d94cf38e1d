#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include <nlohmann/json.hpp>

#include "KestlesCore/library/Date.hpp"

namespace kestles {

namespace json_style {

/// The bytes of a value in the shared file style: indent 2, keys sorted, slashes
/// unescaped, no final newline. Throws on text that is not valid UTF-8.
std::string encode(const nlohmann::json& value);

/// Parses bytes as JSON; throws on anything that is not one JSON document, and on
/// documents nested more than 256 levels deep.
nlohmann::json parse(std::string_view bytes);

/// Parses a document whose top level is an object, handing each item of the arrays under
/// the `streamed` keys to `onItem` as soon as it is complete instead of keeping it, so that
/// a large file is decoded item by item while its parts are still in the cache. `onList`
/// is told each time a streamed key appears (a repeated key replaces the earlier value).
/// Returns everything else; throws like `parse`.
nlohmann::json parseStreaming(
    std::string_view bytes, std::span<const std::string_view> streamed,
    const std::function<void(std::string_view key)>& onList,
    const std::function<void(std::string_view key, nlohmann::json&& item)>& onItem);

/// The description of a read or decode error as shown to users, without the parser's
/// internal prefix.
std::string describe(const std::exception& error);

/// The whole file's bytes; throws std::system_error when it cannot be read.
std::string readFile(const std::filesystem::path& path);

/// Writes the bytes to a temporary file in the same folder, flushes it to disk and
/// renames it over the path, so that a failure at any step leaves the old file as it was.
/// Creates the folder first. Throws std::system_error.
void writeAtomically(const std::filesystem::path& path, std::string_view bytes);

/// The name a damaged file is set aside under: "library.json" becomes
/// "library.unreadable-2026-12-04T11-41-00Z.json" in the same folder.
std::filesystem::path setAsidePath(const std::filesystem::path& path, const Date& date);

}  // namespace json_style

/// Decodes a whole document; types with a faster reader overload this for their
/// `std::type_identity`.
template <class T>
T decodeDocument(std::string_view bytes, std::type_identity<T>) {
  return json_style::parse(bytes).template get<T>();
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

  /// The record, or nothing when there is no file; throws on a read or decode error.
  std::optional<T> load() const {
    std::error_code error;
    if (!std::filesystem::exists(url, error)) return std::nullopt;
    return decodeDocument(json_style::readFile(url), std::type_identity<T>{});
  }

  /// Loads the record; a file that cannot be read or decoded is moved aside under a
  /// dated name and reported, so that the caller can start afresh.
  LoadResult loadSettingAside(Date now = Date::now()) const {
    std::error_code error;
    if (!std::filesystem::exists(url, error)) return Missing{};
    try {
      return Loaded{decodeDocument(json_style::readFile(url), std::type_identity<T>{})};
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
