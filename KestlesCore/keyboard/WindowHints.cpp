#include "KestlesCore/keyboard/WindowHints.hpp"

#include <algorithm>
#include <set>

namespace kestles {
namespace {

bool bigEnough(const CGRect& piece) {
  return piece.width() >= WindowHints::minimumWidth && piece.height() >= WindowHints::minimumHeight;
}

/// The parts of `piece` outside `cut`: the full-width bands above and below it, and the
/// bands left and right of it within its height; only parts with an area are kept.
void subtract(const CGRect& piece, const CGRect& cut, std::vector<CGRect>& into) {
  auto overlap = piece.intersection(cut);
  if (!overlap || overlap->isEmpty()) {
    into.push_back(piece);
    return;
  }
  const CGRect& o = *overlap;
  CGRect parts[] = {
      {piece.minX(), piece.minY(), piece.width(), o.minY() - piece.minY()},
      {piece.minX(), o.maxY(), piece.width(), piece.maxY() - o.maxY()},
      {piece.minX(), o.minY(), o.minX() - piece.minX(), o.height()},
      {o.maxX(), o.minY(), piece.maxX() - o.maxX(), o.height()},
  };
  for (const auto& part : parts)
    if (part.size.width > 0 && part.size.height > 0) into.push_back(part);
}

/// The windows a user can see, front to back.
std::vector<const WindowSnapshot*> visibleFrontToBack(const World& world) {
  std::set<std::int32_t> hidden;
  for (const auto& app : world.apps)
    if (app.isHidden) hidden.insert(app.pid);
  std::vector<const WindowSnapshot*> windows;
  for (const auto& window : world.windows)
    if (!window.isMinimized && !window.isFullScreen && !hidden.contains(window.pid))
      windows.push_back(&window);
  std::stable_sort(windows.begin(), windows.end(),
                   [](const auto* a, const auto* b) { return a->zIndex < b->zIndex; });
  return windows;
}

}  // namespace

std::optional<CGRect> WindowHints::largestVisiblePiece(const CGRect& frame,
                                                       const std::vector<CGRect>& occluders) {
  if (frame.isEmpty() || !bigEnough(frame)) return std::nullopt;
  std::vector<CGRect> pieces{frame.standardized()}, next;
  for (const auto& occluder : occluders) {
    next.clear();
    for (const auto& piece : pieces)
      subtract(piece, occluder.standardized(), next);
    pieces.swap(next);
    if (pieces.empty()) return std::nullopt;
  }
  std::optional<CGRect> largest;
  for (const auto& piece : pieces)
    if (bigEnough(piece) && (!largest || piece.area() > largest->area())) largest = piece;
  return largest;
}

std::optional<char> WindowHints::letterFor(std::string_view appName, std::string_view used) {
  auto free = [&](char letter) { return used.find(letter) == std::string_view::npos; };
  for (char c : appName) {
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) continue;
    char letter = static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
    if (free(letter)) return letter;
  }
  for (char letter : letters)
    if (free(letter)) return letter;
  return std::nullopt;
}

std::vector<WindowHints::Hint> WindowHints::hints(const World& world,
                                                  std::optional<std::uint32_t> except,
                                                  const Filter& filter) {
  std::vector<Hint> hints;
  std::string used;
  std::vector<CGRect> occluders;
  for (const WindowSnapshot* window : visibleFrontToBack(world)) {
    if (used.size() == letters.size()) break;
    // A window left out still covers the windows behind it: a letter drawn there would sit
    // on the window left out, not on the one it names.
    bool leftOut = window->id == except || (filter && !filter(*window));
    auto display = world.setup.display(window->frame);
    std::optional<CGRect> piece;
    if (!leftOut && display)
      if (auto onDisplay = window->frame.intersection(display->visibleFrame))
        piece = largestVisiblePiece(*onDisplay, occluders);
    occluders.push_back(window->frame);
    if (!piece) continue;
    auto letter = letterFor(window->appName, used);
    if (!letter) continue;
    used.push_back(*letter);
    hints.push_back(
        {*letter,
         window->id,
         display->id,
         {roundedHalfAwayFromZero(piece->midX()), roundedHalfAwayFromZero(piece->midY())},
         window->bundleID,
         window->appName,
         window->title});
  }
  return hints;
}

}  // namespace kestles
