#include "KestlesLink/LinkReply.hpp"

#include <algorithm>

namespace kestles::link {
namespace {

constexpr std::string_view kOK = "ok";
constexpr std::string_view kPartly = "partly ";
constexpr std::string_view kError = "error ";
constexpr std::string_view kWorking = "working";
constexpr std::string_view kSay = "say ";

/// One line with its line feed; a line break inside would end the line early and leave the
/// rest for the next reader.
std::string oneLine(std::string_view head, std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return std::string(head) + text + "\n";
}

}  // namespace

std::string LinkReply::line() const {
  std::string lines;
  for (const auto& text : said)
    lines += oneLine(kSay, text);
  switch (kind) {
    case Kind::ok:
      return lines + std::string(kOK) + "\n";
    case Kind::partly:
      return lines + oneLine(kPartly, sentence);
    case Kind::error:
      return lines + oneLine(kError, sentence);
    case Kind::working:
      return lines + std::string(kWorking) + "\n";
  }
  return lines;
}

std::optional<LinkReply> LinkReply::parsed(std::string_view line) {
  if (line == kOK) return accepted();
  if (line == kWorking) return stillWorking();
  if (line.starts_with(kError)) return refused(std::string(line.substr(kError.size())));
  if (line.starts_with(kPartly)) return partial(std::string(line.substr(kPartly.size())));
  return std::nullopt;
}

std::optional<std::string> LinkReply::saidText(std::string_view line) {
  if (!line.starts_with(kSay)) return std::nullopt;
  return std::string(line.substr(kSay.size()));
}

LineState takeLine(std::string& buffer, std::string& line) {
  // Bytes come in chunks: a line feed may arrive in the same chunk as the bytes that carry
  // the line past the bound, so the bound is checked on the line itself.
  auto end = buffer.find('\n');
  if (end == std::string::npos)
    return buffer.size() > kLongestLinkLine ? LineState::tooLong : LineState::waiting;
  if (end > kLongestLinkLine) return LineState::tooLong;
  line = buffer.substr(0, end);
  buffer.erase(0, end + 1);
  return LineState::line;
}

}  // namespace kestles::link
