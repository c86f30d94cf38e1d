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

/// What the start of the received bytes holds.
enum class LineState {
  waiting,  // no line feed yet, and no more than `kLongestLinkLine` bytes
  line,     // a whole line within the bound
  tooLong,  // a line past the bound, whether its line feed has come or not
};

/// Moves the first line (up to a line feed) from `buffer` into `line`, without the line feed,
/// when it is within `kLongestLinkLine`; otherwise leaves both as they are.
LineState takeLine(std::string& buffer, std::string& line);

}  // namespace kestles::link
