#pragma once

#include <string_view>

/// The texts that applying shows to the user, in one place so that they can be localized.
namespace kestles::apply_texts {

inline constexpr std::string_view kTileWindows = "Tile Windows";
inline constexpr std::string_view kTileAppWindows = "Tile App Windows";
inline constexpr std::string_view kTileAllDisplays = "Tile All Displays";
inline constexpr std::string_view kTilesComeBack = "Tiles Come Back";
inline constexpr std::string_view kTilePickedWindows = "Tile Picked Windows";

/// Display changes: "<name> connected", "%lld displays connected" and the same for
/// "disconnected".
inline constexpr std::string_view kOneConnected = " connected";
inline constexpr std::string_view kManyConnected = " displays connected";
inline constexpr std::string_view kOneDisconnected = " disconnected";
inline constexpr std::string_view kManyDisconnected = " displays disconnected";

}  // namespace kestles::apply_texts
