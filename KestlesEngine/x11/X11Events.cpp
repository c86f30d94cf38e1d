#include "KestlesEngine/x11/X11Events.hpp"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/randr.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

#include "KestlesEngine/platform/Accessibility.hpp"

namespace kestles::x11 {
namespace {

namespace ax = platform::ax;
using Kind = platform::WorkspaceNotification::Kind;

void selectEvents(X11Connection& connection, xcb_window_t window, std::uint32_t mask) {
  xcb_change_window_attributes(connection.raw(), window, XCB_CW_EVENT_MASK, &mask);
}

}  // namespace

std::unique_ptr<X11Events> X11Events::start(const std::optional<std::string>& display,
                                            X11Session& session, Listener listener) {
  auto connection = X11Connection::open(display);
  if (!connection) return nullptr;
  std::unique_ptr<X11Events> events(
      new X11Events(std::move(connection), session, std::move(listener)));
  if (pipe2(events->wake_, O_CLOEXEC) != 0) return nullptr;
  events->thread_ = std::thread([raw = events.get()] { raw->run(); });
  return events;
}

X11Events::X11Events(std::unique_ptr<X11Connection> connection, X11Session& session,
                     Listener listener)
    : connection_(std::move(connection)), session_(session), listener_(std::move(listener)) {
  auto root = connection_->root();
  // StructureNotify brings the root's own ConfigureNotify, which monitors set by a client
  // cause without any RandR event.
  selectEvents(*connection_, root,
               XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY |
                   XCB_EVENT_MASK_PROPERTY_CHANGE);
  auto* c = connection_->raw();
  auto* randr = xcb_get_extension_data(c, &xcb_randr_id);
  if (randr != nullptr && randr->present) {
    randrEvents_ = randr->first_event;
    xcb_randr_select_input(c, root,
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
  }
  rescan(false);
}

X11Events::~X11Events() {
  if (thread_.joinable()) {
    char stop = 1;
    [[maybe_unused]] auto written = write(wake_[1], &stop, 1);
    thread_.join();
  }
  for (int end : wake_)
    if (end >= 0) close(end);
}

void X11Events::run() {
  auto* c = connection_->raw();
  const std::set<xcb_atom_t> cues = {
      connection_->atom(Atom::netClientList), connection_->atom(Atom::netCurrentDesktop),
      connection_->atom(Atom::netWmState), connection_->atom(Atom::wmState)};
  const auto workArea = connection_->atom(Atom::netWorkarea);
  const auto root = connection_->root();
  // Replies read while rescanning can pull events in behind them, into XCB's queue, where
  // poll does not see them: after a rescan the queue is looked at before sleeping.
  bool mayHaveQueued = true;
  while (true) {
    xcb_flush(c);
    pollfd descriptors[] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {wake_[0], POLLIN, 0}};
    poll(descriptors, 2, mayHaveQueued ? 0 : -1);
    if (descriptors[1].revents != 0) return;
    mayHaveQueued = false;
    bool changed = false;
    bool displaysChanged = false;
    bool any = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      any = true;
      auto type = static_cast<std::uint8_t>(event->response_type & 0x7F);
      if (randrEvents_ != 0 && (type == randrEvents_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                                type == randrEvents_ + XCB_RANDR_NOTIFY))
        displaysChanged = true;
      switch (type) {
        case XCB_PROPERTY_NOTIFY: {
          const auto* property = reinterpret_cast<xcb_property_notify_event_t*>(event);
          changed |= cues.contains(property->atom);
          displaysChanged |= property->window == root && property->atom == workArea;
          break;
        }
        case XCB_CONFIGURE_NOTIFY:
          displaysChanged |= reinterpret_cast<xcb_configure_notify_event_t*>(event)->window == root;
          break;
        case XCB_CREATE_NOTIFY:
        case XCB_DESTROY_NOTIFY:
        case XCB_MAP_NOTIFY:
        case XCB_UNMAP_NOTIFY:
        case XCB_REPARENT_NOTIFY:
          changed = true;
          break;
        default:
          break;
      }
      std::free(event);
    }
    if (xcb_connection_has_error(c)) {
      if (listener_.gone) listener_.gone();
      return;
    }
    // Any event (a frame configured, a property changed) may make the shared read stale.
    if (any) session_.invalidate();
    if (changed) {
      rescan(true);
      mayHaveQueued = true;
    }
    if (displaysChanged && listener_.displays) listener_.displays();
  }
}

void X11Events::rescan(bool announce) {
  auto desktop = readDesktop(*connection_);
  std::map<xcb_window_t, Tracked> seen;
  for (const auto& client : desktop.clients)
    if (client.pid > 0 && isAppWindow(client, *connection_))
      seen[client.id] = {client.pid, client.minimized, client.fullScreen};
  // Property changes of new clients are cues too (their state and WM_STATE).
  for (const auto& [window, tracked] : seen)
    if (!windows_.contains(window))
      selectEvents(*connection_, window, XCB_EVENT_MASK_PROPERTY_CHANGE);

  if (announce && listener_.window) {
    for (const auto& [window, tracked] : windows_)
      if (!seen.contains(window)) listener_.window(tracked.pid, window, ax::elementDestroyed);
  }
  auto spaceChanged = currentDesktop_ && *currentDesktop_ != desktop.currentDesktop;
  currentDesktop_ = desktop.currentDesktop;
  notifyApps(desktop, seen, announce);
  if (announce && listener_.window) {
    for (const auto& [window, tracked] : seen) {
      auto before = windows_.find(window);
      if (before == windows_.end())
        listener_.window(tracked.pid, window, ax::windowCreated);
      else if (before->second.minimized != tracked.minimized)
        listener_.window(tracked.pid, window,
                         tracked.minimized ? ax::windowMiniaturized : ax::windowDeminiaturized);
    }
  }
  if (announce && listener_.workspace)
    for (const auto& [window, tracked] : seen)
      if (auto before = windows_.find(window);
          before != windows_.end() && before->second.fullScreen != tracked.fullScreen)
        listener_.workspace({Kind::windowFullScreenDidChange, std::nullopt, window});
  windows_ = std::move(seen);
  if (announce && spaceChanged && listener_.workspace)
    listener_.workspace({Kind::activeSpaceDidChange, std::nullopt});
}

void X11Events::notifyApps(Desktop& desktop, const std::map<xcb_window_t, Tracked>& seen,
                           bool announce) {
  std::set<std::int32_t> pids;
  for (const auto& [window, tracked] : seen)
    pids.insert(tracked.pid);
  for (auto it = apps_.begin(); it != apps_.end();) {
    if (pids.contains(it->first)) {
      ++it;
      continue;
    }
    auto gone = it->second;
    gone.isTerminated = true;
    it = apps_.erase(it);
    if (announce && listener_.workspace) listener_.workspace({Kind::didTerminate, gone});
  }
  bool anyNew =
      std::any_of(pids.begin(), pids.end(), [&](std::int32_t pid) { return !apps_.contains(pid); });
  if (!anyNew) return;
  for (auto& app : applicationsOf(*connection_, desktop, *session_.entries())) {
    if (!pids.contains(app.pid) || apps_.contains(app.pid)) continue;
    apps_[app.pid] = app;
    if (announce && listener_.workspace) listener_.workspace({Kind::didLaunch, app});
  }
}

}  // namespace kestles::x11
