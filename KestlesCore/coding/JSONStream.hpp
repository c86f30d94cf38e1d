#pragma once

#include <functional>
#include <span>
#include <string_view>

#include <nlohmann/json.hpp>

namespace kestles::json_style {

/// Parses a document whose top level is an object, handing each item of the arrays under
/// the `streamed` keys to `onItem` as soon as it is complete instead of keeping it, so that
/// a large file is decoded item by item while its parts are still in the cache. `onList`
/// is told each time a streamed key appears (a repeated key replaces the earlier value).
/// Returns everything else; throws like `parse`. When a number too large for a double is
/// met, the document is read a second time with it masked, and the lists start afresh.
nlohmann::json parseStreaming(
    std::string_view bytes, std::span<const std::string_view> streamed,
    const std::function<void(std::string_view key)>& onList,
    const std::function<void(std::string_view key, nlohmann::json&& item)>& onItem);

}  // namespace kestles::json_style
