#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

#include "KestlesEngine/platform/HotKeyService.hpp"
#include "KestlesEngine/sim/SimWorld.hpp"

namespace kestles::sim {

/// The hot keys of the simulated desktop: registrations recorded among the calls, refusals
/// as scripted, and keys pressed by tests.
class SimHotKeys final : public platform::HotKeyService {
 public:
  explicit SimHotKeys(SimWorld& world) : world_(world) {}

  /// Registering this combination fails with `status`.
  void refuseHotKey(std::uint32_t keyCode, std::uint32_t modifiers, std::int32_t status);
  /// Presses a registered hot key; the handler's status, nothing when none is registered.
  std::optional<std::int32_t> press(std::uint32_t keyCode, std::uint32_t modifiers);
  /// The registered hot keys: (key code, modifiers, id), by reference.
  std::map<std::uint64_t, std::tuple<std::uint32_t, std::uint32_t, HotKeyID>> hotKeys();

  std::int32_t installHandler(Handler handler) override;
  Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) override;
  std::int32_t unregisterHotKey(std::uint64_t ref) override;

 private:
  SimWorld& world_;
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::int32_t> refusedHotKeys_;
  std::map<std::uint64_t, std::tuple<std::uint32_t, std::uint32_t, HotKeyID>> hotKeys_;
  std::optional<Handler> handler_;
};

}  // namespace kestles::sim
