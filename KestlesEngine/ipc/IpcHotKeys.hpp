#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "KestlesCore/keys/KeyModifiers.hpp"
#include "KestlesEngine/ipc/IpcSession.hpp"
#include "KestlesEngine/platform/HotKeyService.hpp"

namespace kestles::ipc {

/// The combination as the compositor's `bindsym` writes it: the modifiers as Mod4 (Super),
/// Mod1 (Alt), Control and Shift, in that order, then the key's keysym name ("Mod4+Mod1+Left").
std::string bindingCombo(KeyModifiers modifiers, std::string_view key);

/// A combination in one spelling for comparisons: modifier aliases resolved (Super and Logo
/// are Mod4, Alt is Mod1, Ctrl is Control), modifiers in a fixed order, key names lower-cased
/// (the compositor reads them ignoring case), whatever order the config wrote them in.
std::string canonicalCombo(std::string_view combo);

/// The combinations (canonical) that the config text binds in the default mode: `bindsym`
/// lines and `bindsym { … }` blocks, with `set $name value` variables replaced; bindings of
/// other modes do not count, as the app binds in the default mode.
std::set<std::string> boundCombos(std::string_view config);

/// The marker command bound to a key: it does nothing, and the binding event that carries it
/// names this process and the registration.
std::string bindingMarker(std::int32_t pid, std::uint64_t ref);
/// The registration a binding event's command names, when it is a marker of this process.
std::optional<std::uint64_t> markedRef(std::string_view command, std::int32_t pid);

/// Hot keys on a Wayland compositor, where a client cannot grab keys: each registration binds
/// its combination in the compositor to a marker command (`bindsym <combo> nop kestles …`),
/// and the compositor's binding events carrying a marker are the presses. A combination the
/// config binds already is held by another program. Bindings are removed with the
/// registration, and all at once when the service goes; the compositor forgets them when it
/// reloads its config, so they are bound again then.
/// A registration fails with `kKeyHeld` for a combination the config or another registration
/// binds, `kKeyUnknown` for a key without a name or a name the compositor refuses,
/// `kDesktopGone` when the compositor does not answer, and `kNoHotKeys` until the running app
/// hands over key names.
class IpcHotKeys final : public platform::HotKeyService {
 public:
  /// The compositor's keysym name of a stored key code; nothing for a code without one.
  using KeyNames = std::function<std::optional<std::string>(std::uint32_t keyCode)>;

  /// `pid` goes into the markers, so that a marker a stopped app left behind never fires a
  /// registration of this one.
  IpcHotKeys(IpcSession& session, std::int32_t pid) : session_(session), pid_(pid) {}
  /// Removes every binding still registered.
  ~IpcHotKeys() override;

  /// Sets how key codes are named; until then every registration is refused as unimplemented.
  void setKeyNames(KeyNames names);

  std::int32_t installHandler(Handler handler) override;
  Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) override;
  std::int32_t unregisterHotKey(std::uint64_t ref) override;

  /// A binding event's command: calls the handler, outside the lock, when it is one of ours.
  /// Called by the layer's event thread.
  void heard(std::string_view command);
  /// Binds every registration again, in one command: the compositor reloaded its config and
  /// dropped them.
  void rebind();

 private:
  struct Binding {
    HotKeyID id;
    std::string combo;
  };

  IpcSession& session_;
  std::int32_t pid_;
  std::mutex mutex_;  // guards everything below
  KeyNames names_;
  std::optional<Handler> handler_;
  std::map<std::uint64_t, Binding> bindings_;
  std::uint64_t nextRef_ = 1;
};

}  // namespace kestles::ipc
