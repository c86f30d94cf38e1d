#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace kestles {

/// A lesson of the tour.
enum class Lesson {
  panel,
  tiling,
  snapping,
  kestles,
  arrangeKeys,
  windowHints,
  pickWindows,
  moveToTile,
  editTiles,
  keepTiled,
  assistant,
};

/// Every lesson, in case order.
std::span<const Lesson> allLessons();

/// The lesson's spelling on the command line and in links ("arrange-with-keys").
std::string_view spelling(Lesson lesson);

/// The lesson whose spelling equals the lower-cased, trimmed text; else nothing.
std::optional<Lesson> readLesson(std::string_view text);

}  // namespace kestles
