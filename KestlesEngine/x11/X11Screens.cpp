#include "KestlesEngine/x11/X11Screens.hpp"

#include "KestlesEngine/x11/X11Displays.hpp"
#include "KestlesEngine/x11/X11Reply.hpp"

namespace kestles::x11 {

std::vector<DisplayInfo> X11Screens::screens() {
  std::uint64_t generation = 0;
  {
    std::lock_guard lock(cacheMutex_);
    if (cached_) return *cached_;
    generation = generation_;
  }
  std::vector<DisplayInfo> displays;
  {
    auto guard = session_.lock();
    displays = readDisplays(session_.connection());
  }
  std::lock_guard lock(cacheMutex_);
  // A change that came while they were read may not show in them: they are not kept.
  if (generation == generation_) cached_ = displays;
  return displays;
}

std::optional<CGPoint> X11Screens::mouseLocation() {
  auto guard = session_.lock();
  auto& connection = session_.connection();
  connection.noteRoundTrip();
  Reply<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(
      connection.raw(), xcb_query_pointer(connection.raw(), connection.root()), nullptr));
  if (!pointer || !pointer->same_screen) return std::nullopt;
  return CGPoint{double(pointer->root_x), double(pointer->root_y)};
}

}  // namespace kestles::x11
