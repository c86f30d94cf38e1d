#pragma once

#include <array>
#include <string_view>

namespace kestles::mode_keys {

// The key codes the keyboard modes react to by name (macOS virtual key codes).
inline constexpr int leftArrow = 123;
inline constexpr int rightArrow = 124;
inline constexpr int downArrow = 125;
inline constexpr int upArrow = 126;
inline constexpr int tab = 48;
inline constexpr int returnKey = 36;
inline constexpr int enter = 76;
inline constexpr int escape = 53;
inline constexpr int deleteKey = 51;
inline constexpr int forwardDelete = 117;

/// The four arrows in the order they are shown together: ←→↑↓.
inline constexpr std::array<int, 4> arrows{leftArrow, rightArrow, upArrow, downArrow};
inline constexpr std::string_view arrowsShown = "←→↑↓";

}  // namespace kestles::mode_keys
