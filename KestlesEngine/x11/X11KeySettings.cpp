#include "KestlesEngine/x11/X11KeySettings.hpp"

namespace kestles::x11 {

platform::SymbolicHotKeySource::Reading X11KeySettings::value(std::int32_t) {
  return {-1, {0, 0xFFFF, 0}};
}

}  // namespace kestles::x11
