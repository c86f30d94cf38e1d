#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

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

/// A page of the welcome: its fixed pages, or a lesson.
struct TourPage {
  enum class Fixed { welcome, permission, settings, firstKestle, chapters };
  std::variant<Fixed, Lesson> value;
  bool operator==(const TourPage&) const = default;
};

/// The tour page's spelling ("first-kestle", or the lesson's).
std::string spelling(const TourPage& page);

/// The tour-page rule; "accessibility" also names the permission page.
std::optional<TourPage> readTourPage(std::string_view text);

/// Every tour page in order, for messages.
const std::string& tourPagesList();

/// A tip shown the first time something happens.
enum class Tip { dragWindow, tileWindows, snapKeys, appliedKestle, keepTiled };

/// Every tip, in case order.
std::span<const Tip> allTips();

/// The tip's spelling ("drag-window").
std::string_view spelling(Tip tip);

/// The tip whose spelling equals the lower-cased, trimmed text; else nothing.
std::optional<Tip> readTip(std::string_view text);

}  // namespace kestles
