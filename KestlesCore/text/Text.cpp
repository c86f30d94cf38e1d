#include "KestlesCore/text/Text.hpp"

#include <utf8proc.h>

#include <cstdlib>
#include <memory>

namespace kestles::text {
namespace {

constexpr utf8proc_int32_t kReplacement = 0xFFFD;

/// Decodes UTF-8 leniently: every invalid byte stands for one U+FFFD.
std::vector<utf8proc_int32_t> codePoints(std::string_view text) {
  std::vector<utf8proc_int32_t> points;
  points.reserve(text.size());
  auto bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  auto remaining = static_cast<utf8proc_ssize_t>(text.size());
  while (remaining > 0) {
    utf8proc_int32_t point = 0;
    utf8proc_ssize_t used = utf8proc_iterate(bytes, remaining, &point);
    if (used <= 0) {
      point = kReplacement;
      used = 1;
    }
    points.push_back(point);
    bytes += used;
    remaining -= used;
  }
  return points;
}

void append(std::string& out, utf8proc_int32_t point) {
  utf8proc_uint8_t buffer[4];
  auto length = utf8proc_encode_char(point, buffer);
  out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

bool isWidthVariant(utf8proc_int32_t point) {
  auto type = utf8proc_get_property(point)->decomp_type;
  return type == UTF8PROC_DECOMP_TYPE_WIDE || type == UTF8PROC_DECOMP_TYPE_NARROW;
}

/// Valid UTF-8 in which full- and half-width forms are replaced by their plain forms.
std::string widthFolded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (auto point : codePoints(text)) {
    if (!isWidthVariant(point)) {
      append(out, point);
      continue;
    }
    utf8proc_int32_t mapped[8];
    int lastBoundClass = 0;
    auto options = static_cast<utf8proc_option_t>(UTF8PROC_DECOMPOSE | UTF8PROC_COMPAT);
    auto count = utf8proc_decompose_char(point, mapped, 8, options, &lastBoundClass);
    if (count <= 0 || count > 8) {
      append(out, point);
      continue;
    }
    for (utf8proc_ssize_t i = 0; i < count; ++i)
      append(out, mapped[i]);
  }
  return out;
}

bool isSpace(utf8proc_int32_t point) {
  switch (utf8proc_category(point)) {
    case UTF8PROC_CATEGORY_ZS:
    case UTF8PROC_CATEGORY_ZL:
    case UTF8PROC_CATEGORY_ZP:
      return true;
    default:
      return (point >= 0x09 && point <= 0x0D) || point == 0x85;
  }
}

bool isLetterOrDigit(utf8proc_int32_t point) {
  switch (utf8proc_category(point)) {
    case UTF8PROC_CATEGORY_LU:
    case UTF8PROC_CATEGORY_LL:
    case UTF8PROC_CATEGORY_LT:
    case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_LO:
    case UTF8PROC_CATEGORY_ND:
    case UTF8PROC_CATEGORY_NL:
    case UTF8PROC_CATEGORY_NO:
      return true;
    default:
      return false;
  }
}

bool isAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string folded(std::string_view text) {
  // Plain ASCII needs no Unicode tables: lower-casing is the whole fold.
  if (isAscii(text)) return asciiLowercased(text);
  auto plain = widthFolded(text);
  utf8proc_uint8_t* mapped = nullptr;
  auto options = static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE |
                                                UTF8PROC_STRIPMARK | UTF8PROC_CASEFOLD);
  auto length = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(plain.data()),
                             static_cast<utf8proc_ssize_t>(plain.size()), &mapped, options);
  if (length < 0) return plain;
  std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owner(mapped, &std::free);
  return std::string(reinterpret_cast<const char*>(mapped), static_cast<std::size_t>(length));
}

std::string repairedUTF8(std::string_view text) {
  if (isAscii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (auto point : codePoints(text))
    append(out, point);
  return out;
}

std::string_view withoutPartialEnd(std::string_view bytes) {
  // A sequence is at most four bytes, so only the last three can start an unfinished one.
  for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
    auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    std::size_t announced = byte >= 0xF8   ? 1
                            : byte >= 0xF0 ? 4
                            : byte >= 0xE0 ? 3
                            : byte >= 0xC0 ? 2
                                           : 1;
    return announced > back ? bytes.substr(0, bytes.size() - back) : bytes;
  }
  return bytes;
}

std::string escapedControls(std::string_view text, Backslash backslash) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  auto appendByte = [](std::string& out, unsigned char byte) {
    out.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 0xF]);
  };
  std::string out;
  out.reserve(text.size());
  auto bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  auto size = static_cast<utf8proc_ssize_t>(text.size());
  for (utf8proc_ssize_t at = 0; at < size;) {
    utf8proc_int32_t point = 0;
    auto used = utf8proc_iterate(bytes + at, size - at, &point);
    if (used <= 0) {
      appendByte(out, bytes[at]);
      ++at;
      continue;
    }
    if (point == '\\' && backslash == Backslash::doubled)
      out += "\\\\";
    else if (point == '\n')
      out += "\\n";
    else if (point == '\t')
      out += "\\t";
    else if (point == '\r')
      out += "\\r";
    else if (point < 0x20 || (point >= 0x7F && point <= 0x9F))
      for (utf8proc_ssize_t i = 0; i < used; ++i)
        appendByte(out, bytes[at + i]);
    else
      out.append(text.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(used)));
    at += used;
  }
  return out;
}

std::string trimmed(std::string_view text) {
  auto points = codePoints(text);
  std::size_t first = 0;
  std::size_t last = points.size();
  while (first < last && isSpace(points[first]))
    ++first;
  while (last > first && isSpace(points[last - 1]))
    --last;
  std::string out;
  for (std::size_t i = first; i < last; ++i)
    append(out, points[i]);
  return out;
}

std::string lettersAndDigits(std::string_view text) {
  std::string out;
  for (auto point : codePoints(text))
    if (isLetterOrDigit(point)) append(out, point);
  return out;
}

std::string normalized(std::string_view text) {
  return lettersAndDigits(trimmed(folded(text)));
}

std::string nameKey(std::string_view text) {
  return trimmed(folded(text));
}

std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  utf8proc_int32_t previous = -1;
  utf8proc_int32_t state = 0;
  for (auto point : codePoints(text)) {
    if (previous < 0 || utf8proc_grapheme_break_stateful(previous, point, &state)) ++count;
    previous = point;
  }
  return count;
}

std::vector<std::string> characters(std::string_view text) {
  std::vector<std::string> out;
  if (isAscii(text)) {
    // Every ASCII character is a cluster of its own, but for a carriage return and line feed.
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
      bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
      out.emplace_back(text.substr(i, crlf ? 2 : 1));
      i += crlf;
    }
    return out;
  }
  utf8proc_int32_t previous = -1;
  utf8proc_int32_t state = 0;
  for (auto point : codePoints(text)) {
    if (previous < 0 || utf8proc_grapheme_break_stateful(previous, point, &state))
      out.emplace_back();
    append(out.back(), point);
    previous = point;
  }
  return out;
}

CharacterClass characterClass(std::string_view character) {
  auto points = codePoints(character.substr(0, 4));
  if (points.empty()) return {};
  auto point = points.front();
  auto category = utf8proc_category(point);
  return {isLetterOrDigit(point), category == UTF8PROC_CATEGORY_LL,
          category == UTF8PROC_CATEGORY_LU || category == UTF8PROC_CATEGORY_LT, isSpace(point)};
}

std::string asciiLowercased(std::string_view text) {
  std::string out(text);
  for (auto& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string lowercased(std::string_view text) {
  if (isAscii(text)) return asciiLowercased(text);
  std::string out;
  out.reserve(text.size());
  for (auto point : codePoints(text))
    append(out, utf8proc_tolower(point));
  return out;
}

std::string quoted(std::string_view text) {
  std::string out("“");
  out.append(text).append("”");
  return out;
}

std::string joined(std::span<const std::string> items, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += separator;
    out += items[i];
  }
  return out;
}

std::optional<std::size_t> matchName(std::string_view text, std::span<const std::string> names) {
  auto key = nameKey(text);
  if (key.empty()) return std::nullopt;
  std::optional<std::size_t> onlyPrefix;
  std::size_t prefixCount = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    auto name = nameKey(names[i]);
    if (name == key) return i;
    if (name.starts_with(key)) {
      ++prefixCount;
      onlyPrefix = i;
    }
  }
  return prefixCount == 1 ? onlyPrefix : std::nullopt;
}

}  // namespace kestles::text
