#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/geometry/CGRect.hpp"

namespace kestles {

/// The frames snapped windows had before their first snap, for Restore. A run of snaps on one
/// window keeps the frame from before its first snap until Restore forgets it.
struct SnapMemory {
  struct Entry {
    CGRect original;  // the frame before the first snap of a run
    CGRect frame;     // the frame the last snap gave
    bool operator==(const Entry&) const = default;
  };
  std::map<std::uint32_t, Entry> entries;

  /// Starts a run with both frames, or, for a window already in a run, takes only the new
  /// frame and keeps the original.
  void remember(std::uint32_t window, const CGRect& original, const CGRect& frame);
  /// The window's entry, or nothing when it is not in a run.
  std::optional<Entry> entry(std::uint32_t window) const;
  /// Ends the window's run.
  void forget(std::uint32_t window);
  /// Takes a new frame for a window already in a run; nothing happens for any other window.
  void updateFrame(std::uint32_t window, const CGRect& frame);
  /// The memory without the entries of windows outside `windows` (windows that closed).
  SnapMemory keeping(const std::set<std::uint32_t>& windows) const;
  /// The memory with, for each of `windows`, the other memory's entry, or none when the other
  /// has none; the entries of all other windows stay as they are.
  SnapMemory merging(const SnapMemory& other, const std::set<std::uint32_t>& windows) const;

  bool operator==(const SnapMemory&) const = default;
};

/// Keys "original" and "frame", both required.
void to_json(nlohmann::json& json, const SnapMemory::Entry& entry);
void from_json(const nlohmann::json& json, SnapMemory::Entry& entry);
/// {"entries": {"<window id in decimal>": entry}}. Reading needs an object; a missing
/// "entries" is empty, and an entry whose key is no window id or whose value does not read is
/// dropped on its own.
void to_json(nlohmann::json& json, const SnapMemory& memory);
void from_json(const nlohmann::json& json, SnapMemory& memory);

}  // namespace kestles
