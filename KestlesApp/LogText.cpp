#include "KestlesApp/LogText.hpp"

#include <cstdio>

namespace kestles::app {
namespace {

void appendByteEscape(std::string& out, unsigned char byte) {
  char escape[5];
  std::snprintf(escape, sizeof(escape), "\\x%02X", byte);
  out += escape;
}

}  // namespace

std::string escapedForLog(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto byte = static_cast<unsigned char>(text[i]);
    auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte < 0x20 || byte == 0x7F) {
      appendByteEscape(out, byte);
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
      // U+0080 to U+009F in UTF-8: C1 controls such as the single-character CSI.
      appendByteEscape(out, byte);
      appendByteEscape(out, next);
      ++i;
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

}  // namespace kestles::app
