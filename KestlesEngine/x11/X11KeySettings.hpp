#pragma once

#include "KestlesEngine/platform/SymbolicHotKeySource.hpp"

namespace kestles::x11 {

/// The system shortcuts of an X session: an X desktop has no symbolic shortcuts to read or
/// switch (a key another program holds shows as a failed grab instead), so there is nothing.
class X11KeySettings final : public platform::SymbolicHotKeySource {
 public:
  bool canRead() override { return false; }
  bool canSwitch() override { return false; }
  /// Never called (nothing can be read); answers "no key".
  Reading value(std::int32_t id) override;
  bool isEnabled(std::int32_t) override { return false; }
  /// Never called (nothing can be switched); answers a failure.
  std::int32_t setEnabled(std::int32_t, bool) override { return -1; }
};

}  // namespace kestles::x11
