#include "KestlesCore/undo/UndoEntry.hpp"

#include <tuple>

#include "KestlesCore/library/Library.hpp"

namespace kestles {

UndoEntry UndoEntry::make(Kind kind, std::string title, std::string name) {
  UndoEntry entry;
  entry.id = UUID::random();
  entry.kind = kind;
  entry.title = std::move(title);
  entry.name = std::move(name);
  entry.date = Date::now();
  return entry;
}

UndoEntry UndoEntry::restoreLibrary(Library& library) const {
  UndoEntry opposite;
  opposite.id = id;
  opposite.title = title;
  opposite.name = name;
  opposite.kind = kind;

  opposite.previousKestleID = library.currentKestleID;
  library.currentKestleID = previousKestleID;

  for (const auto& [displayID, layout] : previousLayouts) {
    auto current = library.currentLayouts.find(displayID);
    opposite.previousLayouts[displayID] = current == library.currentLayouts.end()
                                              ? std::nullopt
                                              : std::optional<LayoutRef>(current->second);
    library.setCurrentLayout(displayID, layout);
  }

  auto& kept = library.settings.keptTiled;
  for (const auto& displayID : keptTiledOn)
    kept.erase(displayID);
  for (const auto& displayID : keptTiledOff)
    kept.insert(displayID);
  opposite.keptTiledOn = keptTiledOff;
  opposite.keptTiledOff = keptTiledOn;

  if (kind == Kind::gaps && gaps) {
    opposite.gaps = library.settings.gaps;
    library.settings.gaps = *gaps;
  }
  return opposite;
}

bool UndoEntry::keep(const std::set<std::uint32_t>& windows) {
  auto gone = [&](std::uint32_t window) { return !windows.contains(window); };
  auto before = std::make_tuple(frames.size(), minimize.size(), fullScreen.size());
  std::erase_if(frames, [&](const auto& entry) { return gone(entry.first); });
  std::erase_if(minimize, gone);
  std::erase_if(fullScreen, gone);
  bool touched = before != std::make_tuple(frames.size(), minimize.size(), fullScreen.size());
  if (rearrangement) {
    for (auto& [displayID, tiling] : rearrangement->tilings)
      for (auto window : tiling.windowIDs())
        if (gone(window)) touched = tiling.remove(window).has_value() || touched;
    auto memory = rearrangement->memory.keeping(windows);
    touched = touched || !(memory == rearrangement->memory);
    rearrangement->memory = std::move(memory);
  }
  return touched;
}

bool UndoEntry::changesAnything() const {
  return !frames.empty() || !minimize.empty() || !fullScreen.empty() || !hide.empty() ||
         previousKestleID || !previousLayouts.empty() || !keptTiledOn.empty() ||
         !keptTiledOff.empty() || gaps;
}

}  // namespace kestles
