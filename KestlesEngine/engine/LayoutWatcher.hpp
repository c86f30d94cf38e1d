#pragma once

#include <cstdint>
#include <vector>

#include "KestlesEngine/engine/KeyNames.hpp"
#include "KestlesEngine/platform/KeyboardLayout.hpp"

namespace kestles::engine {

/// Empties the key-name cache whenever the selected or the enabled input sources change.
class LayoutWatcher {
 public:
  LayoutWatcher(platform::KeyboardLayout& layout, KeyNames& names)
      : layout_(layout), names_(names) {}
  ~LayoutWatcher();
  LayoutWatcher(const LayoutWatcher&) = delete;
  LayoutWatcher& operator=(const LayoutWatcher&) = delete;

  /// Starts observing both changes; a second start does nothing.
  void start();
  void stop();

 private:
  platform::KeyboardLayout& layout_;
  KeyNames& names_;
  std::vector<std::uint64_t> observers_;
};

}  // namespace kestles::engine
