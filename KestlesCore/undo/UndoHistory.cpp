#include "KestlesCore/undo/UndoHistory.hpp"

namespace kestles {
namespace {

void cut(std::vector<UndoEntry>& stack) {
  if (stack.size() > UndoHistory::kLimit)
    stack.erase(stack.begin(),
                stack.begin() + static_cast<std::ptrdiff_t>(stack.size() - UndoHistory::kLimit));
}

void pushBounded(std::vector<UndoEntry>& stack, UndoEntry entry) {
  stack.push_back(std::move(entry));
  cut(stack);
}

void keepIn(std::vector<UndoEntry>& stack, const std::set<std::uint32_t>& windows) {
  std::erase_if(stack,
                [&](UndoEntry& entry) { return entry.keep(windows) && !entry.changesAnything(); });
}

std::optional<UndoEntry> pop(std::vector<UndoEntry>& stack) {
  if (stack.empty()) return std::nullopt;
  auto entry = std::move(stack.back());
  stack.pop_back();
  return entry;
}

}  // namespace

void UndoHistory::record(UndoEntry entry) {
  pushBounded(entries, std::move(entry));
  redoEntries.clear();
}

std::optional<UndoEntry> UndoHistory::undo() {
  return pop(entries);
}

std::optional<UndoEntry> UndoHistory::redo() {
  return pop(redoEntries);
}

void UndoHistory::pushRedo(UndoEntry entry) {
  pushBounded(redoEntries, std::move(entry));
}

void UndoHistory::pushUndo(UndoEntry entry) {
  pushBounded(entries, std::move(entry));
}

void UndoHistory::keep(const std::set<std::uint32_t>& windows) {
  keepIn(entries, windows);
  keepIn(redoEntries, windows);
}

void UndoHistory::bound() {
  cut(entries);
  cut(redoEntries);
}

const UndoEntry* UndoHistory::peekUndo() const {
  return entries.empty() ? nullptr : &entries.back();
}

const UndoEntry* UndoHistory::peekRedo() const {
  return redoEntries.empty() ? nullptr : &redoEntries.back();
}

}  // namespace kestles
