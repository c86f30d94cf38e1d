#include "KestlesEngine/x11/X11WindowServer.hpp"

#include <unistd.h>

#include <algorithm>

namespace kestles::x11 {
namespace {

platform::WindowServer::Window entryOf(const ClientWindow& client) {
  return {client.id, client.pid, rectOf(client.frame)};
}

}  // namespace

std::optional<std::vector<platform::WindowServer::Window>> X11WindowServer::onScreenWindows() {
  auto guard = session_.lock();
  const auto& desktop = session_.desktop();
  std::vector<Window> windows;
  for (auto it = desktop.stacking.rbegin(); it != desktop.stacking.rend(); ++it) {
    auto client = std::find_if(desktop.clients.begin(), desktop.clients.end(),
                               [&](const ClientWindow& c) { return c.id == *it; });
    bool listed = std::any_of(windows.begin(), windows.end(),
                              [&](const Window& window) { return window.id == *it; });
    if (client != desktop.clients.end() && client->viewable && !listed)
      windows.push_back(entryOf(*client));
  }
  return windows;
}

std::optional<platform::WindowServer::Window> X11WindowServer::windowWithID(std::uint32_t id) {
  auto guard = session_.lock();
  xcb_window_t window = id;
  auto clients = readClients(session_.connection(), std::span(&window, 1));
  if (clients.empty() || clients.front().pid == getpid()) return std::nullopt;
  return entryOf(clients.front());
}

std::vector<std::uint32_t> X11WindowServer::allWindowNumbers() {
  auto guard = session_.lock();
  const auto& desktop = session_.desktop();
  std::vector<std::uint32_t> numbers;
  for (const auto& client : desktop.clients)
    numbers.push_back(client.id);
  return numbers;
}

}  // namespace kestles::x11
