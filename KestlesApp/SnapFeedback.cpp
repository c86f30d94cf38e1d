#include "KestlesApp/SnapFeedback.hpp"

#include <utility>

namespace kestles::app {
namespace {

platform::PassiveMarks marksOf(const CGRect& frame, std::vector<CGRect> context,
                               const std::string& text) {
  platform::PassiveMarks marks;
  marks.frame = frame;
  marks.context = std::move(context);
  if (!text.empty()) marks.labels.push_back({{frame.midX(), frame.midY()}, {text}, false});
  return marks;
}

}  // namespace

SnapFeedback::SnapFeedback(platform::Overlay& overlay, platform::Timers& timers)
    : overlay_(overlay), timers_(timers) {}

SnapFeedback::~SnapFeedback() {
  if (flashTimer_) timers_.cancel(*flashTimer_);
  if (shown_) overlay_.hidePassive();
}

void SnapFeedback::flash(const SnapFlash::Shown& shown) {
  show(marksOf(shown.frame, shown.context, shown.label.title));
  // A new flash restarts the time; the timer of an earlier one no longer hides anything.
  if (flashTimer_) timers_.cancel(*flashTimer_);
  auto flash = ++flashes_;
  flashTimer_ = timers_.schedule(kFlash, [this, flash, alive = std::weak_ptr<int>(alive_)] {
    if (alive.expired() || flash != flashes_) return;
    flashTimer_.reset();
    clear();
  });
}

void SnapFeedback::aim(const std::optional<DropPlan::Zone>& zone) {
  if (flashTimer_) timers_.cancel(*std::exchange(flashTimer_, std::nullopt));
  ++flashes_;
  if (!zone) return clear();
  show(marksOf(zone->frame, zone->tiles, zone->hint));
}

void SnapFeedback::show(const platform::PassiveMarks& marks) {
  if (shown_ == marks) return;
  overlay_.showPassive(marks);
  shown_ = marks;
}

void SnapFeedback::clear() {
  if (!shown_) return;
  overlay_.hidePassive();
  shown_.reset();
}

}  // namespace kestles::app
