#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KestlesCore/geometry/CGRect.hpp"
#include "KestlesCore/world/World.hpp"

namespace kestles {

/// A letter on every window the user can see, for going to a window by keyboard.
struct WindowHints {
  /// One lettered window and where its letter is drawn.
  struct Hint {
    char letter = 'A';
    std::uint32_t window = 0;
    std::string displayID;
    CGPoint anchor;  // the rounded centre of the window's largest visible piece
    std::string bundleID;
    std::string appName;
    std::string title;
    bool operator==(const Hint&) const = default;
  };

  /// The hint letters, home row first.
  static constexpr std::string_view letters = "ASDFGHJKLQWERTYUIOPZXCVBNM";
  /// The smallest piece of a window worth a letter.
  static constexpr double minimumWidth = 60;
  static constexpr double minimumHeight = 44;

  using Filter = std::function<bool(const WindowSnapshot&)>;

  /// Letters the visible windows from front to back (neither minimized, full screen nor of
  /// a hidden app), leaving out `except` and the windows the filter rejects. A window whose
  /// visible room (its frame on its display's visible frame, less the windows in front) has
  /// no piece of at least 60 × 44 points gets no letter; at most 26 windows get one.
  static std::vector<Hint> hints(const World& world, std::optional<std::uint32_t> except = {},
                                 const Filter& filter = {});

  /// The largest piece of `frame` left when the occluders are cut out of it, counting only
  /// pieces of at least 60 × 44 points; nothing when none is left.
  static std::optional<CGRect> largestVisiblePiece(const CGRect& frame,
                                                   const std::vector<CGRect>& occluders);

  /// The first of the app name's ASCII letters (upper-cased), then the hint letters, that
  /// `used` does not hold yet; nothing when every one is used.
  static std::optional<char> letterFor(std::string_view appName, std::string_view used);
};

}  // namespace kestles
