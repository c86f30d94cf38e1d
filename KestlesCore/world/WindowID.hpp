#pragma once

#include <cstdint>

namespace kestles {

/// A window's number on its desktop (the X11 client's id; on the simulated desktop the world's
/// id). Numbers above 0xF0000000 are synthetic, given to windows that tell none.
using WindowID = std::uint32_t;

}  // namespace kestles
