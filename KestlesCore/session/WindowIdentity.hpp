#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "KestlesCore/world/WindowSnapshot.hpp"

namespace kestles {

/// Who a window number stood for when the session last saw it. The display server hands a
/// closed window's number to a later window, so a memory acts on a window only while its
/// number, process and app are all still the ones it was made with.
struct WindowIdentity {
  std::uint32_t id = 0;
  std::int32_t pid = 0;
  std::string appID;  // the app's identifier, as the snapshot's bundleID

  /// The identity of the window as the world shows it now.
  static WindowIdentity of(const WindowSnapshot& window);
  /// True when the window is the one this identity was taken from.
  bool matches(const WindowSnapshot& window) const;

  bool operator==(const WindowIdentity&) const = default;
};

/// Keys "id", "pid" and "app", all required.
void to_json(nlohmann::json& json, const WindowIdentity& identity);
void from_json(const nlohmann::json& json, WindowIdentity& identity);

}  // namespace kestles
