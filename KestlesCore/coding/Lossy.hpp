#pragma once

#include <optional>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {

/// A value that may have failed to decode: any error while decoding is swallowed and
/// leaves `value` absent. Lists and maps of records are read through it item by item.
template <class T>
struct Lossy {
  std::optional<T> value;

  /// Decodes a T from the JSON value, or nothing when that fails.
  static Lossy decoded(const nlohmann::json& json) {
    try {
      return Lossy{coding::decode<T>(json)};
    } catch (const coding::DecodeError&) {
      return Lossy{};
    }
  }

  bool operator==(const Lossy&) const = default;
};

template <class T>
void from_json(const nlohmann::json& json, Lossy<T>& lossy) {
  lossy = Lossy<T>::decoded(json);
}

namespace coding {

/// Decodes the items of an array one by one, dropping the ones that fail.
template <class T>
std::vector<T> lossyList(const json& array) {
  if (!array.is_array()) throw DecodeError("expected a list");
  std::vector<T> items;
  items.reserve(array.size());
  for (const auto& item : array)
    if (auto lossy = Lossy<T>::decoded(item); lossy.value) items.push_back(std::move(*lossy.value));
  return items;
}

/// Decodes the values of an object one by one, dropping the entries that fail.
template <class T>
std::map<std::string, T> lossyMap(const json& object) {
  if (!object.is_object()) throw DecodeError("expected an object");
  std::map<std::string, T> entries;
  for (const auto& [key, item] : object.items())
    if (auto lossy = Lossy<T>::decoded(item); lossy.value)
      entries.emplace(key, std::move(*lossy.value));
  return entries;
}

/// A lossy list at key; empty when the key is missing or holds no list.
template <class T>
std::vector<T> lossyList(const json& object, std::string_view key) {
  const json* array = member(object, key);
  return array && array->is_array() ? lossyList<T>(*array) : std::vector<T>{};
}

/// A lossy map at key; empty when the key is missing or holds no object.
template <class T>
std::map<std::string, T> lossyMap(const json& object, std::string_view key) {
  const json* entries = member(object, key);
  return entries && entries->is_object() ? lossyMap<T>(*entries) : std::map<std::string, T>{};
}

}  // namespace coding

}  // namespace kestles
