#pragma once

#include <optional>
#include <string_view>

namespace kestles {

/// A page of the Kestles window.
enum class KestlesPage { kestles, layouts, rules, tiling, keys, general };

/// Where a page belongs in the Kestles window: the user's library or the settings.
enum class KestlesPageGroup { library, settings };

/// The group the page belongs to: kestles, layouts and rules are the library.
KestlesPageGroup group(KestlesPage page);

/// The page's name in links and on the command line ("tiling").
std::string_view name(KestlesPage page);

/// The page rule: normalized text equal to a page's name; "snapping" names tiling.
std::optional<KestlesPage> readKestlesPage(std::string_view text);

}  // namespace kestles
