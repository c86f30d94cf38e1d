#include "KestlesCore/snap/SnapMemory.hpp"

#include <charconv>
#include <string>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
namespace {

/// A window id written as a JSON key: plain decimal digits, nothing else.
std::optional<std::uint32_t> windowFromKey(const std::string& key) {
  if (key.empty() || key.front() < '0' || key.front() > '9') return std::nullopt;
  std::uint32_t window = 0;
  auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), window);
  if (error != std::errc() || end != key.data() + key.size()) return std::nullopt;
  return window;
}

}  // namespace

void SnapMemory::remember(std::uint32_t window, const CGRect& original, const CGRect& frame) {
  auto [entry, isNew] = entries.try_emplace(window, Entry{original, frame});
  if (!isNew) entry->second.frame = frame;
}

std::optional<SnapMemory::Entry> SnapMemory::entry(std::uint32_t window) const {
  auto found = entries.find(window);
  if (found == entries.end()) return std::nullopt;
  return found->second;
}

void SnapMemory::forget(std::uint32_t window) {
  entries.erase(window);
}

void SnapMemory::updateFrame(std::uint32_t window, const CGRect& frame) {
  if (auto found = entries.find(window); found != entries.end()) found->second.frame = frame;
}

SnapMemory SnapMemory::keeping(const std::set<std::uint32_t>& windows) const {
  SnapMemory kept;
  for (const auto& [window, entry] : entries)
    if (windows.contains(window)) kept.entries.emplace(window, entry);
  return kept;
}

SnapMemory SnapMemory::merging(const SnapMemory& other,
                               const std::set<std::uint32_t>& windows) const {
  SnapMemory merged = *this;
  for (auto window : windows) {
    if (auto theirs = other.entry(window))
      merged.entries.insert_or_assign(window, *theirs);
    else
      merged.forget(window);
  }
  return merged;
}

void to_json(nlohmann::json& json, const SnapMemory::Entry& entry) {
  json = nlohmann::json{{"original", entry.original}, {"frame", entry.frame}};
}

void from_json(const nlohmann::json& json, SnapMemory::Entry& entry) {
  coding::requireObject(json, "a snap memory entry");
  entry = {coding::required<CGRect>(json, "original"), coding::required<CGRect>(json, "frame")};
}

void to_json(nlohmann::json& json, const SnapMemory& memory) {
  auto entries = nlohmann::json::object();
  for (const auto& [window, entry] : memory.entries)
    entries[std::to_string(window)] = entry;
  json = nlohmann::json{{"entries", std::move(entries)}};
}

void from_json(const nlohmann::json& json, SnapMemory& memory) {
  coding::requireObject(json, "the snap memory");
  SnapMemory read;
  for (auto& [key, entry] : coding::lossyMap<SnapMemory::Entry>(json, "entries"))
    if (auto window = windowFromKey(key)) read.entries.emplace(*window, entry);
  memory = std::move(read);
}

}  // namespace kestles
