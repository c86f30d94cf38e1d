#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "KestlesEngine/platform/KeyboardLayout.hpp"

namespace kestles::engine {

/// What the keys are called on the current keyboard layout ("Z" on a German layout for the
/// key that is Y on a US one). Answers are kept until the layout changes (`LayoutWatcher`).
class KeyNames {
 public:
  explicit KeyNames(platform::KeyboardLayout& layout) : layout_(layout) {}

  /// The key's upper-cased text; nothing for a key code outside 0...0xFFFF, a key that shows
  /// only white space or nothing, or when the layout cannot say.
  std::optional<std::string> name(std::int64_t keyCode);
  /// Forgets every answer; safe from any thread.
  void clearCache();

 private:
  platform::KeyboardLayout& layout_;
  std::mutex mutex_;
  // An absent name is kept too: the layout answered, the key shows nothing.
  std::map<std::uint16_t, std::optional<std::string>> cache_;
};

}  // namespace kestles::engine
