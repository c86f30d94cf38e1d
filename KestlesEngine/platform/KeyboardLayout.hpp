#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kestles::platform {

/// The current keyboard layout: what its keys show, and word when it changes.
class KeyboardLayout {
 public:
  /// What a key shows with no modifiers held: the platform's status and, with status 0,
  /// the text (UTF-8, at most four UTF-16 units' worth; it may be empty or white space).
  struct Translation {
    std::int32_t status = 0;
    std::string text;
  };
  /// The changes of the input sources that change what keys show.
  enum class Change { selectedSourceChanged, enabledSourcesChanged };
  using Observer = std::function<void()>;

  virtual ~KeyboardLayout() = default;
  /// The key's text on the current ASCII-capable layout (display action, no modifiers, no
  /// dead-key state); nothing when there is no such layout or it carries no key data.
  virtual std::optional<Translation> translate(std::uint16_t keyCode) = 0;
  /// Calls `observer` at once, on whichever thread sees it, each time `change` happens;
  /// returns a token for `removeObserver`.
  virtual std::uint64_t observe(Change change, Observer observer) = 0;
  virtual void removeObserver(std::uint64_t token) = 0;
};

}  // namespace kestles::platform
