#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <variant>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/undo/UndoEntry.hpp"

namespace kestles {

/// Two bounded stacks of changes: what can be undone and what can be redone.
struct UndoHistory {
  /// Each stack keeps at most this many entries, the newest.
  static constexpr std::size_t kLimit = 20;

  /// Which entry a step of the history concerns.
  struct Step {
    struct Undo {
      UUID id;
      bool operator==(const Undo&) const = default;
    };
    struct Redo {
      UUID id;
      bool operator==(const Redo&) const = default;
    };
    std::variant<Undo, Redo> value;

    static Step undo(UUID id) { return {Undo{id}}; }
    static Step redo(UUID id) { return {Redo{id}}; }
    bool operator==(const Step&) const = default;
  };

  std::vector<UndoEntry> entries;      // oldest first
  std::vector<UndoEntry> redoEntries;  // oldest first

  /// Pushes the entry of a new change; whatever could be redone is forgotten.
  void record(UndoEntry entry);
  /// Takes the newest entry to undo; nothing when there is none.
  std::optional<UndoEntry> undo();
  /// Takes the newest entry to redo; nothing when there is none.
  std::optional<UndoEntry> redo();
  /// After an undo is carried out: pushes the entry that would redo it.
  void pushRedo(UndoEntry entry);
  /// After a redo is carried out: pushes the entry that undoes it, keeping the redo stack.
  void pushUndo(UndoEntry entry);
  /// Drops from both stacks everything of the windows outside `windows` (windows that
  /// closed); an entry left with nothing to change (`changesAnything`) goes altogether.
  void keep(const std::set<std::uint32_t>& windows);
  /// Cuts each stack to its newest `kLimit` entries.
  void bound();
  /// The newest entry to undo, or null; nothing is removed.
  const UndoEntry* peekUndo() const;
  /// The newest entry to redo, or null; nothing is removed.
  const UndoEntry* peekRedo() const;

  bool operator==(const UndoHistory&) const = default;
};

/// {"entries": [...], "redoEntries": [...]}, oldest first; entries are read one by one (a
/// damaged one is dropped) and each stack keeps only its newest `kLimit`.
void to_json(nlohmann::json& json, const UndoHistory& history);
void from_json(const nlohmann::json& json, UndoHistory& history);

}  // namespace kestles
