#pragma once

#include <optional>
#include <string_view>

namespace kestles {

/// A page of the Kestles window.
enum class KestlesPage { kestles, layouts, rules, tiling, keys, general };

/// The page's name in links and on the command line ("tiling").
std::string_view name(KestlesPage page);

/// The page rule: normalized text equal to a page's name; "snapping" names tiling.
std::optional<KestlesPage> readKestlesPage(std::string_view text);

}  // namespace kestles
