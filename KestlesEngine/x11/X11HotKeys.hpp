#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "KestlesEngine/platform/HotKeyService.hpp"
#include "KestlesEngine/x11/X11Connection.hpp"
#include "KestlesEngine/x11/X11KeyEvents.hpp"
#include "KestlesEngine/x11/X11KeyMapping.hpp"

namespace kestles::x11 {

/// Global hot keys as passive key grabs on the root window, on a connection and an event
/// thread of their own. Key codes are the stored virtual key codes and modifiers the
/// hot-key service's (Carbon) masks, both mapped by the fixed key table; each registration
/// grabs every Caps Lock / Num Lock variant. The handler runs on the event thread.
class X11HotKeyService final : public platform::HotKeyService {
 public:
  /// A combination another client holds ("hot key exists").
  static constexpr std::int32_t kTaken = -9878;
  /// A key the table or the keyboard map has no key for ("invalid hot key").
  static constexpr std::int32_t kNoSuchKey = -9879;
  /// An unknown registration reference.
  static constexpr std::int32_t kUnknownRef = -50;
  /// The X server went away ("internal error"): nothing can be grabbed any more.
  static constexpr std::int32_t kServerGone = -9868;

  /// Connects to `display` (nothing: $DISPLAY); nothing when the server cannot be reached or
  /// lacks XKB.
  static std::unique_ptr<X11HotKeyService> open(const std::optional<std::string>& display = {});
  ~X11HotKeyService() override;

  std::int32_t installHandler(Handler handler) override;
  Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) override;
  std::int32_t unregisterHotKey(std::uint64_t ref) override;

 private:
  struct Grab {
    HotKeyID id;
    std::uint32_t keysym = 0;
    std::uint16_t modifiers = 0;       // X modifiers, without the lock variants
    std::uint16_t numLock = 0;         // Num Lock's modifier when the key was grabbed
    std::optional<xcb_keycode_t> key;  // nothing while the keyboard map lacks the keysym
  };

  X11HotKeyService(std::unique_ptr<X11Connection> connection,
                   std::unique_ptr<X11KeyMapping> mapping);
  /// Grabs every lock variant of the key, or none; the status.
  std::int32_t grab(xcb_keycode_t key, std::uint16_t modifiers, std::uint16_t numLock);
  void ungrab(xcb_keycode_t key, std::uint16_t modifiers, std::uint16_t numLock);
  void handle(const xcb_generic_event_t& event);
  void keyPressed(xcb_keycode_t key, std::uint16_t state);
  /// Grabs every registration again after the keyboard map changed. Holds the lock.
  void regrab();

  std::unique_ptr<X11Connection> connection_;
  std::mutex mutex_;  // guards everything below
  std::unique_ptr<X11KeyMapping> mapping_;
  std::optional<Handler> handler_;
  std::map<std::uint64_t, Grab> grabs_;
  std::uint64_t nextRef_ = 1;
  std::set<xcb_keycode_t> held_;  // grabbed keys down now, so a repeat does not fire again
  std::unique_ptr<X11KeyEvents> events_;
};

}  // namespace kestles::x11
