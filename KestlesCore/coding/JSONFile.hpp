#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/AtomicWrite.hpp"
#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/coding/Date.hpp"
#include "KestlesCore/coding/FileRead.hpp"
#include "KestlesCore/coding/JSONStyle.hpp"

namespace kestles {

namespace json_style {

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

  std::filesystem::path path;

  /// The record, or nothing when there is nothing at the path; throws on a read or decode
  /// error, including a file that is there but cannot be reached (a folder without
  /// permission, a symbolic-link loop, a broken link, a data folder that is a file).
  std::optional<T> load() const {
    auto bytes = json_style::readFileIfPresent(path);
    if (!bytes) return std::nullopt;
    return decodeDocument(*bytes, std::type_identity<T>{});
  }

  /// Loads the record; a file that cannot be read or decoded is moved aside under a
  /// dated name and reported, so that the caller can start afresh.
  LoadResult loadSettingAside(Date now = Date::now()) const {
    std::error_code error;
    try {
      auto bytes = json_style::readFileIfPresent(path);
      if (!bytes) return Missing{};
      return Loaded{decodeDocument(*bytes, std::type_identity<T>{})};
    } catch (const std::exception& failure) {
      Unreadable result{json_style::describe(failure), json_style::setAsidePath(path, now)};
      std::filesystem::rename(path, *result.backup, error);
      if (error) result.backup.reset();
      return result;
    }
  }

  /// Encodes and writes the record atomically, creating the folder; throws on failure.
  void save(const T& value) const {
    json_style::writeAtomically(path, json_style::encode(nlohmann::json(value)));
  }
};

}  // namespace kestles
