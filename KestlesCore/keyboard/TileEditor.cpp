#include "KestlesCore/keyboard/TileEditor.hpp"

#include <cmath>

#include "KestlesCore/keyboard/ModeKeys.hpp"
#include "KestlesCore/text/Text.hpp"
#include "KestlesCore/tiling/DisplayWindows.hpp"
#include "KestlesCore/tiling/Neighbour.hpp"
#include "KestlesCore/tiling/StyleShapes.hpp"
#include "KestlesCore/tiling/TilingFrames.hpp"

namespace kestles {
namespace {

using namespace mode_keys;

using Key = TileEditor::Key;

std::optional<TileEdge> arrowEdge(int keyCode) {
  switch (keyCode) {
    case leftArrow:
      return TileEdge::left;
    case rightArrow:
      return TileEdge::right;
    case upArrow:
      return TileEdge::top;
    case downArrow:
      return TileEdge::bottom;
    default:
      return std::nullopt;
  }
}

std::optional<Key> arrowKey(TileEdge edge, int modifiers) {
  switch (modifiers) {
    case 0:
      return Key::choose(edge);
    case KeyModifiers::shift:
      return Key::swap(edge);
    case KeyModifiers::option:
      return Key::moveEdge(edge);
    default:
      return std::nullopt;
  }
}

std::optional<Key> characterKey(const std::string& character, int modifiers) {
  if (modifiers == KeyModifiers::command)
    return character == "z" ? std::optional<Key>(Key::undo()) : std::nullopt;
  bool shifted = modifiers == KeyModifiers::shift;
  if (modifiers != 0 && !shifted) return std::nullopt;
  if (character == "s") return Key::split(shifted);
  if (character == "x") return Key::close();
  if (character == "f") return Key::fill();
  if (character == "e" || character == "=") return Key::evenOut();
  if (character == "u") return Key::undo();
  return std::nullopt;
}

/// Whether the frame's edge on that side lies on the divider.
bool touches(const CGRect& tile, TileEdge edge, const Divider& divider) {
  constexpr double slack = 1;
  const CGRect& gap = divider.frame;
  if (axis(edge) != divider.axis) return false;
  if (divider.axis == Split::columns) {
    double x = edge == TileEdge::right ? tile.maxX() - gap.minX() : tile.minX() - gap.maxX();
    return std::fabs(x) <= slack && tile.midY() >= gap.minY() && tile.midY() <= gap.maxY();
  }
  double y = edge == TileEdge::bottom ? tile.maxY() - gap.minY() : tile.minY() - gap.maxY();
  return std::fabs(y) <= slack && tile.midX() >= gap.minX() && tile.midX() <= gap.maxX();
}

}  // namespace

std::optional<Key> Key::from(int keyCode, KeyModifiers modifiers, std::string_view characters) {
  int mods = modifiers.rawValue;
  if (modifiers.contains(KeyModifiers::control)) return std::nullopt;
  if (auto edge = arrowEdge(keyCode)) return arrowKey(*edge, mods);
  if (keyCode == tab) {
    if (mods == 0) return next(true);
    return mods == KeyModifiers::shift ? std::optional<Key>(next(false)) : std::nullopt;
  }
  if (keyCode == returnKey || keyCode == enter) return keep();
  if (keyCode == escape) return cancel();
  if (keyCode == deleteKey || keyCode == forwardDelete) return close();
  return characterKey(text::lowercased(characters), mods);
}

std::optional<TileEditor> TileEditor::open(std::optional<WindowID> window, const World& world,
                                           const LiveTiles& session) {
  const WindowSnapshot* front = window ? windowWithID(world, *window) : nullptr;
  std::optional<DisplayInfo> display;
  if (front) display = world.setup.display(front->frame);
  if (!display && world.activeDisplayID)
    display = world.setup.displayWithID(*world.activeDisplayID);
  if (!display) display = world.setup.fallback();
  if (!display) return std::nullopt;

  TileEditor editor;
  editor.displayID = display->id;
  editor.displayName = display->name;
  editor.bounds = display->visibleFrame;
  if (const Tiling* tiled = session.tiling(display->id)) {
    editor.tiling = *tiled;
  } else {
    // Nothing tiled yet: the editor starts from one tile, to be split from there.
    editor.wasTiled = false;
    std::vector<WindowID> holding;
    if (front) holding.push_back(front->id);
    editor.tiling =
        Tiling::make(display->id, shapeForCount(1, display->visibleFrame.size, TilingStyle::grid),
                     std::nullopt, holding);
  }
  editor.initial = editor.tiling;
  editor.selected = front ? editor.tiling.tileOf(front->id).value_or(0) : 0;
  editor.session = session;
  editor.session.setup = world.setup;

  auto byDisplay = visibleWindowsByDisplay(world);
  for (const WindowSnapshot* visible : byDisplay[display->id])
    if (!world.floating.contains(visible->bundleID)) editor.tileable.insert(visible->id);
  for (auto tiled : editor.tiling.windowIDs())
    editor.tileable.insert(tiled);
  for (auto id : editor.tileable) {
    const WindowSnapshot* snapshot = windowWithID(world, id);
    if (!snapshot) continue;
    editor.startFrames[id] = snapshot->frame;
    editor.remembered[id] = session.original(id).value_or(snapshot->frame);
  }
  editor.settle();
  return editor;
}

std::vector<CGRect> TileEditor::tileFrames() const {
  return tiling.solve(bounds, session.gaps, session.minimums()).tileFrames;
}

std::map<WindowID, CGRect> TileEditor::frames() const {
  if (ending == Ending::cancelled) return startFrames;
  auto placed = tiling.frames(bounds, session.gaps, session.minimums());
  for (const auto& [id, frame] : floating)
    placed.emplace(id, frame);
  return placed;
}

void TileEditor::settle() {
  if (ending == Ending::cancelled && !wasTiled)
    session.tilings.erase(displayID);
  else
    session.tilings[displayID] = tiling;
}

bool TileEditor::choose(TileEdge edge) {
  auto frames = tileFrames();
  auto beside = neighbour(static_cast<std::size_t>(selected), edge, frames);
  if (!beside) return false;
  selected = static_cast<int>(*beside);
  return true;
}

bool TileEditor::swap(TileEdge edge) {
  auto frames = tileFrames();
  auto beside = neighbour(static_cast<std::size_t>(selected), edge, frames);
  if (!beside || (!tiling.windowIn(selected) && !tiling.windowIn(static_cast<int>(*beside))))
    return false;
  if (!tiling.swap(selected, static_cast<int>(*beside))) return false;
  selected = static_cast<int>(*beside);  // the selection stays with the window
  return true;
}

bool TileEditor::moveEdge(TileEdge edge) {
  auto frames = tileFrames();
  if (selected >= static_cast<int>(frames.size())) return false;
  const CGRect& tile = frames[selected];
  for (const auto& divider : tiling.dividers(bounds, session.gaps, session.minimums())) {
    if (!touches(tile, edge, divider)) continue;
    bool columns = divider.axis == Split::columns;
    double now = columns ? divider.frame.midX() : divider.frame.midY();
    double step = pushShare * (columns ? bounds.width() : bounds.height());
    return tiling.move(divider, now + (isAfter(edge) ? step : -step));
  }
  return false;
}

bool TileEditor::next(bool forward) {
  int count = static_cast<int>(tiling.tileCount());
  if (count < 2) return false;
  // Wraps around, so Tab alone visits every tile.
  selected = (selected + (forward ? 1 : count - 1)) % count;
  return true;
}

bool TileEditor::split(bool across) {
  auto frames = tileFrames();
  if (selected >= static_cast<int>(frames.size())) return false;
  const CGRect& tile = frames[selected];
  bool sideBySide = (tile.width() >= tile.height()) != across;
  Tiling grown = tiling;
  auto added = grown.insert(selected, sideBySide ? TileEdge::right : TileEdge::bottom);
  if (!added) return false;
  auto after = grown.solve(bounds, session.gaps, session.minimums()).tileFrames;
  auto kept = grown.tileIndex(*tiling.tileID(selected));
  for (auto index : {*added, kept.value_or(*added)}) {
    const CGRect& half = after[index];
    if (half.width() < smallestSplit || half.height() < smallestSplit) return false;
  }
  tiling = std::move(grown);
  selected = *added;  // the new, empty tile is the one to act on next
  return true;
}

bool TileEditor::close() {
  if (tiling.tileCount() < 2) return false;
  auto window = tiling.windowIn(selected);
  auto frames = tileFrames();
  tiling.closeTile(selected, true);
  if (window) {
    auto back = remembered.find(*window);
    floating[*window] = back != remembered.end() ? back->second : frames[selected];
  }
  selected = std::min(selected, static_cast<int>(tiling.tileCount()) - 1);
  return true;
}

bool TileEditor::fill() {
  // Windows put out during this edit come back first, then the other windows that may be
  // tiled, by window number.
  std::vector<WindowID> waiting;
  for (const auto& [id, frame] : floating)
    waiting.push_back(id);
  for (auto id : tileable)
    if (!floating.contains(id) && !tiling.contains(id)) waiting.push_back(id);
  bool filled = false;
  auto next = waiting.begin();
  for (int slot = 0; slot < static_cast<int>(tiling.tileCount()) && next != waiting.end(); ++slot) {
    if (tiling.windowIn(slot)) continue;
    tiling.restore(*next, slot);
    floating.erase(*next);
    ++next;
    filled = true;
  }
  return filled;
}

bool TileEditor::undo() {
  if (undoStack.empty()) return false;
  Step step = std::move(undoStack.back());
  undoStack.pop_back();
  tiling = std::move(step.tiling);
  selected = step.selected;
  floating = std::move(step.floating);
  return true;
}

void TileEditor::cancel() {
  tiling = initial;
  floating.clear();
  undoStack.clear();
  selected = 0;
  ending = Ending::cancelled;
}

std::optional<TileEditor> TileEditor::apply(const Key& key) const {
  if (ending != Ending::editing) return std::nullopt;
  TileEditor edited = *this;
  Step before{tiling, selected, floating};
  bool changed = false;  // a change of tiles, worth an undo step
  bool done = std::visit(
      [&](const auto& input) -> bool {
        using Input = std::decay_t<decltype(input)>;
        if constexpr (std::is_same_v<Input, Key::Choose>) {
          return edited.choose(input.edge);
        } else if constexpr (std::is_same_v<Input, Key::Swap>) {
          return changed = edited.swap(input.edge);
        } else if constexpr (std::is_same_v<Input, Key::MoveEdge>) {
          return changed = edited.moveEdge(input.edge);
        } else if constexpr (std::is_same_v<Input, Key::Next>) {
          return edited.next(input.forward);
        } else if constexpr (std::is_same_v<Input, Key::Split>) {
          return changed = edited.split(input.across);
        } else {
          switch (input) {
            case Key::Plain::close:
              return changed = edited.close();
            case Key::Plain::fill:
              return changed = edited.fill();
            case Key::Plain::evenOut:
              return changed = edited.tiling.evenOut();
            case Key::Plain::undo:
              return edited.undo();
            case Key::Plain::keep:
              edited.ending = Ending::kept;
              return true;
            case Key::Plain::cancel:
              edited.cancel();
              return true;
          }
          return false;
        }
      },
      key.value);
  if (!done) return std::nullopt;
  if (changed) edited.undoStack.push_back(std::move(before));
  edited.settle();
  return edited;
}

}  // namespace kestles
