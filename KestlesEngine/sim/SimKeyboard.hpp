#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "KestlesEngine/platform/KeyboardLayout.hpp"

namespace kestles::sim {

/// The simulated keyboard layout: keys that show scripted text, in memory. Records every
/// translation.
class SimKeyboard final : public platform::KeyboardLayout {
 public:
  /// Starts with a layout that knows no key.
  SimKeyboard() = default;

  // Scripting the layout.
  /// What the current layout shows for the key (status 0).
  void setKey(std::uint16_t keyCode, std::string text);
  /// Sets the translation's status for the key (a failed translation).
  void failKey(std::uint16_t keyCode, std::int32_t status);
  /// Switches to another layout: the keys show `keys` from now on, and the observers of
  /// `change` hear of it.
  void switchLayout(std::map<std::uint16_t, std::string> keys,
                    Change change = Change::selectedSourceChanged);
  /// No ASCII-capable layout at all (or one without key data).
  void removeLayout();
  /// How many times the layout was asked for a key's text.
  int translations() const;
  std::size_t observers() const;

  // platform::KeyboardLayout
  std::optional<Translation> translate(std::uint16_t keyCode) override;
  std::uint64_t observe(Change change, Observer observer) override;
  void removeObserver(std::uint64_t token) override;

 private:
  mutable std::mutex mutex_;
  bool hasLayout_ = true;
  std::map<std::uint16_t, Translation> keys_;
  int translations_ = 0;
  std::uint64_t nextObserver_ = 1;
  std::map<std::uint64_t, std::pair<Change, Observer>> observers_;
};

}  // namespace kestles::sim
