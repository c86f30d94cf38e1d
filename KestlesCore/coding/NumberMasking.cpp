#include "KestlesCore/coding/NumberMasking.hpp"

#include <cctype>
#include <charconv>
#include <climits>

namespace kestles::json_style {
namespace {

// The power of ten of a JSON number's leading digit (1e400 gives 400), saturating.
long long decimalMagnitude(std::string_view number) {
  std::size_t at = number.starts_with('-') ? 1 : 0;
  long long magnitude = 0;
  bool leading = true;
  long long integerDigits = 0;
  for (; at < number.size() && std::isdigit(static_cast<unsigned char>(number[at])); ++at)
    if (!(leading && number[at] == '0')) {
      leading = false;
      ++integerDigits;
    }
  if (integerDigits > 0) {
    magnitude = integerDigits - 1;
  } else if (at < number.size() && number[at] == '.') {
    magnitude = -1;
    for (++at; at < number.size() && number[at] == '0'; ++at)
      --magnitude;
  }
  while (at < number.size() && number[at] != 'e' && number[at] != 'E')
    ++at;
  if (at + 1 < number.size()) {
    ++at;
    bool negative = number[at] == '-';
    if (number[at] == '-' || number[at] == '+') ++at;
    long long exponent = 0;
    auto read = std::from_chars(number.data() + at, number.data() + number.size(), exponent);
    if (read.ec == std::errc::result_out_of_range) exponent = LLONG_MAX / 4;
    magnitude = negative ? magnitude - exponent : magnitude + exponent;
  }
  return magnitude;
}

// Whether the text is one JSON number too large for a double; tiny ones read as 0.
bool overflowsDouble(std::string_view token) {
  double value = 0;
  auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  return error == std::errc::result_out_of_range && end == token.data() + token.size() &&
         decimalMagnitude(token) > 0;
}

}  // namespace

std::string withOverflowingNumbersMasked(std::string_view bytes) {
  std::string masked(bytes);
  bool inString = false;
  for (std::size_t at = 0; at < masked.size(); ++at) {
    char c = masked[at];
    if (inString) {
      if (c == '\\')
        ++at;
      else if (c == '"')
        inString = false;
      continue;
    }
    if (c == '"') {
      inString = true;
      continue;
    }
    if (c != '-' && !std::isdigit(static_cast<unsigned char>(c))) continue;
    auto end = masked.find_first_not_of("0123456789+-.eE", at);
    if (end == std::string::npos) end = masked.size();
    if (overflowsDouble(std::string_view(masked).substr(at, end - at))) {
      std::fill(masked.begin() + static_cast<std::ptrdiff_t>(at),
                masked.begin() + static_cast<std::ptrdiff_t>(end), ' ');
      masked[at] = '[';
      masked[end - 1] = ']';
    }
    at = end - 1;
  }
  return masked;
}

}  // namespace kestles::json_style
