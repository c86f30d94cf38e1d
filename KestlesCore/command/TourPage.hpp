#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "KestlesCore/command/Lesson.hpp"

namespace kestles {

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

}  // namespace kestles
