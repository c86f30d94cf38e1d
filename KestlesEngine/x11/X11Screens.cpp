#include "KestlesEngine/x11/X11Screens.hpp"

#include "KestlesEngine/x11/X11Displays.hpp"
#include "KestlesEngine/x11/X11Reply.hpp"

namespace kestles::x11 {

std::vector<DisplayInfo> X11Screens::screens() {
  auto guard = session_.lock();
  return readDisplays(session_.connection());
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
