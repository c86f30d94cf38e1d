#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace kestles {

/// How a kept-tiled display takes a new window or gives up a closed one's tile.
enum class TileChanges { rearrange, inPlace };

inline constexpr std::array<TileChanges, 2> kAllTileChanges{TileChanges::rearrange,
                                                            TileChanges::inPlace};

/// The raw value stored in files ("inPlace").
std::string_view rawValue(TileChanges changes);

/// The manner of a raw value, or nothing.
std::optional<TileChanges> tileChangesFromRawValue(std::string_view raw);

/// The title shown in the settings.
std::string_view title(TileChanges changes);

/// The sentence that explains the manner.
std::string_view description(TileChanges changes);

/// The system symbol shown beside it.
std::string_view symbolName(TileChanges changes);

}  // namespace kestles
