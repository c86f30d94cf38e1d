#include "KestlesEngine/sim/SimLoginItem.hpp"

namespace kestles::sim {

std::optional<std::string> SimLoginItem::registerItem() {
  if (auto failure = takeFailure()) return failure;
  status_ = requiresApproval_ ? Status::requiresApproval : Status::enabled;
  return std::nullopt;
}

std::optional<std::string> SimLoginItem::unregisterItem() {
  if (auto failure = takeFailure()) return failure;
  status_ = Status::notRegistered;
  return std::nullopt;
}

bool SimLoginItem::openSettings() {
  ++settingsOpened_;
  return true;
}

std::optional<std::string> SimLoginItem::takeFailure() {
  auto failure = std::move(failure_);
  failure_.reset();
  return failure;
}

}  // namespace kestles::sim
