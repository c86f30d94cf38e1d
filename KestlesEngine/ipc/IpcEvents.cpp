#include "KestlesEngine/ipc/IpcEvents.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "KestlesEngine/ipc/IpcAccessibility.hpp"

namespace kestles::ipc {
namespace {

using nlohmann::json;
namespace ax = platform::ax;
using Kind = platform::WorkspaceNotification::Kind;

std::string changeOf(const json& event) {
  auto change = event.find("change");
  return change != event.end() && change->is_string() ? change->get<std::string>() : "";
}

}  // namespace

IpcEventTranslator::IpcEventTranslator(IpcListener listener, const IpcTree& start)
    : listener_(std::move(listener)) {
  for (const auto& window : start.windows) {
    windows_[window.id] = pidOf(window);
    if (window.minimized) minimized_.insert(window.id);
  }
}

bool IpcEventTranslator::handle(std::uint32_t type, const std::string& payload) {
  auto event = json::parse(payload, nullptr, false);
  if (!event.is_object()) return true;
  switch (static_cast<Event>(type)) {
    case Event::window:
      handleWindow(event);
      break;
    case Event::workspace: {
      auto change = changeOf(event);
      if (change == "focus")
        listener_.workspace({Kind::activeSpaceDidChange, std::nullopt, std::nullopt});
      // A bar's room is the shown workspace's, and a workspace made or moved tells of an output
      // that came or went where the compositor has no output events.
      if (change == "focus" || change == "init" || change == "move" || change == "reload")
        listener_.displays();
      if (change == "reload" && listener_.reloaded) listener_.reloaded();
      break;
    }
    case Event::binding: {
      auto binding = event.find("binding");
      if (changeOf(event) != "run" || binding == event.end() || !binding->is_object()) break;
      auto command = binding->find("command");
      if (command != binding->end() && command->is_string() && listener_.binding)
        listener_.binding(command->get_ref<const std::string&>());
      break;
    }
    case Event::output:
      listener_.displays();
      break;
    case Event::shutdown:
      return false;
    default:
      break;
  }
  return true;
}

void IpcEventTranslator::handleWindow(const json& event) {
  auto container = event.find("container");
  if (container == event.end() || !container->is_object()) return;
  // The container alone, as a tree of one window, reads like any other.
  auto parsed = parseTree(*container, json::array());
  if (parsed.windows.empty()) return;
  if (listener_.appNames) listener_.appNames(parsed);
  const auto& window = parsed.windows.front();
  auto pid = pidOf(window);
  auto change = changeOf(event);
  auto appEvent = [&](Kind kind) {
    platform::RunningApplication app;
    app.handle = static_cast<std::uint64_t>(pid);
    app.pid = pid;
    if (!window.app.empty()) app.bundleID = app.localizedName = window.app;
    app.isTerminated = kind == Kind::didTerminate;
    listener_.workspace({kind, app, std::nullopt});
  };
  auto hasOthers = [&] {
    for (const auto& [id, owner] : windows_)
      if (owner == pid && id != window.id) return true;
    return false;
  };
  if (change == "new") {
    if (windows_.contains(window.id)) return;
    bool launched = !hasOthers();
    windows_[window.id] = pid;
    if (launched) appEvent(Kind::didLaunch);
    listener_.window(pid, window.id, ax::windowCreated);
  } else if (change == "close") {
    listener_.window(pid, window.id, ax::elementDestroyed);
    bool last = !hasOthers();
    windows_.erase(window.id);
    minimized_.erase(window.id);
    if (last) appEvent(Kind::didTerminate);
  } else if (change == "move" && listener_.tree) {
    // The event does not say where the window went: the tree tells whether it went into the
    // scratchpad (minimized) or came out of it.
    auto tree = listener_.tree();
    const auto* now = tree ? tree->find(window.id) : nullptr;
    if (!now) return;
    bool was = minimized_.contains(window.id);
    if (now->minimized == was) return;
    if (now->minimized)
      minimized_.insert(window.id);
    else
      minimized_.erase(window.id);
    listener_.window(pid, window.id,
                     now->minimized ? ax::windowMiniaturized : ax::windowDeminiaturized);
  } else if (change == "fullscreen_mode") {
    listener_.workspace({Kind::windowFullScreenDidChange, std::nullopt, window.id});
  }
}

std::unique_ptr<IpcEvents> IpcEvents::start(const std::string& path, const IpcTree& start,
                                            IpcListener listener) {
  std::unique_ptr<IpcEvents> events(new IpcEvents());
  events->connection_ = IpcConnection::open(path);
  if (!events->connection_) return nullptr;
  auto reply = events->connection_->request(Request::subscribe,
                                            R"(["window","workspace","binding","shutdown"])");
  auto answer = reply ? json::parse(*reply, nullptr, false) : json();
  if (!answer.is_object() || answer.value("success", false) != true) return nullptr;
  // sway before 1.8 has no output events; its workspace events still tell of an output that
  // came (a workspace is made for it) or went (its workspaces move).
  if (!events->connection_->request(Request::subscribe, R"(["output"])")) return nullptr;
  if (::pipe2(events->wake_, O_CLOEXEC) != 0) return nullptr;
  events->gone_ = listener.gone;
  events->changed_ = listener.changed;
  events->translator_ = std::make_unique<IpcEventTranslator>(std::move(listener), start);
  events->thread_ = std::thread([raw = events.get()] { raw->run(); });
  return events;
}

IpcEvents::~IpcEvents() {
  if (thread_.joinable()) {
    char byte = 0;
    (void)!::write(wake_[1], &byte, 1);
    thread_.join();
  }
  for (int fd : wake_)
    if (fd >= 0) ::close(fd);
}

void IpcEvents::run() {
  bool stopped = false;
  while (true) {
    auto message = connection_->read(wake_[0]);
    if (!message) {
      // Woken from this side, the connection still stands; closed, the compositor is gone.
      stopped = !connection_->broken();
      break;
    }
    if (!message->isEvent()) continue;
    if (changed_) changed_();
    if (!translator_->handle(message->eventType(), message->payload)) break;
  }
  if (!stopped && gone_) gone_();
}

}  // namespace kestles::ipc
