#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace kestles {

/// A tip shown the first time something happens.
enum class Tip { dragWindow, tileWindows, snapKeys, appliedKestle, keepTiled };

/// Every tip, in case order.
std::span<const Tip> allTips();

/// The tip's spelling ("drag-window").
std::string_view spelling(Tip tip);

/// The tip whose spelling equals the lower-cased, trimmed text; else nothing.
std::optional<Tip> readTip(std::string_view text);

}  // namespace kestles
