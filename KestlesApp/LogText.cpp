#include "KestlesApp/LogText.hpp"

#include "KestlesCore/text/Text.hpp"

namespace kestles::app {

std::string escapedForLog(std::string_view text) {
  return text::escapedControls(text, text::Backslash::doubled);
}

}  // namespace kestles::app
