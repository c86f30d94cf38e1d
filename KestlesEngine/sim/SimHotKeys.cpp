#include "KestlesEngine/sim/SimHotKeys.hpp"

namespace kestles::sim {

void SimHotKeys::refuseHotKey(std::uint32_t keyCode, std::uint32_t modifiers, std::int32_t status) {
  std::lock_guard lock(world_.mutex);
  refusedHotKeys_[{keyCode, modifiers}] = status;
}

std::optional<std::int32_t> SimHotKeys::press(std::uint32_t keyCode, std::uint32_t modifiers) {
  std::optional<Handler> handler;
  std::optional<HotKeyID> id;
  {
    std::lock_guard lock(world_.mutex);
    for (const auto& [ref, entry] : hotKeys_)
      if (std::get<0>(entry) == keyCode && std::get<1>(entry) == modifiers) id = std::get<2>(entry);
    handler = handler_;
  }
  if (!id || !handler) return std::nullopt;
  Event event{id, 0};
  return (*handler)(&event);
}

std::map<std::uint64_t, std::tuple<std::uint32_t, std::uint32_t, SimHotKeys::HotKeyID>>
SimHotKeys::hotKeys() {
  std::lock_guard lock(world_.mutex);
  return hotKeys_;
}

std::int32_t SimHotKeys::installHandler(Handler handler) {
  std::lock_guard lock(world_.mutex);
  handler_ = std::move(handler);
  return 0;
}

SimHotKeys::Registration SimHotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                                    HotKeyID id) {
  std::lock_guard lock(world_.mutex);
  auto call = SimCall::of(SimCall::Kind::registerHotKey, 0, id.id,
                          std::to_string(keyCode) + "/" + std::to_string(modifiers));
  Registration registration;
  if (auto refused = refusedHotKeys_.find({keyCode, modifiers}); refused != refusedHotKeys_.end()) {
    registration.status = refused->second;
  } else {
    registration.ref = world_.token();
    hotKeys_.insert_or_assign(*registration.ref, std::tuple{keyCode, modifiers, id});
  }
  call.result = registration.status;
  world_.record(call);
  return registration;
}

std::int32_t SimHotKeys::unregisterHotKey(std::uint64_t ref) {
  std::lock_guard lock(world_.mutex);
  auto found = hotKeys_.find(ref);
  // -9876 is the platform's answer for a reference it does not know.
  std::int32_t status = found == hotKeys_.end() ? -9876 : 0;
  std::uint32_t id = found == hotKeys_.end() ? 0 : std::get<2>(found->second).id;
  if (found != hotKeys_.end()) hotKeys_.erase(found);
  auto call = SimCall::of(SimCall::Kind::unregisterHotKey, 0, id);
  call.result = status;
  world_.record(call);
  return status;
}

}  // namespace kestles::sim
