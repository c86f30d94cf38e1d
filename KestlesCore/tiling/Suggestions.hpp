#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "KestlesCore/display/DisplayInfo.hpp"
#include "KestlesCore/layout/Gaps.hpp"
#include "KestlesCore/library/AppRole.hpp"
#include "KestlesCore/library/SavedLayout.hpp"
#include "KestlesCore/tiling/Suggestion.hpp"
#include "KestlesCore/tiling/TilingMemory.hpp"
#include "KestlesCore/tiling/TilingStyle.hpp"
#include "KestlesCore/world/WindowSnapshot.hpp"

namespace kestles {

/// The ranked arrangements offered for a display's windows: built-in templates, the user's
/// saved layouts and the configured style's shape, each scored against the windows, the
/// display's shape and what the user picked before.
struct Suggestions {
  /// A shape that might be offered, before it is scored.
  struct Candidate {
    TileShape shape;
    std::optional<LayoutRef> layout;
    std::string name;
    int bonus = 0;
    bool isSaved = false;  // a saved layout of the user's
    /// Every tile is at least 360 × 240 points on the display (gaps included). The board
    /// leaves out shapes that are not, other than saved layouts, while any of its shapes is.
    bool inSmallest = false;
    /// For the arrangement read off the screen: the window in each tile, as it stands.
    std::optional<std::vector<std::optional<std::uint32_t>>> fromScreen;
    bool operator==(const Candidate&) const = default;
  };

  /// The suggestions for one display and window set.
  struct Board {
    std::string displayID;
    std::string displayName;
    int windowCount = 0;
    int turnedOff = 0;  // windows the user left out
    std::optional<std::string> fullScreenApp;
    std::vector<Suggestion> suggestions;  // best first
    TilingMemory::Key key;

    /// "For Studio · 3 windows", "Nothing on Studio to tile", "Safari is full screen on
    /// Studio", and the other forms of the board's title.
    std::string title() const;
    /// The suggestion with the id, or null.
    const Suggestion* suggestion(std::string_view id) const;
    bool operator==(const Board&) const = default;
  };

  /// The shape read off the windows as they stand (tile i holds `windows[i]`), offered as
  /// the arrangement titled "Fill".
  struct FromScreen {
    TileShape shape;
    std::vector<std::optional<std::uint32_t>> windows;

    /// The arrangement the windows stand in on the visible frame, grown to fill it: the
    /// empty room between and around them is left out, so that every tile reaches its
    /// neighbours and the display's edges. Nothing when the windows overlap so that no cut
    /// separates them, or without windows.
    static std::optional<FromScreen> readOff(std::span<const WindowSnapshot> windows,
                                             const CGRect& visible);
  };

  /// Everything a board is made from.
  struct Request {
    DisplayInfo display;
    std::vector<WindowSnapshot> windows;  // the windows to arrange, any order
    int turnedOff = 0;
    std::optional<std::string> fullScreenApp;  // the name of the app full screen there
    std::span<const SavedLayout> savedLayouts;
    TilingStyle style = TilingStyle::grid;
    Gaps gaps;
    const TilingMemory* memory = nullptr;  // none: no memory bonus
    std::optional<FromScreen> fromScreen;
    // The style was asked for by name: its shape leads the board whatever its score, and is
    // kept even where its tiles are small.
    bool styleLeads = false;
  };

  /// A board keeps at most this many suggestions after thinning.
  static constexpr std::size_t kMostSuggestions = 6;

  /// The weight of a role in the window order (editor and design 3 … media −2).
  static int roleWeight(AppRole role);
  /// The windows in the order they take tiles: by falling priority (twice the role weight,
  /// plus 3 for the front window and 1 for the second), ties front to back.
  static std::vector<WindowSnapshot> windowOrder(std::vector<WindowSnapshot> windows);
  /// The memory key of a window set on a display: the count, the roles sorted in their
  /// declaration order (so the key does not depend on which window is in front), the shape.
  static TilingMemory::Key key(std::span<const WindowSnapshot> windows, DisplayShape shape);

  /// The candidates for `count` windows in the order they are made: the templates, the
  /// saved layouts within one tile of the count, the style's shape (merged into an earlier
  /// candidate with the same tiles), and the arrangement read off the screen.
  static std::vector<Candidate> candidates(const Request& request, int count);
  /// The score term for fitting `tiles` tiles to `windows` windows.
  static int countFit(int tiles, int windows);

  /// The board for the request. A full-screen app or no windows give a board without
  /// suggestions.
  static Board board(const Request& request);
};

}  // namespace kestles
