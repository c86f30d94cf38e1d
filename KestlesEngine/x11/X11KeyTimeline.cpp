#include "KestlesEngine/x11/X11KeyTimeline.hpp"

#include <algorithm>

namespace kestles::x11 {

double X11KeyTimeline::place(std::uint32_t serverTime, double receivedAt) {
  std::optional<double> placed;
  if (anchor_) {
    // Unsigned difference read as signed: right across a wrap, and for events a little
    // older than the anchor.
    auto delta = static_cast<std::int32_t>(serverTime - anchor_->serverTime);
    double onServer = anchor_->uptime + delta / 1000.0;
    if (onServer <= receivedAt && receivedAt - onServer <= kMaxLag) placed = onServer;
  }
  if (!placed) {
    anchor_ = Anchor{serverTime, receivedAt};
    placed = receivedAt;
  }
  if (last_) placed = std::max(*placed, *last_ + kStep);
  last_ = placed;
  return *placed;
}

}  // namespace kestles::x11
