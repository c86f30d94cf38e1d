#include "KestlesLink/LinkReply.hpp"

#include <algorithm>

namespace kestles::link {
namespace {

constexpr std::string_view kOK = "ok";
constexpr std::string_view kError = "error ";

}  // namespace

std::string LinkReply::line() const {
  if (!refusal) return std::string(kOK) + "\n";
  auto sentence = *refusal;
  // A line break would end the reply early and leave the rest for the next reader.
  std::replace_if(
      sentence.begin(), sentence.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return std::string(kError) + sentence + "\n";
}

std::optional<LinkReply> LinkReply::parsed(std::string_view line) {
  if (line == kOK) return accepted();
  if (line.starts_with(kError)) return refused(std::string(line.substr(kError.size())));
  return std::nullopt;
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
