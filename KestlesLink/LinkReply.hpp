#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestles::link {

/// One reply line of the link protocol without its line feed: "ok", or "error " and a sentence.
struct LinkReply {
  std::optional<std::string> refusal;  // nothing: accepted

  static LinkReply accepted() { return {}; }
  static LinkReply refused(std::string sentence) { return {std::move(sentence)}; }

  /// The reply as sent, line feed included; line breaks inside a sentence become spaces.
  std::string line() const;
  /// Reads a reply line (without its line feed); nothing when it is neither form.
  static std::optional<LinkReply> parsed(std::string_view line);

  bool operator==(const LinkReply&) const = default;
};

/// The longest request line either side accepts, line feed excluded.
inline constexpr std::size_t kLongestLinkLine = 64 * 1024;

/// Removes the first line (up to a line feed) from `buffer` and returns it without the line
/// feed; nothing, and `buffer` unchanged, while no line feed has arrived.
std::optional<std::string> takeLine(std::string& buffer);

}  // namespace kestles::link
