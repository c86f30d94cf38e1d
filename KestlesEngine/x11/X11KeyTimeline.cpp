#include "KestlesEngine/x11/X11KeyTimeline.hpp"

namespace kestles::x11 {

double X11KeyTimeline::place(std::uint32_t serverTime, double receivedAt) {
  if (anchor_) {
    // Unsigned difference read as signed: right across a wrap, and for events a little
    // older than the anchor.
    auto delta = static_cast<std::int32_t>(serverTime - anchor_->serverTime);
    double placed = anchor_->uptime + delta / 1000.0;
    if (placed <= receivedAt && receivedAt - placed <= kMaxLag) return placed;
  }
  anchor_ = Anchor{serverTime, receivedAt};
  return receivedAt;
}

}  // namespace kestles::x11
