#include "KestlesEngine/engine/DoubleControlMonitor.hpp"

#include <array>

namespace kestles::engine {
namespace {

constexpr std::uint16_t kLeftControl = 59;
constexpr std::uint16_t kRightControl = 62;

constexpr std::array<platform::InputKind, 5> kOtherInput{
    platform::InputKind::keyDown, platform::InputKind::leftMouseDown,
    platform::InputKind::rightMouseDown, platform::InputKind::otherMouseDown,
    platform::InputKind::scrollWheel};

}  // namespace

DoubleControlMonitor::DoubleControlMonitor(platform::InputMonitor& input,
                                           std::function<void()> onDoubleTap)
    : input_(input), onDoubleTap_(std::move(onDoubleTap)) {}

DoubleControlMonitor::~DoubleControlMonitor() {
  stop();
}

void DoubleControlMonitor::start() {
  if (monitor_) return;
  monitor_ = input_.addFlagsChangedMonitor(
      [this](const platform::FlagsChangedEvent& event) { handle(event); });
}

void DoubleControlMonitor::stop() {
  if (monitor_) input_.removeMonitor(*monitor_);
  monitor_.reset();
}

void DoubleControlMonitor::handle(const platform::FlagsChangedEvent& event) {
  auto held = event.modifierFlags & kModifierMask;
  auto modifiers = held == kControlFlag ? DoubleTap::Modifiers::controlOnly
                   : held != 0          ? DoubleTap::Modifiers::other
                                        : DoubleTap::Modifiers::none;
  bool controlKey = event.keyCode == kLeftControl || event.keyCode == kRightControl;
  if (detector_.handle(DoubleTap::ModifierChange{modifiers, controlKey, event.timestamp}) &&
      !otherInputSince(detector_.began))
    onDoubleTap_();
}

bool DoubleControlMonitor::otherInputSince(double time) {
  double elapsed = input_.systemUptime() - time;
  for (auto kind : kOtherInput)
    if (input_.secondsSinceLastEvent(kind) < elapsed) return true;
  return false;
}

}  // namespace kestles::engine
