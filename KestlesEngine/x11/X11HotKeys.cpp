#include "KestlesEngine/x11/X11HotKeys.hpp"

#include <cstdlib>
#include <vector>

#include "KestlesEngine/platform/ModifierMasks.hpp"
#include "KestlesEngine/x11/X11KeyTable.hpp"

namespace kestles::x11 {
namespace {

// Caps Lock and Num Lock change the modifier state of every key press; a hot key must
// fire whichever of them is on.
std::array<std::uint16_t, 4> lockVariants(std::uint16_t numLock) {
  return {0, XCB_MOD_MASK_LOCK, numLock, static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLock)};
}

}  // namespace

std::unique_ptr<X11HotKeyService> X11HotKeyService::open(
    const std::optional<std::string>& display) {
  auto connection = X11Connection::open(display);
  if (!connection) return nullptr;
  auto mapping = X11KeyMapping::read(connection->raw());
  if (!mapping) return nullptr;
  return std::unique_ptr<X11HotKeyService>(
      new X11HotKeyService(std::move(connection), std::move(mapping)));
}

X11HotKeyService::X11HotKeyService(std::unique_ptr<X11Connection> connection,
                                   std::unique_ptr<X11KeyMapping> mapping)
    : connection_(std::move(connection)), mapping_(std::move(mapping)) {
  mapping_->selectEvents();
  events_ =
      std::make_unique<X11KeyEvents>(connection_->raw(), connection_->root(),
                                     [this](const xcb_generic_event_t& event) { handle(event); });
}

X11HotKeyService::~X11HotKeyService() {
  events_->stop();
  std::lock_guard lock(mutex_);
  for (const auto& [ref, entry] : grabs_)
    if (entry.key) ungrab(*entry.key, entry.modifiers, entry.numLock);
  // A last round trip, so that the ungrabs reach the server before the connection closes.
  connection_->sync();
}

std::int32_t X11HotKeyService::installHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
  return 0;
}

std::int32_t X11HotKeyService::grab(xcb_keycode_t key, std::uint16_t modifiers,
                                    std::uint16_t numLock) {
  std::set<std::uint16_t> masks;  // without a Num Lock key the variants repeat
  for (auto variant : lockVariants(numLock))
    masks.insert(static_cast<std::uint16_t>(modifiers | variant));
  // All requests first, then the answers: one round trip.
  std::vector<xcb_void_cookie_t> cookies;
  for (auto mask : masks)
    cookies.push_back(xcb_grab_key_checked(connection_->raw(), 0, connection_->root(), mask, key,
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
  std::int32_t status = 0;
  for (auto cookie : cookies)
    if (auto* error = xcb_request_check(connection_->raw(), cookie)) {
      status = error->error_code == XCB_ACCESS ? kTaken : kNoSuchKey;
      std::free(error);
    }
  // A broken connection reports no error for a request that never reached a server.
  if (xcb_connection_has_error(connection_->raw())) return kServerGone;
  // All variants or none: a combination that works only with Num Lock off is no hot key.
  if (status != 0) ungrab(key, modifiers, numLock);
  return status;
}

void X11HotKeyService::ungrab(xcb_keycode_t key, std::uint16_t modifiers, std::uint16_t numLock) {
  for (auto variant : lockVariants(numLock))
    xcb_ungrab_key(connection_->raw(), key, connection_->root(),
                   static_cast<std::uint16_t>(modifiers | variant));
  xcb_flush(connection_->raw());
}

platform::HotKeyService::Registration X11HotKeyService::registerHotKey(std::uint32_t keyCode,
                                                                       std::uint32_t modifiers,
                                                                       HotKeyID id) {
  auto keysym = keysymForKeyCode(keyCode);
  if (!keysym) return {kNoSuchKey, std::nullopt};
  auto xModifiers = xModifierMask(platform::keyModifiersFromCarbon(modifiers));
  std::lock_guard lock(mutex_);
  auto key = mapping_->keycodeFor(*keysym);
  if (!key) return {kNoSuchKey, std::nullopt};
  // Grabbing a combination this client holds already succeeds silently and would be lost
  // with the first unregistration: refuse it as the platform refuses a duplicate.
  for (const auto& [ref, other] : grabs_)
    if (other.key == key && other.modifiers == xModifiers) return {kTaken, std::nullopt};
  auto numLock = mapping_->numLockMask();
  if (auto status = grab(*key, xModifiers, numLock); status != 0) return {status, std::nullopt};
  auto ref = nextRef_++;
  grabs_[ref] = {id, *keysym, xModifiers, numLock, key};
  return {0, ref};
}

std::int32_t X11HotKeyService::unregisterHotKey(std::uint64_t ref) {
  std::lock_guard lock(mutex_);
  auto found = grabs_.find(ref);
  if (found == grabs_.end()) return kUnknownRef;
  const auto& entry = found->second;
  if (entry.key) ungrab(*entry.key, entry.modifiers, entry.numLock);
  grabs_.erase(found);
  return 0;
}

void X11HotKeyService::handle(const xcb_generic_event_t& event) {
  auto type = event.response_type & 0x7F;
  if (type == XCB_KEY_PRESS) {
    const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
    keyPressed(press.detail, press.state);
  } else if (type == XCB_KEY_RELEASE) {
    std::lock_guard lock(mutex_);
    held_.erase(reinterpret_cast<const xcb_key_release_event_t&>(event).detail);
  } else {
    std::lock_guard lock(mutex_);
    if (mapping_->follow(event) == X11KeyMapping::Change::keymap) regrab();
  }
}

void X11HotKeyService::keyPressed(xcb_keycode_t key, std::uint16_t state) {
  auto modifiers = static_cast<std::uint16_t>(state & shortcutModifierMask());
  std::optional<Handler> handler;
  Event event;
  {
    std::lock_guard lock(mutex_);
    if (!held_.insert(key).second) return;  // a repeat of a key held down
    for (const auto& [ref, entry] : grabs_)
      if (entry.key == key && entry.modifiers == modifiers) event.hotKey = entry.id;
    if (!event.hotKey || !handler_) return;
    handler = handler_;
  }
  // Outside the lock: the action may register or unregister hot keys.
  (*handler)(&event);
}

void X11HotKeyService::regrab() {
  // The map is sent again when another keyboard starts typing, mostly unchanged: grabs that
  // stay where they are are left alone, so no press falls between an ungrab and a grab.
  for (auto& [ref, entry] : grabs_) {
    auto key = mapping_->keycodeFor(entry.keysym);
    auto numLock = mapping_->numLockMask();
    if (key == entry.key && numLock == entry.numLock) continue;
    if (entry.key) ungrab(*entry.key, entry.modifiers, entry.numLock);
    held_.clear();
    entry.key = key;
    entry.numLock = numLock;
    if (entry.key && grab(*entry.key, entry.modifiers, entry.numLock) != 0) entry.key.reset();
  }
}

}  // namespace kestles::x11
