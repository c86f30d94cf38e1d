#include "KestlesEngine/x11/X11Session.hpp"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <set>

namespace kestles::x11 {

std::shared_ptr<const DesktopEntries> X11Session::entries() {
  std::map<std::filesystem::path, std::filesystem::file_time_type> stamps;
  auto folders = applicationFolders();
  for (const auto& folder : folders) {
    std::error_code error;
    auto stamp = std::filesystem::last_write_time(folder, error);
    if (!error) stamps[folder] = stamp;
  }
  std::lock_guard guard(entriesMutex_);
  if (!everScanned_ || stamps != scanned_) {
    entries_ = std::make_shared<DesktopEntries>(DesktopEntries::scan(folders));
    scanned_ = std::move(stamps);
    everScanned_ = true;
  }
  return entries_;
}

bool X11Session::isFresh() const {
  return readGeneration_ == generation_ && Clock::now() - readAt_ < kDesktopFresh;
}

const Desktop& X11Session::desktop() {
  if (!isFresh()) {
    auto generation = generation_.load();
    desktop_ = readDesktop(*connection_, {.identity = true});
    readGeneration_ = generation;
    readAt_ = Clock::now();
  }
  return desktop_;
}

std::optional<ClientWindow> X11Session::freshClient(xcb_window_t window) {
  if (!isFresh()) return std::nullopt;
  for (const auto& client : desktop_.clients)
    if (client.id == window) return client;
  return std::nullopt;
}

bool X11Session::appExists(std::int32_t pid) {
  if (!isStandInPID(pid)) return processAlive(pid);
  auto guard = lock();
  const auto& clients = desktop().clients;
  return std::any_of(clients.begin(), clients.end(),
                     [&](const ClientWindow& client) { return client.pid == pid; });
}

std::vector<platform::RunningApplication> applicationsOf(X11Connection& connection,
                                                         Desktop& desktop,
                                                         const DesktopEntries& entries) {
  std::set<std::int32_t> seen;
  std::vector<ClientWindow*> firsts;
  for (auto& client : desktop.clients)
    if (client.pid > 0 && isAppWindow(client, connection) && seen.insert(client.pid).second)
      firsts.push_back(&client);
  readIdentities(connection, firsts);
  std::vector<platform::RunningApplication> apps;
  for (const auto* first : firsts) {
    platform::RunningApplication app;
    app.handle = static_cast<std::uint64_t>(first->pid);
    app.pid = first->pid;
    if (const auto* entry = entries.match(first->identity)) {
      app.bundleID = entry->id;
      app.localizedName = entry->name;
    } else if (!first->identity.windowClass.empty()) {
      app.bundleID = first->identity.windowClass;
      app.localizedName = first->identity.windowClass;
    }
    apps.push_back(std::move(app));
  }
  return apps;
}

bool processAlive(std::int32_t pid) {
  return pid > 0 && !isStandInPID(pid) && (kill(pid, 0) == 0 || errno == EPERM);
}

}  // namespace kestles::x11
