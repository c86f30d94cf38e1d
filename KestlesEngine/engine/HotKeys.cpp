#include "KestlesEngine/engine/HotKeys.hpp"

#include "KestlesCore/keys/KeyLabel.hpp"
#include "KestlesEngine/platform/ModifierMasks.hpp"

namespace kestles::engine {

using platform::LogLevel;

HotKeys::HotKeys(platform::HotKeyService& service, platform::LogSink& log)
    : service_(service), log_(log) {}

HotKeys::~HotKeys() {
  for (const auto& [id, ref] : refs_)
    service_.unregisterHotKey(ref);
}

void HotKeys::log(LogLevel level, std::string message) {
  log_.write({level, platform::LogCategory::hotkeys, std::move(message)});
}

namespace {

// The sentence for a key the desktop refused, naming the key as Linux writes it; no status
// numbers, which mean nothing to a user.
std::string refusal(const HotKeys::Shortcut& shortcut, std::int32_t status) {
  auto key = KeyLabel::written(KeyCombo{static_cast<int>(shortcut.keyCode),
                                        platform::keyModifiersFromCarbon(shortcut.modifiers)});
  std::string why = "the desktop refused it.";
  if (status == HotKeys::kKeyTaken) why = "another program holds it.";
  if (status == HotKeys::kNoSuchKey) why = "this keyboard has no such key.";
  return std::string("Couldn’t take ").append(key).append(": ").append(why);
}

}  // namespace

void HotKeys::installHandler() {
  if (handlerInstalled_) return;
  auto status = service_.installHandler(
      [this](const platform::HotKeyService::Event* event) { return handle(event); });
  if (status != 0) {
    log(LogLevel::error, "Kestles couldn’t listen for its keys, so none of them works.");
    return;
  }
  handlerInstalled_ = true;
}

std::optional<std::uint64_t> HotKeys::registerWithPlatform(std::uint32_t id,
                                                           const Shortcut& shortcut) {
  auto registration =
      service_.registerHotKey(shortcut.keyCode, shortcut.modifiers, {kSignature, id});
  if (registration.status != 0 || !registration.ref) {
    log(LogLevel::error, refusal(shortcut, registration.status));
    return std::nullopt;
  }
  return registration.ref;
}

std::optional<std::uint32_t> HotKeys::add(std::uint32_t keyCode, std::uint32_t modifiers,
                                          Action action) {
  installHandler();
  auto id = next_;
  Shortcut shortcut{keyCode, modifiers};
  if (suspensions_ == 0) {
    auto ref = registerWithPlatform(id, shortcut);
    if (!ref) return std::nullopt;
    refs_[id] = *ref;
  }
  ++next_;
  shortcuts_[id] = shortcut;
  actions_[id] = std::move(action);
  return id;
}

void HotKeys::remove(std::uint32_t id) {
  if (auto ref = refs_.find(id); ref != refs_.end()) {
    service_.unregisterHotKey(ref->second);
    refs_.erase(ref);
  }
  shortcuts_.erase(id);
  actions_.erase(id);
}

void HotKeys::suspend() {
  if (++suspensions_ != 1) return;
  for (const auto& [id, ref] : refs_)
    service_.unregisterHotKey(ref);
  refs_.clear();
}

void HotKeys::resume() {
  if (suspensions_ == 0 || --suspensions_ != 0) return;
  for (const auto& [id, shortcut] : shortcuts_)
    if (auto ref = registerWithPlatform(id, shortcut)) refs_[id] = *ref;
}

std::int32_t HotKeys::handle(const platform::HotKeyService::Event* event) {
  if (!event) return kEventNotHandled;
  if (!event->hotKey) return event->status;
  if (auto action = actions_.find(event->hotKey->id); action != actions_.end()) action->second();
  return 0;
}

}  // namespace kestles::engine
