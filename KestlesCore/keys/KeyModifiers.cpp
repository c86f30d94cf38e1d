#include "KestlesCore/keys/KeyModifiers.hpp"

namespace kestles {

std::string KeyModifiers::glyphs() const {
  std::string text;
  if (contains(control)) text += "⌃";
  if (contains(option)) text += "⌥";
  if (contains(shift)) text += "⇧";
  if (contains(command)) text += "⌘";
  return text;
}

}  // namespace kestles
