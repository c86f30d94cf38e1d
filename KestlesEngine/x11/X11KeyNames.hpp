#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "KestlesEngine/platform/KeyboardLayout.hpp"
#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11KeyEvents.hpp"
#include "KestlesEngine/x11/X11KeyMapping.hpp"

namespace kestles::x11 {

/// What keys show on the keyboard map in use, on a connection and an event thread of its
/// own. A stored key code is taken to the X key that a hot key of it grabs (through the
/// fixed key table), and that key's text on the layout in use is its name. A new keyboard
/// map is an "enabled sources" change, a switch of layout a "selected source" change;
/// observers hear of them on the event thread.
class X11KeyboardLayout final : public platform::KeyboardLayout {
 public:
  /// Connects to `display` (nothing: $DISPLAY); nothing when the server cannot be reached or
  /// lacks XKB.
  static std::unique_ptr<X11KeyboardLayout> open(const std::optional<std::string>& display = {});
  ~X11KeyboardLayout() override;

  /// Status 0 always; the text is empty for a key the table or the map lacks.
  std::optional<Translation> translate(std::uint16_t keyCode) override;
  std::uint64_t observe(Change change, Observer observer) override;
  void removeObserver(std::uint64_t token) override;

 private:
  X11KeyboardLayout(std::unique_ptr<X11Connection> connection,
                    std::unique_ptr<X11KeyMapping> mapping);
  void handle(const xcb_generic_event_t& event);

  std::unique_ptr<X11Connection> connection_;
  // Held while observers are told, so that an observer removed is never called afterwards
  // (its owner may be gone); recursive, so that an observer may remove itself.
  std::recursive_mutex delivery_;
  std::mutex mutex_;  // guards everything below
  std::unique_ptr<X11KeyMapping> mapping_;
  std::map<std::uint64_t, std::pair<Change, Observer>> observers_;
  std::uint64_t nextToken_ = 1;
  std::unique_ptr<X11KeyEvents> events_;
};

}  // namespace kestles::x11
