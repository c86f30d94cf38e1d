#include "kestles/ManPage.hpp"

#include <sstream>

#include "KestlesCore/text/Text.hpp"

namespace kestles::tool {
namespace {

constexpr std::string_view kGap = "   ";
// A description continued on its own line stands at least this deep.
constexpr std::size_t kContinuation = 6;

bool startsUsage(std::string_view line) {
  if (line.size() < 3 || !line.starts_with("  ") || line[2] == ' ') return false;
  return (line[2] >= 'a' && line[2] <= 'z') || line[2] == '-' || line[2] == '(';
}

std::size_t indentOf(std::string_view line) {
  auto first = line.find_first_not_of(' ');
  return first == std::string_view::npos ? line.size() : first;
}

/// Text as roff reads it: backslashes doubled, hyphens as minus signs (so options can be
/// copied), a leading dot or quote kept from being read as a request.
std::string escaped(std::string_view text) {
  std::string out = text.starts_with('.') || text.starts_with('\'') ? "\\&" : "";
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  return out;
}

}  // namespace

std::vector<ManPage::Entry> ManPage::entriesOfHelp(std::string_view help) {
  std::vector<Entry> entries;
  std::istringstream lines{std::string(help)};
  bool inEntry = false;
  for (std::string line; std::getline(lines, line);) {
    if (startsUsage(line)) {
      auto gap = line.find(kGap, 2);
      auto usageLength = gap == std::string::npos ? gap : gap - 2;
      Entry entry{text::trimmed(line.substr(2, usageLength)), {}};
      if (gap != std::string::npos) entry.summary = text::trimmed(line.substr(gap));
      entries.push_back(std::move(entry));
      inEntry = true;
    } else if (inEntry && indentOf(line) >= kContinuation && indentOf(line) < line.size()) {
      auto& summary = entries.back().summary;
      if (!summary.empty()) summary.append(" ");
      summary.append(text::trimmed(line));
    } else {
      inEntry = false;
    }
  }
  return entries;
}

std::string ManPage::roff(std::string_view version) const {
  std::string title = name;
  for (auto& c : title)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  // Appends only: g++ 12 warns falsely about a literal added before a string.
  std::string out;
  out.append(".TH ").append(escaped(title)).append(" ").append(section);
  out.append(" \"\" \"Kestles ").append(version).append("\" \"Kestles\"\n");
  out.append(".SH NAME\n").append(escaped(name)).append(" \\- ").append(escaped(purpose));
  out.append("\n.SH SYNOPSIS\n.B ").append(escaped(synopsis)).append("\n");
  out.append(".SH ").append(commandsTitle).append("\n");
  for (const auto& entry : commands) {
    out.append(".TP\n.B ").append(escaped(entry.usage)).append("\n");
    out.append(escaped(entry.summary)).append("\n");
  }
  for (const auto& extra : sections) {
    out.append(".SH ").append(extra.title).append("\n");
    std::istringstream paragraphs(extra.text);
    bool first = true;
    for (std::string line; std::getline(paragraphs, line);) {
      if (line.empty()) {
        first = true;
        continue;
      }
      if (first) out.append(".PP\n");
      out.append(escaped(line)).append("\n");
      first = false;
    }
  }
  return out;
}

}  // namespace kestles::tool
