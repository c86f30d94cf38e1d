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

std::optional<std::string> takeLine(std::string& buffer) {
  auto end = buffer.find('\n');
  if (end == std::string::npos) return std::nullopt;
  std::string line = buffer.substr(0, end);
  buffer.erase(0, end + 1);
  return line;
}

}  // namespace kestles::link
