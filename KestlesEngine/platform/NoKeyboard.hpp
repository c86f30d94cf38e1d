#pragma once

#include <cstdint>

#include "KestlesEngine/platform/HotKeyService.hpp"
#include "KestlesEngine/platform/InputMonitor.hpp"

namespace kestles::platform {

/// Hot keys of a layer before the running app hands it a keyboard part: no key can be
/// registered (status -4, "unimplemented").
class NoHotKeys final : public HotKeyService {
 public:
  static constexpr std::int32_t kUnimplemented = -4;

  std::int32_t installHandler(Handler) override { return 0; }
  Registration registerHotKey(std::uint32_t, std::uint32_t, HotKeyID) override {
    return {kUnimplemented, std::nullopt};
  }
  std::int32_t unregisterHotKey(std::uint64_t) override { return kUnimplemented; }
};

/// Input of a layer that sees none: no modifier change and no input is ever seen; the uptime
/// is the monotonic clock's.
class NoInput final : public InputMonitor {
 public:
  std::uint64_t addFlagsChangedMonitor(Handler) override { return ++monitors_; }
  void removeMonitor(std::uint64_t) override {}
  double systemUptime() override;
  double secondsSinceLastEvent(InputKind) override;

 private:
  std::uint64_t monitors_ = 0;
};

}  // namespace kestles::platform
