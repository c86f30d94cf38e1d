#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "KestlesEngine/platform/KeyboardLayout.hpp"
#include "KestlesEngine/platform/SymbolicHotKeySource.hpp"

namespace kestles::sim {

/// The simulated keyboard settings: a layout whose keys show scripted text, the system's
/// symbolic shortcuts and the other suites' defaults, all in memory. Records every layout
/// translation and every switch of a shortcut.
class SimKeyboard final : public platform::KeyboardLayout, public platform::SymbolicHotKeySource {
 public:
  /// Starts with a layout that knows no key and no symbolic shortcut entry points.
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

  // Scripting the symbolic shortcuts.
  /// Whether the reading and the switching entry points exist.
  void setEntryPoints(bool read, bool change);
  /// A shortcut with its value and state.
  void setShortcut(std::int32_t id, Value value, bool enabled);
  /// Reading the shortcut fails with `status`.
  void failShortcut(std::int32_t id, std::int32_t status);
  /// Switching the shortcut fails with `status`.
  void refuseSwitch(std::int32_t id, std::int32_t status);
  /// Every switch asked for, in order: id and the state asked for.
  std::vector<std::pair<std::int32_t, bool>> switches() const;
  bool isOn(std::int32_t id) const;

  // platform::KeyboardLayout
  std::optional<Translation> translate(std::uint16_t keyCode) override;
  std::uint64_t observe(Change change, Observer observer) override;
  void removeObserver(std::uint64_t token) override;

  // platform::SymbolicHotKeySource
  bool canRead() override;
  bool canSwitch() override;
  Reading value(std::int32_t id) override;
  bool isEnabled(std::int32_t id) override;
  std::int32_t setEnabled(std::int32_t id, bool on) override;

 private:
  struct Shortcut {
    Value value;
    bool enabled = false;
    std::int32_t readStatus = 0;
    std::int32_t switchStatus = 0;
  };

  mutable std::mutex mutex_;
  bool hasLayout_ = true;
  std::map<std::uint16_t, Translation> keys_;
  int translations_ = 0;
  std::uint64_t nextObserver_ = 1;
  std::map<std::uint64_t, std::pair<Change, Observer>> observers_;
  bool canRead_ = false;
  bool canSwitch_ = false;
  std::map<std::int32_t, Shortcut> shortcuts_;
  std::vector<std::pair<std::int32_t, bool>> switches_;
};

}  // namespace kestles::sim
