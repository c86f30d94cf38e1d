#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestles::link {

/// The app's answer to one request: zero or more "say " lines of text for the tool's standard
/// output, then one final line: "ok" (done), "partly " and a sentence (part done), "error " and a
/// sentence (nothing done, and why) or "working" (still running; it finishes on its own).
struct LinkReply {
  enum class Kind { ok, partly, error, working };

  Kind kind = Kind::ok;
  std::string sentence;           // why, for `partly` and `error`
  std::vector<std::string> said;  // the "say" lines' text, in order

  static LinkReply accepted() { return {}; }
  static LinkReply refused(std::string sentence) { return {Kind::error, std::move(sentence), {}}; }
  static LinkReply partial(std::string sentence) { return {Kind::partly, std::move(sentence), {}}; }
  static LinkReply stillWorking() { return {Kind::working, {}, {}}; }

  bool isRefusal() const { return kind == Kind::error; }
  /// The sentence of a refusal, else nothing.
  std::optional<std::string> refusal() const {
    return isRefusal() ? std::optional(sentence) : std::nullopt;
  }

  /// The reply as sent: the "say" lines, then the final line, each with its line feed; line
  /// breaks inside a text become spaces.
  std::string line() const;
  /// Reads a final line (without its line feed); nothing when it is none of the four forms.
  static std::optional<LinkReply> parsed(std::string_view line);
  /// The text of a "say" line, else nothing.
  static std::optional<std::string> saidText(std::string_view line);

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
