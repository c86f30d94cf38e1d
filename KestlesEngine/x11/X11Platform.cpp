#include "KestlesEngine/x11/X11Platform.hpp"

#include <algorithm>
#include <set>

#include "KestlesEngine/x11/X11Displays.hpp"
#include "KestlesEngine/x11/X11Placement.hpp"
#include "KestlesEngine/x11/X11WindowActions.hpp"

namespace kestles::x11 {
namespace {

struct AppIdentity {
  std::string bundleID;
  std::string name;
};

AppIdentity identityOf(const ClientWindow& client, const DesktopEntries& entries) {
  if (const auto* entry = entries.match(client.identity)) return {entry->id, entry->name};
  const auto& windowClass = client.identity.windowClass;
  if (windowClass.empty()) return {"", "An app"};
  return {windowClass, windowClass};
}

/// Windows of one process share an app; a window naming no process is grouped by its class.
std::string appKey(const ClientWindow& client) {
  if (client.pid > 0) return std::to_string(client.pid);
  std::string key = "class:";
  key.append(client.identity.windowClass);
  return key;
}

Box boxOf(const CGRect& rect) {
  auto whole = rect.rounded();
  return {static_cast<std::int32_t>(whole.minX()), static_cast<std::int32_t>(whole.minY()),
          static_cast<std::int32_t>(whole.width()), static_cast<std::int32_t>(whole.height())};
}

WindowSnapshot snapshotOf(const ClientWindow& client, const AppSnapshot& app) {
  WindowSnapshot window;
  window.id = client.id;
  window.pid = app.pid;
  window.bundleID = app.bundleID;
  window.appName = app.name;
  window.title = client.title;
  window.frame = rectOf(client.frame);
  window.isMinimized = client.minimized;
  window.isFullScreen = client.fullScreen;
  const auto& hints = client.hints;
  window.minimumSize = {
      hints.minWidth > 0 ? double(hints.minWidth + client.decorationWidth()) : 0,
      hints.minHeight > 0 ? double(hints.minHeight + client.decorationHeight()) : 0};
  window.maximumSize = {
      hints.maxWidth > 0 ? double(hints.maxWidth + client.decorationWidth()) : 0,
      hints.maxHeight > 0 ? double(hints.maxHeight + client.decorationHeight()) : 0};
  window.isResizable = client.isResizable();
  return window;
}

/// Reads what a snapshot needs beyond states and frames: the identity of each app's first
/// standard window (and of every window without a pid, whose app is its class) and the
/// titles that only WM_NAME holds.
void readSnapshotIdentities(X11Connection& connection, Desktop& desktop) {
  std::set<std::int32_t> seen;
  std::vector<ClientWindow*> needed;
  for (auto& client : desktop.clients) {
    if (!isStandard(client, connection, desktop.currentDesktop)) continue;
    bool firstOfApp = client.pid <= 0 || seen.insert(client.pid).second;
    if (firstOfApp || client.title.empty()) needed.push_back(&client);
  }
  readIdentities(connection, needed);
}

}  // namespace

platform::WindowList windowList(const Desktop& desktop, const X11Connection& connection,
                                const DesktopEntries& entries) {
  std::vector<const ClientWindow*> standard;
  for (const auto& client : desktop.clients)
    if (isStandard(client, connection, desktop.currentDesktop)) standard.push_back(&client);

  // Apps in the order their first window was mapped, each with its windows in that order.
  std::vector<std::string> appOrder;
  std::map<std::string, std::vector<const ClientWindow*>> byApp;
  for (const auto* client : standard) {
    auto key = appKey(*client);
    if (!byApp.contains(key)) appOrder.push_back(key);
    byApp[key].push_back(client);
  }

  // Front to back over the windows on screen, as the window server lists them.
  std::map<xcb_window_t, std::int64_t> onScreen;
  for (auto it = desktop.stacking.rbegin(); it != desktop.stacking.rend(); ++it) {
    auto client = std::find_if(desktop.clients.begin(), desktop.clients.end(),
                               [&](const ClientWindow& c) { return c.id == *it; });
    if (client != desktop.clients.end() && client->viewable)
      onScreen.try_emplace(*it, static_cast<std::int64_t>(onScreen.size()));
  }

  platform::WindowList list;
  list.onScreenCount = static_cast<std::int64_t>(onScreen.size());
  for (const auto& key : appOrder) {
    const auto& windows = byApp[key];
    auto identity = identityOf(*windows.front(), entries);
    AppSnapshot app{windows.front()->pid, identity.bundleID, identity.name, false};
    for (const auto* client : windows) {
      auto window = snapshotOf(*client, app);
      auto front = onScreen.find(client->id);
      window.zIndex = front != onScreen.end()
                          ? front->second
                          : list.onScreenCount + static_cast<std::int64_t>(list.windows.size());
      list.windows.push_back(std::move(window));
    }
    list.apps.push_back(std::move(app));
  }
  if (desktop.activeWindow &&
      std::any_of(list.windows.begin(), list.windows.end(),
                  [&](const WindowSnapshot& w) { return w.id == *desktop.activeWindow; }))
    list.focusedWindow = *desktop.activeWindow;
  return list;
}

std::unique_ptr<X11Platform> X11Platform::open(const std::optional<std::string>& display) {
  auto connection = X11Connection::open(display);
  if (!connection) return nullptr;
  return std::unique_ptr<X11Platform>(new X11Platform(std::move(connection)));
}

X11Platform::X11Platform(std::unique_ptr<X11Connection> connection)
    : connection_(std::move(connection)) {}

const DesktopEntries& X11Platform::entries() {
  std::map<std::filesystem::path, std::filesystem::file_time_type> stamps;
  for (const auto& folder : applicationFolders()) {
    std::error_code error;
    auto stamp = std::filesystem::last_write_time(folder, error);
    if (!error) stamps[folder] = stamp;
  }
  if (!everScanned_ || stamps != scanned_) {
    entries_ = DesktopEntries::scan(applicationFolders());
    scanned_ = std::move(stamps);
    everScanned_ = true;
  }
  return entries_;
}

std::vector<DisplayInfo> X11Platform::displays() {
  std::lock_guard lock(mutex_);
  return readDisplays(*connection_);
}

platform::WindowList X11Platform::windows() {
  std::lock_guard lock(mutex_);
  auto desktop = readDesktop(*connection_);
  readSnapshotIdentities(*connection_, desktop);
  return windowList(desktop, *connection_, entries());
}

std::vector<AppSnapshot> X11Platform::runningApps() {
  return windows().apps;
}

std::vector<AppRef> X11Platform::installedApps() {
  auto running = runningApps();
  std::vector<AppRef> installed;
  {
    std::lock_guard lock(mutex_);
    for (const auto& entry : entries().entries())
      installed.push_back({entry.id, entry.name});
  }
  return platform::withRunningApps(std::move(installed), running);
}

std::vector<std::optional<CGRect>> X11Platform::place(std::span<const platform::WindowMove> moves) {
  std::vector<Placement> placements;
  for (const auto& move : moves)
    placements.push_back({move.window, boxOf(move.frame)});
  std::lock_guard lock(mutex_);
  auto landed = placeWindows(*connection_, placements);
  std::vector<std::optional<CGRect>> result;
  for (const auto& box : landed)
    result.push_back(box ? std::optional(rectOf(*box)) : std::nullopt);
  return result;
}

bool X11Platform::setMinimized(std::uint32_t window, bool minimized) {
  std::lock_guard lock(mutex_);
  if (minimized) return minimizeWindow(*connection_, window);
  activateWindow(*connection_, window);
  auto clients = readClients(*connection_, std::span(&window, 1));
  return !clients.empty() && !clients.front().minimized && clients.front().viewable;
}

bool X11Platform::raise(std::uint32_t window) {
  std::lock_guard lock(mutex_);
  return raiseWindow(*connection_, window);
}

bool X11Platform::focus(std::uint32_t window) {
  std::lock_guard lock(mutex_);
  return activateWindow(*connection_, window);
}

bool X11Platform::setFullScreen(std::uint32_t window, bool fullScreen) {
  std::lock_guard lock(mutex_);
  return x11::setFullScreen(*connection_, window, fullScreen);
}

}  // namespace kestles::x11
