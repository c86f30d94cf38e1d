#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/coding/Date.hpp"
#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/layout/LayoutRef.hpp"
#include "KestlesCore/model/UUID.hpp"
#include "KestlesCore/snap/SnapMemory.hpp"
#include "KestlesCore/tiling/Tiling.hpp"

namespace kestles {

struct Library;

/// One change that moved windows, with what it takes to put it back: window geometry for
/// the engine and library state (current kestle, current layouts, kept-tiled displays,
/// gaps) carried out here.
struct UndoEntry {
  enum class Kind { apply, keys, keepTiledOn, keptTiled, gaps };

  /// Tiling state to restore.
  struct Rearrangement {
    std::set<std::string> displays;
    std::map<std::string, Tiling> tilings;  // by display id
    SnapMemory memory;
    bool operator==(const Rearrangement&) const = default;
  };

  UUID id;  // nil by default; `make` draws a fresh one
  std::string title;
  std::string name;
  Kind kind = Kind::apply;
  std::map<std::uint32_t, CGRect> frames;  // where each moved window was
  std::vector<std::uint32_t> minimize;     // windows to minimize again
  std::vector<std::int32_t> hide;          // processes whose apps to hide again
  std::optional<UUID> previousKestleID;
  std::map<std::string, std::optional<LayoutRef>> previousLayouts;  // absent: none
  std::optional<Rearrangement> rearrangement;
  std::set<std::string> keptTiledOn;   // displays the change turned keep-tiled on for
  std::set<std::string> keptTiledOff;  // displays it turned keep-tiled off for
  std::vector<std::uint32_t> fullScreen;
  std::optional<Gaps> gaps;  // the gaps before a gaps change
  Date date;                 // the zero date by default; `make` takes now

  /// A new entry of the kind with a fresh random id and now as its date.
  static UndoEntry make(Kind kind, std::string title, std::string name);

  /// Puts the library part of this entry back: the current kestle, each touched display's
  /// current layout, the kept-tiled set and, for a gaps entry, the gaps. Returns the
  /// entry that does the opposite, holding the library values from just before; its
  /// window geometry is left for the engine to fill in.
  UndoEntry restoreLibrary(Library& library) const;

  /// Drops everything of the windows outside `windows` (windows that closed): their frames,
  /// minimizing and full screen, their tile slots and their snap memory. True when the entry
  /// held anything of them.
  bool keep(const std::set<std::uint32_t>& windows);
  /// True when carrying the entry out would still do something: move, minimize or bring
  /// back to full screen a window, hide an app, or put a library value back. An entry
  /// that only restores tilings and snap memory moves nothing by itself.
  bool changesAnything() const;

  bool operator==(const UndoEntry&) const = default;
};

/// The raw value of a kind ("keepTiledOn"), and the kind of one, or nothing.
std::string_view rawValue(UndoEntry::Kind kind);
std::optional<UndoEntry::Kind> undoKindFromRawValue(std::string_view raw);

/// Keys "displays" (sorted), "tilings" (display id → Tiling) and "memory" (SnapMemory).
/// Reading is tolerant: a damaged tiling is dropped on its own, damaged memory is empty.
void to_json(nlohmann::json& json, const UndoEntry::Rearrangement& rearrangement);
void from_json(const nlohmann::json& json, UndoEntry::Rearrangement& rearrangement);
/// The field names as keys; "frames" maps window ids in decimal to rects; optionals are left
/// out when absent and a layout that was none is null. Reading requires "id", "title" and
/// "kind"; every other field is read on its own, a damaged one taking its empty value, so
/// that one bad value never loses the entry.
void to_json(nlohmann::json& json, const UndoEntry& entry);
void from_json(const nlohmann::json& json, UndoEntry& entry);

}  // namespace kestles
